#include "controls/DROframe.h"
#include "controls/MachButton.h"
#include "controls/StaleLook.h"
#include "host/CMach4Wrapper.h"
#include "host/HostCallGate.h"
#include "host/MachUpdateThread.h"
#include "windows/MainPanel.h"
#include "windows/XmlLayoutStorage.h"
#include "windows/ZentyrMain.h"

#include "LogCapture.h"
#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStatusBar>

namespace {

struct ConnectionFixture : ::testing::Test, MainWindowHarness
{
    ConnectionFixture() { manualPacing = true; }

    // The layout file as an earlier run left it: two user code buttons of the operator's own.
    void StoredCodeButtons()
    {
        TXmlLayoutStorage stored(LayoutPath());
        stored.SelectSection(TForm1::MainSection);
        stored.WriteString(QStringLiteral("CodeButton1\\Caption"), QStringLiteral("Probe Z"));
        stored.WriteString(QStringLiteral("CodeButton1\\Code"), QStringLiteral("G31 Z-1 F50"));
        stored.WriteString(QStringLiteral("CodeButton2\\Caption"), QStringLiteral("Park"));
        stored.WriteString(QStringLiteral("CodeButton2\\Code"), QStringLiteral("G53 G0 Z0"));
    }

    QString StoredCode(const QString& key) const
    {
        TXmlLayoutStorage stored(LayoutPath(), TXmlLayoutStorage::WriteBack::OnFlushOnly);
        stored.SelectSection(TForm1::MainSection);
        return stored.ReadString(key, QStringLiteral("(none)"));
    }

    // The status text as assistive technology reads it: whole, also where the bar shows it cut.
    QString Status() const { return window->StatusBar1()->accessibleDescription(); }

    QStringList StaleControls() const
    {
        QStringList stale;
        for (QObject* control : window->wMach().UpdateThread()->Registrations()) {
            if (IsShownStale(control))
                stale.append(control->objectName());
        }
        return stale;
    }
};

}  // namespace

// A start that ends early says why in the caption and the status bar, logs it, shows no box,
// and at close writes neither the default code buttons nor settings it never read.
TEST_F(ConnectionFixture, FailedStartSaysWhyAndOverwritesNothingStored)
{
    struct Row
    {
        const char* why;
        std::function<void(ConnectionFixture&)> arrange;
    };
    const Row rows[] = {
        {"Unable to Load Mach3", [](ConnectionFixture&) {}},
        {"Unable to Find Mach Profile",
         [](ConnectionFixture& f) {
             f.settings.values[QStringLiteral("Mach Location")] = QStringLiteral("/opt/m/Mach3.exe");
         }},
        {"Unable to start Mach: 2",
         [](ConnectionFixture& f) {
             f.HostKnown();
             f.platform.shell.result = 2;
         }},
        {"Mach not found", [](ConnectionFixture& f) { f.HostKnown(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        window.reset();
        platform.shell.result = 42;
        settings.values.clear();
        settings.values[QStringLiteral("Mach Visible On Startup")] = QStringLiteral("FALSE");
        settings.values[QStringLiteral("Skin Name")] = QStringLiteral("Stored skin");
        QFile::remove(LayoutPath());
        StoredCodeButtons();
        row.arrange(*this);
        LogCapture log;

        TForm1& form = Start();
        const QString why = QString::fromLatin1(row.why);
        EXPECT_EQ(form.windowTitle().toStdString(),
                  QStringLiteral("Zentyr: not connected (%1)").arg(why).toStdString());
        EXPECT_EQ(Status().toStdString(), (QStringLiteral("Not connected: ") + why).toStdString());
        EXPECT_TRUE(log.Has(QtWarningMsg, "zentyr.windows", row.why)) << log.Text();
        EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
        EXPECT_FALSE(form.StartUpComplete());

        form.close();
        window.reset();
        EXPECT_EQ(StoredCode(QStringLiteral("CodeButton1\\Caption")), QStringLiteral("Probe Z"));
        EXPECT_EQ(StoredCode(QStringLiteral("CodeButton2\\Code")), QStringLiteral("G53 G0 Z0"));
        EXPECT_EQ(settings.values.value(QStringLiteral("Mach Visible On Startup")),
                  QStringLiteral("FALSE"));
        EXPECT_EQ(settings.values.value(QStringLiteral("Skin Name")), QStringLiteral("Stored skin"));
    }
}

// When a pass fails, polling stops: the status bar says so and every registered readout and
// lamp looks stale, keeping its last value. Reconnecting while the host is still away fails
// with its reason and changes nothing; once the host is back, Reconnect restarts polling on
// the same registrations, and the first good pass shows them live again.
TEST_F(ConnectionFixture, HostFailureShowsStaleUntilReconnectBringsPollingBack)
{
    HostRunning();
    TForm1& form = Start();
    ASSERT_NE(pacing, nullptr);
    host->dros[800] = 1.5;
    pacing->Fire();
    EXPECT_TRUE(Status().isEmpty());
    TMachUpdateThread* thread = form.wMach().UpdateThread();
    const qsizetype registered = thread->Registrations().size();
    EXPECT_TRUE(StaleControls().isEmpty());

    host->failFromCall = host->callCount;
    host->dros[800] = 2.5;
    pacing->Fire();
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Polling stopped: "))) << Status().toStdString();
    EXPECT_TRUE(form.StatusBar1()->currentMessage().startsWith(QStringLiteral("Polling stopped")));
    EXPECT_EQ(StaleControls().size(), registered) << "every registration";
    EXPECT_NE(form.Panel().xDro()->graphicsEffect(), nullptr) << "dimmed";
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zentyr: Mill"));
    EXPECT_FALSE(pacing->Fire()) << "no further pass";

    // The host is away: its window is gone and it cannot be started.
    platform.hostWindows.caption.clear();
    documents.hostRunning = false;
    form.Reconnect();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("Mach not found"));
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Polling stopped: ")));
    EXPECT_EQ(form.wMach().UpdateThread(), thread);

    // The host runs again.
    platform.hostWindows.caption = TCMach4Wrapper::HostWindowCaption;
    documents.hostRunning = true;
    host->failFromCall = -1;
    host->ClearJournal();
    form.Reconnect();
    EXPECT_EQ(platform.messageBoxes.shown.size(), 1) << "no new error";
    EXPECT_TRUE(host->Calls(QStringLiteral("DoOEMButton")).isEmpty()) << "the machine is left alone";
    ASSERT_TRUE(pacing->Fire());
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_TRUE(form.StatusBar1()->currentMessage().isEmpty());
    EXPECT_TRUE(StaleControls().isEmpty());
    EXPECT_EQ(form.Panel().xDro()->graphicsEffect(), nullptr);
    EXPECT_EQ(thread->Registrations().size(), registered) << "the same registrations, once each";
}

// A start that could not connect is finished by Reconnect once the host runs: connected,
// captioned and with the stored code buttons, which the close then keeps.
TEST_F(ConnectionFixture, ReconnectAfterAFailedStartFinishesTheStart)
{
    StoredCodeButtons();
    HostKnown();
    TForm1& form = Start();
    ASSERT_FALSE(form.wMach().Connected());
    EXPECT_EQ(form.Panel().CodeButton1()->text(), QStringLiteral("User Code 1"));

    platform.hostWindows.caption = TCMach4Wrapper::HostWindowCaption;
    form.Reconnect();
    EXPECT_TRUE(form.wMach().Connected());
    EXPECT_TRUE(form.StartUpComplete());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zentyr: Mill"));
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_EQ(form.Panel().CodeButton1()->text(), QStringLiteral("Probe Z"));
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());

    form.close();
    window.reset();
    EXPECT_EQ(StoredCode(QStringLiteral("CodeButton1\\Code")), QStringLiteral("G31 Z-1 F50"));
}

// Closing the program and Reconnect take down connections that a host call in progress may be
// waiting on (its wait lets events through): asked for during such a call, each runs once the
// call has ended, from the event loop.
TEST_F(ConnectionFixture, CloseAndReconnectWaitForTheHostCallInProgress)
{
    struct Row
    {
        const char* what;
        std::function<void(TForm1&)> ask;
        std::function<bool(TForm1&)> done;
    };
    const Row rows[] = {
        {"close", [](TForm1& f) { f.close(); }, [](TForm1& f) { return !f.wMach().Connected(); }},
        {"reconnect", [](TForm1& f) { f.ReconnectAction()->trigger(); },
         [this](TForm1&) { return host->journal.contains(QStringLiteral("Doc.Release()")); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HostRunning();
        TForm1& form = Start();
        ASSERT_TRUE(form.wMach().Connected());
        host->ClearJournal();
        {
            const HostCallScope waiting;
            row.ask(form);
            QCoreApplication::processEvents();
            EXPECT_FALSE(row.done(form)) << "not under the waiting call";
            EXPECT_TRUE(host->journal.isEmpty()) << "the host is not asked";
        }
        EXPECT_FALSE(row.done(form)) << "not from inside the call either";
        QCoreApplication::processEvents();
        EXPECT_TRUE(row.done(form));
        window.reset();
    }
}
