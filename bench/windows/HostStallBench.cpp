// The longest stall of the user-interface thread's event loop while the host is frozen. A
// timing program, not a test: it starts its own hostsim (offscreen, private runtime folder),
// opens the main window over the link with the program's timeout and refresh rate, and runs a
// 5 ms Qt timer. Once polling runs it stops the simulator (SIGSTOP) and keeps the event loop
// going until polling has stopped and a little beyond; the figure is the longest gap between
// two ticks of the timer from the stop on. Each mode runs five rounds and prints every round's
// figure and the worst: "one piece", the link waiting for the host without letting events
// through (as before the wait pump), and "pump", the program's own setting.
#include "host/CMach4Wrapper.h"
#include "host/HostCallGate.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Rounds = 5;
constexpr int TickMs = 5;
constexpr int AfterStopMs = 300;  // the loop runs on this long once polling has stopped

// Milliseconds of the longest gap between ticks from the simulator's stop until polling has
// stopped and AfterStopMs more have passed; -1 when the round could not run.
double Round(bool pump)
{
    HostsimProcess hostsim;
    if (!hostsim.Start())
        return -1;
    hostlink::LinkDocumentFactory documents;
    hostlink::LinkHostWindows hostWindows;
    if (pump) {
        documents.SetWaitPump(&PumpHostWaitEvents);
        hostWindows.SetWaitPump(&PumpHostWaitEvents);
    }
    NativeShell shell;
    NativeWaiter waiter;
    FakePlatform fakes;
    PlatformServices platform{hostWindows, shell, fakes.fileDialogs, fakes.messageBoxes,
                              fakes.inputBox, waiter};
    FakeSettingsStore settings;
    settings.values[QStringLiteral("Mach Location")] = HostsimProcess::ProgramPath();
    settings.values[QStringLiteral("Mach Profile")] = QStringLiteral("Mach3Mill");
    QTemporaryDir folder;
    TForm1 window(ZentyrContext{platform, documents, settings,
                                folder.filePath(QStringLiteral("zentyr")),
                                folder.filePath(QStringLiteral("Zentyr.dsktp")), QString(),
                                QString()});
    window.FormCreate();
    if (!window.wMach().Connected())
        return -1;
    window.show();

    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = -1;
    qint64 longest = 0;
    bool measuring = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(TickMs);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (measuring && lastTick >= 0)
            longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    ticker.start();

    QEventLoop loop;
    QTimer::singleShot(500, &loop, [&] {  // polling runs for a while first
        measuring = true;
        lastTick = clock.nsecsElapsed();
        hostsim.Stop(true);
    });
    QObject::connect(&window.wMach(), &TCMach4Wrapper::PollingStopped, &loop,
                     [&] { QTimer::singleShot(AfterStopMs, &loop, &QEventLoop::quit); });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);  // bounded, whatever happens
    loop.exec();
    const bool stopped = window.wMach().UpdateThread()->Stale();
    ticker.stop();
    hostsim.Stop(false);
    hostsim.Kill();
    // Not closed: closing ends the application's event loops, and the next round needs one.
    return stopped ? double(longest) / 1e6 : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("Longest event-loop stall (gap between %d ms timer ticks) while the simulator "
                "is stopped during polling; link timeout %d ms, wait slice %d ms\n",
                TickMs, hostlink::LinkDefaultTimeoutMs, hostlink::LinkWaitSliceMs);
    for (const bool pump : {false, true}) {
        std::vector<double> rounds;
        for (int i = 0; i < Rounds; ++i)
            rounds.push_back(Round(pump));
        std::printf("%-10s", pump ? "pump" : "one piece");
        for (const double ms : rounds)
            std::printf(" %8.1f", ms);
        std::printf("   worst %8.1f ms\n", *std::max_element(rounds.begin(), rounds.end()));
    }
    return 0;
}
