// Zentyr against LinuxCNC beside Zentyr against hostsim: the round trip of GetOEMDRO(800), the
// UI-thread time of the main window's poll pass, the calls the jog window's registered
// controls add to a pass (its frame twice with the jog step, its two toggle buttons, its speed
// frame), and the two together. A small timing program: it starts its own hostsim and its own
// LinuxCNC session and prints percentiles.
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "LinuxCncSession.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Target
{
    const char* name;
    QString socketPath;
    QString programPath;
    QString profile;
};

// A main window attached over the link to the host on `target`, out of reset.
struct Window
{
    QTemporaryDir folder;
    std::unique_ptr<hostlink::LinkDocumentFactory> documents;
    std::unique_ptr<hostlink::LinkHostWindows> hostWindows;
    NativeShell shell;
    NativeWaiter waiter;
    FakePlatform fakes;
    std::unique_ptr<PlatformServices> platform;
    FakeSettingsStore settings;
    std::unique_ptr<TForm1> window;

    bool Start(const Target& target)
    {
        documents = std::make_unique<hostlink::LinkDocumentFactory>(target.socketPath, hostlink::LinkDefaultTimeoutMs);
        hostWindows = std::make_unique<hostlink::LinkHostWindows>(target.socketPath, hostlink::LinkDefaultTimeoutMs);
        platform = std::make_unique<PlatformServices>(PlatformServices{
            *hostWindows, shell, fakes.fileDialogs, fakes.messageBoxes, fakes.inputBox, waiter});
        settings.values[QStringLiteral("Mach Location")] = target.programPath;
        settings.values[QStringLiteral("Mach Profile")] = target.profile;
        window = std::make_unique<TForm1>(ZentyrContext{
            *platform, *documents, settings, folder.filePath(QStringLiteral("zentyr")),
            folder.filePath(QStringLiteral("Zentyr.dsktp")), QString(), QString()});
        window->FormCreate();
        if (!window->wMach().Connected())
            return false;
        window->wMach().EnableMachine();
        return true;
    }
};

// Percentiles in microseconds of `samples` timed calls of `call`.
void PrintPercentiles(const char* host, const char* what, int samples, const std::function<void()>& call)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> us;
    us.reserve(size_t(samples));
    for (int i = 0; i < 50; ++i)
        call();  // warm up
    for (int i = 0; i < samples; ++i) {
        const auto t0 = Clock::now();
        call();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[size_t(q * double(us.size() - 1))]; };
    std::printf("%-9s %-46s n=%-5d p50 %8.1f us   p90 %8.1f us   p99 %8.1f us   max %8.1f us\n", host,
                what, samples, at(0.50), at(0.90), at(0.99), us.back());
}

// What the jog window's registered controls read in a pass, the reset lamp being read once
// for the whole pass: the jog frame (registered twice) the step, its two toggle buttons their
// lamps, the jog speed frame its readout.
void JogWindowReads(IMyScriptObject& mach)
{
    mach.GetOEMDRO(828);
    mach.GetOEMDRO(828);
    mach.GetOEMLed(14);
    mach.GetOEMLed(83);
    mach.GetOEMDRO(126);
}

void Measure(const Target& target)
{
    Window w;
    if (!w.Start(target)) {
        std::printf("%s: the main window did not attach\n", target.name);
        return;
    }
    IMyScriptObject& mach = *w.window->wMach().iMach();
    TMachUpdateThread& thread = *w.window->wMach().UpdateThread();
    std::printf("%s: %lld registered controls, machine %s\n", target.name, static_cast<long long>(thread.Registrations().size()),
                mach.GetOEMLed(800) ? "in reset" : "on");
    PrintPercentiles(target.name, "round trip GetOEMDRO(800)", 5000, [&] { mach.GetOEMDRO(800); });
    PrintPercentiles(target.name, "main window poll pass", 1000, [&] { thread.PollPass(); });
    PrintPercentiles(target.name, "jog window's reads in a pass (5 calls)", 1000, [&] { JogWindowReads(mach); });
    PrintPercentiles(target.name, "main and jog window pass", 1000, [&] {
        thread.PollPass();
        JogWindowReads(mach);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        HostsimProcess hostsim;
        if (hostsim.Start())
            Measure({"hostsim", hostsim.SocketPath(), HostsimProcess::ProgramPath(), QStringLiteral("Mach3Mill")});
        else
            std::printf("hostsim did not start\n");
    }
    {
        LinuxCncSession session;
        if (session.Start())
            Measure({"LinuxCNC", session.SocketPath(), QStringLiteral(LCNCHOST_PATH), QStringLiteral("ZentyrMill")});
        else
            std::printf("LinuxCNC cannot start here: %s\n", qPrintable(session.Reason()));
    }
    return 0;
}
