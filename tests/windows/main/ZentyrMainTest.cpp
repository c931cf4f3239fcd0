#include "windows/ZentyrMain.h"

#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "windows/XmlLayoutStorage.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QToolButton>
#include <QTemporaryDir>

namespace {

const QString HostCaption = QStringLiteral("Mach3 CNC Controller ");

struct MainWindowFixture : ::testing::Test
{
    QTemporaryDir folder;
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    FakeSettingsStore settings;
    std::unique_ptr<TForm1> window;

    QString LayoutPath() const { return folder.filePath(QStringLiteral("Zentyr.dsktp")); }

    void HostRunning()
    {
        platform.hostWindows.caption = HostCaption;
        settings.values[QStringLiteral("Mach Location")] = QStringLiteral("/opt/mach3/Mach3.exe");
        settings.values[QStringLiteral("Mach Profile")] = QStringLiteral("Mill");
    }

    TForm1& Start(const QString& defaultMachLoc = {}, const QString& defaultProfile = {})
    {
        ZentyrContext context{platform.services,
                              documents,
                              settings,
                              folder.filePath(QStringLiteral("zentyr")),
                              LayoutPath(),
                              defaultMachLoc,
                              defaultProfile};
        window = std::make_unique<TForm1>(context);
        window->FormCreate();
        return *window;
    }
};

}  // namespace

TEST(DesktopLayoutFile, ProgramPathRule)
{
    EXPECT_EQ(DesktopLayoutFileForProgram(QStringLiteral("C:\\Zentyr\\Zentyr.exe")),
              QStringLiteral("C:\\Zentyr\\Zentyr.dsktp"));
    // An upper-case extension still names the file beside the program.
    EXPECT_EQ(DesktopLayoutFileForProgram(QStringLiteral("C:\\ZENTYR\\ZENTYR.EXE")),
              QStringLiteral("C:\\ZENTYR\\ZENTYR.dsktp"));
    EXPECT_EQ(DesktopLayoutFileForProgram(QStringLiteral("/usr/bin/zentyr")),
              QStringLiteral("/usr/bin/zentyr.dsktp"));
}

TEST(RefreshRate, Answers)
{
    EXPECT_EQ(RefreshRateFromAnswer(QStringLiteral("20")), 50);
    EXPECT_EQ(RefreshRateFromAnswer(QStringLiteral("75")), 75);
    EXPECT_EQ(RefreshRateFromAnswer(QStringLiteral("-3")), 50);
    EXPECT_EQ(RefreshRateFromAnswer(QStringLiteral("fast")), std::nullopt);
    EXPECT_EQ(RefreshRateFromAnswer(QStringLiteral("12ms")), std::nullopt);
    EXPECT_EQ(RefreshRateFromAnswer(QString()), std::nullopt);
}

TEST_F(MainWindowFixture, RefreshRateBoxChangesTheRunningInterval)
{
    HostRunning();
    TForm1& form = Start();
    ASSERT_TRUE(form.wMach().Connected());
    EXPECT_EQ(form.RefreshRate(), 150);

    platform.inputBox.answers = {QStringLiteral("20"), QStringLiteral("abc"), QString(),
                                 std::nullopt, QStringLiteral("400")};
    form.AskRefreshRate();
    EXPECT_EQ(form.RefreshRate(), 50);
    EXPECT_EQ(form.wMach().UpdateThread()->Interval(), 50);
    form.AskRefreshRate();
    form.AskRefreshRate();
    form.AskRefreshRate();
    EXPECT_EQ(form.RefreshRate(), 50) << "non-numeric, empty and cancelled answers change nothing";
    form.AskRefreshRate();
    EXPECT_EQ(form.wMach().UpdateThread()->Interval(), 400);
    EXPECT_EQ(platform.inputBox.prompts.first(),
              QStringLiteral("Enter Frequency in Milliseconds, Min=50"));
}

TEST_F(MainWindowFixture, StartUpFailureKeepsTheCaptionAndLeavesTheHostUnbound)
{
    settings.values[QStringLiteral("Mach Location")] = QStringLiteral("/opt/mach3/Mach3.exe");
    // No host runs and no profile is known: the profile dialog is cancelled.
    TForm1& form = Start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_FALSE(form.wMach().Connected());
    EXPECT_EQ(form.wMach().UpdateThread(), nullptr);
    EXPECT_TRUE(platform.shell.starts.isEmpty());
}

TEST_F(MainWindowFixture, StartsAgainstARunningHostAndHidesItWhenAsked)
{
    HostRunning();
    settings.values[QStringLiteral("Mach Visible On Startup")] = QStringLiteral("FALSE");
    TForm1& form = Start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zentyr: Mill"));
    EXPECT_TRUE(form.wMach().Connected());
    EXPECT_FALSE(platform.hostWindows.visible);
    EXPECT_FALSE(form.MachVisibleOnStartAction()->isChecked());
    EXPECT_TRUE(platform.shell.starts.isEmpty());
}

TEST_F(MainWindowFixture, WithoutStoredLocationTheBundledHostIsLaunched)
{
    platform.shell.onStart = [this] { platform.hostWindows.caption = HostCaption; };
    TForm1& form = Start(QStringLiteral("/opt/zentyr/hostsim"), QStringLiteral("Mach3Mill"));
    ASSERT_EQ(platform.shell.starts.size(), 1);
    EXPECT_EQ(platform.shell.starts[0].program, QStringLiteral("/opt/zentyr/hostsim"));
    EXPECT_EQ(platform.shell.starts[0].parameters, QStringLiteral("/p \"Mach3Mill\""));
    EXPECT_TRUE(platform.fileDialogs.opened.isEmpty());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zentyr: Mach3Mill"));
}

TEST_F(MainWindowFixture, CloseReleasesTheHostStoresTheSettingsAndWritesTheLayoutAtExit)
{
    HostRunning();
    TForm1& form = Start();
    form.MachVisibleOnStartAction()->setChecked(false);
    form.move(210, 120);
    form.SaveDesktopLayout();
    EXPECT_FALSE(QFile::exists(LayoutPath())) << "nothing reaches the disk before exit";
    host->leds[800] = true;
    host->ClearJournal();

    form.close();
    EXPECT_EQ(host->journal.last(), QStringLiteral("Doc.Release()"));
    EXPECT_FALSE(form.wMach().Connected());
    EXPECT_EQ(settings.values.value(QStringLiteral("Mach Visible On Startup")),
              QStringLiteral("FALSE"));
    EXPECT_EQ(settings.values.value(QStringLiteral("Mach Location")),
              QStringLiteral("/opt/mach3/Mach3.exe"));
    EXPECT_EQ(settings.values.value(QStringLiteral("Mach Profile")), QStringLiteral("Mill"));
    EXPECT_TRUE(settings.values.contains(QStringLiteral("Skin Name")));

    window.reset();
    ASSERT_TRUE(QFile::exists(LayoutPath()));
    TXmlLayoutStorage written(LayoutPath());
    written.SelectSection(TForm1::MainSection);
    EXPECT_EQ(written.ReadInteger(QStringLiteral("Left"), -1), 210);
    EXPECT_EQ(written.ReadInteger(QStringLiteral("Top"), -1), 120);
    EXPECT_FALSE(written.ReadBoolean(QStringLiteral("JogFormAlloc"), true));
}

// A host that died must not cost the operator the settings saved after the release.
TEST_F(MainWindowFixture, CloseWithAHostThatHasGoneStillSavesTheSettings)
{
    HostRunning();
    TForm1& form = Start();
    host->failFromCall = host->callCount;
    form.close();
    EXPECT_FALSE(form.wMach().Connected());
    EXPECT_EQ(settings.values.value(QStringLiteral("Mach Profile")), QStringLiteral("Mill"));
}

TEST_F(MainWindowFixture, ToolWindowsOpenOnceAndShowEveryTime)
{
    HostRunning();
    TForm1& form = Start();
    int created = 0;
    int firstOpens = 0;
    form.SetToolWindow(TForm1::ToolWindow::Jog,
                       TToolWindowSlot([&] { ++created; return new QWidget; },
                                       [&](QWidget* w) {
                                           ++firstOpens;
                                           form.wMach().BindWindow(w);
                                       }));
    form.OpenToolWindow(TForm1::ToolWindow::Jog);
    QWidget* jog = form.ToolWindowSlot(TForm1::ToolWindow::Jog).Window();
    ASSERT_NE(jog, nullptr);
    EXPECT_TRUE(jog->isVisible());
    jog->hide();
    form.OpenToolWindow(TForm1::ToolWindow::Jog);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(firstOpens, 1);
    EXPECT_TRUE(jog->isVisible());
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
}

TEST_F(MainWindowFixture, FailingBindLeavesTheWindowCreatedButHidden)
{
    TForm1& form = Start();  // no host: binding will fail
    int firstOpens = 0;
    form.SetToolWindow(TForm1::ToolWindow::Spindle,
                       TToolWindowSlot([] { return new QWidget; },
                                       [&](QWidget* w) {
                                           ++firstOpens;
                                           form.wMach().BindWindow(w);
                                       }));
    form.OpenToolWindow(TForm1::ToolWindow::Spindle);
    QWidget* spindle = form.ToolWindowSlot(TForm1::ToolWindow::Spindle).Window();
    ASSERT_NE(spindle, nullptr);
    EXPECT_FALSE(spindle->isVisible());
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("IMach not Set"));

    form.OpenToolWindow(TForm1::ToolWindow::Spindle);
    EXPECT_TRUE(spindle->isVisible());
    EXPECT_EQ(firstOpens, 1);
}

TEST_F(MainWindowFixture, CommandsOfWindowsNotOfferedAreDisabledAndHelpOpensTheHelpFile)
{
    TForm1& form = Start();
    EXPECT_FALSE(form.BambooTitleButton()->isEnabled());
    form.SetToolWindow(TForm1::ToolWindow::Bamboo,
                       TToolWindowSlot([] { return new QWidget; }, nullptr));
    EXPECT_TRUE(form.BambooTitleButton()->isEnabled());

    form.OpenHelp();
    ASSERT_EQ(platform.shell.documents.size(), 1);
    EXPECT_TRUE(platform.shell.documents[0].endsWith(QStringLiteral("Zentyr.chm")));
}

TEST_F(MainWindowFixture, HostWindowToggleReportsAMissingHost)
{
    HostRunning();
    TForm1& form = Start();
    form.ToggleMachVisible();
    EXPECT_FALSE(platform.hostWindows.visible);
    platform.hostWindows.caption.clear();
    form.ToggleMachVisible();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("Mach not found"));
}
