#include "app/ToolWindows.h"
#include "controls/DroSpeedFrame.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachJogDirButton.h"
#include "controls/MachJogPctFrame.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/MachJogForm.h"
#include "windows/MachSpindleForm.h"
#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "RealHostServices.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

// The program's main window over the link to a real hostsim, out of reset, with the jog or
// spindle window opened as the operator opens it.
struct JogSpindleEndToEnd : ::testing::Test
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    RealHostServices services;
    FakePlatform& fakes = services.fakes;
    std::unique_ptr<TForm1> window;

    void SetUp() override
    {
        ASSERT_TRUE(hostsim.Start());
        window = services.StartMainWindow(folder, HostsimProcess::ProgramPath());
        ASSERT_TRUE(window->wMach().Connected());
        window->Panel().btnEstop()->click();
        ASSERT_FALSE(Host().GetOEMLed(800)) << "out of reset";
    }
    void TearDown() override
    {
        if (window)
            window->close();
    }

    IMyScriptObject& Host() { return *window->wMach().iMach(); }
    void Poll() { window->wMach().UpdateThread()->PollPass(); }
    QWidget* Open(TForm1::ToolWindow which)
    {
        window->OpenToolWindow(which);
        QWidget* opened = window->ToolWindowSlot(which).Window();
        if (opened && !QTest::qWaitForWindowActive(opened))
            ADD_FAILURE() << "the opened window did not become active";
        return opened;
    }
    // A mouse event as the window system delivers it: the focus moves first, the application
    // records the button.
    static void Mouse(bool press, QWidget* target)
    {
        QWidget* top = target->window();
        const QPoint at = target->mapTo(top, target->rect().center());
        if (press)
            QTest::mousePress(top->windowHandle(), Qt::LeftButton, {}, at);
        else
            QTest::mouseRelease(top->windowHandle(), Qt::LeftButton, {}, at);
    }
};

}  // namespace

// Continuous mode: holding X+ moves the simulated X; the release stops it where it is.
TEST_F(JogSpindleEndToEnd, HeldXPlusJogsTheSimulatorUntilReleased)
{
    auto* jog = qobject_cast<TJogForm*>(Open(TForm1::ToolWindow::Jog));
    ASSERT_NE(jog, nullptr);
    Poll();
    ASSERT_TRUE(jog->JogPct1()->btnJogOn()->Toggled()) << "the simulator starts with jogging on";
    ASSERT_TRUE(jog->JogPct1()->btnJogCont()->Toggled()) << "... in continuous mode";
    TMachJogDirButton* xPlus = jog->MachJogDirButton(1);
    ASSERT_EQ(xPlus->text(), QStringLiteral("X+"));

    const double start = Host().GetOEMDRO(800);
    Mouse(true, xPlus);
    EXPECT_TRUE(xPlus->JogContinuous());
    EXPECT_TRUE(WaitUntil([&] { return Host().GetOEMDRO(800) > start + 0.02; }, 5000));
    EXPECT_TRUE(Host().IsMoving());
    Mouse(false, xPlus);
    EXPECT_FALSE(Host().IsMoving());
    const double stopped = Host().GetOEMDRO(800);
    QTest::qWait(100);
    EXPECT_EQ(Host().GetOEMDRO(800), stopped);
    EXPECT_GT(stopped, start);

    const QStringList calls = hostsim.JournalCalls();
    const qsizetype jogAt = calls.lastIndexOf(QStringLiteral("DoOEMButton(307)"));
    ASSERT_GE(jogAt, 1);
    EXPECT_EQ(calls.at(jogAt - 1), QStringLiteral("GetOEMLed(83)"));
    EXPECT_EQ(calls.count(QStringLiteral("DoOEMButton(1003)")), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

// The focus moving away during a held jog stops the simulator once.
TEST_F(JogSpindleEndToEnd, FocusLeavingAHeldJogStopsTheSimulator)
{
    auto* jog = qobject_cast<TJogForm*>(Open(TForm1::ToolWindow::Jog));
    ASSERT_NE(jog, nullptr);
    Poll();
    TMachJogDirButton* yPlus = jog->MachJogDirButton(5);
    Mouse(true, yPlus);
    ASSERT_TRUE(WaitUntil([&] { return Host().IsMoving(); }, 5000));
    jog->MachJogDirButton(6)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(Host().IsMoving());
    Mouse(false, yPlus);
    EXPECT_EQ(hostsim.JournalCalls().count(QStringLiteral("DoOEMButton(1003)")), 1);
}

// The spindle button starts the simulated spindle (M4: the direction reads "CCW") and stops
// it; its lamp follows on the next pass.
TEST_F(JogSpindleEndToEnd, SpindleButtonStartsAndStopsTheSimulatedSpindle)
{
    auto* spindle = qobject_cast<TSpindleForm*>(Open(TForm1::ToolWindow::Spindle));
    ASSERT_NE(spindle, nullptr);
    Poll();
    EXPECT_FALSE(spindle->btnSpindle()->Toggled());
    ASSERT_GT(spindle->spdSpindle()->Value(), 0);

    spindle->btnSpindle()->click();
    ASSERT_TRUE(WaitUntil([&] { return Host().GetOEMLed(116); }, 5000));
    EXPECT_FALSE(Host().GetOEMLed(11)) << "counter-clockwise";
    EXPECT_FALSE(spindle->btnSpindle()->Toggled());
    Poll();
    EXPECT_TRUE(spindle->btnSpindle()->Toggled());

    spindle->btnSpindle()->click();
    ASSERT_TRUE(WaitUntil([&] { return !Host().GetOEMLed(116); }, 5000));
    Poll();
    EXPECT_FALSE(spindle->btnSpindle()->Toggled());
    EXPECT_TRUE(hostsim.JournalCalls().contains(QStringLiteral("Code(\"M4\")")));
    EXPECT_TRUE(hostsim.JournalCalls().contains(QStringLiteral("Code(\"M5\")")));
}
