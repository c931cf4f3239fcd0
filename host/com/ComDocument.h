#pragma once

#include "host/Mach4_TLB.h"

#include <functional>
#include <memory>

namespace comhost {

class DocumentSession;
class ScriptCalls;

// The host document over COM, for the Windows build: the program's host interfaces over the
// plain Win32 session. Each document is one session of its own (the host connection and the
// update thread's poll pass each create one). Failures are raised as ZentyrError with the
// session's message. Each call is one host call in the sense of HostCallScope: a call begun
// while another waits (from the events `pump` lets through) fails at once. UI thread only.
class ComDocument final : public IMach4Document
{
public:
    // `pump` runs between the slices of every wait for the host; empty: none.
    explicit ComDocument(int timeoutMs, std::function<void()> pump = {});
    ~ComDocument() override;
    ComDocument(const ComDocument&) = delete;
    ComDocument& operator=(const ComDocument&) = delete;

    void SetConnectKind(ConnectKind kind) override { m_kind = kind; }
    ConnectKind GetConnectKind() const override { return m_kind; }

    // Takes the running controller's document whatever the connect kind: the controller is
    // never started from here. Raises "Mach not found: ..." when it is not running.
    void Connect() override;
    bool IsConnected() const override;

    // Document operation 3; the same script object is returned on every call.
    std::shared_ptr<IMyScriptObject> GetScriptObject() override;

    // Document operation 4, last; the script object's later calls fail.
    void Release() override;

private:
    std::shared_ptr<DocumentSession> m_session;
    std::shared_ptr<IMyScriptObject> m_script;
    ConnectKind m_kind = ConnectKind::NewInstance;
};

// The script object over COM.
class ComScriptObject final : public IMyScriptObject
{
public:
    explicit ComScriptObject(std::shared_ptr<DocumentSession> session);
    ~ComScriptObject() override;

    void DeActivateSignal(int16_t signal) override;
    double GetVar(int16_t index) override;
    void Code(const QString& text) override;
    bool IsMoving() override;
    void DoOEMButton(int16_t code) override;
    void DoButton(int16_t number) override;
    bool GetOEMLed(int16_t code) override;
    double GetOEMDRO(int16_t code) override;
    void SetOEMDRO(int16_t code, double value) override;
    int16_t IsLoading() override;
    void SetButtonText(const QString& text) override;
    void Message(const QString& text) override;
    QString FileName() override;
    void LoadFile(const QString& path) override;

private:
    std::unique_ptr<ScriptCalls> m_calls;
};

class ComDocumentFactory final : public IMach4DocumentFactory
{
public:
    ComDocumentFactory();
    explicit ComDocumentFactory(int timeoutMs);

    std::unique_ptr<IMach4Document> CreateDocument() override;

    // The wait pump of the documents created from now on; none by default.
    void SetWaitPump(std::function<void()> pump) { m_pump = std::move(pump); }

private:
    int m_timeoutMs;
    std::function<void()> m_pump;
};

}  // namespace comhost
