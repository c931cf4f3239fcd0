#include "host/HostCallGate.h"

#include "host/HostLog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>

namespace {

struct DeferredJob
{
    QPointer<QObject> context;
    std::function<void()> job;
};

// User-interface thread only, like every host call.
int g_callsInProgress = 0;
QList<DeferredJob> g_deferred;
bool g_flushPosted = false;

void RunDeferredJobs()
{
    g_flushPosted = false;
    // Posted as the last call ended; a call begun since then (from inside whose wait this may
    // now run) posts the flush again as it ends.
    while (!g_deferred.isEmpty() && g_callsInProgress == 0) {
        DeferredJob next = g_deferred.takeFirst();
        if (next.context)
            next.job();
    }
}

void PostFlush()
{
    if (g_flushPosted || g_deferred.isEmpty() || QCoreApplication::instance() == nullptr)
        return;
    g_flushPosted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &RunDeferredJobs,
                              Qt::QueuedConnection);
}

}  // namespace

HostCallBusy::HostCallBusy()
    : ZentyrError(QStringLiteral("The controller is still answering an earlier call"))
{
}

HostCallScope::HostCallScope()
{
    if (g_callsInProgress > 0)
        throw HostCallBusy();
    ++g_callsInProgress;
}

HostCallScope::~HostCallScope()
{
    --g_callsInProgress;
    if (g_callsInProgress == 0)
        PostFlush();
}

bool HostCallInProgress() { return g_callsInProgress > 0; }

void WhenNoHostCall(QObject* context, std::function<void()> job)
{
    if (g_callsInProgress == 0 && g_deferred.isEmpty()) {
        job();
        return;
    }
    qCDebug(lcHost) << "Deferred until the host call in progress ends";
    g_deferred.append(DeferredJob{context, std::move(job)});
    if (g_callsInProgress == 0)
        PostFlush();
}

void PumpHostWaitEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
