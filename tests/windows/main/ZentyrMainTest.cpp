#include "windows/ZentyrMain.h"

#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "windows/ACSkinsDlg.h"
#include "windows/SkinManager.h"
#include "windows/XmlLayoutStorage.h"
#include "windows/ZentyrAbout.h"

#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QTimer>
#include <QFile>
#include <QToolButton>
#include <QTemporaryDir>

namespace {

const QString HostCaption = QStringLiteral("Mach3 CNC Controller ");

struct MainWindowFixture : ::testing::Test, MainWindowHarness
{
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
    EXPECT_EQ(platform.inputBox.captions.first(), QStringLiteral("Mach Update Frequency"));
    EXPECT_EQ(platform.inputBox.values,
              (QStringList{QStringLiteral("150"), QStringLiteral("50"), QStringLiteral("50"),
                           QStringLiteral("50"), QStringLiteral("50")}))
        << "each box is prefilled with the current rate";
}

TEST_F(MainWindowFixture, StartUpFailureSaysWhyAndLeavesTheHostUnbound)
{
    settings.values[QStringLiteral("Mach Location")] = QStringLiteral("/opt/mach3/Mach3.exe");
    // No host runs and no profile is known: the profile dialog is cancelled.
    TForm1& form = Start();
    EXPECT_EQ(form.windowTitle(),
              QStringLiteral("Zentyr: not connected (Unable to Find Mach Profile)"));
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

// The cool-bar buttons act on the release of any mouse button and on a press that comes
// without a mouse (assistive technology), once each time.
TEST_F(MainWindowFixture, CoolBarButtonsActOnAnyMouseReleaseAndOnAnAccessiblePress)
{
    HostRunning();
    TForm1& form = Start();
    int acts = 0;
    form.SetToolWindow(TForm1::ToolWindow::Jog,
                       TToolWindowSlot([&]() -> QWidget* { ++acts; return nullptr; }, nullptr));
    QToolButton* jog = nullptr;
    for (QToolButton* button : form.findChildren<QToolButton*>()) {
        if (button->text() == QStringLiteral("Jog"))
            jog = button;
    }
    ASSERT_NE(jog, nullptr);
    QTest::mouseClick(jog, Qt::LeftButton);
    EXPECT_EQ(acts, 1);
    QTest::mouseClick(jog, Qt::RightButton);
    EXPECT_EQ(acts, 2);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(jog);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->actionInterface(), nullptr);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return acts == 3; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(acts, 3);
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

    // Without the help file beside the program the operator is told so; with it, the
    // desktop's viewer opens it, and a viewer that fails is reported too.
    form.OpenHelp();
    EXPECT_TRUE(platform.shell.documents.isEmpty());
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(platform.messageBoxes.shown[0].text.startsWith(
        QStringLiteral("The help file was not found: ")));
    EXPECT_TRUE(platform.messageBoxes.shown[0].text.endsWith(QStringLiteral("Zentyr.chm")));

    QFile help(folder.filePath(QStringLiteral("Zentyr.chm")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    form.OpenHelp();
    ASSERT_EQ(platform.shell.documents.size(), 1);
    EXPECT_EQ(platform.shell.documents[0], help.fileName());
    EXPECT_EQ(platform.messageBoxes.shown.size(), 1);
    platform.shell.result = 2;
    form.OpenHelp();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 2);
    EXPECT_TRUE(platform.messageBoxes.shown[1].text.startsWith(QStringLiteral("No viewer could")));
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

// "Save Desktop Layout" writes the main section, then the sections of the tool windows that
// exist in a fixed order whatever order they were opened in; at close the windows store their
// close-time settings after the host is released and before any of them is destroyed, and
// those values reach the file.
TEST_F(MainWindowFixture, ToolWindowSectionsAreSavedInOrderAndStoredBeforeTheWindowsGo)
{
    HostRunning();
    TForm1& form = Start();
    QStringList steps;
    const auto slot = [&](const QString& name) {
        TToolWindowSlot tool([] { return new QWidget; }, nullptr);
        tool.SetSaveLayout([&steps, name](QWidget*, TLayoutStorage& store) {
            store.SelectSection(TForm1::MainSection);
            steps.append(name + QStringLiteral(" after ") +
                         store.ReadString(QStringLiteral("Left"), QString()));
        });
        return tool;
    };
    using W = TForm1::ToolWindow;
    for (const auto& [which, name] : {std::pair{W::Editor, QStringLiteral("editor")},
                                      std::pair{W::Bamboo, QStringLiteral("bamboo")},
                                      std::pair{W::Spindle, QStringLiteral("spindle")},
                                      std::pair{W::Jog, QStringLiteral("jog")},
                                      std::pair{W::UserButtons, QStringLiteral("buttons")},
                                      std::pair{W::Leds, QStringLiteral("leds")}})
        form.SetToolWindow(which, slot(name));
    form.move(30, 40);
    form.SaveDesktopLayout();
    EXPECT_TRUE(steps.isEmpty()) << "windows never opened write nothing";

    for (W which : {W::Editor, W::Spindle, W::UserButtons, W::Jog, W::Leds})
        form.OpenToolWindow(which);
    form.SaveDesktopLayout();
    EXPECT_EQ(steps, (QStringList{QStringLiteral("buttons after 30"), QStringLiteral("leds after 30"),
                                  QStringLiteral("jog after 30"), QStringLiteral("spindle after 30"),
                                  QStringLiteral("editor after 30")}));

    QPointer<QWidget> jog = form.ToolWindowSlot(W::Jog).Window();
    bool hostReleased = false;
    form.ToolWindowSlot(W::Jog).SetStoreAtClose([&](QWidget* stored, TLayoutStorage& store) {
        EXPECT_EQ(stored, jog.data());
        hostReleased = !form.wMach().Connected();
        store.SelectSection(QStringLiteral("Desktop\\JogForm"));
        store.WriteInteger(QStringLiteral("Jog1"), 3);
    });
    form.close();
    EXPECT_TRUE(hostReleased);
    EXPECT_TRUE(jog.isNull()) << "the jog window is destroyed after storing";

    window.reset();
    TXmlLayoutStorage written(LayoutPath());
    written.SelectSection(QStringLiteral("Desktop\\JogForm"));
    EXPECT_EQ(written.ReadInteger(QStringLiteral("Jog1"), -1), 3);
}

// The close leaves the user code buttons and user LEDs windows alive; they must not keep the
// application running once its main window has closed.
TEST_F(MainWindowFixture, ClosingTheMainWindowEndsTheApplicationWhileToolWindowsAreShown)
{
    TForm1& form = Start();
    form.SetToolWindow(TForm1::ToolWindow::UserButtons,
                       TToolWindowSlot([] { return new QWidget; }, nullptr));
    form.show();
    form.OpenToolWindow(TForm1::ToolWindow::UserButtons);
    ASSERT_TRUE(form.ToolWindowSlot(TForm1::ToolWindow::UserButtons).Window()->isVisible());

    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &guard, [] { QCoreApplication::exit(1); });
    guard.start(3000);
    EXPECT_EQ(QApplication::exec(), 0) << "the event loop kept running after the close";
}

TEST_F(MainWindowFixture, AboutIsOfferedOnceItsDialogIsGiven)
{
    TForm1& form = Start();
    QAction* about = nullptr;
    for (QAction* menu : form.menuBar()->actions()) {
        if (menu->menu() == nullptr)
            continue;
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == QStringLiteral("About"))
                about = item;
        }
    }
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isEnabled());
    int shown = 0;
    form.SetAboutDialog([&] { ++shown; });
    ASSERT_TRUE(about->isEnabled());
    about->trigger();
    EXPECT_EQ(shown, 1);
}

// The skin chosen in a run comes back at the next start only while "Save Skin On Exit" is
// checked at close; skins of the "Skins" folder beside the program count as well.
TEST_F(MainWindowFixture, SkinNameIsKeptAcrossARestartOnlyWhileSaveSkinOnExitIsChecked)
{
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Skins")));
    QFile ocean(folder.filePath(QStringLiteral("Skins/Ocean.zskin")));
    ASSERT_TRUE(ocean.open(QIODevice::WriteOnly));
    ocean.write(R"({"palette": {"Window": "#1d3a55"}})");
    ocean.close();

    const struct
    {
        const char* chosen;
        bool saveOnExit;
        const char* afterRestart;
    } cases[] = {
        {"Dark Shop (internal)", true, "Dark Shop (internal)"},
        {"Ocean", true, "Ocean"},
        {"Dark Shop (internal)", false, "GrayPlastic (internal)"},
    };
    for (const auto& c : cases) {
        settings.values.clear();
        TForm1& form = Start();
        EXPECT_EQ(form.sSkinManager1().SkinName(), QStringLiteral("GrayPlastic (internal)"));
        EXPECT_TRUE(form.SaveSkinOnExitAction()->isChecked());
        form.sSkinManager1().SetSkinName(QLatin1String(c.chosen));
        ASSERT_EQ(form.sSkinManager1().SkinName(), QLatin1String(c.chosen));
        form.SaveSkinOnExitAction()->setChecked(c.saveOnExit);
        form.close();
        window.reset();

        TForm1& again = Start();
        EXPECT_EQ(again.sSkinManager1().SkinName(), QLatin1String(c.afterRestart)) << c.chosen;
        EXPECT_TRUE(again.SaveSkinOnExitAction()->isChecked());
        window.reset();
    }
}

// "Select Skin" hands the main window's skin manager to the skin dialog; without a dialog it
// is not offered. The program's composition provides both dialogs.
TEST_F(MainWindowFixture, SelectSkinShowsTheSkinDialogWithTheManager)
{
    TForm1& form = Start();
    EXPECT_FALSE(form.SelectSkinAction()->isEnabled());
    form.SelectSkin();

    QList<TSkinManager*> shown;
    form.SetSkinDialog([&](TSkinManager& manager) { shown << &manager; });
    ASSERT_TRUE(form.SelectSkinAction()->isEnabled());
    form.SelectSkinAction()->trigger();
    EXPECT_EQ(shown, QList<TSkinManager*>{&form.sSkinManager1()});

    window.reset();
    TForm1& composed = Start({}, {}, true);
    EXPECT_TRUE(composed.SelectSkinAction()->isEnabled());
    EXPECT_TRUE(composed.findChild<TSkinDlg*>());
    EXPECT_TRUE(composed.findChild<TMachAboutDlg*>());
}

// Whatever height a skin gives the menu bar, the operator panel keeps its designed client area.
TEST_F(MainWindowFixture, EverySkinKeepsTheDesignedClientArea)
{
    TForm1& form = Start();
    form.show();
    for (const QString& skin : form.sSkinManager1().SkinNames()) {
        form.sSkinManager1().SetSkinName(skin);
        QApplication::processEvents();
        EXPECT_EQ(form.centralWidget()->size(), QSize(328, 247)) << skin.toStdString();
    }
}
