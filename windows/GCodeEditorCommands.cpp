#include "windows/GCodeEditorCommands.h"

#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "platform/Dialogs.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/Waiter.h"
#include "platform/ZentyrError.h"
#include "windows/GCodeProgramFile.h"

#include <QDir>

namespace {

// The controller's FileName when it has no program: a text beginning "No File".
bool NamesNoFile(const QString& fileName)
{
    return fileName.isEmpty() || fileName.startsWith(QLatin1String("No File"));
}

}  // namespace

const QString TGCodeEditorCommands::FileFilter = QStringLiteral("GCode Files (*.tap)|*.tap");
const QString TGCodeEditorCommands::FileExtension = QStringLiteral("tap");

TGCodeEditorCommands::TGCodeEditorCommands(IGCodeEditorViews& views, PlatformServices& platform,
                                           QObject* parent)
    : QObject(parent), m_views(views), m_platform(platform)
{
}

TGCodeEditorCommands::~TGCodeEditorCommands() = default;

void TGCodeEditorCommands::SetModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT ModifiedChanged(modified);
}

void TGCodeEditorCommands::SetCurrentFile(const QString& path)
{
    if (path == m_currentFile)
        return;
    m_currentFile = path;
    Q_EMIT CurrentFileChanged(path);
}

QString TGCodeEditorCommands::LastFile()
{
    if (m_iMach) {
        const QString loaded = m_iMach->FileName();
        if (!NamesNoFile(loaded))
            m_lastFile = loaded;
    }
    return m_lastFile;
}

TCMach4Wrapper& TGCodeEditorCommands::Connection() const
{
    if (!m_wMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    return *m_wMach;
}

IMyScriptObject& TGCodeEditorCommands::Mach() const
{
    if (!m_iMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    return *m_iMach;
}

FileDialogOptions TGCodeEditorCommands::DialogOptions() const
{
    FileDialogOptions options;
    options.filter = FileFilter;
    options.defaultExtension = FileExtension;
    options.initialFolder = (m_wMach ? m_wMach->MachDir() : QString()) + QStringLiteral("GCode");
    return options;
}

bool TGCodeEditorCommands::SaveChangesFirst()
{
    if (!m_modified)
        return true;
    switch (m_platform.messageBoxes.Show(IMessageBoxes::Kind::Confirm,
                                         QStringLiteral("Save changes?"),
                                         IMessageBoxes::Buttons::YesNoCancel)) {
    case IMessageBoxes::Answer::Yes:
        Save();
        return !m_modified;  // a cancelled save keeps the text
    case IMessageBoxes::Answer::No:
        return true;
    default:
        return false;
    }
}

void TGCodeEditorCommands::WriteText(const QString& path)
{
    WriteProgramLines(path, m_views.TextLines());
}

void TGCodeEditorCommands::New()
{
    if (!SaveChangesFirst())
        return;
    m_views.SetTextLines({});
    SetCurrentFile({});
}

void TGCodeEditorCommands::Open()
{
    if (!SaveChangesFirst())
        return;
    FileDialogOptions options = DialogOptions();
    options.fileMustExist = true;
    const std::optional<QString> chosen = m_platform.fileDialogs.OpenFile(options);
    if (!chosen)
        return;
    // Read before anything changes: a file that cannot be read leaves the editor as it was.
    const QStringList lines = ReadProgramLines(*chosen);
    SetCurrentFile(*chosen);
    m_views.SetTextLines(lines);
    LoadIntoHost(*chosen);
}

void TGCodeEditorCommands::Close()
{
    if (!m_modified)
        return;
    switch (m_platform.messageBoxes.Show(IMessageBoxes::Kind::Confirm,
                                         QStringLiteral("Save changes?"),
                                         IMessageBoxes::Buttons::YesNoCancel)) {
    case IMessageBoxes::Answer::Yes:
        Save();
        break;
    case IMessageBoxes::Answer::No:
        m_views.SetTextLines({});
        SetModified(false);
        // The text is gone: a later Save must not write the empty text over the program.
        SetCurrentFile({});
        break;
    default:
        break;
    }
}

void TGCodeEditorCommands::Save()
{
    if (m_modified || m_currentFile.isEmpty()) {
        SaveAs();
        return;
    }
    WriteText(m_currentFile);
    SetModified(false);
}

void TGCodeEditorCommands::SaveAs()
{
    FileDialogOptions options = DialogOptions();
    options.fileName = m_currentFile;
    const std::optional<QString> chosen = m_platform.fileDialogs.SaveFile(options);
    if (!chosen)
        return;
    WriteText(*chosen);
    SetCurrentFile(*chosen);
    SetModified(false);
}

void TGCodeEditorCommands::Last()
{
    IMyScriptObject& mach = Mach();
    const QString loaded = mach.FileName();
    if (!NamesNoFile(loaded)) {
        m_lastFile = loaded;
        mach.LoadFile(loaded);
        return;
    }
    // No program in the controller: the one remembered from the desktop layout.
    if (m_lastFile.isEmpty()) {
        m_platform.messageBoxes.Show(
            IMessageBoxes::Kind::Information,
            QStringLiteral("Mach3 has no program loaded, and no last program is known."),
            IMessageBoxes::Buttons::Ok);
        return;
    }
    if (!SaveChangesFirst())
        return;
    const QString path = m_lastFile;
    const QStringList lines = ReadProgramLines(path);
    SetCurrentFile(path);
    m_views.SetTextLines(lines);
    mach.LoadFile(path);
    m_views.SetListLines(lines);
}

bool TGCodeEditorCommands::LoadIntoHost(const QString& path)
{
    const QPointer<TGCodeEditorCommands> self(this);
    TCMach4Wrapper& connection = Connection();
    m_ownLoad = true;
    try {
        connection.LoadGCodeFile(path);  // waits with events processed: we may go meanwhile
    } catch (...) {
        if (self)
            m_ownLoad = false;
        throw;
    }
    if (!self)
        return false;
    m_ownLoad = false;
    return true;
}

bool TGCodeEditorCommands::WaitUntilLoaded(const QString& path)
{
    const QPointer<TGCodeEditorCommands> self(this);
    const std::shared_ptr<IMyScriptObject> mach = m_iMach;
    if (!mach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    IWaiter& waiter = m_platform.waiter;
    for (int waited = 0; mach->IsLoading() != 0; waited += LoadingPollMs) {
        if (waited >= LoadingLimitMs)
            throw ZentyrError(
                QStringLiteral("Mach3 did not finish loading \"%1\" within %2 seconds. The "
                               "program was not started.")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(LoadingLimitMs / 1000));
        waiter.SleepProcessingEvents(LoadingPollMs);
        if (!self)
            return false;
    }
    return true;
}

bool TGCodeEditorCommands::PrepareRun()
{
    if (m_preparingRun)
        return false;  // a Run already waits for the controller
    if (!m_modified)
        return true;
    // Cleared however the preparation ends, unless this object went during a wait.
    struct Preparing
    {
        QPointer<TGCodeEditorCommands> self;
        ~Preparing()
        {
            if (self)
                self->m_preparingRun = false;
        }
    } preparing{this};
    m_preparingRun = true;

    if (m_currentFile.isEmpty()) {
        Save();
        if (m_currentFile.isEmpty())
            return false;  // the save dialog was cancelled
    }
    Connection().CloseGCodeFile();
    const QString path = m_currentFile;
    WriteText(path);
    return LoadIntoHost(path) && WaitUntilLoaded(path);
}

bool TGCodeEditorCommands::QueryClose()
{
    if (!m_modified)
        return true;
    switch (m_platform.messageBoxes.Show(IMessageBoxes::Kind::Confirm,
                                         QStringLiteral("Save File Modifications?"),
                                         IMessageBoxes::Buttons::YesNoCancel)) {
    case IMessageBoxes::Answer::Yes:
        Save();  // a cancelled save dialog still closes; the text and the flag stay
        return true;
    case IMessageBoxes::Answer::No:
        return true;
    default:
        return false;
    }
}

void TGCodeEditorCommands::OfferSaveAtExit()
{
    if (!m_modified)
        return;
    IMessageBoxes& boxes = m_platform.messageBoxes;
    RunOperatorAction(boxes, [&] {
        if (boxes.Show(IMessageBoxes::Kind::Confirm, QStringLiteral("Save File Modifications?"),
                       IMessageBoxes::Buttons::YesNo) == IMessageBoxes::Answer::Yes)
            Save();
    });
}

void TGCodeEditorCommands::HostLoaded(const QString& path)
{
    const QStringList lines = ReadProgramLines(path);
    // The list always shows what the controller runs, so that its current line can be followed.
    m_views.SetListLines(lines);
    // Our own loads (Open, Run) come from the text itself.
    if (m_ownLoad)
        return;
    if (!SaveChangesFirst())
        return;
    m_views.SetTextLines(lines);
    SetCurrentFile(path);
}
