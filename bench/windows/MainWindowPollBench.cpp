// The main window's poll pass: UI-thread time per pass over its registered controls, against
// the in-process recording host and across the link to a real hostsim, with nothing changing
// and with every value changing. Then, with `--idle-cpu`, the process's CPU use while the
// window polls an unchanging hostsim for 20 s at 50 ms and at 150 ms.
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "MainWindowHarness.h"
#include "RecordingHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include <sys/resource.h>

namespace {

// A main window attached to the recording host, out of reset.
struct InProcessWindow : MainWindowHarness
{
    InProcessWindow()
    {
        host->keepJournal = false;
        HostRunning(QStringLiteral("Bench"));
        Start();
    }
    TMachUpdateThread& Thread() { return *window->wMach().UpdateThread(); }
};

// A main window attached over the link to a real hostsim, out of reset.
struct LinkedWindow
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    std::unique_ptr<hostlink::LinkDocumentFactory> documents;
    std::unique_ptr<hostlink::LinkHostWindows> hostWindows;
    NativeShell shell;
    NativeWaiter waiter;
    FakePlatform fakes;
    std::unique_ptr<PlatformServices> platform;
    FakeSettingsStore settings;
    std::unique_ptr<TForm1> window;

    bool Start()
    {
        if (!hostsim.Start())
            return false;
        documents = std::make_unique<hostlink::LinkDocumentFactory>();
        hostWindows = std::make_unique<hostlink::LinkHostWindows>();
        platform = std::make_unique<PlatformServices>(PlatformServices{
            *hostWindows, shell, fakes.fileDialogs, fakes.messageBoxes, fakes.inputBox, waiter});
        settings.values[QStringLiteral("Mach Location")] = HostsimProcess::ProgramPath();
        settings.values[QStringLiteral("Mach Profile")] = QStringLiteral("Mach3Mill");
        window = std::make_unique<TForm1>(ZentyrContext{
            *platform, *documents, settings, folder.filePath(QStringLiteral("zentyr")),
            folder.filePath(QStringLiteral("Zentyr.dsktp")), QString(), QString()});
        window->FormCreate();
        if (!window->wMach().Connected())
            return false;
        window->wMach().EnableMachine();
        return true;
    }
    TMachUpdateThread& Thread() { return *window->wMach().UpdateThread(); }
};

void ReportPerControl(benchmark::State& state, TMachUpdateThread& thread)
{
    state.counters["controls"] = static_cast<double>(thread.Registrations().size());
    state.counters["ns_per_control"] = benchmark::Counter(
        static_cast<double>(thread.Registrations().size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PollPassInProcessUnchanged(benchmark::State& state)
{
    InProcessWindow w;
    w.Thread().PollPass();
    for (auto _ : state)
        w.Thread().PollPass();
    ReportPerControl(state, w.Thread());
}
BENCHMARK(BM_PollPassInProcessUnchanged)->Unit(benchmark::kMicrosecond);

void BM_PollPassInProcessEverythingChanges(benchmark::State& state)
{
    InProcessWindow w;
    int tick = 0;
    for (auto _ : state) {
        ++tick;
        // Reset flips every pass, and with it every enabled state; lamps and readouts follow.
        w.host->leds[800] = tick % 2 == 0;
        for (int led : {12, 13, 16})
            w.host->leds[led] = tick % 2 == 1;
        for (int dro : {800, 801, 802, 818, 104})
            w.host->dros[dro] = tick % 100;
        w.Thread().PollPass();
    }
    ReportPerControl(state, w.Thread());
}
BENCHMARK(BM_PollPassInProcessEverythingChanges)->Unit(benchmark::kMicrosecond);

void BM_PollPassOverTheLinkUnchanged(benchmark::State& state)
{
    LinkedWindow w;
    if (!w.Start()) {
        state.SkipWithError("hostsim did not start");
        return;
    }
    w.Thread().PollPass();
    for (auto _ : state)
        w.Thread().PollPass();
    ReportPerControl(state, w.Thread());
}
BENCHMARK(BM_PollPassOverTheLinkUnchanged)->Unit(benchmark::kMicrosecond);

void BM_PollPassOverTheLinkEverythingChanges(benchmark::State& state)
{
    LinkedWindow w;
    if (!w.Start()) {
        state.SkipWithError("hostsim did not start");
        return;
    }
    IMyScriptObject& host = *w.window->wMach().iMach();
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++tick;
        host.DoOEMButton(1021);  // reset flips
        host.DoOEMButton(113);   // flood flips
        host.SetOEMDRO(800, tick % 100);
        host.SetOEMDRO(818, tick % 100);
        state.ResumeTiming();
        w.Thread().PollPass();
    }
    ReportPerControl(state, w.Thread());
}
BENCHMARK(BM_PollPassOverTheLinkEverythingChanges)->Unit(benchmark::kMicrosecond);

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU share of one core used by this process while the window polls for `seconds`.
void IdleCpu(int refreshMs, int seconds)
{
    LinkedWindow w;
    if (!w.Start()) {
        std::printf("hostsim did not start\n");
        return;
    }
    w.window->SetRefreshRate(refreshMs);
    w.window->show();
    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("idle at %d ms refresh: %.2f %% of a core over %d s\n", refreshMs,
                100.0 * cpu / (clock.elapsed() / 1000.0), seconds);
    w.window->close();
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--idle-cpu") == 0) {
        IdleCpu(50, 20);
        IdleCpu(150, 20);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
