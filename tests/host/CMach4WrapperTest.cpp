#include "host/CMach4Wrapper.h"

#include "host/MachUpdateThread.h"
#include "platform/ZentyrError.h"

#include "FakePlatform.h"
#include "RecordingHost.h"
#include "TestControls.h"

#include <gtest/gtest.h>

namespace {

const QString Caption = QStringLiteral("Mach3 CNC Controller ");

struct WrapperFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    QObject owner;
    TCMach4Wrapper* wMach = new TCMach4Wrapper(documents, platform.services, &owner);

    void HostRunning() { platform.hostWindows.caption = Caption; }
    // The host comes up when launched.
    void HostStartsOnLaunch()
    {
        platform.shell.onStart = [this] { platform.hostWindows.caption = Caption; };
    }
    QString AttachError()
    {
        try {
            wMach->SetActive(true);
        } catch (const ZentyrError& e) {
            return e.message();
        }
        return {};
    }
};

}  // namespace

TEST_F(WrapperFixture, HostRunningWithLocationSetAttachesWithoutDialogLaunchOrWait)
{
    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(AttachError(), QString());
    EXPECT_TRUE(platform.fileDialogs.opened.isEmpty());
    EXPECT_TRUE(platform.shell.starts.isEmpty());
    EXPECT_EQ(platform.waiter.totalMs, 0);
    EXPECT_TRUE(wMach->Attached());
    EXPECT_TRUE(wMach->Connected());
    EXPECT_EQ(wMach->Profile(), QString()) << "an empty profile is not asked for";
    ASSERT_NE(wMach->UpdateThread(), nullptr);
    EXPECT_TRUE(wMach->UpdateThread()->IsPolling());
    EXPECT_EQ(wMach->MachDir(), QStringLiteral("/opt/mach3/"));
}

TEST_F(WrapperFixture, EmptyLocationAsksForTheExecutableFirstEvenWhenTheHostRuns)
{
    HostRunning();
    platform.fileDialogs.answers.push_back(QStringLiteral("C:\\Mach3\\Mach3.exe"));
    EXPECT_EQ(AttachError(), QString());
    ASSERT_EQ(platform.fileDialogs.opened.size(), 1);
    const FileDialogOptions& asked = platform.fileDialogs.opened[0];
    EXPECT_EQ(asked.fileName, QStringLiteral("Mach3.exe"));
    EXPECT_TRUE(asked.filter.isEmpty());
    EXPECT_TRUE(asked.fileMustExist);
    EXPECT_EQ(wMach->MachLoc(), QStringLiteral("C:\\Mach3\\Mach3.exe"));
    EXPECT_EQ(wMach->MachDir(), QStringLiteral("C:\\Mach3\\"));
}

TEST_F(WrapperFixture, CancelledExecutableDialogFailsBeforeLookingForTheHost)
{
    HostRunning();
    EXPECT_EQ(AttachError(), QStringLiteral("Unable to Load Mach3"));
    EXPECT_EQ(platform.hostWindows.findCount, 0);
    EXPECT_FALSE(wMach->Attached());
}

TEST_F(WrapperFixture, LaunchWithTheProfileWaitsThenAttaches)
{
    HostStartsOnLaunch();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    wMach->SetProfile(QStringLiteral("Mach3Mill"));
    EXPECT_EQ(AttachError(), QString());
    ASSERT_EQ(platform.shell.starts.size(), 1);
    EXPECT_EQ(platform.shell.starts[0].program, QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(platform.shell.starts[0].parameters, QStringLiteral("/p \"Mach3Mill\""));
    EXPECT_EQ(platform.waiter.totalMs, 4000);
    EXPECT_TRUE(wMach->Connected());
}

TEST_F(WrapperFixture, EmptyProfileIsAskedForAndCutAtItsFirstDot)
{
    HostStartsOnLaunch();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    platform.fileDialogs.answers.push_back(QStringLiteral("/opt/mach3/Fast.Mill.xml"));
    EXPECT_EQ(AttachError(), QString());
    ASSERT_EQ(platform.fileDialogs.opened.size(), 1);
    const FileDialogOptions& asked = platform.fileDialogs.opened[0];
    EXPECT_EQ(asked.filter, QStringLiteral("MachProfile (*.xml)|*.XML"));
    EXPECT_EQ(asked.defaultExtension, QStringLiteral("xml"));
    EXPECT_EQ(asked.initialFolder, QStringLiteral("/opt/mach3/"));
    EXPECT_EQ(asked.fileName, QStringLiteral("*.xml"));
    EXPECT_EQ(wMach->Profile(), QStringLiteral("Fast"));
    EXPECT_EQ(platform.shell.starts[0].parameters, QStringLiteral("/p \"Fast\""));
}

TEST_F(WrapperFixture, AttachFailures)
{
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(AttachError(), QStringLiteral("Unable to Find Mach Profile"));
    EXPECT_TRUE(platform.shell.starts.isEmpty());

    wMach->SetProfile(QStringLiteral("Mill"));
    platform.shell.result = 2;
    EXPECT_EQ(AttachError(), QStringLiteral("Unable to start Mach: 2"));
    EXPECT_EQ(platform.waiter.totalMs, 4000) << "the wait comes before the result is judged";

    platform.shell.result = 33;
    EXPECT_EQ(AttachError(), QStringLiteral("Mach not found"));
    EXPECT_FALSE(wMach->Attached());
    EXPECT_FALSE(wMach->Connected());
}

TEST_F(WrapperFixture, HostWindowVisibilityBeforeAndAfterAttaching)
{
    wMach->SetMachWindowVisible(false);
    EXPECT_TRUE(platform.hostWindows.calls.isEmpty()) << "before attaching only the value is kept";

    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(AttachError(), QString());
    EXPECT_FALSE(platform.hostWindows.visible) << "hidden at attach";

    wMach->SetMachWindowVisible(true);
    EXPECT_TRUE(platform.hostWindows.visible);
    EXPECT_EQ(platform.hostWindows.calls.last(), QStringLiteral("Show"));

    platform.hostWindows.caption.clear();
    try {
        wMach->SetMachWindowVisible(false);
        FAIL() << "an absent host window must be reported";
    } catch (const ZentyrError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Mach not found"));
    }
}

TEST_F(WrapperFixture, ConnectFailureIsSilentAndLeavesControlsUnbound)
{
    HostRunning();
    documents.hostRunning = false;
    TestControl control(&owner);
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(AttachError(), QString());
    EXPECT_TRUE(wMach->Attached());
    EXPECT_FALSE(wMach->Connected());
    EXPECT_EQ(control.bindCount, 0);
    EXPECT_EQ(wMach->iMach(), nullptr);
}

// The exact sequence that leaves a machine running: output signals off, reset, then the
// release (which finds the machine already in reset).
TEST_F(WrapperFixture, DisconnectOutOfResetPutsTheMachineInResetAndReleases)
{
    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    ASSERT_EQ(AttachError(), QString());
    host->leds[800] = false;
    host->onOEMButton = [this](int code) {
        if (code == 1021)
            host->leds[800] = !host->leds[800];
    };
    host->ClearJournal();
    platform.waiter.waits.clear();

    wMach->SetConnected(false);
    EXPECT_EQ(host->journal,
              (QStringList{QStringLiteral("GetOEMLed(800)"), QStringLiteral("DeActivateSignal(7)"),
                           QStringLiteral("DeActivateSignal(8)"), QStringLiteral("DeActivateSignal(9)"),
                           QStringLiteral("DeActivateSignal(10)"), QStringLiteral("DoOEMButton(1021)"),
                           QStringLiteral("GetOEMLed(800)"), QStringLiteral("Doc.Release()")}));
    EXPECT_EQ(platform.waiter.waits,
              (QStringList{QStringLiteral("ProcessEvents"), QStringLiteral("Sleep(200)")}));
    EXPECT_FALSE(wMach->Connected());
    EXPECT_EQ(wMach->UpdateThread(), nullptr);

    host->ClearJournal();
    wMach->SetConnected(false);
    EXPECT_TRUE(host->journal.isEmpty()) << "disconnecting twice does nothing";
}

TEST_F(WrapperFixture, DisconnectInResetOnlyReleases)
{
    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    ASSERT_EQ(AttachError(), QString());
    host->leds[800] = true;
    host->ClearJournal();
    wMach->SetConnected(false);
    EXPECT_EQ(host->journal, (QStringList{QStringLiteral("GetOEMLed(800)"),
                                          QStringLiteral("GetOEMLed(800)"),
                                          QStringLiteral("Doc.Release()")}));
}

TEST_F(WrapperFixture, DisconnectEndsDisconnectedEvenWhenTheHostHasGone)
{
    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    ASSERT_EQ(AttachError(), QString());
    host->failFromCall = host->callCount;
    EXPECT_THROW(wMach->SetConnected(false), ZentyrError);
    EXPECT_FALSE(wMach->Connected());
}

// Binding follows each control's row, skips a bound control's own children, takes the last
// message log, and registers again on a second bind.
TEST_F(WrapperFixture, BindWindowHandsOutWhatEachRowSays)
{
    QObject window;
    EXPECT_THROW(
        {
            try {
                wMach->BindWindow(&window);
            } catch (const ZentyrError& e) {
                EXPECT_EQ(e.message(), QStringLiteral("IMach not Set"));
                throw;
            }
        },
        ZentyrError);

    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    ASSERT_EQ(AttachError(), QString());

    auto* panel = new QObject(&window);
    auto* withThread = new TestControl(panel, {true, true, true});
    auto* dro = new TestControl(&window, {false, false, true});
    auto* jogDir = new TestControl(&window, {true, false, false});
    auto* inner = new TestControl(jogDir);
    auto* log = new TestMessageLog(&window);

    wMach->BindWindow(&window);
    EXPECT_EQ(withThread->iMach, wMach->iMach());
    EXPECT_EQ(withThread->updateThread, wMach->UpdateThread());
    EXPECT_EQ(dro->bindCount, 1);
    EXPECT_EQ(dro->iMach, nullptr);
    EXPECT_EQ(jogDir->iMach, wMach->iMach());
    EXPECT_EQ(jogDir->updateThread, nullptr);
    EXPECT_EQ(inner->bindCount, 0) << "a bound control binds its own parts";
    EXPECT_EQ(wMach->UpdateThread()->Registrations(), (QList<QObject*>{withThread, dro}));
    EXPECT_EQ(wMach->MessageLog(), log);

    wMach->BindWindow(&window);
    EXPECT_EQ(wMach->UpdateThread()->Registrations(),
              (QList<QObject*>{withThread, dro, withThread, dro}));

    QObject empty;
    wMach->BindWindow(&empty);
    EXPECT_EQ(wMach->UpdateThread()->Registrations().size(), 4);

    host->ClearJournal();
    wMach->StatusMessage(QStringLiteral("Axis Referenced"));
    EXPECT_EQ(host->journal, QStringList{QStringLiteral("Message(\"Axis Referenced\")")});
    EXPECT_EQ(log->lines, QStringList{QStringLiteral("Axis Referenced")});
    delete log;
    wMach->StatusMessage(QStringLiteral("again"));
    EXPECT_EQ(wMach->MessageLog(), nullptr);
}

TEST_F(WrapperFixture, HostCommands)
{
    EXPECT_THROW(wMach->ZeroX(), ZentyrError) << "no script object";
    EXPECT_FALSE(wMach->Stopped());

    HostRunning();
    wMach->SetMachLoc(QStringLiteral("/opt/mach3/Mach3.exe"));
    ASSERT_EQ(AttachError(), QString());
    QStringList reloaded;
    wMach->SetEditorReload([&](const QString& path) { reloaded.append(path); });
    host->leds[800] = true;
    host->leds[80] = true;
    host->dros[818] = 12.5;
    host->vars[2002] = -0.25;
    host->ClearJournal();
    platform.waiter.waits.clear();

    EXPECT_TRUE(wMach->Stopped());
    wMach->EnableMachine();
    host->leds[800] = false;
    wMach->EnableMachine();
    wMach->ZeroX();
    wMach->ZeroY();
    wMach->ZeroZ();
    wMach->GotoSafeZ();
    wMach->PressOEMButton(113);
    EXPECT_EQ(wMach->ReadDRO(818), 12.5);
    wMach->WriteDRO(104, 80);
    EXPECT_EQ(wMach->GetVariable(2002), -0.25);
    wMach->SendCode(QStringLiteral("G0 X1"));
    wMach->LoadGCodeFile(QStringLiteral("/tmp/a.tap"));
    EXPECT_THROW(wMach->PressOEMButton(40000), ZentyrError);

    EXPECT_EQ(host->journal,
              (QStringList{
                  QStringLiteral("GetOEMLed(80)"), QStringLiteral("GetOEMLed(800)"),
                  QStringLiteral("DoOEMButton(1021)"), QStringLiteral("GetOEMLed(800)"),
                  QStringLiteral("DoOEMButton(1008)"), QStringLiteral("DoOEMButton(1009)"),
                  QStringLiteral("DoOEMButton(1010)"), QStringLiteral("DoOEMButton(104)"),
                  QStringLiteral("DoOEMButton(113)"), QStringLiteral("GetOEMDRO(818)"),
                  QStringLiteral("SetOEMDRO(104, 80)"), QStringLiteral("GetVar(2002)"),
                  QStringLiteral("Code(\"G0 X1\")"), QStringLiteral("DoOEMButton(169)"),
                  QStringLiteral("LoadFile(\"/tmp/a.tap\")")}));
    EXPECT_EQ(platform.waiter.waits, QStringList{QStringLiteral("SleepProcessingEvents(250)")});
    EXPECT_EQ(reloaded, QStringList{QStringLiteral("/tmp/a.tap")});
}
