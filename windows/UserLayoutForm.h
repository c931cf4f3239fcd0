#pragma once

#include "host/MachUpdateThread.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class IMyScriptObject;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class TLayoutStorage;
class TScalar;
class TUserColumn;
struct PlatformServices;
struct TLayoutPlacement;

// What differs between the layout files of the two user-built windows.
struct TUserLayoutKind
{
    QString menuTitle;       // the one menu of the window
    QString extension;       // without the dot
    QString openFilter;      // "Description|*.ext"
    QString saveFilter;
    QString desktopSection;  // the window's section of the desktop layout store
};

// The frame of a window in which the operator builds a column of host-bound controls and keeps
// it in layout files: a top panel for the add buttons, the column, a bottom panel, a status bar
// that shows "Modified", and one menu with Load Layout, Save Layout, Save Layout As, Set as
// Default Layout, Scale and Exit. The derived window makes the controls and knows its file
// format.
//
// Column changes (add, delete, up, down, an accepted function dialog of a control) set
// Modified; reading or saving a layout clears it. Unsaved work is never dropped silently:
// closing, and loading over a modified column, ask "Save Layout Modifications?" first. A file
// is checked whole before the column is touched, so a rejected file leaves the column, the
// current layout file and Modified as they were. Files are written whole or not at all.
//
// The update thread is paused while the column is rebuilt or written and always resumed (only
// when this window paused it). Every control leaves the update thread before it is destroyed.
// Closing hides the window; it keeps its column until it is destroyed. UI thread only.
class TUserLayoutForm : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TUserLayoutForm)

public:
    static constexpr int PanelHeight = 29;
    static const QString ModifiedText;
    static const QString SaveQuestion;

    ~TUserLayoutForm() override;

    bool Modified() const { return m_modified; }
    void SetModified(bool modified);
    QString CurrentLayoutFile() const { return m_currentLayoutFile; }
    void SetCurrentLayoutFile(const QString& path) { m_currentLayoutFile = path; }
    QString DefaultLayoutFile() const { return m_defaultLayoutFile; }
    void SetDefaultLayoutFile(const QString& path) { m_defaultLayoutFile = path; }
    // Without a script object nothing can be added (so reading a layout creates nothing).
    const std::shared_ptr<IMyScriptObject>& iMach() const { return m_iMach; }
    void SetIMach(std::shared_ptr<IMyScriptObject> iMach) { m_iMach = std::move(iMach); }
    TMachUpdateThread* UpdateThread() const { return m_updateThread.data(); }
    void SetUpdateThread(TMachUpdateThread* thread) { m_updateThread = thread; }
    // Where the file dialogs open.
    QString DialogFolder() const { return m_dialogFolder; }
    void SetDialogFolder(const QString& folder) { m_dialogFolder = folder; }

    TUserColumn& Column() const { return *m_column; }
    TScalar& Scalar1() const { return *m_scalar; }
    QWidget* pnlBtnAdd() const { return m_pnlBtnAdd; }
    QWidget* sPanel1() const { return m_sPanel1; }
    QStatusBar* sb() const { return m_sb; }
    QMenu* LayoutMenu() const { return m_menu; }
    // The column control that has this window's focus (also while the window is hidden), or
    // null.
    QWidget* Selected() const;

    // ---- Operations (menu and panel commands raise their errors to the caller) ----
    void LoadLayout();
    void SaveLayout();
    void SaveLayoutAs();
    void SetAsDefaultLayout() { m_defaultLayoutFile = m_currentLayoutFile; }
    void MoveSelectedUp();
    void MoveSelectedDown();
    void DeleteSelected();
    // True when the window may close: not modified, or the operator answered No, or Yes and
    // the layout was saved. A cancelled Save As or a failed write keeps the window open.
    bool CloseQuery();
    // At program end: asks Yes/No whether to save a modified column (the program ends either
    // way); a failed save is shown in the error box.
    void AskToSaveAtExit();

    // Reads the layout file at `path` into the column (nothing for an empty path). Raises the
    // file's rejection with the column untouched, or, after applying the entries before it, the
    // error that stopped the reading (the column is then modified and has no current file).
    virtual void ReadLayoutFile(const QString& path) = 0;
    // Reads the current layout file, the default one at opening. A file that cannot be read
    // whole is not the current file afterwards, so no save overwrites it without being named.
    void ReadDefaultLayout();
    // Writes the column to `path` (nothing for an empty path) and clears Modified.
    void WriteLayoutFile(const QString& path);

    // The window's desktop section: place and size, window state and default layout file; the
    // scale is applied separately (ApplyDesktopScale), after the default layout is read.
    void ReadDesktop(TLayoutStorage& store);
    void WriteDesktop(TLayoutStorage& store) const;
    void ApplyDesktopScale(TLayoutStorage& store);
    // Window binding registers the column's host buttons a second time; this leaves one
    // registration per control, in column order.
    void RegisterColumnOnce();

protected:
    TUserLayoutForm(PlatformServices& platform, TUserLayoutKind kind, QWidget* parent);

    PlatformServices& Platform() const { return m_platform; }
    // The parent of the column's controls.
    QWidget* ColumnArea() const { return m_area; }
    // A flat button on one of the panels; it never takes the focus and runs `command` as an
    // operator action.
    QToolButton* AddFlatButton(QWidget* panel, const QString& name, const QString& caption,
                               const QRect& geometry, std::function<void()> command);
    // Widens the window when its flat buttons, grown for a wide font, do not fit.
    void FitWidthToPanels();
    // Appends a new control: placed in the column, registered with the update thread, noted as
    // a change; `select` gives it this window's focus.
    void AdoptControl(QWidget* control, bool select);
    // Replaces the column with what `fill` adds, from the file at `path` with `placement`.
    // `stopError`, when set, is raised after `fill` (the column is then modified).
    void ReplaceColumn(const QString& path, const TLayoutPlacement& placement,
                       const std::function<void()>& fill, const QString& stopError);
    // The bytes of the layout file for the current column and window place.
    virtual QByteArray FormatLayout() const = 0;

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Asks whether to save a modified column; true when the caller may go on.
    bool OfferToSave();
    void DestroyControl(QWidget* control);
    void Anchor();

    PlatformServices& m_platform;
    TUserLayoutKind m_kind;
    QWidget* m_area;
    QWidget* m_pnlBtnAdd;
    QWidget* m_sPanel1;
    QStatusBar* m_sb;
    QLabel* m_modifiedPanel;
    QMenu* m_menu;
    TScalar* m_scalar;
    std::unique_ptr<TUserColumn> m_column;
    std::shared_ptr<IMyScriptObject> m_iMach;
    QPointer<TMachUpdateThread> m_updateThread;
    QString m_currentLayoutFile;
    QString m_defaultLayoutFile;
    QString m_dialogFolder;
    bool m_modified = false;
};
