#include "platform/NativeWaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

void NativeWaiter::Sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void NativeWaiter::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void NativeWaiter::SleepProcessingEvents(int ms)
{
    // Events are handled as they arrive; the wait ends on time even when none come.
    const QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents,
                                        static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    } while (!deadline.hasExpired());
}
