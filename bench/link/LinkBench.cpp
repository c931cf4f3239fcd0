// The local link's cost: one round trip, and a poll pass of 50 values across the link against
// the same pass in-process on the machine model. Starts its own hostsim (offscreen, private
// runtime folder); after the Google Benchmark runs it prints round-trip percentiles from a
// plain timing loop, without and with the journal file being written.

#include "host/Mach4_TLB.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "platform/ZentyrError.h"
#include "sim/MachineModel.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// A poll pass as the update thread makes it: the reset lamp, then one read per control.
// 25 readouts and 25 lamps.
constexpr int16_t PassDros[] = {800, 801, 802, 803, 818, 104, 817, 828, 816, 821, 800, 801, 802,
                                83,  84,  85,  1,   3,   800, 801, 802, 818, 104, 817, 828};
constexpr int16_t PassLeds[] = {800, 13,  12,  116, 83,  14,  16,  80,  82,  807, 808, 809, 810,
                                811, 812, 13,  12,  116, 83,  14,  16,  80,  82,  800, 807};
static_assert(std::size(PassDros) + std::size(PassLeds) == 50);

template <typename Host>
double PollPass(Host& host)
{
    double sum = 0;
    for (int16_t led : PassLeds)
        sum += host.GetOEMLed(led) ? 1 : 0;
    for (int16_t dro : PassDros)
        sum += host.GetOEMDRO(dro);
    return sum;
}

class Simulator
{
public:
    explicit Simulator(bool journal)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("HOSTSIM_HOME"), m_home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (journal)
            env.insert(QStringLiteral("HOSTSIM_JOURNAL"), m_home.filePath(QStringLiteral("journal.log")));
        else
            env.remove(QStringLiteral("HOSTSIM_JOURNAL"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(HOSTSIM_PATH), {QStringLiteral("/p"), QStringLiteral("Mach3Mill")});
        m_process.waitForStarted(5000);
        for (int i = 0; i < 500; ++i) {
            try {
                m_doc = std::make_unique<hostlink::LinkDocument>(SocketPath(), hostlink::LinkDefaultTimeoutMs);
                m_doc->Connect();
                m_mach = m_doc->GetScriptObject();
                return;
            } catch (const ZentyrError&) {
                QThread::msleep(10);
            }
        }
        std::fprintf(stderr, "hostsim did not start\n");
        std::exit(1);
    }
    ~Simulator()
    {
        m_process.kill();
        m_process.waitForFinished(2000);
    }

    QString SocketPath() const { return m_runtime.filePath(QLatin1String(hostlink::LinkSocketName)); }
    IMyScriptObject& Mach() { return *m_mach; }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
    QProcess m_process;
    std::unique_ptr<hostlink::LinkDocument> m_doc;
    std::shared_ptr<IMyScriptObject> m_mach;
};

Simulator* g_sim = nullptr;

void BM_LinkRoundTrip(benchmark::State& state)
{
    IMyScriptObject& mach = g_sim->Mach();
    for (auto _ : state)
        benchmark::DoNotOptimize(mach.GetOEMLed(800));
}
BENCHMARK(BM_LinkRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_PollPassLink(benchmark::State& state)
{
    IMyScriptObject& mach = g_sim->Mach();
    for (auto _ : state)
        benchmark::DoNotOptimize(PollPass(mach));
}
BENCHMARK(BM_PollPassLink)->Unit(benchmark::kMicrosecond);

void BM_PollPassInProcess(benchmark::State& state)
{
    QTemporaryDir home;
    hostsim::SteadyClock clock;
    hostsim::MachineModel model(clock, home.path(), QStringLiteral("Mach3Mill"));
    for (auto _ : state)
        benchmark::DoNotOptimize(PollPass(model));
}
BENCHMARK(BM_PollPassInProcess)->Unit(benchmark::kMicrosecond);

// Percentiles in microseconds of `samples` timed calls of `call`.
template <typename F>
void PrintPercentiles(const char* what, int samples, F call)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> us;
    us.reserve(size_t(samples));
    for (int i = 0; i < 200; ++i)
        call();  // warm up
    for (int i = 0; i < samples; ++i) {
        const auto t0 = Clock::now();
        call();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[size_t(q * double(us.size() - 1))]; };
    std::printf("%-44s n=%-6d p50 %8.1f us   p90 %8.1f us   p99 %8.1f us   max %8.1f us\n", what,
                samples, at(0.50), at(0.90), at(0.99), us.back());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        Simulator sim(false);
        g_sim = &sim;
        benchmark::RunSpecifiedBenchmarks();
        g_sim = nullptr;

        IMyScriptObject& mach = sim.Mach();
        std::printf("\n");
        PrintPercentiles("round trip GetOEMLed, no journal file", 20000, [&] { mach.GetOEMLed(800); });
        PrintPercentiles("round trip GetOEMDRO, no journal file", 10000, [&] { mach.GetOEMDRO(800); });
        PrintPercentiles("poll pass of 50 values over the link", 2000, [&] { PollPass(mach); });
    }
    {
        Simulator sim(true);
        IMyScriptObject& mach = sim.Mach();
        PrintPercentiles("round trip GetOEMLed, journal file written", 20000, [&] { mach.GetOEMLed(800); });
        PrintPercentiles("poll pass over the link, journal file written", 2000, [&] { PollPass(mach); });
    }
    {
        QTemporaryDir home;
        hostsim::SteadyClock clock;
        hostsim::MachineModel model(clock, home.path(), QStringLiteral("Mach3Mill"));
        PrintPercentiles("poll pass of 50 values in-process", 2000, [&] { PollPass(model); });
    }
    benchmark::Shutdown();
    return 0;
}
