#include "host/MachUpdateThread.h"

#include "RecordingHost.h"
#include "TestControls.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

namespace {

struct UpdateThreadFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    TMachUpdateThread thread{documents};
};

// Runs the event loop until `done` holds or `ms` pass.
bool WaitFor(const std::function<bool()>& done, int ms = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

}  // namespace

TEST_F(UpdateThreadFixture, CreatedSuspendedAndStartRunsPasses)
{
    TestControl control;
    thread.Register(&control);
    EXPECT_EQ(thread.Interval(), 150);
    QTest::qWait(30);
    EXPECT_EQ(control.refreshCount, 0) << "no pass before Start";

    thread.SetInterval(10);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return control.refreshCount >= 3; }));
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

// A failing host read ends polling for good; the controls keep what they last showed.
TEST_F(UpdateThreadFixture, FailingPassStopsPollingAndControlsKeepTheirState)
{
    TestControl control;
    control.ledCode = 13;
    host->leds[13] = true;
    thread.Register(&control);
    thread.SetInterval(5);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return control.refreshCount >= 1; }));
    ASSERT_TRUE(control.enabled);
    ASSERT_TRUE(control.lit);

    int stopped = 0;
    QObject::connect(&thread, &TMachUpdateThread::PollingStopped, &thread, [&] { ++stopped; });
    host->failFromCall = host->callCount;  // the host goes away
    host->leds[13] = false;
    ASSERT_TRUE(WaitFor([&] { return stopped == 1; }));
    const int refreshes = control.refreshCount;
    QTest::qWait(40);
    EXPECT_EQ(control.refreshCount, refreshes) << "no pass after the failure";
    EXPECT_TRUE(control.enabled);
    EXPECT_TRUE(control.lit);
    EXPECT_TRUE(thread.IsTerminated());
}

// Passes never overlap, even when a refresh lets events through, and each pause is measured
// from the end of the pass before it.
TEST_F(UpdateThreadFixture, PassesNeverOverlapAndThePauseFollowsThePass)
{
    TestControl control;
    QElapsedTimer clock;
    clock.start();
    QList<qint64> starts, ends;
    bool inside = false;
    bool overlapped = false;
    control.onRefresh = [&] {
        overlapped = overlapped || inside;
        inside = true;
        starts.append(clock.elapsed());
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 25)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ends.append(clock.elapsed());
        inside = false;
    };
    thread.Register(&control);
    thread.SetInterval(20);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return ends.size() >= 4; }));
    thread.Terminate();
    EXPECT_FALSE(overlapped);
    for (int i = 1; i < ends.size(); ++i)
        EXPECT_GE(starts[i] - ends[i - 1], 19) << "pause " << i;
}

TEST_F(UpdateThreadFixture, NewIntervalAppliesFromTheNextPause)
{
    TestControl control;
    QElapsedTimer clock;
    clock.start();
    QList<qint64> starts;
    control.onRefresh = [&] {
        starts.append(clock.elapsed());
        if (starts.size() == 2)
            thread.SetInterval(120);
    };
    thread.Register(&control);
    thread.SetInterval(10);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return starts.size() >= 3; }));
    EXPECT_LT(starts[1] - starts[0], 100);
    EXPECT_GE(starts[2] - starts[1], 110);
}

TEST_F(UpdateThreadFixture, SuspendHoldsPassesAndResumeContinues)
{
    TestControl control;
    thread.Register(&control);
    thread.SetInterval(10);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return control.refreshCount >= 1; }));

    thread.Suspend();
    const int held = control.refreshCount;
    QTest::qWait(60);
    EXPECT_EQ(control.refreshCount, held) << "no pass while suspended";
    EXPECT_TRUE(thread.IsSuspended());

    thread.Resume();
    EXPECT_EQ(thread.Interval(), 10);
    ASSERT_TRUE(WaitFor([&] { return control.refreshCount >= held + 3; }));

    // Resuming a running thread changes nothing: still one pass per interval, no extra pass.
    thread.SetInterval(60);
    QTest::qWait(70);
    const int before = control.refreshCount;
    thread.Resume();
    thread.Resume();
    QTest::qWait(20);
    EXPECT_LE(control.refreshCount - before, 1);
    EXPECT_FALSE(thread.IsSuspended());
}

TEST_F(UpdateThreadFixture, TerminateEndsTheLoop)
{
    TestControl control;
    thread.Register(&control);
    thread.SetInterval(5);
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return control.refreshCount >= 1; }));
    thread.Terminate();
    const int last = control.refreshCount;
    QTest::qWait(40);
    EXPECT_EQ(control.refreshCount, last);
    thread.Resume();
    QTest::qWait(20);
    EXPECT_EQ(control.refreshCount, last) << "a terminated loop does not come back";
}
