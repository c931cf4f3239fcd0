// UI-thread cost of one poll pass over registered controls against the in-process recording
// host (journal off), per pass and per control.
#include "host/MachUpdateThread.h"

#include "RecordingHost.h"
#include "TestControls.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

static void BM_PollPass(benchmark::State& state)
{
    const int controls = static_cast<int>(state.range(0));
    auto host = std::make_shared<RecordingHost>();
    host->keepJournal = false;
    RecordingDocumentFactory documents{host};
    TMachUpdateThread thread{documents};
    std::vector<std::unique_ptr<TestControl>> registered;
    for (int i = 0; i < controls; ++i) {
        registered.push_back(std::make_unique<TestControl>());
        registered.back()->ledCode = static_cast<int16_t>(10 + i % 100);
        thread.Register(registered.back().get());
    }
    thread.PollPass();  // the first pass makes the thread's own document
    for (auto _ : state)
        thread.PollPass();
    state.counters["ns_per_control"] = benchmark::Counter(
        static_cast<double>(controls) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PollPass)->Arg(200)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
