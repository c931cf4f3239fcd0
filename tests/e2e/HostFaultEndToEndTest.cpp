#include "app/ToolWindows.h"
#include "controls/DROframe.h"
#include "controls/MachDro.h"
#include "controls/StaleLook.h"
#include "host/CMach4Wrapper.h"
#include "host/HostCallGate.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "platform/ZentyrError.h"
#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "RealHostServices.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The shortest timeout that still lets a live simulator answer on a busy machine: every wait
// for a stopped one ends after it.
constexpr int TimeoutMs = 300;

// The program's main window over the real simulator, with the program's wait pump, while the
// simulator is stopped, killed and started again.
struct HostFault : ::testing::Test
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    RealHostServices services{TimeoutMs};
    FakePlatform& fakes = services.fakes;
    std::unique_ptr<TForm1> window;
    // A 5 ms timer standing for everything the event loop must keep doing: its ticks, and
    // those that came while a host call was waiting.
    QTimer ticker;
    int ticks = 0;
    int ticksDuringCalls = 0;

    void SetUp() override
    {
        ASSERT_TRUE(hostsim.Start());
        window = services.StartMainWindow(folder, HostsimProcess::ProgramPath());
        window->SetRefreshRate(TForm1::MinRefreshRate);
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, &ticker, [this] {
            ++ticks;
            if (HostCallInProgress())
                ++ticksDuringCalls;
        });
        ticker.start();
    }

    TMachUpdateThread& Thread() { return *window->wMach().UpdateThread(); }
    QString Status() const { return window->StatusBar1()->accessibleDescription(); }
    bool XShownStale() const { return IsShownStale(window->Panel().xDro()); }
    double XShown() const { return window->Panel().xDro()->Field()->Value(); }

    // A value the operator sees change only while polling runs.
    void SetHostX(double x)
    {
        hostsim.Connect()->GetScriptObject()->SetOEMDRO(800, x);
    }

    // Runs an operator's host command; the error it raised, or empty.
    QString CommandError(const std::function<void()>& command)
    {
        try {
            command();
        } catch (const ZentyrError& e) {
            return e.message();
        }
        return {};
    }
};

}  // namespace

// Stopped, the simulator answers nothing: the pass waiting for it lets the event loop run, then
// polling stops with the reason shown and the readouts greyed, and an operator command fails
// instead of hanging. Killed and started again, Settings > Reconnect brings polling back on a
// new session: readouts live, nothing greyed, the status bar clear.
TEST_F(HostFault, StoppedOrKilledHostGoesStaleAndReconnectBringsPollingBack)
{
    TForm1& form = *window;
    ASSERT_TRUE(form.wMach().Connected());
    SetHostX(1.25);
    ASSERT_TRUE(WaitUntil([&] { return XShown() == 1.25; }, 5000)) << "polling runs";

    const struct
    {
        const char* what;
        std::function<void()> fault;
        const char* reason;
    } faults[] = {
        {"stopped", [&] { hostsim.Stop(true); }, "The controller does not answer"},
        {"killed", [&] { hostsim.Kill(); }, "The controller has closed the connection"},
    };
    double x = 1.25;
    for (const auto& f : faults) {
        SCOPED_TRACE(f.what);
        const qint64 pid = ServerPid(hostsim.SocketPath());
        ticksDuringCalls = 0;
        f.fault();
        ASSERT_TRUE(WaitUntil([&] { return Thread().Stale(); }, 5000));
        EXPECT_EQ(Status(), QStringLiteral("Polling stopped: ") + QLatin1String(f.reason));
        EXPECT_TRUE(XShownStale());
        EXPECT_EQ(XShown(), x) << "the last value stays";
        if (std::string(f.what) == "stopped") {
            EXPECT_GT(ticksDuringCalls, 0) << "the event loop ran while the pass waited";
        }
        EXPECT_FALSE(CommandError([&] { form.wMach().ReadDRO(800); }).isEmpty());
        EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty()) << "polling stopping shows no box";

        hostsim.Stop(false);
        hostsim.Kill();
        ASSERT_TRUE(hostsim.Start());
        ASSERT_NE(ServerPid(hostsim.SocketPath()), pid);
        x += 1;
        SetHostX(x);
        form.ReconnectAction()->trigger();
        EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
        ASSERT_TRUE(WaitUntil([&] { return XShown() == x && !Thread().Stale(); }, 5000))
            << Status().toStdString();
        EXPECT_TRUE(Status().isEmpty());
        EXPECT_TRUE(form.StatusBar1()->currentMessage().isEmpty());
        EXPECT_FALSE(XShownStale());
        EXPECT_EQ(CommandError([&] { form.wMach().ReadDRO(800); }), QString())
            << "the operator's commands reach the new session";
    }
    EXPECT_GT(ticks, 0);
    form.close();
}

// Asked to close while a host call waits for the stopped simulator, the program closes once
// the call has failed, not underneath it.
TEST_F(HostFault, CloseDuringAWaitFollowsTheCall)
{
    TForm1& form = *window;
    ASSERT_TRUE(form.wMach().Connected());
    bool closeAsked = false;
    bool connectedAfterAsking = false;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        if (closeAsked || !HostCallInProgress())
            return;
        closeAsked = true;
        form.close();  // as a termination signal would, during the wait
        connectedAfterAsking = form.wMach().Connected();
    });
    hostsim.Stop(true);
    ASSERT_TRUE(WaitUntil([&] { return !form.wMach().Connected(); }, 5000));
    EXPECT_TRUE(closeAsked);
    EXPECT_TRUE(connectedAfterAsking) << "the close waited for the call";
    hostsim.Stop(false);
}
