#pragma once

#include "host/Mach4_TLB.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

// A script object that answers from settable state and keeps a journal of every call in a
// readable form: `DoOEMButton(1021)`, `GetOEMLed(800)`, `Code("G0 X1")`,
// `SetOEMDRO(818, 12.5)`. Tests state the exact sequence a user action sends.
class RecordingHost final : public IMyScriptObject
{
public:
    // ---- State the answers come from ----
    QHash<int, bool> leds;
    QHash<int, double> dros;
    QHash<int, double> vars;
    QString fileName = QStringLiteral("No File Loaded.");
    // Answers of IsMoving, consumed one per call; when empty, `movingDefault` answers.
    std::deque<bool> movingSequence;
    bool movingDefault = false;
    std::deque<int> loadingSequence;

    // Called after DoOEMButton has been journaled, to let a test model the host's reaction.
    std::function<void(int code)> onOEMButton;
    // Called after Code has been journaled.
    std::function<void(const QString& text)> onCode;

    // Every call from the given (0-based) call number on raises a ZentyrError, as a host that
    // has gone would. -1: never.
    int failFromCall = -1;

    // ---- Journal ----
    QStringList journal;
    int callCount = 0;
    // Benchmarks switch the journal off to measure the caller rather than the formatting.
    bool keepJournal = true;
    void ClearJournal() { journal.clear(); }
    // Journal entries that start with `prefix` (e.g. "DoOEMButton").
    QStringList Calls(const QString& prefix) const;

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
    // Counts the call, fails it when told to, and journals it (formatted only when kept).
    void Record(const std::function<QString()>& entry);
};

// A document over a shared RecordingHost. Its two operations go to the same journal as
// `Doc.Connect()` and `Doc.Release()`.
class RecordingDocument final : public IMach4Document
{
public:
    RecordingDocument(std::shared_ptr<RecordingHost> host, const bool& hostRunning,
                      QStringList& documentJournal);

    void SetConnectKind(ConnectKind kind) override { m_kind = kind; }
    ConnectKind GetConnectKind() const override { return m_kind; }
    void Connect() override;
    bool IsConnected() const override { return m_connected; }
    std::shared_ptr<IMyScriptObject> GetScriptObject() override;
    void Release() override;

private:
    std::shared_ptr<RecordingHost> m_host;
    const bool& m_hostRunning;
    QStringList& m_documentJournal;
    ConnectKind m_kind = ConnectKind::NewInstance;
    bool m_connected = false;
};

// Hands out documents over one RecordingHost; counts them.
class RecordingDocumentFactory final : public IMach4DocumentFactory
{
public:
    explicit RecordingDocumentFactory(std::shared_ptr<RecordingHost> host);

    std::unique_ptr<IMach4Document> CreateDocument() override;

    std::shared_ptr<RecordingHost> host;
    // When false, Connect fails as with no host running.
    bool hostRunning = true;
    int documentsCreated = 0;
    // Document operations of every document, in order: "Connect", "GetScriptObject", "Release".
    QStringList documentJournal;
};
