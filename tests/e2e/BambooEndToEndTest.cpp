#include "app/ToolWindows.h"
#include "bamboo/BambooMillMainForm.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "controls/MachButton.h"
#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "RealHostServices.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

#define S QStringLiteral

// The program against a real hostsim whose probe is a fork 2.02 wide straddling its target
// (x and y in -1..1, top at z -1): straddling, the probe centres at Y 0 with contacts 0.01 to
// either side. The host's folder (its GCode folder included) is the simulator's home, so the
// program files land where the simulator looks.
struct BambooEndToEnd : ::testing::Test
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    RealHostServices services;
    FakePlatform& fakes = services.fakes;
    std::unique_ptr<TForm1> window;
    TBambooMillForm* bamboo = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(hostsim.Start({S("/p"), S("Mach3Mill"), S("/fork"), S("2.02")}));
        window = services.StartMainWindow(folder, QDir(hostsim.HomeFolder()).filePath(S("Mach3.exe")));
        ASSERT_TRUE(window->wMach().Connected());
        window->Panel().btnEstop()->click();  // out of reset
        window->OpenToolWindow(TForm1::ToolWindow::Bamboo);
        bamboo = qobject_cast<TBambooMillForm*>(
            window->ToolWindowSlot(TForm1::ToolWindow::Bamboo).Window());
        ASSERT_NE(bamboo, nullptr);
    }
    void TearDown() override
    {
        if (window)
            window->close();
    }

    IMyScriptObject& Host() { return *window->wMach().iMach(); }
    void MoveTo(const QString& code)
    {
        Host().Code(code);
        ASSERT_TRUE(WaitUntil([&] { return !Host().IsMoving(); }, 10000));
    }
    void TickProbeChecklist()
    {
        const TBambooMillControls& c = bamboo->Controls();
        for (QCheckBox* box : {c.ckjogStraddle, c.ckPosStandard, c.ckjogZstd})
            box->setChecked(true);
    }
};

}  // namespace

// The platen program is written under the host's GCode folder and loaded: the current file is
// closed first and the host has the program.
TEST_F(BambooEndToEnd, CutPlatenWritesAndLoadsTheProgram)
{
    const TBambooMillControls& c = bamboo->Controls();
    for (QCheckBox* box : {c.ckPlaten, c.ckStraight, c.ckjogPosX, c.ckJogBgnZ})
        box->setChecked(true);
    c.btnCutPlaten->click();
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    const QString path = QDir(hostsim.HomeFolder()).filePath(S("GCode/Platen Cut.tap"));
    EXPECT_TRUE(QFile::exists(path));
    const QStringList calls = hostsim.JournalCalls();
    const qsizetype load = calls.indexOf(S("LoadFile(\"") + path + S("\")"));
    ASSERT_GE(load, 0) << calls.join(u'\n').toStdString();
    EXPECT_EQ(calls.mid(0, load).count(S("DoOEMButton(169)")), 2);
    EXPECT_TRUE(WaitUntil([&] { return Host().FileName() == path; }, 5000));
}

// Probe on the standard ends centred on it in Y and resting on its top in Z.
TEST_F(BambooEndToEnd, ProbeCentresOnTheStandardAndTouchesItsTop)
{
    MoveTo(S("G0 Y0.005 Z-0.99"));
    TickProbeChecklist();
    bamboo->Controls().btnProbe->click();
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
    EXPECT_NEAR(Host().GetOEMDRO(801), 0.0, 1e-6);
    EXPECT_NEAR(Host().GetOEMDRO(802), -1.0, 1e-6);
    EXPECT_NEAR(Host().GetVar(2002), -1.0, 1e-6);
    const QStringList calls = hostsim.JournalCalls();
    EXPECT_TRUE(calls.contains(S("Code(\"G01 F1 Y0.0000\")"))) << calls.join(u'\n').toStdString();
    EXPECT_TRUE(calls.contains(S("Code(\"g31 z-10\")")));
    EXPECT_FALSE(calls.contains(S("Message(\"Probing Halted\")")));
    EXPECT_FALSE(bamboo->Actions().Busy());
}

// Stop in the main window during a probe's wait halts it: "Probing Halted", nothing further.
TEST_F(BambooEndToEnd, StopDuringAProbeEndsItWithProbingHalted)
{
    TickProbeChecklist();  // above the standard: the first probe move meets nothing
    // The operator's click: input is held while a host call waits, so it lands between calls.
    QTimer::singleShot(1000, window.get(), [&] {
        WhenNoHostCall(window.get(), [&] { window->Panel().btnStop()->click(); });
    });
    bamboo->Controls().btnProbe->click();
    const QStringList calls = hostsim.JournalCalls();
    ASSERT_TRUE(calls.contains(S("Message(\"Probing Halted\")")))
        << calls.join(u'\n').toStdString();
    const qsizetype halted = calls.lastIndexOf(S("Message(\"Probing Halted\")"));
    EXPECT_EQ(calls.mid(halted).filter(S("Code(")).size(), 0) << "nothing sent after the halt";
    EXPECT_LT(Host().GetOEMDRO(801), 0.2) << "stopped short of the probe's end";
    EXPECT_TRUE(bamboo->Controls().btnProbe->isEnabled());
}
