#include "host/MachUpdateThread.h"

#include "host/HostCallGate.h"

#include "LogCapture.h"
#include "ManualPassTimer.h"
#include "RecordingHost.h"
#include "TestControls.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

// The thread paced by a manual timer: passes run only as the test moves the clock.
struct UpdateThreadFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    ManualPassTimer* timer = new ManualPassTimer;
    TMachUpdateThread thread{documents, std::unique_ptr<IPassTimer>(timer)};
    // What the stale view was told, in order: "name stale" / "name live".
    QStringList shown;

    void WatchStaleView()
    {
        thread.SetStaleView([this](QObject* control, bool stale) {
            shown.append(control->objectName() + (stale ? QStringLiteral(" stale")
                                                        : QStringLiteral(" live")));
        });
    }
};

}  // namespace

TEST_F(UpdateThreadFixture, CreatedSuspendedAndStartRunsPasses)
{
    TestControl control;
    thread.Register(&control);
    EXPECT_EQ(thread.Interval(), 150);
    timer->Advance(1000);
    EXPECT_EQ(control.refreshCount, 0) << "no pass before Start";

    thread.SetInterval(10);
    thread.Start();
    timer->Advance(20);
    EXPECT_EQ(control.refreshCount, 3) << "at 0, 10 and 20 ms";
    EXPECT_EQ(documents.documentsCreated, 1) << "one document of its own, made at the first pass";
}

// One reset read per pass, then the registrations in order; a duplicate is refreshed twice.
TEST_F(UpdateThreadFixture, PassReadsResetOnceThenEachEntryInOrder)
{
    TestControl first, second;
    first.ledCode = 13;
    second.ledCode = 12;
    thread.Register(&first);
    thread.Register(&second);
    thread.Register(&first);
    host->leds[800] = true;
    host->leds[13] = true;

    thread.PollPass();
    EXPECT_EQ(host->journal, (QStringList{QStringLiteral("GetOEMLed(800)"),
                                          QStringLiteral("GetOEMLed(13)"),
                                          QStringLiteral("GetOEMLed(12)"),
                                          QStringLiteral("GetOEMLed(13)")}));
    EXPECT_TRUE(thread.MachineInReset());
    EXPECT_EQ(first.refreshCount, 2);
    EXPECT_EQ(second.refreshCount, 1);
    EXPECT_FALSE(first.enabled);
    EXPECT_TRUE(first.lit);

    host->leds[800] = false;
    thread.PollPass();
    EXPECT_TRUE(first.enabled);
    EXPECT_EQ(documents.documentsCreated, 1);
}

TEST_F(UpdateThreadFixture, DestroyedControlLeavesTheList)
{
    TestControl kept;
    auto* gone = new TestControl;
    thread.Register(gone);
    thread.Register(&kept);
    thread.Register(gone);
    delete gone;
    EXPECT_EQ(thread.Registrations(), QList<QObject*>{&kept});
    thread.PollPass();
    EXPECT_EQ(kept.refreshCount, 1);

    thread.Register(&kept);
    thread.Unregister(&kept);
    EXPECT_TRUE(thread.Registrations().isEmpty());
}

// A failing host read ends polling: the controls keep what they last showed, but are shown
// stale, the failure is told and logged. Restart brings polling back on a new document, and
// the first good pass shows the controls live again.
TEST_F(UpdateThreadFixture, FailingPassStopsPollingShowsStaleAndRestartBringsItBack)
{
    TestControl control, other;
    control.setObjectName(QStringLiteral("flood"));
    other.setObjectName(QStringLiteral("x"));
    control.ledCode = 13;
    host->leds[13] = true;
    thread.Register(&control);
    thread.Register(&other);
    thread.Register(&control);
    WatchStaleView();
    thread.SetInterval(5);
    thread.Start();
    timer->Advance(0);
    ASSERT_EQ(control.refreshCount, 2);
    ASSERT_TRUE(control.lit);

    int stopped = 0;
    int restored = 0;
    QObject::connect(&thread, &TMachUpdateThread::PollingStopped, &thread, [&] { ++stopped; });
    QObject::connect(&thread, &TMachUpdateThread::PollingRestored, &thread, [&] { ++restored; });
    LogCapture log;
    host->failFromCall = host->callCount;  // the host goes away
    host->leds[13] = false;
    timer->Advance(5);
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(thread.IsTerminated());
    EXPECT_TRUE(thread.Stale());
    EXPECT_FALSE(thread.StopReason().isEmpty());
    EXPECT_TRUE(log.Has(QtWarningMsg, "zentyr.host", "Polling stopped")) << log.Text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("flood stale"), QStringLiteral("x stale")}))
        << "each control once";

    const int refreshes = control.refreshCount;
    timer->Advance(1000);
    EXPECT_EQ(control.refreshCount, refreshes) << "no pass after the failure";
    EXPECT_TRUE(control.enabled);
    EXPECT_TRUE(control.lit) << "the last value stays";

    TestControl later;
    later.setObjectName(QStringLiteral("later"));
    thread.Register(&later);
    EXPECT_EQ(shown.last(), QStringLiteral("later stale")) << "registered while stopped";

    host->failFromCall = -1;  // the host is back
    shown.clear();
    thread.Restart();
    timer->Advance(0);
    EXPECT_EQ(documents.documentsCreated, 2) << "a new document for the new host";
    EXPECT_FALSE(control.lit);
    EXPECT_FALSE(thread.Stale());
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("flood live"), QStringLiteral("x live"),
                                  QStringLiteral("later live")}));
    timer->Advance(5);
    EXPECT_EQ(restored, 1) << "told once";
    EXPECT_EQ(documents.documentsCreated, 2);
}

// Passes never overlap, even when a pass takes longer than the interval and lets events
// through (time passes inside it, Resume and Restart are called from it), and each pause is
// measured from the end of the pass before it.
TEST_F(UpdateThreadFixture, PassesNeverOverlapAndThePauseFollowsThePass)
{
    TestControl control;
    QList<qint64> starts, ends;
    bool inside = false;
    bool overlapped = false;
    control.onRefresh = [&] {
        overlapped = overlapped || inside;
        inside = true;
        starts.append(timer->NowMs());
        thread.Resume();
        if (starts.size() == 2)
            thread.Restart();
        timer->Advance(25);
        ends.append(timer->NowMs());
        inside = false;
    };
    thread.Register(&control);
    thread.SetInterval(20);
    thread.Start();
    timer->Advance(200);
    EXPECT_FALSE(overlapped);
    ASSERT_GE(starts.size(), 4);
    for (int i = 1; i < starts.size(); ++i)
        EXPECT_EQ(starts[i] - ends[i - 1], 20) << "pause " << i;
}

// What ends a pass decides what follows: a host call refused because another call is still
// waiting skips the pass; a failure after Restart was asked for inside the pass (the operator
// reconnected while it waited) keeps polling on a new document; any other failure stops it.
TEST(UpdateThreadPassEnd, HowAPassEndsDecidesWhetherPollingGoesOn)
{
    struct Case
    {
        const char* what;
        std::function<void(TMachUpdateThread&)> inside;  // run in the second pass, then throws
        bool busy;
        bool polling;
        bool stale;
        qint64 nextPassAfter;  // -1: none
        int documents;
    };
    const Case cases[] = {
        {"busy", {}, true, true, false, 10, 1},
        {"failed after a restart", [](TMachUpdateThread& t) { t.Restart(); }, false, true, false,
         0, 2},
        {"failed", {}, false, false, true, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto host = std::make_shared<RecordingHost>();
        RecordingDocumentFactory documents{host};
        auto* timer = new ManualPassTimer;
        TMachUpdateThread thread{documents, std::unique_ptr<IPassTimer>(timer)};
        int stopped = 0;
        QObject::connect(&thread, &TMachUpdateThread::PollingStopped, &thread, [&] { ++stopped; });
        TestControl control;
        int pass = 0;
        control.onRefresh = [&] {
            if (++pass != 2)
                return;
            if (c.inside)
                c.inside(thread);
            if (c.busy)
                throw HostCallBusy();
            throw ZentyrError(QStringLiteral("The controller does not answer"));
        };
        thread.Register(&control);
        thread.SetInterval(10);
        thread.Start();
        timer->Fire();
        timer->Fire();  // the second pass; a pass armed at once runs in the same move
        ASSERT_GE(pass, 2);
        EXPECT_EQ(thread.IsPolling(), c.polling);
        EXPECT_EQ(thread.Stale(), c.stale);
        EXPECT_EQ(stopped, c.stale ? 1 : 0);
        if (c.nextPassAfter < 0) {
            EXPECT_EQ(timer->armed.size(), 2) << "polling has ended";
            EXPECT_FALSE(timer->IsActive());
            continue;
        }
        ASSERT_GE(timer->armed.size(), 3);
        EXPECT_EQ(timer->armed[2], c.nextPassAfter) << "the pause after the second pass";
        if (pass == 2)
            timer->Fire();
        EXPECT_EQ(pass, 3);
        EXPECT_EQ(documents.documentsCreated, c.documents);
        EXPECT_FALSE(thread.Stale());
    }
}

TEST_F(UpdateThreadFixture, NewIntervalAppliesFromTheNextPause)
{
    TestControl control;
    control.onRefresh = [&] {
        if (control.refreshCount == 2)
            thread.SetInterval(120);
    };
    thread.Register(&control);
    thread.SetInterval(10);
    thread.Start();
    timer->Advance(300);
    EXPECT_EQ(timer->armed.mid(0, 4), (QList<int>{0, 10, 120, 120}));
}

TEST_F(UpdateThreadFixture, SuspendHoldsPassesAndResumeContinues)
{
    TestControl control;
    thread.Register(&control);
    thread.SetInterval(10);
    thread.Start();
    timer->Advance(0);
    ASSERT_EQ(control.refreshCount, 1);

    thread.Suspend();
    timer->Advance(100);
    EXPECT_EQ(control.refreshCount, 1) << "no pass while suspended";
    EXPECT_TRUE(thread.IsSuspended());

    thread.Resume();
    EXPECT_EQ(thread.Interval(), 10);
    timer->Advance(9);
    EXPECT_EQ(control.refreshCount, 1) << "a full pause after resuming";
    timer->Advance(21);
    EXPECT_EQ(control.refreshCount, 4);

    // Resuming a running thread changes nothing: still one pass per interval, no extra pass.
    thread.Resume();
    thread.Resume();
    timer->Advance(10);
    EXPECT_EQ(control.refreshCount, 5);
    EXPECT_FALSE(thread.IsSuspended());
}

TEST_F(UpdateThreadFixture, TerminateEndsTheLoop)
{
    TestControl control;
    thread.Register(&control);
    thread.SetInterval(5);
    thread.Start();
    timer->Advance(0);
    thread.Terminate();
    timer->Advance(100);
    EXPECT_EQ(control.refreshCount, 1);
    thread.Resume();
    thread.Start();
    timer->Advance(100);
    EXPECT_EQ(control.refreshCount, 1) << "a terminated loop does not come back by itself";
}

// The program's own pacing, on Qt's timer: passes run from the event loop.
TEST(UpdateThreadQtTimer, PassesRunFromTheEventLoop)
{
    auto host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    TMachUpdateThread thread{documents};
    TestControl control;
    thread.Register(&control);
    thread.SetInterval(1);
    thread.Start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return control.refreshCount >= 2; }, 10000));
}
