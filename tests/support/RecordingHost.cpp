#include "RecordingHost.h"

#include "platform/ZentyrError.h"

namespace {
QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
}  // namespace

QStringList RecordingHost::Calls(const QString& prefix) const
{
    QStringList found;
    for (const QString& entry : journal) {
        if (entry.startsWith(prefix))
            found.append(entry);
    }
    return found;
}

void RecordingHost::Record(const std::function<QString()>& entry)
{
    const int number = callCount++;
    if (failFromCall >= 0 && number >= failFromCall)
        throw ZentyrError(QStringLiteral("The controller has closed the connection"));
    if (keepJournal)
        journal.append(entry());
}

void RecordingHost::DeActivateSignal(int16_t signal)
{
    Record([&] { return QStringLiteral("DeActivateSignal(%1)").arg(signal); });
}

double RecordingHost::GetVar(int16_t index)
{
    Record([&] { return QStringLiteral("GetVar(%1)").arg(index); });
    return vars.value(index, 0.0);
}

void RecordingHost::Code(const QString& text)
{
    Record([&] { return QStringLiteral("Code(") + Quoted(text) + QLatin1Char(')'); });
    if (onCode)
        onCode(text);
}

bool RecordingHost::IsMoving()
{
    Record([&] { return QStringLiteral("IsMoving()"); });
    if (movingSequence.empty())
        return movingDefault;
    const bool moving = movingSequence.front();
    movingSequence.pop_front();
    return moving;
}

void RecordingHost::DoOEMButton(int16_t code)
{
    Record([&] { return QStringLiteral("DoOEMButton(%1)").arg(code); });
    if (onOEMButton)
        onOEMButton(code);
}

void RecordingHost::DoButton(int16_t number)
{
    Record([&] { return QStringLiteral("DoButton(%1)").arg(number); });
}

bool RecordingHost::GetOEMLed(int16_t code)
{
    Record([&] { return QStringLiteral("GetOEMLed(%1)").arg(code); });
    return leds.value(code, false);
}

double RecordingHost::GetOEMDRO(int16_t code)
{
    Record([&] { return QStringLiteral("GetOEMDRO(%1)").arg(code); });
    return dros.value(code, 0.0);
}

void RecordingHost::SetOEMDRO(int16_t code, double value)
{
    Record([&] { return QStringLiteral("SetOEMDRO(%1, %2)").arg(code).arg(value); });
    dros.insert(code, value);
}

int16_t RecordingHost::IsLoading()
{
    Record([&] { return QStringLiteral("IsLoading()"); });
    if (loadingSequence.empty())
        return 0;
    const int loading = loadingSequence.front();
    loadingSequence.pop_front();
    return static_cast<int16_t>(loading);
}

void RecordingHost::SetButtonText(const QString& text)
{
    Record([&] { return QStringLiteral("SetButtonText(") + Quoted(text) + QLatin1Char(')'); });
}

void RecordingHost::Message(const QString& text)
{
    Record([&] { return QStringLiteral("Message(") + Quoted(text) + QLatin1Char(')'); });
}

QString RecordingHost::FileName()
{
    Record([&] { return QStringLiteral("FileName()"); });
    return fileName;
}

void RecordingHost::LoadFile(const QString& path)
{
    Record([&] { return QStringLiteral("LoadFile(") + Quoted(path) + QLatin1Char(')'); });
    fileName = path;
}

RecordingDocument::RecordingDocument(std::shared_ptr<RecordingHost> host, const bool& hostRunning,
                                     QStringList& documentJournal)
    : m_host(std::move(host)), m_hostRunning(hostRunning), m_documentJournal(documentJournal)
{
}

void RecordingDocument::Connect()
{
    m_documentJournal.append(QStringLiteral("Connect"));
    if (!m_hostRunning)
        throw ZentyrError(QStringLiteral("The controller is not running"));
    m_connected = true;
}

std::shared_ptr<IMyScriptObject> RecordingDocument::GetScriptObject()
{
    m_documentJournal.append(QStringLiteral("GetScriptObject"));
    if (!m_connected)
        throw ZentyrError(QStringLiteral("Not connected to the controller"));
    return m_host;
}

void RecordingDocument::Release()
{
    m_documentJournal.append(QStringLiteral("Release"));
    m_host->journal.append(QStringLiteral("Doc.Release()"));
}

RecordingDocumentFactory::RecordingDocumentFactory(std::shared_ptr<RecordingHost> recordingHost)
    : host(std::move(recordingHost))
{
}

std::unique_ptr<IMach4Document> RecordingDocumentFactory::CreateDocument()
{
    ++documentsCreated;
    return std::make_unique<RecordingDocument>(host, hostRunning, documentJournal);
}
