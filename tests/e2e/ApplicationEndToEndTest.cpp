#include "app/ToolWindows.h"
#include "controls/DROframe.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "controls/MachMDIframe.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/GCodeLineList.h"
#include "windows/MachGCodeForm.h"
#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "RealHostServices.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>
#include <QTemporaryDir>

#include <signal.h>

namespace {

// The application's main window over the link to a real hostsim, with native waits and
// program starts and fake dialogs.
struct EndToEnd : ::testing::Test
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    RealHostServices services;
    hostlink::LinkDocumentFactory& documents = services.documents;
    PlatformServices& platform = services.platform;
    FakePlatform& fakes = services.fakes;
    std::unique_ptr<TForm1> window;

    void SetUp() override { ASSERT_TRUE(hostsim.Start()); }

    TForm1& StartZentyr()
    {
        window = services.StartMainWindow(folder, HostsimProcess::ProgramPath());
        return *window;
    }

    QString LayoutPath() const { return folder.filePath(QStringLiteral("Zentyr.dsktp")); }
    void Poll() { window->wMach().UpdateThread()->PollPass(); }
    IMyScriptObject& Host() { return *window->wMach().iMach(); }
};

}  // namespace

TEST_F(EndToEnd, StartsAgainstTheSimulatorAndLeavesItInResetWhenClosed)
{
    TForm1& form = StartZentyr();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zentyr: Mach3Mill"));
    ASSERT_TRUE(form.wMach().Connected());
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    form.Panel().btnEstop()->click();
    ASSERT_FALSE(Host().GetOEMLed(800)) << "out of reset";

    form.close();
    window.reset();
    EXPECT_TRUE(QFile::exists(LayoutPath()));

    const QStringList calls = hostsim.JournalCalls();
    const QStringList tail = calls.mid(calls.size() - 8);
    EXPECT_EQ(tail, (QStringList{QStringLiteral("GetOEMLed(800)"),
                                 QStringLiteral("DeActivateSignal(7)"),
                                 QStringLiteral("DeActivateSignal(8)"),
                                 QStringLiteral("DeActivateSignal(9)"),
                                 QStringLiteral("DeActivateSignal(10)"),
                                 QStringLiteral("DoOEMButton(1021)"),
                                 QStringLiteral("GetOEMLed(800)"), QStringLiteral("Release()")}))
        << calls.join(QLatin1Char('\n')).toStdString();

    // The simulator stays in reset: a fresh connection finds LED 800 lit.
    auto document = hostsim.Connect();
    EXPECT_TRUE(document->GetScriptObject()->GetOEMLed(800));
}

TEST_F(EndToEnd, OperatorRunsTheMachineFromThePanel)
{
    TForm1& form = StartZentyr();
    ASSERT_TRUE(form.wMach().Connected());
    TMainPanel& panel = form.Panel();
    Poll();
    EXPECT_FALSE(panel.FloodButton()->isEnabled()) << "in reset";

    panel.btnEstop()->click();
    Poll();
    EXPECT_TRUE(panel.FloodButton()->isEnabled());
    EXPECT_TRUE(panel.xDro()->isEnabled());

    panel.FloodButton()->click();
    EXPECT_TRUE(Host().GetOEMLed(13)) << "the simulator's flood is on";
    Poll();
    EXPECT_TRUE(panel.FloodButton()->Toggled());

    panel.MachMDI1()->CodeBox()->setEditText(QStringLiteral("G0 X0.5"));
    panel.MachMDI1()->SendLine();
    ASSERT_TRUE(WaitUntil([&] { return !Host().IsMoving(); }, 5000));
    Poll();
    EXPECT_DOUBLE_EQ(panel.xDro()->Field()->Value(), 0.5);

    form.close();
}

// The operator types a program in the editor and runs it: it is saved, the simulator loads and
// runs it, and the list's selection follows the simulator's current line to the end.
TEST_F(EndToEnd, EditorRunsATypedProgramAndFollowsItsLines)
{
    TForm1& form = StartZentyr();
    ASSERT_TRUE(form.wMach().Connected());
    form.Panel().btnEstop()->click();
    ASSERT_FALSE(Host().GetOEMLed(800)) << "out of reset";
    form.OpenToolWindow(TForm1::ToolWindow::Editor);
    auto* editor =
        static_cast<TGCodeEditor*>(form.ToolWindowSlot(TForm1::ToolWindow::Editor).Window());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    Poll();

    QTest::mouseClick(editor->CodeList()->viewport(), Qt::LeftButton);  // the text to the front
    const QStringList program{QStringLiteral("G1 X0.5 F60"), QStringLiteral("G1 X1"),
                              QStringLiteral("G1 X0")};
    for (const QString& line : program) {
        QTest::keyClicks(editor->CodeText(), line);
        QTest::keyClick(editor->CodeText(), Qt::Key_Return);
    }
    ASSERT_TRUE(editor->Commands().Modified());
    const QString path = folder.filePath(QStringLiteral("typed.tap"));
    fakes.fileDialogs.answers = {path};

    editor->btnRun()->click();
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("G1 X0.5 F60\r\nG1 X1\r\nG1 X0\r\n"));
    EXPECT_EQ(Host().FileName(), path);
    EXPECT_TRUE(editor->ListInFront());
    EXPECT_EQ(editor->CodeList()->Lines(), program);

    // Follow the run: every pass selects the line the simulator reports.
    QSet<int> followed;
    const bool ended = WaitUntil(
        [&] {
            // The host's state first, then the pass: a pass that saw the end is the last one.
            const int line = int(Host().GetOEMDRO(816));
            const bool moving = Host().IsMoving();
            Poll();
            const int selected = editor->CodeList()->ItemIndex();
            if (selected >= 0)
                followed.insert(selected);
            return followed.contains(2) && line == 0 && !moving;
        },
        10000);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(followed.contains(1) && followed.contains(2)) << followed.size();
    EXPECT_EQ(editor->CodeList()->ItemIndex(), 0) << "the finished program rewinds";
    EXPECT_NEAR(Host().GetOEMDRO(800), 0.0, 1e-6);

    const QStringList calls = hostsim.JournalCalls();
    const qsizetype load = calls.indexOf(QStringLiteral("LoadFile(\"") + path + QStringLiteral("\")"));
    ASSERT_GE(load, 0) << calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(calls.indexOf(QStringLiteral("DoOEMButton(1000)"), load), load);
    form.close();
}

// The host connection launches the simulator itself when it is not running, and attaches.
TEST(EndToEndLaunch, AttachLaunchesTheSimulatorWithItsProfile)
{
    HostsimProcess environment;  // private runtime folder; not started
    QTemporaryDir home;
    qputenv("HOSTSIM_HOME", QFile::encodeName(home.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    hostlink::LinkDocumentFactory documents;
    hostlink::LinkHostWindows hostWindows;
    NativeShell shell;
    FakePlatform fakes;
    // The launch wait is the fake's: the simulator is given time by waiting for its window.
    fakes.waiter.onWait = [&] {
        WaitUntil([&] { return hostWindows.FindWindowByCaption(TCMach4Wrapper::HostWindowCaption)
                                   .has_value(); },
                  5000);
    };
    PlatformServices platform{hostWindows, shell, fakes.fileDialogs, fakes.messageBoxes,
                              fakes.inputBox, fakes.waiter};
    QObject owner;
    auto* wMach = new TCMach4Wrapper(documents, platform, &owner);
    wMach->SetMachLoc(HostsimProcess::ProgramPath());
    wMach->SetProfile(QStringLiteral("Mach3Mill"));
    wMach->SetActive(true);
    EXPECT_EQ(fakes.waiter.waits, QStringList{QStringLiteral("SleepProcessingEvents(4000)")});
    EXPECT_TRUE(wMach->Attached());
    ASSERT_TRUE(wMach->Connected());
    EXPECT_TRUE(wMach->iMach()->GetOEMLed(800));
    EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("Macros/Mach3Mill"))));

    wMach->SetConnected(false);
    const qint64 pid = ServerPid(environment.SocketPath());
    qunsetenv("HOSTSIM_HOME");
    ASSERT_GT(pid, 0);
    ::kill(static_cast<pid_t>(pid), SIGTERM);
}
