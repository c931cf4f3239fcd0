#pragma once

#include "windows/GCodeEditorCommands.h"

#include <QMainWindow>

#include <memory>

class IMyScriptObject;
class QAction;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class TCMach4Wrapper;
class TGCodeListView;
class TLayoutStorage;
class TMachDro;
class TMachUpdateThread;
class TScalar;
class tMachOEMButton;
class tMachToggleButton;
struct PlatformServices;

// The G-code editor window ("G Code File"): a top bar of host-bound buttons (Run, Stop,
// Rewind, Reverse, Single Step) with the current-line field `eLineNum`, the program as
// editable text (`CodeText`) and as a list of lines (`CodeList`) stacked on one area, two
// status panels (modified, current file) and the File and Settings menus.
//
// The list is in front after creation and after Run and follows the controller's current line;
// a mouse release on it brings the text to the front. Every key released in the text sets the
// modified flag. Run presses cycle start only once the edited text is saved and loaded in the
// controller (see TGCodeEditorCommands::PrepareRun). Closing with unsaved edits asks first;
// closing only hides the window, whose text and state stay for the next opening.
//
// The main window hands over the host connection, the script object and the update thread
// (which registers `eLineNum`), then binds the window. UI thread only.
class TGCodeEditor final : public QMainWindow, private IGCodeEditorViews
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TGCodeEditor)

public:
    static const QString DesktopSection;
    static constexpr int DesignWidth = 344;
    static constexpr int DesignHeight = 256;

    explicit TGCodeEditor(PlatformServices& platform, QWidget* parent = nullptr);
    ~TGCodeEditor() override;

    void SetMachConnection(TCMach4Wrapper* wMach);
    void SetIMach(std::shared_ptr<IMyScriptObject> iMach);
    void SetUpdateThread(TMachUpdateThread* thread);

    // "Left", "Top", "Width", "Height", "WindowState", "LastFile" of DesktopSection.
    void ReadDesktopSection(TLayoutStorage& store);
    // "Left", "Top", "ScalarSetting", "WindowState", "LastFile" (read through the controller).
    void WriteDesktopSection(TLayoutStorage& store);

    // Reloads the views from a program the controller has just loaded (the host connection's
    // editor reload).
    void ReloadFromHost(const QString& path);

    TGCodeEditorCommands& Commands() const { return *m_commands; }
    TScalar& Scalar1() const { return *m_scalar; }

    tMachOEMButton* btnRun() const { return m_btnRun; }
    tMachOEMButton* btnStop() const { return m_btnStop; }
    tMachOEMButton* btnRewind() const { return m_btnRewind; }
    tMachOEMButton* btnReverse() const { return m_btnReverse; }
    tMachToggleButton* btnSingle() const { return m_btnSingle; }
    TMachDro* eLineNum() const { return m_eLineNum; }
    QPlainTextEdit* CodeText() const { return m_codeText; }
    TGCodeListView* CodeList() const { return m_codeList; }
    QLabel* ModifiedPanel() const { return m_modifiedPanel; }
    QLabel* FilePanel() const { return m_filePanel; }
    bool ListInFront() const;

    QAction* NewAction() const { return m_new; }
    QAction* OpenAction() const { return m_open; }
    QAction* CloseAction() const { return m_close; }
    QAction* SaveAction() const { return m_save; }
    QAction* SaveAsAction() const { return m_saveAs; }
    QAction* LastAction() const { return m_last; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList TextLines() const override;
    void SetTextLines(const QStringList& lines) override;
    void SetListLines(const QStringList& lines) override;

    QWidget* BuildTopBar();
    void BuildMenus();
    void Guarded(const std::function<void()>& action);
    void eLineNumChange();
    void btnRunClick();
    void CodeListMouseUp();

    PlatformServices& m_platform;
    TGCodeEditorCommands* m_commands;
    TScalar* m_scalar;
    TCMach4Wrapper* m_wMach = nullptr;
    tMachOEMButton* m_btnRun = nullptr;
    tMachOEMButton* m_btnStop = nullptr;
    tMachOEMButton* m_btnRewind = nullptr;
    tMachOEMButton* m_btnReverse = nullptr;
    tMachToggleButton* m_btnSingle = nullptr;
    TMachDro* m_eLineNum = nullptr;
    QStackedWidget* m_views = nullptr;
    QPlainTextEdit* m_codeText = nullptr;
    TGCodeListView* m_codeList = nullptr;
    QLabel* m_modifiedPanel = nullptr;
    QLabel* m_filePanel = nullptr;
    QAction* m_new = nullptr;
    QAction* m_open = nullptr;
    QAction* m_close = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_last = nullptr;
};
