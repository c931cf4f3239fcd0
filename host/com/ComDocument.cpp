#include "host/com/ComDocument.h"

#include "host/HostCallGate.h"
#include "host/com/ComError.h"
#include "host/com/ComScriptCalls.h"
#include "host/com/ComSession.h"
#include "platform/ZentyrError.h"

#include <QLoggingCategory>

#include <string>

namespace comhost {

namespace {

Q_LOGGING_CATEGORY(lcComHost, "zentyr.host.com")

// Runs one call of the core as one host call and raises its failure as the program's error
// type. Every failure is logged as well: the connection guards swallow theirs.
template <typename F>
auto Guarded(F call) -> decltype(call())
{
    const HostCallScope scope;
    try {
        return call();
    } catch (const ComError& e) {
        const QString message = QString::fromStdWString(e.Message());
        qCWarning(lcComHost).noquote() << message;
        throw ZentyrError(message);
    }
}

// QString and std::wstring are both UTF-16 on Windows: no character is lost either way.
std::wstring Wide(const QString& text) { return text.toStdWString(); }

}  // namespace

ComDocument::ComDocument(int timeoutMs, std::function<void()> pump)
    : m_session(std::make_shared<DocumentSession>(timeoutMs))
{
    m_session->SetWaitPump(std::move(pump));
}

ComDocument::~ComDocument() = default;

void ComDocument::Connect()
{
    const bool wasConnected = m_session->IsConnected();
    Guarded([&] { m_session->Connect(); });
    if (!wasConnected && !m_session->IsSubscribed())
        qCInfo(lcComHost) << "Mach3's document took no event sink; connected without one";
}

bool ComDocument::IsConnected() const { return m_session->IsConnected(); }

std::shared_ptr<IMyScriptObject> ComDocument::GetScriptObject()
{
    Guarded([&] { m_session->ObtainScriptObject(); });
    if (!m_script)
        m_script = std::make_shared<ComScriptObject>(m_session);
    return m_script;
}

void ComDocument::Release()
{
    Guarded([&] { m_session->Release(); });
}

ComScriptObject::ComScriptObject(std::shared_ptr<DocumentSession> session)
    : m_calls(std::make_unique<ScriptCalls>(std::move(session)))
{
}

ComScriptObject::~ComScriptObject() = default;

void ComScriptObject::DeActivateSignal(int16_t signal)
{
    Guarded([&] { m_calls->DeActivateSignal(signal); });
}

double ComScriptObject::GetVar(int16_t index)
{
    return Guarded([&] { return m_calls->GetVar(index); });
}

void ComScriptObject::Code(const QString& text)
{
    Guarded([&] { m_calls->Code(Wide(text)); });
}

bool ComScriptObject::IsMoving()
{
    return Guarded([&] { return m_calls->IsMoving(); });
}

void ComScriptObject::DoOEMButton(int16_t code)
{
    Guarded([&] { m_calls->DoOEMButton(code); });
}

void ComScriptObject::DoButton(int16_t number)
{
    Guarded([&] { m_calls->DoButton(number); });
}

bool ComScriptObject::GetOEMLed(int16_t code)
{
    return Guarded([&] { return m_calls->GetOEMLed(code); });
}

double ComScriptObject::GetOEMDRO(int16_t code)
{
    return Guarded([&] { return m_calls->GetOEMDRO(code); });
}

void ComScriptObject::SetOEMDRO(int16_t code, double value)
{
    Guarded([&] { m_calls->SetOEMDRO(code, value); });
}

int16_t ComScriptObject::IsLoading()
{
    return Guarded([&] { return static_cast<int16_t>(m_calls->IsLoading()); });
}

void ComScriptObject::SetButtonText(const QString& text)
{
    Guarded([&] { m_calls->SetButtonText(Wide(text)); });
}

void ComScriptObject::Message(const QString& text)
{
    Guarded([&] { m_calls->Message(Wide(text)); });
}

QString ComScriptObject::FileName()
{
    return Guarded([&] { return QString::fromStdWString(m_calls->FileName()); });
}

void ComScriptObject::LoadFile(const QString& path)
{
    Guarded([&] { m_calls->LoadFile(Wide(path)); });
}

ComDocumentFactory::ComDocumentFactory() : ComDocumentFactory(DefaultCallTimeoutMs) {}

ComDocumentFactory::ComDocumentFactory(int timeoutMs) : m_timeoutMs(timeoutMs) {}

std::unique_ptr<IMach4Document> ComDocumentFactory::CreateDocument()
{
    return std::make_unique<ComDocument>(m_timeoutMs, m_pump);
}

}  // namespace comhost
