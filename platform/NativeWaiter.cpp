#include "platform/NativeWaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

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
    // A local event loop sleeps in the event dispatcher until an event or the timer comes, so
    // the wait costs no processor time while nothing happens.
    if (ms <= 0) {
        ProcessEvents();
        return;
    }
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    // Once the application is quitting, local event loops return at once; the wait still
    // lasts its time, so a waiting caller does not spin against the host.
    const qint64 left = deadline.remainingTime();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
}
