#pragma once

#include "host/MachBinding.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class IMach4Document;
class IMach4DocumentFactory;
class IMyScriptObject;
class IMachPollable;
class IPassTimer;

// Keeps every registered host-bound control in step with the host. Once per `Interval` it runs
// one poll pass on the user-interface thread: OEM LED 800 ("Reset") is read once, then each
// registration is refreshed in list order. The passes are paced by a single-shot timer that is
// re-armed only after a pass has ended, so passes never overlap and the pause always follows
// the end of a pass. Everything here runs on the thread that owns the object (the UI thread).
//
// The first pass takes a document of its own from the factory (a second connection to the
// host) and its script object; later passes allocate no host objects. A failure inside a pass
// ends polling: the controls keep their last values and enabled states, but are shown stale
// through the stale view (see MachStaleView) and PollingStopped tells the window, so a frozen
// readout never looks live. Restart brings polling back once the host answers again.
class TMachUpdateThread final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachUpdateThread)

public:
    static constexpr int DefaultInterval = 150;

    // Created suspended: no pass runs until Start. Paced by a Qt timer unless `timer` is given.
    explicit TMachUpdateThread(IMach4DocumentFactory& documents, QObject* parent = nullptr);
    TMachUpdateThread(IMach4DocumentFactory& documents, std::unique_ptr<IPassTimer> timer,
                      QObject* parent = nullptr);
    ~TMachUpdateThread() override;

    // Pause after each pass, in milliseconds; a new value applies from the next pause.
    int Interval() const { return m_interval; }
    void SetInterval(int ms);

    // Starts the loop of a thread created suspended: the first pass runs at once.
    void Start();
    // Holds the loop: no further pass starts until Resume. A pass already running finishes.
    void Suspend();
    // Continues a suspended loop at the same interval; does nothing when not suspended.
    void Resume();
    // Ends the loop for good after the current pause.
    void Terminate();
    // Starts the loop again, also after a failure or Terminate ended it: the next pass runs at
    // once, on a new document of its own (the old one belongs to a host that has gone).
    // Registrations are kept.
    void Restart();

    bool IsStarted() const { return m_started; }
    bool IsSuspended() const { return m_suspended; }
    bool IsTerminated() const { return m_terminated; }
    // True while passes are being scheduled (started, neither suspended nor terminated).
    bool IsPolling() const { return m_started && !m_suspended && !m_terminated; }

    // A failing pass ended polling and no pass has succeeded since.
    bool Stale() const { return m_stale; }
    // Why the last failing pass failed (the host's error text); empty before any failure.
    QString StopReason() const { return m_stopReason; }
    // Applied to the registrations as polling stops and comes back; may be empty.
    void SetStaleView(MachStaleView view) { m_staleView = std::move(view); }

    // OEM LED 800 as read at the start of the current (or last) pass.
    bool MachineInReset() const { return m_machineInReset; }

    // Appends `control` (which must implement IMachPollable) to the registration list. The list
    // does not own its entries and accepts duplicates; a destroyed control leaves it by itself.
    // A control registered while polling is stopped is shown stale at once.
    void Register(QObject* control);
    // Removes every entry of `control`.
    void Unregister(QObject* control);
    void ClearRegistrations();
    // Live entries, in order, duplicates included.
    QList<QObject*> Registrations() const;

    // One pass, run synchronously. Raises the host's error; the loop catches it and stops.
    void PollPass();

Q_SIGNALS:
    // Emitted once when a failing pass has ended polling (StopReason tells why).
    void PollingStopped();
    // Emitted by the first pass that succeeds after polling stopped.
    void PollingRestored();

private:
    struct Registration
    {
        QPointer<QObject> object;
        IMachPollable* pollable;
    };

    void OnTimer();
    void ArmTimer(int ms);
    void PruneDeadRegistrations();
    void SetStale(bool stale);

    IMach4DocumentFactory& m_documents;
    std::unique_ptr<IPassTimer> m_timer;
    std::unique_ptr<IMach4Document> m_document;
    std::shared_ptr<IMyScriptObject> m_iMach;
    QList<Registration> m_registrations;
    MachStaleView m_staleView;
    QString m_stopReason;
    int m_interval = DefaultInterval;
    bool m_started = false;
    bool m_suspended = true;
    bool m_terminated = false;
    bool m_inPass = false;
    bool m_machineInReset = false;
    bool m_stale = false;
    bool m_renewDocument = false;
};
