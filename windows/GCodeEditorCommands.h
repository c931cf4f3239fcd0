#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class IMyScriptObject;
class TCMach4Wrapper;
struct FileDialogOptions;
struct PlatformServices;

// The two views the editor's commands fill: the editable text, and the list of the program the
// controller has loaded, in which its current line is followed.
class IGCodeEditorViews
{
public:
    virtual ~IGCodeEditorViews() = default;
    virtual QStringList TextLines() const = 0;
    virtual void SetTextLines(const QStringList& lines) = 0;
    virtual void SetListLines(const QStringList& lines) = 0;
};

// The G-code editor's document and its file commands: the modified flag, the current file, the
// last program loaded in the controller, and New, Open, Close, Save, Save As, Last and the
// steps Run takes before cycle start. UI thread only; every command may raise a ZentyrError
// (file or host failure), which ends it at that point.
//
// Typed work is never dropped without a question: New, Open and a program loaded into the
// controller by another window ask "Save changes?" first while the modified flag is set, and a
// save that is cancelled or fails keeps the text.
class TGCodeEditorCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TGCodeEditorCommands)

public:
    static const QString FileFilter;
    static const QString FileExtension;
    // Run's wait for the controller to load: asks every LoadingPollMs, gives up after
    // LoadingLimitMs.
    static constexpr int LoadingPollMs = 100;
    static constexpr int LoadingLimitMs = 120000;

    TGCodeEditorCommands(IGCodeEditorViews& views, PlatformServices& platform,
                         QObject* parent = nullptr);
    ~TGCodeEditorCommands() override;

    void SetConnection(TCMach4Wrapper* wMach) { m_wMach = wMach; }
    void SetIMach(std::shared_ptr<IMyScriptObject> iMach) { m_iMach = std::move(iMach); }

    bool Modified() const { return m_modified; }
    void SetModified(bool modified);
    QString CurrentFile() const { return m_currentFile; }

    // The last program loaded in the controller: with a script object, the controller's
    // FileName replaces the stored value first, unless it says that no file is loaded (then
    // the remembered program stays). Without a script object the stored value is returned.
    QString LastFile();
    QString StoredLastFile() const { return m_lastFile; }
    void SetLastFile(const QString& path) { m_lastFile = path; }

    void New();
    void Open();
    // With unsaved edits asks "Save changes?": Yes saves; No clears the text and the flag and
    // forgets the current file; Cancel does nothing. Without edits does nothing.
    void Close();
    void Save();
    void SaveAs();
    void Last();

    // What Run does before it presses cycle start. Without unsaved edits nothing: true. With
    // them: the text is saved (Save As when there is no current file yet), handed to the
    // controller with LoadGCodeFile, and the controller's loading waited for, with the windows
    // live; true once it has loaded. False when the save was cancelled or a Run is already
    // waiting; a failed write, a host failure or a load that does not end within
    // LoadingLimitMs raises. Nothing may be started unless this returns true.
    bool PrepareRun();

    // The window is about to close: with unsaved edits asks "Save File Modifications?". True
    // when it may close (Yes, after saving or cancelling the save dialog; No), false on Cancel.
    bool QueryClose();
    // The program ends: with unsaved edits asks "Save File Modifications?" (Yes or No, the end
    // cannot be cancelled); Yes saves. Errors are shown, never raised.
    void OfferSaveAtExit();

    // The controller has loaded `path` through the host connection: the list shows it, and the
    // text and the current file follow it unless the operator keeps unsaved edits.
    void HostLoaded(const QString& path);

Q_SIGNALS:
    void ModifiedChanged(bool modified);
    void CurrentFileChanged(const QString& path);

private:
    // Asks "Save changes?" while the flag is set; true when the text may be replaced.
    bool SaveChangesFirst();
    void SetCurrentFile(const QString& path);
    void WriteText(const QString& path);
    // Loads `path` into the controller through the connection; the reload it causes is ours.
    // Both wait with events processed and return false when this object went meanwhile.
    bool LoadIntoHost(const QString& path);
    bool WaitUntilLoaded(const QString& path);
    FileDialogOptions DialogOptions() const;
    TCMach4Wrapper& Connection() const;
    IMyScriptObject& Mach() const;

    IGCodeEditorViews& m_views;
    PlatformServices& m_platform;
    TCMach4Wrapper* m_wMach = nullptr;
    std::shared_ptr<IMyScriptObject> m_iMach;
    QString m_currentFile;
    QString m_lastFile;
    bool m_modified = false;
    bool m_ownLoad = false;
    bool m_preparingRun = false;
};
