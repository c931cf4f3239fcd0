#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "controls/DROframe.h"
#include "controls/DroSpeedFrame.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "controls/MachMDIframe.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"

#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>

namespace {

struct PanelFixture : ::testing::Test, MainWindowHarness
{
    PanelFixture()
    {
        host->leds[800] = true;  // the host starts in reset
        host->onOEMButton = [this](int code) {
            if (code == 1021)
                host->leds[800] = !host->leds[800];
        };
    }

    TForm1& Start(bool hostRunning = true)
    {
        if (hostRunning)
            HostRunning();
        else
            HostKnown();
        return MainWindowHarness::Start();
    }

    void Poll() { window->wMach().UpdateThread()->PollPass(); }
    TMainPanel& Panel() { return window->Panel(); }
};

}  // namespace

// Out of reset every host-bound control of the panel is enabled; in reset all but the E-stop
// button are disabled and the E-stop button shows its reset face.
TEST_F(PanelFixture, ResetDisablesEverythingButTheEstopButton)
{
    Start();
    TMainPanel& panel = Panel();
    const QList<QWidget*> hostBound{panel.xDro(),          panel.yDro(),     panel.zDro(),
                                    panel.spdFeed(),       panel.spdRapid(), panel.btnStop(),
                                    panel.btnMachCoords(), panel.FloodButton(),
                                    panel.MistButton(),    panel.CodeButton1(),
                                    panel.CodeButton2()};
    Poll();
    for (QWidget* control : hostBound)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(panel.btnEstop()->isEnabled());
    EXPECT_EQ(panel.btnEstop()->text(), QStringLiteral("R&eset"));

    panel.btnEstop()->click();
    EXPECT_FALSE(host->leds[800]) << "the E-stop button takes the machine out of reset";
    Poll();
    for (QWidget* control : hostBound)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_NE(panel.btnEstop()->text(), QStringLiteral("R&eset"));
}

TEST_F(PanelFixture, BindingFollowsThePanelTable)
{
    Start();
    const QList<QObject*> registered = window->wMach().UpdateThread()->Registrations();
    TMainPanel& panel = Panel();
    for (QObject* control :
         std::initializer_list<QObject*>{panel.xDro(), panel.yDro(), panel.zDro(), panel.spdFeed(),
                                         panel.spdRapid(), panel.MachMDI1(), panel.btnStop(),
                                         panel.btnMachCoords(), panel.FloodButton(),
                                         panel.MistButton(), panel.CodeButton1(),
                                         panel.CodeButton2(), panel.btnEstop()})
        EXPECT_EQ(registered.count(control), 1) << control->objectName().toStdString();
    EXPECT_EQ(panel.btnStop()->ButtonCode(), 1003);
    EXPECT_EQ(panel.btnMachCoords()->ButtonCode(), 107);
    EXPECT_EQ(panel.btnMachCoords()->LEDCode(), 16);
    EXPECT_EQ(panel.FloodButton()->ButtonCode(), 113);
    EXPECT_EQ(panel.FloodButton()->LEDCode(), 13);
    EXPECT_EQ(panel.MistButton()->ButtonCode(), 114);
    EXPECT_EQ(panel.MistButton()->LEDCode(), 12);
    EXPECT_EQ(panel.spdFeed()->MachDROnum(), 818);
    EXPECT_EQ(panel.spdRapid()->MachDROnum(), 104);
    EXPECT_EQ(panel.xDro()->MachDROnum(), 800);
    EXPECT_EQ(panel.zDro()->MachDROnum(), 802);
}

TEST_F(PanelFixture, ZeroSetsXYZInOrderAndRefHomesAll)
{
    Start();
    host->leds[800] = false;
    Poll();
    host->ClearJournal();
    Panel().BtnZero()->click();
    EXPECT_EQ(host->Calls(QStringLiteral("SetOEMDRO")),
              (QStringList{QStringLiteral("SetOEMDRO(800, 0)"), QStringLiteral("SetOEMDRO(801, 0)"),
                           QStringLiteral("SetOEMDRO(802, 0)")}));

    host->ClearJournal();
    Panel().BtnRef()->click();
    EXPECT_EQ(host->journal, QStringList{QStringLiteral("DoOEMButton(105)")});
}

// Zeroing the axes is an ordinary step while the host is in reset, when the poll pass has
// disabled the readouts' own zero buttons.
TEST_F(PanelFixture, ZeroWorksInResetAndEndsAtTheFirstHostFailure)
{
    Start();
    Poll();
    ASSERT_FALSE(Panel().xDro()->ZeroButton()->isEnabled()) << "the host starts in reset";
    host->dros[800] = 4.5;
    host->ClearJournal();
    Panel().BtnZero()->click();
    EXPECT_EQ(host->Calls(QStringLiteral("SetOEMDRO")),
              (QStringList{QStringLiteral("SetOEMDRO(800, 0)"), QStringLiteral("SetOEMDRO(801, 0)"),
                           QStringLiteral("SetOEMDRO(802, 0)")}));
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());

    host->ClearJournal();
    host->failFromCall = host->callCount;  // the host has gone
    Panel().BtnZero()->click();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1) << "one error box, not one per axis";
    EXPECT_EQ(host->callCount - host->failFromCall, 1) << "Y and Z are not tried";
}

TEST_F(PanelFixture, ZeroWithoutAConnectionSendsNothing)
{
    Start(false);
    ASSERT_FALSE(window->wMach().Connected());
    Panel().BtnZero()->click();
    EXPECT_TRUE(host->journal.isEmpty());
    EXPECT_FALSE(Panel().xDro()->isEnabled());
    EXPECT_FALSE(Panel().MachMDI1()->isEnabled());
}

// Caption and code of both user code buttons come back after a restart, several lines and
// markup characters included.
TEST_F(PanelFixture, UserCodeButtonsSurviveARestart)
{
    Start();
    const QString code = QStringLiteral("G0 X1 (a<b & c>d)\r\nM1\r\nG1 X\"2\" F'10'");
    Panel().CodeButton1()->setText(QStringLiteral("Probe & <go>"));
    Panel().CodeButton1()->SetCode(code);
    Panel().CodeButton2()->SetCode(QStringLiteral("M8"));
    window->close();
    window.reset();

    Start();
    EXPECT_EQ(Panel().CodeButton1()->text(), QStringLiteral("Probe & <go>"));
    EXPECT_EQ(Panel().CodeButton1()->code(), code);
    EXPECT_EQ(Panel().CodeButton2()->text(), QStringLiteral("User Code 2"));
    EXPECT_EQ(Panel().CodeButton2()->code(), QStringLiteral("M8"));
}

TEST_F(PanelFixture, FloodFollowsItsLampOnTheNextPass)
{
    Start();
    host->leds[800] = false;
    host->onOEMButton = [this](int code) {
        if (code == 113)
            host->leds[13] = !host->leds[13];
    };
    Poll();
    Panel().FloodButton()->click();
    EXPECT_EQ(host->Calls(QStringLiteral("DoOEMButton")),
              QStringList{QStringLiteral("DoOEMButton(113)")});
    EXPECT_FALSE(Panel().FloodButton()->Toggled());
    Poll();
    EXPECT_TRUE(Panel().FloodButton()->Toggled());
}

// Activating the main window puts the keyboard focus on the E-stop button and makes the window
// opaque; leaving it makes the window translucent.
TEST_F(PanelFixture, ActivationFocusesTheEstopButton)
{
    TForm1& form = Start();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(Panel().btnEstop()->hasFocus());
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0);

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_NEAR(form.windowOpacity(), 228.0 / 255.0, 0.01);
    form.close();
}
