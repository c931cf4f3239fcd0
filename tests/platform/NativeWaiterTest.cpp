#include "platform/NativeWaiter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <ctime>

namespace {
double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}
}  // namespace

// A wait that processes events handles them as they come, lasts its time, and does not burn
// the processor while nothing happens.
TEST(NativeWaiter, SleepProcessingEventsHandlesEventsWithoutSpinning)
{
    NativeWaiter waiter;
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = ProcessCpuMs();
    waiter.SleepProcessingEvents(200);
    const double cpu = ProcessCpuMs() - cpuBefore;
    EXPECT_TRUE(fired);
    EXPECT_GE(clock.elapsed(), 195) << "the wait lasts its time";
    EXPECT_LT(cpu, 50.0) << "the wait must sleep, not spin";
}

TEST(NativeWaiter, SleepBlocksWithoutProcessingEvents)
{
    NativeWaiter waiter;
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    waiter.Sleep(30);
    EXPECT_GE(clock.elapsed(), 29);
    EXPECT_FALSE(fired);
    waiter.ProcessEvents();
    EXPECT_TRUE(fired);
}

// While the application quits, local event loops end at once; the wait must still last.
// (It leaves this process quitting: keep it the last event-loop test of the program.)
TEST(NativeWaiter, WaitLastsItsTimeWhileTheApplicationQuits)
{
    NativeWaiter waiter;
    QElapsedTimer clock;
    bool done = false;
    QTimer::singleShot(0, [&] {
        QCoreApplication::exit(0);
        clock.start();
        waiter.SleepProcessingEvents(60);
        done = true;
    });
    QEventLoop outer;
    QTimer::singleShot(500, &outer, &QEventLoop::quit);
    outer.exec();
    QCoreApplication::processEvents();
    ASSERT_TRUE(done);
    EXPECT_GE(clock.elapsed(), 55);
}
