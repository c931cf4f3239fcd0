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

    // The start-up sequence inside its guard: any failure silently ends the remaining steps.
    void FormCreate();

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
    QToolButton* BambooTitleButton() const { return m_tsBamboo; }
    QToolButton* MachVisibleTitleButton() const { return m_tsMachVisible; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildContent();
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
    std::array<TToolWindowSlot, static_cast<int>(ToolWindow::Count)> m_toolWindows;
    std::array<QList<QObject*>, static_cast<int>(ToolWindow::Count)> m_toolWindowCommands;
    QAction* m_machVisibleOnStart = nullptr;
    QAction* m_saveSkinOnExit = nullptr;
    QAction* m_about = nullptr;
    QAction* m_selectSkin = nullptr;
    std::function<void()> m_showAbout;
    std::function<void(TSkinManager&)> m_showSkinDialog;
    QToolButton* m_tsMachVisible = nullptr;
    QToolButton* m_tsBamboo = nullptr;
    int m_refreshRate = 150;
    bool m_closed = false;
    bool m_fitPending = false;
};
