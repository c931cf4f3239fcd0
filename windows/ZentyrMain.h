#pragma once

#include "windows/ToolWindowSlot.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class IMach4DocumentFactory;
class ISettingsStore;
class QAction;
class QStatusBar;
class QToolButton;
class TCMach4Wrapper;
class TLayoutStorage;
class TMainPanel;
class TScalar;
class TSkinManager;
class TXmlLayoutStorage;
struct PlatformServices;

// What the entry point hands the main window: the platform services, the host transport, the
// per-user settings store and where the program and its files are. Everything outlives the
// window.
struct ZentyrContext
{
    PlatformServices& platform;
    IMach4DocumentFactory& documents;
    ISettingsStore& settings;
    QString programPath;     // full path of the running program
    QString layoutFilePath;  // the desktop layout file
    // Used when the settings hold no host location / profile (the bundled simulated host).
    QString defaultMachLoc;
    QString defaultProfile;
};

// The desktop layout file of a program at `programPath`, by the Windows rule: the path cut
// before its first ".exe" (in any letter case) with ".dsktp" appended; a path without ".exe"
// gets ".dsktp" appended whole.
QString DesktopLayoutFileForProgram(const QString& programPath);

// The refresh rate an answer of the refresh-rate box asks for: nothing for an empty or
// non-numeric answer, otherwise the number raised to at least 50.
std::optional<int> RefreshRateFromAnswer(const QString& answer);

// The application's main window: owns the host connection, the settings and layout stores and
// the scaler, shows the operator panel, and opens every tool window from its menu, cool bar
// and title bar. Closing it ends the application.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    static constexpr int MinRefreshRate = 50;
    static const QString MainSection;

    enum class ToolWindow { Jog, Editor, Spindle, UserButtons, Leds, Bamboo, Count };

    explicit TForm1(ZentyrContext context, QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up sequence inside its guard: any failure ends the remaining steps. The caption
    // and the status bar then say why; the failure is logged, never shown in a box.
    void FormCreate();

    // The "Reconnect" command: gets polling back once the host answers again after it failed,
    // or connects after a start-up that could not and runs the start-up steps that were
    // skipped. A failure is shown in the error box and in the status bar.
    void Reconnect();
    // Whether start-up ran to its end (now or by a later Reconnect).
    bool StartUpComplete() const { return m_startupComplete; }

    int RefreshRate() const { return m_refreshRate; }
    void SetRefreshRate(int ms);
    // The "Refresh Rate" command: asks for the interval and applies a usable answer.
    void AskRefreshRate();

    void SaveDesktopLayout();
    void OpenToolWindow(ToolWindow which);
    // Makes a tool window available to the menus and buttons that open it.
    void SetToolWindow(ToolWindow which, TToolWindowSlot slot);
    // Makes the "About" item available; `showModal` shows the about dialog and returns when it
    // closes. Its errors go to the error box.
    void SetAboutDialog(std::function<void()> showModal);
    // Makes "Select Skin" available; `showModal` hands the skin manager to the skin dialog and
    // shows it, returning when it closes. Its errors go to the error box.
    void SetSkinDialog(std::function<void(TSkinManager&)> showModal);
    TToolWindowSlot& ToolWindowSlot(ToolWindow which);

    void ToggleMachVisible();
    // Opens "Zentyr.chm" beside the program with the desktop's viewer; a missing file or a
    // failed open is shown in the error box.
    void OpenHelp();
    // The "Select Skin" command: shows the skin dialog when the manager has a built-in skin.
    void SelectSkin();

    const ZentyrContext& Context() const { return m_context; }
    TCMach4Wrapper& wMach() const { return *m_wMach; }
    TLayoutStorage* fs() const;
    TLayoutStorage& appReg() const;
    TScalar& Scalar1() const { return *m_scalar; }
    TSkinManager& sSkinManager1() const { return *m_sSkinManager1; }
    TMainPanel& Panel() const { return *m_panel; }
    QAction* MachVisibleOnStartAction() const { return m_machVisibleOnStart; }
    QAction* SaveSkinOnExitAction() const { return m_saveSkinOnExit; }
    QAction* SelectSkinAction() const { return m_selectSkin; }
    QAction* ReconnectAction() const { return m_reconnect; }
    QStatusBar* StatusBar1() const { return m_statusBar; }
    QToolButton* BambooTitleButton() const { return m_tsBamboo; }
    QToolButton* MachVisibleTitleButton() const { return m_tsMachVisible; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildContent();
    // Start-up steps up to the refresh rate: the stores and the four settings.
    void ReadStartSettings();
    // Start-up steps after connecting: caption, position, code buttons, scale.
    void FinishStartUp();
    // Caption and status bar after start-up, a reconnect, or a change of polling.
    void ShowConnectionState();
    void UpdateToolWindowCommands();
    void ApplyActivation();
    void FormClose();
    void Guarded(const std::function<void()>& step);

    ZentyrContext m_context;
    TCMach4Wrapper* m_wMach;
    std::unique_ptr<TLayoutStorage> m_appReg;
    std::unique_ptr<TXmlLayoutStorage> m_fs;
    TScalar* m_scalar;
    TSkinManager* m_sSkinManager1;
    TMainPanel* m_panel = nullptr;
    QStatusBar* m_statusBar = nullptr;
    std::array<TToolWindowSlot, static_cast<int>(ToolWindow::Count)> m_toolWindows;
    std::array<QList<QObject*>, static_cast<int>(ToolWindow::Count)> m_toolWindowCommands;
    QAction* m_machVisibleOnStart = nullptr;
    QAction* m_reconnect = nullptr;
    QAction* m_saveSkinOnExit = nullptr;
    QAction* m_about = nullptr;
    QAction* m_selectSkin = nullptr;
    std::function<void()> m_showAbout;
    std::function<void(TSkinManager&)> m_showSkinDialog;
    QToolButton* m_tsMachVisible = nullptr;
    QToolButton* m_tsBamboo = nullptr;
    QString m_startupError;
    QString m_storedSkinName;  // "Skin Name" as read at start
    QString m_skinAtStart;     // the skin that name gave
    int m_refreshRate = 150;
    bool m_closed = false;
    bool m_fitPending = false;
    // What start-up has read: only that is written back at close, so a start that failed
    // early never overwrites stored settings or code buttons with defaults.
    bool m_settingsRead = false;
    bool m_codeButtonsRead = false;
    bool m_startupComplete = false;
};
