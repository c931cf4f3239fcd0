#pragma once

#include "host/MachBinding.h"
#include "host/PassTimer.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class IMach4Document;
class IMach4DocumentFactory;
class IMyScriptObject;
class IMachMessageLog;
class TMachUpdateThread;
struct PlatformServices;

// The single component through which the program finds, launches, attaches to and leaves the
// host. It owns the host document, holds the script object, owns the update thread, binds the
// host-bound controls of each window to both, and offers the windows a small set of host
// commands. Everything runs on the user-interface thread.
//
// The host commands do not check `Connected`; without a script object they raise
// "IMach not Set". Codes and indexes outside the 16-bit range are refused before any call.
class TCMach4Wrapper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TCMach4Wrapper)

public:
    // The host's main window is found by exactly this caption, any window class.
    static const QString HostWindowCaption;

    // `owner` is the window bound at connect (the main window); it must outlive this object
    // or own it.
    TCMach4Wrapper(IMach4DocumentFactory& documents, PlatformServices& platform,
                   QObject* owner);
    ~TCMach4Wrapper() override;

    // ---- Properties ----
    // Reads false; writing true runs the attach procedure (raising its error), false nothing.
    bool Active() const { return false; }
    void SetActive(bool active);

    QString MachLoc() const { return m_machLoc; }
    void SetMachLoc(const QString& path);
    // Directory part of MachLoc with its trailing separator.
    QString MachDir() const { return m_machDir; }

    QString Profile() const { return m_profile; }
    void SetProfile(const QString& profile) { m_profile = profile; }

    // Script object present and OEM LED 80 ("Pause Active") lit.
    bool Stopped() const;

    bool MachWindowVisible() const { return m_machWindowVisible; }
    // Stores the value; once attached, shows (without activating) or hides the host window,
    // raising "Mach not found" when it has gone.
    void SetMachWindowVisible(bool visible);

    bool Attached() const { return m_attached; }
    bool Connected() const { return m_connected; }
    // Why the last SetConnected(true) did not connect (the failure it swallowed); empty once
    // connected.
    QString ConnectError() const { return m_connectError; }

    const std::shared_ptr<IMyScriptObject>& iMach() const { return m_iMach; }
    TMachUpdateThread* UpdateThread() const { return m_updateThread.get(); }
    IMachMessageLog* MessageLog() const;

    // The editor's text and line list reload from a file the host has just loaded. Not owned.
    void SetEditorReload(std::function<void(const QString& path)> reload);

    // How registered controls are shown while polling has stopped; handed to the update thread.
    void SetStaleView(MachStaleView view);
    // Makes the pass timer of the update thread created from now on (default: a Qt timer).
    void SetPassTimers(PassTimerFactory timers) { m_passTimers = std::move(timers); }

    // ---- Operations ----
    bool BrowseForMach();
    bool BrowseForProfile();
    void SetConnected(bool on);
    void BindWindow(QObject* window);
    // Gets polling back after the host failed, or connects after a start-up that could not:
    // finds the host window (launching the host when it does not run, as attaching does), then
    // either connects for the first time or, when connected before, leaves the host without
    // touching the machine (document operation 4), connects the same document again - the
    // script object the bound controls hold works again - and restarts polling on a new
    // document of the update thread's own. Registrations are kept. Raises the failure.
    void Reconnect();

    bool IsMachineEnabled();
    void EnableMachine();
    void DisableMachine();
    void ReleaseHost();

    void CloseGCodeFile();
    void LoadGCodeFile(const QString& path);
    void ZeroX();
    void ZeroY();
    void ZeroZ();
    void GotoSafeZ();
    void PressOEMButton(int code);
    double ReadDRO(int code);
    void WriteDRO(int code, double value);
    double GetVariable(int index);
    void SendCode(const QString& text);
    void StatusMessage(const QString& text);

Q_SIGNALS:
    // A failing poll pass ended polling; `reason` is the host's error text.
    void PollingStopped(const QString& reason);
    // A poll pass succeeded after polling had stopped.
    void PollingRestored();

private:
    void Attach();
    void FindOrLaunchHost();
    void BindChildren(QObject* parent);
    IMyScriptObject& Mach() const;

    IMach4DocumentFactory& m_documents;
    PlatformServices& m_platform;
    QObject* m_owner;
    std::unique_ptr<IMach4Document> m_document;
    std::shared_ptr<IMyScriptObject> m_iMach;
    std::unique_ptr<TMachUpdateThread> m_updateThread;
    QPointer<QObject> m_messageLogObject;
    IMachMessageLog* m_messageLog = nullptr;
    std::function<void(const QString&)> m_editorReload;
    MachStaleView m_staleView;
    PassTimerFactory m_passTimers;
    QString m_connectError;
    QString m_machLoc;
    QString m_machDir;
    QString m_profile;
    bool m_machWindowVisible = true;
    bool m_attached = false;
    bool m_connected = false;
};
