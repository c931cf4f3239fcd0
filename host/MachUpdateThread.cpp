#include "host/MachUpdateThread.h"

#include "host/HostCallGate.h"
#include "host/HostLog.h"
#include "host/Mach4_TLB.h"
#include "host/MachConstants.h"
#include "host/PassTimer.h"
#include "platform/ZentyrError.h"

#include <QSet>

#include <algorithm>

namespace {
constexpr int16_t ResetLed = OEMLEDCodeOf(oltReset);
}

TMachUpdateThread::TMachUpdateThread(IMach4DocumentFactory& documents, QObject* parent)
    : TMachUpdateThread(documents, nullptr, parent)
{
}

TMachUpdateThread::TMachUpdateThread(IMach4DocumentFactory& documents,
                                     std::unique_ptr<IPassTimer> timer, QObject* parent)
    : QObject(parent), m_documents(documents), m_timer(timer ? std::move(timer) : MakeQtPassTimer())
{
    m_timer->SetJob([this] { OnTimer(); });
}

TMachUpdateThread::~TMachUpdateThread()
{
    m_timer->Stop();
    m_timer->SetJob(nullptr);
    m_registrations.clear();
}

void TMachUpdateThread::SetInterval(int ms)
{
    m_interval = std::max(0, ms);
}

void TMachUpdateThread::Start()
{
    if (m_started || m_terminated)
        return;
    m_started = true;
    m_suspended = false;
    ArmTimer(0);
}

void TMachUpdateThread::Suspend()
{
    if (!m_started || m_terminated)
        return;
    m_suspended = true;
    m_timer->Stop();
}

void TMachUpdateThread::Resume()
{
    if (!m_started) {
        Start();
        return;
    }
    if (!m_suspended || m_terminated)
        return;
    m_suspended = false;
    // The loop was held in its pause; it goes on with a full pause at the same interval.
    if (!m_inPass)
        ArmTimer(m_interval);
}

void TMachUpdateThread::Terminate()
{
    m_terminated = true;
    m_timer->Stop();
}

void TMachUpdateThread::Restart()
{
    // A pass may be running (a refresh that let events through); the document it uses is
    // replaced only when the next pass begins.
    m_renewDocument = true;
    m_started = true;
    m_suspended = false;
    m_terminated = false;
    if (!m_inPass)
        ArmTimer(0);
}

void TMachUpdateThread::Register(QObject* control)
{
    auto* pollable = dynamic_cast<IMachPollable*>(control);
    if (pollable == nullptr)
        return;
    m_registrations.append(Registration{control, pollable});
    if (m_stale && m_staleView)
        m_staleView(control, true);
}

void TMachUpdateThread::Unregister(QObject* control)
{
    m_registrations.removeIf([control](const Registration& r) { return r.object == control; });
}

void TMachUpdateThread::ClearRegistrations()
{
    m_registrations.clear();
}

QList<QObject*> TMachUpdateThread::Registrations() const
{
    QList<QObject*> live;
    live.reserve(m_registrations.size());
    for (const Registration& r : m_registrations) {
        if (r.object)
            live.append(r.object.data());
    }
    return live;
}

void TMachUpdateThread::PollPass()
{
    if (m_renewDocument) {
        m_renewDocument = false;
        m_iMach.reset();
        m_document.reset();
    }
    if (!m_document) {
        auto document = m_documents.CreateDocument();
        document->SetConnectKind(IMach4Document::ConnectKind::RunningInstance);
        document->Connect();
        m_document = std::move(document);
    }
    if (!m_iMach)
        m_iMach = m_document->GetScriptObject();
    if (!m_iMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));

    IMyScriptObject& mach = *m_iMach;
    m_machineInReset = mach.GetOEMLed(ResetLed);

    bool sawDead = false;
    // Indexing, not iterators: a refresh may register further controls (they join this pass).
    for (qsizetype i = 0; i < m_registrations.size(); ++i) {
        const Registration& entry = m_registrations[i];
        if (entry.object.isNull()) {
            sawDead = true;
            continue;
        }
        entry.pollable->PollRefresh(mach, m_machineInReset);
    }
    if (sawDead)
        PruneDeadRegistrations();
}

void TMachUpdateThread::OnTimer()
{
    if (!IsPolling() || m_inPass)
        return;
    m_inPass = true;
    bool failed = false;
    QString failure;
    try {
        PollPass();
    } catch (const HostCallBusy&) {
        // The timer ran from inside another host call's wait: the host was not asked, so this
        // pass is skipped, not failed, and the next one comes after the usual pause.
        m_inPass = false;
        qCDebug(lcHost) << "Poll pass skipped: another host call is in progress";
        if (IsPolling())
            ArmTimer(m_interval);
        return;
    } catch (...) {
        // The host has gone or refused a read: polling ends, and the window is told.
        failed = true;
        failure = CurrentErrorMessage();
    }
    m_inPass = false;
    if (failed && m_renewDocument && IsPolling()) {
        // Restart was asked for while this pass waited on the old document: it stands, and the
        // next pass tries the new one at once.
        qCInfo(lcHost).noquote() << "Poll pass failed before a restart:" << failure;
        ArmTimer(0);
        return;
    }
    if (failed) {
        Terminate();
        m_stopReason = failure;
        qCWarning(lcHost).noquote() << "Polling stopped:" << failure;
        SetStale(true);
        Q_EMIT PollingStopped();
        return;
    }
    if (m_stale) {
        qCInfo(lcHost) << "Polling runs again";
        SetStale(false);
        Q_EMIT PollingRestored();
    }
    if (IsPolling())
        ArmTimer(m_interval);
}

void TMachUpdateThread::SetStale(bool stale)
{
    m_stale = stale;
    if (!m_staleView)
        return;
    QSet<QObject*> shown;
    for (QObject* control : Registrations()) {
        if (!shown.contains(control)) {
            shown.insert(control);
            m_staleView(control, stale);
        }
    }
}

void TMachUpdateThread::ArmTimer(int ms)
{
    m_timer->Start(std::max(0, ms));
}

void TMachUpdateThread::PruneDeadRegistrations()
{
    m_registrations.removeIf([](const Registration& r) { return r.object.isNull(); });
}
