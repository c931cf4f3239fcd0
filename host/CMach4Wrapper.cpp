#include "host/CMach4Wrapper.h"

#include "host/HostLog.h"
#include "host/Mach4_TLB.h"
#include "host/MachBinding.h"
#include "host/MachConstants.h"
#include "host/MachUpdateThread.h"
#include "platform/Dialogs.h"
#include "platform/HostWindows.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/Waiter.h"
#include "platform/ZentyrError.h"

#include <QDir>

namespace {

constexpr int16_t ResetLed = OEMLEDCodeOf(oltReset);
constexpr int16_t PauseActiveLed = OEMLEDCodeOf(oltPause_Active);
constexpr int16_t ResetButton = OEMButtonCodeOf(obtReset);
constexpr int16_t CloseCurrentFileButton = OEMButtonCodeOf(obtClose_current_file);
constexpr int16_t GotoSafeZButton = OEMButtonCodeOf(obtGoto_Safe_Z);
constexpr int16_t ZeroXButton = OEMButtonCodeOf(obtZero_X);
constexpr int16_t ZeroYButton = OEMButtonCodeOf(obtZero_Y);
constexpr int16_t ZeroZButton = OEMButtonCodeOf(obtZero_Z);
constexpr int LaunchWaitMs = 4000;
constexpr int LoadAfterCloseWaitMs = 250;
constexpr int StopThreadWaitMs = 200;

// The host is started in its customary folder on Windows; elsewhere in its own folder.
QString HostWorkingFolder(const QString& machDir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(machDir);
    return QStringLiteral("C:\\mach3");
#else
    return machDir;
#endif
}

}  // namespace

const QString TCMach4Wrapper::HostWindowCaption = QStringLiteral("Mach3 CNC Controller ");

TCMach4Wrapper::TCMach4Wrapper(IMach4DocumentFactory& documents, PlatformServices& platform,
                               QObject* owner)
    : QObject(owner), m_documents(documents), m_platform(platform), m_owner(owner)
{
    m_document = m_documents.CreateDocument();
    m_document->SetConnectKind(IMach4Document::ConnectKind::NewInstance);
}

TCMach4Wrapper::~TCMach4Wrapper() = default;

void TCMach4Wrapper::SetActive(bool active)
{
    if (active)
        Attach();
}

void TCMach4Wrapper::SetMachLoc(const QString& path)
{
    m_machLoc = path;
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')),
                                   path.lastIndexOf(QLatin1Char('\\')));
    m_machDir = cut < 0 ? QString() : path.left(cut + 1);
}

bool TCMach4Wrapper::Stopped() const
{
    return m_iMach && m_iMach->GetOEMLed(PauseActiveLed);
}

void TCMach4Wrapper::SetMachWindowVisible(bool visible)
{
    m_machWindowVisible = visible;
    if (!m_attached)
        return;
    const auto window = m_platform.hostWindows.FindWindowByCaption(HostWindowCaption);
    if (!window)
        throw ZentyrError(QStringLiteral("Mach not found"));
    m_platform.hostWindows.SetWindowVisible(*window, visible);
}

IMachMessageLog* TCMach4Wrapper::MessageLog() const
{
    return m_messageLogObject ? m_messageLog : nullptr;
}

void TCMach4Wrapper::SetEditorReload(std::function<void(const QString&)> reload)
{
    m_editorReload = std::move(reload);
}

bool TCMach4Wrapper::BrowseForMach()
{
    FileDialogOptions options;
    options.initialFolder = QStringLiteral(".") + QDir::separator();
    options.fileName = QStringLiteral("Mach3.exe");
    options.fileMustExist = true;
    const auto chosen = m_platform.fileDialogs.OpenFile(options);
    if (!chosen)
        return false;
    SetMachLoc(*chosen);
    return true;
}

bool TCMach4Wrapper::BrowseForProfile()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("MachProfile (*.xml)|*.XML");
    options.defaultExtension = QStringLiteral("xml");
    options.initialFolder = m_machDir;
    options.fileName = QStringLiteral("*.xml");
    const auto chosen = m_platform.fileDialogs.OpenFile(options);
    if (!chosen)
        return false;
    // "Fast.Mill.xml" names the profile "Fast": everything from the first dot goes.
    QString name = *chosen;
    const qsizetype cut = std::max(name.lastIndexOf(QLatin1Char('/')),
                                   name.lastIndexOf(QLatin1Char('\\')));
    name = name.mid(cut + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    m_profile = dot < 0 ? name : name.left(dot);
    return true;
}

void TCMach4Wrapper::SetStaleView(MachStaleView view)
{
    m_staleView = std::move(view);
    if (m_updateThread)
        m_updateThread->SetStaleView(m_staleView);
}

void TCMach4Wrapper::Attach()
{
    FindOrLaunchHost();
    SetConnected(true);
}

void TCMach4Wrapper::FindOrLaunchHost()
{
    if (m_machLoc.isEmpty() && !BrowseForMach())
        throw ZentyrError(QStringLiteral("Unable to Load Mach3"));

    IHostWindows& windows = m_platform.hostWindows;
    if (!windows.FindWindowByCaption(HostWindowCaption)) {
        if (m_profile.isEmpty() && !BrowseForProfile())
            throw ZentyrError(QStringLiteral("Unable to Find Mach Profile"));
        const QString parameters = QStringLiteral("/p \"") + m_profile + QLatin1Char('"');
        const int result =
            m_platform.shell.OpenProgram(m_machLoc, parameters, HostWorkingFolder(m_machDir));
        m_platform.waiter.SleepProcessingEvents(LaunchWaitMs);
        if (result <= ShellSuccessAbove)
            throw ZentyrError(QStringLiteral("Unable to start Mach: ") + QString::number(result));
    }

    const auto window = windows.FindWindowByCaption(HostWindowCaption);
    if (!window)
        throw ZentyrError(QStringLiteral("Mach not found"));
    if (!m_machWindowVisible)
        windows.SetWindowVisible(*window, false);
    m_attached = true;
}

void TCMach4Wrapper::Reconnect()
{
    qCInfo(lcHost) << "Reconnecting to the host";
    FindOrLaunchHost();
    if (!m_connected) {
        SetConnected(true);
        if (!m_connected)
            throw ZentyrError(m_connectError);
        return;
    }
    try {
        m_document->Release();
    } catch (...) {
        // The old connection is usually dead already; leaving it cannot fail the reconnect.
        qCInfo(lcHost).noquote() << "Leaving the host before reconnecting:" << CurrentErrorMessage();
    }
    m_document->SetConnectKind(IMach4Document::ConnectKind::RunningInstance);
    m_document->Connect();
    auto script = m_document->GetScriptObject();
    if (!script)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    if (script != m_iMach) {
        // The bound controls keep the object they were given; only this connection's own
        // commands can use the new one.
        qCWarning(lcHost) << "The host gave a new script object on reconnecting";
        m_iMach = std::move(script);
    }
    if (m_updateThread)
        m_updateThread->Restart();
}

void TCMach4Wrapper::SetConnected(bool on)
{
    if (on) {
        if (m_connected)
            return;
        try {
            m_document->SetConnectKind(IMach4Document::ConnectKind::RunningInstance);
            m_document->Connect();
            auto script = m_document->GetScriptObject();
            if (!script)
                throw ZentyrError(QStringLiteral("IMach not Set"));
            m_iMach = std::move(script);
            m_connected = true;
            m_connectError.clear();
            BindWindow(m_owner);
            m_updateThread->Start();
        } catch (...) {
            // A connection that cannot be made leaves the controls unbound and disabled; the
            // reason is kept for the window to show.
            m_connectError = CurrentErrorMessage();
            qCWarning(lcHost).noquote() << "Cannot connect to the host:" << m_connectError;
        }
        return;
    }

    if (!m_connected)
        return;
    struct MarkDisconnected
    {
        bool& connected;
        ~MarkDisconnected() { connected = false; }
    } markDisconnected{m_connected};

    if (m_updateThread) {
        m_updateThread->Terminate();
        m_platform.waiter.ProcessEvents();
        m_platform.waiter.Sleep(StopThreadWaitMs);
        m_updateThread.reset();
    }
    IMyScriptObject& mach = Mach();
    if (!mach.GetOEMLed(ResetLed)) {
        for (int16_t signal = 7; signal <= 10; ++signal)
            mach.DeActivateSignal(signal);
        mach.DoOEMButton(ResetButton);
    }
    ReleaseHost();
}

void TCMach4Wrapper::BindWindow(QObject* window)
{
    if (!m_iMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    if (!m_updateThread) {
        m_updateThread = std::make_unique<TMachUpdateThread>(
            m_documents, m_passTimers ? m_passTimers() : nullptr);
        m_updateThread->SetInterval(TMachUpdateThread::DefaultInterval);
        m_updateThread->SetStaleView(m_staleView);
        TMachUpdateThread* thread = m_updateThread.get();
        connect(thread, &TMachUpdateThread::PollingStopped, this,
                [this, thread] { Q_EMIT PollingStopped(thread->StopReason()); });
        connect(thread, &TMachUpdateThread::PollingRestored, this,
                [this] { Q_EMIT PollingRestored(); });
    }
    if (window == nullptr)
        return;
    BindChildren(window);
}

// Children in creation order, depth first. A host-bound control is not descended into: a
// frame binds and registers its own parts.
void TCMach4Wrapper::BindChildren(QObject* parent)
{
    for (QObject* child : parent->children()) {
        if (auto* bindable = dynamic_cast<IMachBindable*>(child)) {
            const MachBindingRow row = bindable->BindingRow();
            const bool registerFirst = row.registersForPolling && row.registersBeforeBinding;
            if (registerFirst)
                m_updateThread->Register(child);
            bindable->BindMach(row.receivesScriptObject ? m_iMach : nullptr,
                               row.receivesUpdateThread ? m_updateThread.get() : nullptr);
            if (row.registersForPolling && !registerFirst)
                m_updateThread->Register(child);
        } else if (auto* log = dynamic_cast<IMachMessageLog*>(child)) {
            m_messageLogObject = child;
            m_messageLog = log;
        } else {
            BindChildren(child);
        }
    }
}

IMyScriptObject& TCMach4Wrapper::Mach() const
{
    if (!m_iMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    return *m_iMach;
}

bool TCMach4Wrapper::IsMachineEnabled()
{
    return m_connected && !Mach().GetOEMLed(ResetLed);
}

void TCMach4Wrapper::EnableMachine()
{
    if (!IsMachineEnabled())
        Mach().DoOEMButton(ResetButton);
}

void TCMach4Wrapper::DisableMachine()
{
    if (IsMachineEnabled())
        Mach().DoOEMButton(ResetButton);
}

void TCMach4Wrapper::ReleaseHost()
{
    DisableMachine();
    m_document->Release();
}

void TCMach4Wrapper::CloseGCodeFile() { Mach().DoOEMButton(CloseCurrentFileButton); }

void TCMach4Wrapper::LoadGCodeFile(const QString& path)
{
    CloseGCodeFile();
    m_platform.waiter.SleepProcessingEvents(LoadAfterCloseWaitMs);
    Mach().LoadFile(path);
    if (m_editorReload)
        m_editorReload(path);
}

void TCMach4Wrapper::ZeroX() { Mach().DoOEMButton(ZeroXButton); }
void TCMach4Wrapper::ZeroY() { Mach().DoOEMButton(ZeroYButton); }
void TCMach4Wrapper::ZeroZ() { Mach().DoOEMButton(ZeroZButton); }
void TCMach4Wrapper::GotoSafeZ() { Mach().DoOEMButton(GotoSafeZButton); }

void TCMach4Wrapper::PressOEMButton(int code) { Mach().DoOEMButton(MachInt16(code)); }
double TCMach4Wrapper::ReadDRO(int code) { return Mach().GetOEMDRO(MachInt16(code)); }

void TCMach4Wrapper::WriteDRO(int code, double value)
{
    Mach().SetOEMDRO(MachInt16(code), value);
}

double TCMach4Wrapper::GetVariable(int index) { return Mach().GetVar(MachInt16(index)); }
void TCMach4Wrapper::SendCode(const QString& text) { Mach().Code(text); }

void TCMach4Wrapper::StatusMessage(const QString& text)
{
    Mach().Message(text);
    if (IMachMessageLog* log = MessageLog())
        log->AppendMessageLine(text);
}
