#include "windows/ZentyrMain.h"

#include "controls/Scalar.h"
#include "controls/StaleLook.h"
#include "host/CMach4Wrapper.h"
#include "host/HostCallGate.h"
#include "host/MachUpdateThread.h"
#include "platform/Dialogs.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/ZentyrError.h"
#include "windows/MainPanel.h"
#include "platform/ZentyrError.h"
#include "windows/SettingsLayoutStorage.h"
#include "windows/SkinManager.h"
#include "windows/WindowStateCode.h"
#include "windows/WindowsLog.h"
#include "windows/XmlLayoutStorage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 328;
constexpr int ClientHeight = 247;
constexpr int CoolBarHeight = 34;
constexpr int StatusPanelWidth = 50;
constexpr int StatusTextMargin = 16;
constexpr double InactiveOpacity = 228.0 / 255.0;

// A cool-bar speed button: acts when any mouse button is released over it, and when it is
// pressed without a mouse (assistive technology, a programmatic click), once each time.
class TCoolBarButton final : public QToolButton
{
public:
    TCoolBarButton(const QString& caption, QWidget* parent) : QToolButton(parent)
    {
        setText(caption);
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        connect(this, &QAbstractButton::clicked, this, [this] {
            if (!m_inMouseRelease && onRelease)
                onRelease();
        });
    }

    std::function<void()> onRelease;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        // The left button's release also clicks; that click is this release, not a second act.
        m_inMouseRelease = true;
        QToolButton::mouseReleaseEvent(event);
        m_inMouseRelease = false;
        if (isEnabled() && rect().contains(event->position().toPoint()) && onRelease)
            onRelease();
    }

private:
    bool m_inMouseRelease = false;
};

}  // namespace

const QString TForm1::MainSection = QStringLiteral("Desktop\\MainForm");

QString DesktopLayoutFileForProgram(const QString& programPath)
{
    const qsizetype exe = programPath.indexOf(QStringLiteral(".exe"), 0, Qt::CaseInsensitive);
    const QString stem = exe < 0 ? programPath : programPath.left(exe);
    return stem + QStringLiteral(".dsktp");
}

std::optional<int> RefreshRateFromAnswer(const QString& answer)
{
    if (answer.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int rate = answer.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return std::max(rate, TForm1::MinRefreshRate);
}

TForm1::TForm1(ZentyrContext context, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_context(std::move(context)),
      m_wMach(new TCMach4Wrapper(m_context.documents, m_context.platform, this)),
      m_appReg(std::make_unique<TSettingsLayoutStorage>(m_context.settings)),
      m_scalar(new TScalar(this, &m_context.platform.messageBoxes)),
      m_sSkinManager1(new TSkinManager(this))
{
    setWindowTitle(QStringLiteral("Form1"));
    m_scalar->SetIncrementAmount(10);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    BuildContent();
    BuildMenus();
    move(169, 27);
    // Fixed border: the designed client area plus the menu bar, never resized by the operator.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    UpdateToolWindowCommands();

    // Readouts frozen by a host failure are dimmed and the status bar says why, until polling
    // runs again.
    m_wMach->SetStaleView(&ShowMachStale);
    connect(m_wMach, &TCMach4Wrapper::PollingStopped, this, [this] { ShowConnectionState(); });
    connect(m_wMach, &TCMach4Wrapper::PollingRestored, this, [this] { ShowConnectionState(); });
}

TForm1::~TForm1()
{
    for (TToolWindowSlot& slot : m_toolWindows)
        slot.Destroy();
    // The layout file reaches the disk here, as its store goes.
    m_fs.reset();
}

TLayoutStorage* TForm1::fs() const { return m_fs.get(); }
TLayoutStorage& TForm1::appReg() const { return *m_appReg; }

void TForm1::BuildContent()
{
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* coolBar = new QWidget(client);
    coolBar->setObjectName(QStringLiteral("CoolBar1"));
    coolBar->setFixedHeight(CoolBarHeight);
    auto* coolRow = new QHBoxLayout(coolBar);
    coolRow->setContentsMargins(2, 2, 2, 2);
    coolRow->setSpacing(1);
    const auto addCoolButton = [&](const QString& caption, std::optional<ToolWindow> opens) {
        auto* button = new TCoolBarButton(caption, coolBar);
        coolRow->addWidget(button);
        if (opens) {
            button->onRelease = [this, which = *opens] { OpenToolWindow(which); };
            m_toolWindowCommands[static_cast<int>(*opens)].append(button);
        } else {
            button->setEnabled(false);
        }
    };
    addCoolButton(QStringLiteral("Jog"), ToolWindow::Jog);
    addCoolButton(QStringLiteral("Editor"), ToolWindow::Editor);
    addCoolButton(QStringLiteral("Spindle"), ToolWindow::Spindle);
    addCoolButton(QStringLiteral("User Btns"), ToolWindow::UserButtons);
    addCoolButton(QStringLiteral("LEDs"), ToolWindow::Leds);
    addCoolButton(QStringLiteral("DROs"), std::nullopt);
    addCoolButton(QStringLiteral("VARs"), std::nullopt);
    coolRow->addStretch();
    column->addWidget(coolBar);

    m_panel = new TMainPanel(m_wMach, m_context.platform, client);
    column->addWidget(m_panel);
    column->addStretch();

    auto* status = new QStatusBar(client);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    m_statusBar = status;
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(status);
        panel->setFixedWidth(StatusPanelWidth);
        status->addWidget(panel);
    }
    column->addWidget(status);
    setCentralWidget(client);
}

void TForm1::BuildMenus()
{
    QMenu* settings = menuBar()->addMenu(QStringLiteral("Settings"));
    connect(settings->addAction(QStringLiteral("Save &Desktop Layout")), &QAction::triggered, this,
            [this] { Guarded([this] { SaveDesktopLayout(); }); });
    m_machVisibleOnStart = settings->addAction(QStringLiteral("Mach Visible On Start"));
    m_machVisibleOnStart->setCheckable(true);
    m_machVisibleOnStart->setChecked(true);
    connect(settings->addAction(QStringLiteral("Refresh Rate")), &QAction::triggered, this,
            [this] { AskRefreshRate(); });
    m_reconnect = settings->addAction(QStringLiteral("Reconnect"));
    // Reconnecting replaces the connections a waiting host call may be using: it waits for
    // that call to end.
    connect(m_reconnect, &QAction::triggered, this,
            [this] { WhenNoHostCall(this, [this] { Reconnect(); }); });
    QMenu* appearance = settings->addMenu(QStringLiteral("Appearance"));
    QMenu* scale = appearance->addMenu(QStringLiteral("Scale"));
    scale->addActions(m_scalar->Actions());
    m_selectSkin = appearance->addAction(QStringLiteral("Select Skin"));
    m_selectSkin->setEnabled(false);
    connect(m_selectSkin, &QAction::triggered, this, [this] { SelectSkin(); });
    m_saveSkinOnExit = appearance->addAction(QStringLiteral("Save Skin On Exit"));
    m_saveSkinOnExit->setCheckable(true);
    m_saveSkinOnExit->setChecked(true);

    QMenu* windows = menuBar()->addMenu(QStringLiteral("Windows"));
    const auto addWindowItem = [&](const QString& caption, ToolWindow which) {
        QAction* item = windows->addAction(caption);
        connect(item, &QAction::triggered, this, [this, which] { OpenToolWindow(which); });
        m_toolWindowCommands[static_cast<int>(which)].append(item);
    };
    addWindowItem(QStringLiteral("Jog Control"), ToolWindow::Jog);
    addWindowItem(QStringLiteral("G code Editor"), ToolWindow::Editor);
    addWindowItem(QStringLiteral("Spindle Control"), ToolWindow::Spindle);
    addWindowItem(QStringLiteral("User Defined Buttons"), ToolWindow::UserButtons);
    addWindowItem(QStringLiteral("LEDs"), ToolWindow::Leds);
    m_about = windows->addAction(QStringLiteral("About"));
    m_about->setEnabled(false);
    connect(m_about, &QAction::triggered, this, [this] {
        if (m_showAbout)
            Guarded(m_showAbout);
    });

    QAction* help = menuBar()->addAction(QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, [this] { OpenHelp(); });

    // The two title-bar buttons sit in the menu bar's corner: the native caption takes none.
    auto* corner = new QWidget(menuBar());
    auto* cornerRow = new QHBoxLayout(corner);
    cornerRow->setContentsMargins(0, 0, 2, 0);
    cornerRow->setSpacing(1);
    const auto addTitleButton = [&](const QString& name, const QString& text,
                                    const QString& tip) {
        auto* button = new TCoolBarButton(text, corner);
        button->setObjectName(name);
        button->setToolTip(tip);
        cornerRow->addWidget(button);
        return button;
    };
    auto* machVisible = addTitleButton(QStringLiteral("tsMachVisible"), QStringLiteral("M"),
                                       QStringLiteral("Show or hide Mach"));
    machVisible->onRelease = [this] { ToggleMachVisible(); };
    m_tsMachVisible = machVisible;
    auto* bamboo = addTitleButton(QStringLiteral("tsBamboo"), QStringLiteral("B"),
                                  QStringLiteral("Bamboo milling"));
    bamboo->onRelease = [this] { OpenToolWindow(ToolWindow::Bamboo); };
    m_tsBamboo = bamboo;
    m_toolWindowCommands[static_cast<int>(ToolWindow::Bamboo)].append(bamboo);
    menuBar()->setCornerWidget(corner, Qt::TopRightCorner);
}

void TForm1::SetToolWindow(ToolWindow which, TToolWindowSlot slot)
{
    m_toolWindows[static_cast<int>(which)] = std::move(slot);
    UpdateToolWindowCommands();
}

void TForm1::SetAboutDialog(std::function<void()> showModal)
{
    m_showAbout = std::move(showModal);
    m_about->setEnabled(static_cast<bool>(m_showAbout));
}

void TForm1::SetSkinDialog(std::function<void(TSkinManager&)> showModal)
{
    m_showSkinDialog = std::move(showModal);
    m_selectSkin->setEnabled(static_cast<bool>(m_showSkinDialog));
}

void TForm1::SelectSkin()
{
    if (!m_showSkinDialog || m_sSkinManager1->InternalSkinCount() < 1)
        return;
    Guarded([this] { m_showSkinDialog(*m_sSkinManager1); });
}

TToolWindowSlot& TForm1::ToolWindowSlot(ToolWindow which)
{
    return m_toolWindows[static_cast<int>(which)];
}

// A command that opens a window the program does not offer yet is shown disabled.
void TForm1::UpdateToolWindowCommands()
{
    for (int i = 0; i < static_cast<int>(ToolWindow::Count); ++i) {
        const bool available = m_toolWindows[i].Available();
        for (QObject* command : m_toolWindowCommands[i]) {
            if (auto* action = qobject_cast<QAction*>(command))
                action->setEnabled(available);
            else if (auto* widget = qobject_cast<QWidget*>(command))
                widget->setEnabled(available);
        }
    }
}

void TForm1::OpenToolWindow(ToolWindow which)
{
    m_toolWindows[static_cast<int>(which)].Open(m_context.platform.messageBoxes);
}

void TForm1::Guarded(const std::function<void()>& step)
{
    RunOperatorAction(m_context.platform.messageBoxes, step);
}

void TForm1::FormCreate()
{
    try {
        ReadStartSettings();
        m_wMach->SetActive(true);
        m_wMach->SetConnected(true);
        FinishStartUp();
    } catch (...) {
        // Start-up never stops the program: the remaining steps are skipped and the
        // host-bound controls stay disabled. It never runs without a look, and the caption and
        // status bar say why.
        if (!m_sSkinManager1->Applied())
            m_sSkinManager1->SetSkinName(m_sSkinManager1->SkinName());
        m_startupError = CurrentErrorMessage();
        qCWarning(lcWindows).noquote() << "Start-up ended early:" << m_startupError;
    }
    ShowConnectionState();
}

void TForm1::ReadStartSettings()
{
    if (!m_fs)
        m_fs = std::make_unique<TXmlLayoutStorage>(m_context.layoutFilePath);
    m_sSkinManager1->SetSkinDirectory(QFileInfo(m_context.programPath).absolutePath() +
                                      QStringLiteral("/Skins"));
    m_storedSkinName =
        m_appReg->ReadString(QStringLiteral("Skin Name"), m_sSkinManager1->SkinName());
    m_sSkinManager1->SetSkinName(m_storedSkinName);
    m_skinAtStart = m_sSkinManager1->SkinName();

    QString location = m_appReg->ReadString(QStringLiteral("Mach Location"), QString());
    if (location.isEmpty())
        location = m_context.defaultMachLoc;
    if (!location.isEmpty())
        m_wMach->SetMachLoc(location);
    QString profile = m_appReg->ReadString(QStringLiteral("Mach Profile"), QString());
    if (profile.isEmpty() && location == m_context.defaultMachLoc)
        profile = m_context.defaultProfile;
    if (!profile.isEmpty())
        m_wMach->SetProfile(profile);

    const bool visible = m_appReg->ReadBoolean(QStringLiteral("Mach Visible On Startup"), true);
    m_wMach->SetMachWindowVisible(visible);
    m_machVisibleOnStart->setChecked(visible);
    m_settingsRead = true;

    SetRefreshRate(150);
}

void TForm1::FinishStartUp()
{
    setWindowTitle(QStringLiteral("Zentyr: ") + m_wMach->Profile());

    m_fs->SelectSection(MainSection);
    const int left = m_fs->ReadInteger(QStringLiteral("Left"), x());
    const int top = m_fs->ReadInteger(QStringLiteral("Top"), y());
    move(left, top);
    ApplyWindowStateCode(*this, m_fs->ReadInteger(QStringLiteral("WindowState"), 0));
    m_panel->ReadCodeButtons(*m_fs);
    m_codeButtonsRead = true;
    m_scalar->SetScalefactor(m_fs->ReadInteger(QStringLiteral("ScalarSetting"), 0));
    m_startupComplete = true;
}

void TForm1::Reconnect()
{
    QString failure;
    try {
        if (!m_settingsRead)
            ReadStartSettings();
        m_wMach->Reconnect();
        if (!m_startupComplete)
            FinishStartUp();
        m_startupError.clear();
    } catch (...) {
        failure = CurrentErrorMessage();
    }
    if (!failure.isEmpty()) {
        qCWarning(lcWindows).noquote() << "Reconnect failed:" << failure;
        if (!m_startupComplete)
            m_startupError = failure;
    }
    ShowConnectionState();
    if (!failure.isEmpty()) {
        m_context.platform.messageBoxes.Show(IMessageBoxes::Kind::Error, failure,
                                             IMessageBoxes::Buttons::Ok);
    }
}

void TForm1::ShowConnectionState()
{
    QStatusBar* status = m_statusBar;
    const QString hint = QStringLiteral("Settings > Reconnect once Mach answers again");
    QString message;
    if (!m_startupComplete) {
        const QString why = m_startupError.isEmpty() ? m_wMach->ConnectError() : m_startupError;
        setWindowTitle(QStringLiteral("Zentyr: not connected (%1)").arg(why));
        message = QStringLiteral("Not connected: ") + why;
    } else if (!m_wMach->Connected()) {
        message = QStringLiteral("Not connected: ") + m_wMach->ConnectError();
    } else if (const TMachUpdateThread* thread = m_wMach->UpdateThread();
               thread != nullptr && thread->Stale()) {
        message = QStringLiteral("Polling stopped: ") + thread->StopReason();
    }
    if (status == nullptr)
        return;
    if (message.isEmpty()) {
        status->clearMessage();
        status->setToolTip(QString());
        status->setAccessibleDescription(QString());
        return;
    }
    // The bar is as narrow as the window: a long reason ends in an ellipsis there and is read
    // whole in the tooltip and by assistive technology.
    status->showMessage(status->fontMetrics().elidedText(message, Qt::ElideRight,
                                                         ClientWidth - StatusTextMargin));
    status->setToolTip(message + QStringLiteral("\n") + hint);
    status->setAccessibleDescription(message);
}

void TForm1::SetRefreshRate(int ms)
{
    m_refreshRate = std::max(ms, MinRefreshRate);
    if (TMachUpdateThread* thread = m_wMach->UpdateThread())
        thread->SetInterval(m_refreshRate);
}

void TForm1::AskRefreshRate()
{
    const auto answer = m_context.platform.inputBox.InputQuery(
        QStringLiteral("Mach Update Frequency"),
        QStringLiteral("Enter Frequency in Milliseconds, Min=50"), QString::number(m_refreshRate));
    if (!answer)
        return;
    if (const auto rate = RefreshRateFromAnswer(*answer))
        SetRefreshRate(*rate);
}

void TForm1::SaveDesktopLayout()
{
    if (!m_fs)
        return;
    m_fs->SelectSection(MainSection);
    m_fs->WriteInteger(QStringLiteral("Left"), x());
    m_fs->WriteInteger(QStringLiteral("Top"), y());
    m_fs->WriteInteger(QStringLiteral("Width"), width());
    m_fs->WriteInteger(QStringLiteral("Height"), height());
    m_fs->WriteInteger(QStringLiteral("ScalarSetting"), m_scalar->Scalefactor());
    const int state = WindowStateCode(*this);
    m_fs->WriteInteger(QStringLiteral("WindowState"), state);
    m_fs->WriteBoolean(QStringLiteral("JogFormAlloc"), ToolWindowSlot(ToolWindow::Jog).Exists());
    m_fs->WriteBoolean(QStringLiteral("UserButtonFormAlloc"),
                       ToolWindowSlot(ToolWindow::UserButtons).Exists());
    m_fs->WriteBoolean(QStringLiteral("SpindleFormAlloc"),
                       ToolWindowSlot(ToolWindow::Spindle).Exists());
    // Then the tool windows that exist, in this order, each into its own section.
    for (ToolWindow which : {ToolWindow::UserButtons, ToolWindow::Leds, ToolWindow::Jog,
                             ToolWindow::Spindle, ToolWindow::Bamboo, ToolWindow::Editor})
        ToolWindowSlot(which).SaveLayout(*m_fs);
}

void TForm1::ToggleMachVisible()
{
    Guarded([this] { m_wMach->SetMachWindowVisible(!m_wMach->MachWindowVisible()); });
}

void TForm1::OpenHelp()
{
    Guarded([this] {
        const QString help = QDir::toNativeSeparators(
            QFileInfo(m_context.programPath).absoluteDir().filePath(QStringLiteral("Zentyr.chm")));
        if (!QFileInfo(help).isFile())
            throw ZentyrError(QStringLiteral("The help file was not found: ") + help);
        const int result = m_context.platform.shell.OpenDocument(help);
        if (result <= ShellSuccessAbove) {
            qCWarning(lcWindows).noquote() << "Cannot open the help file" << help << "(" << result << ")";
            throw ZentyrError(QStringLiteral("No viewer could open the help file: ") + help);
        }
    });
}

// Closing the main window ends the application, also while windows that the close does not
// destroy (user code buttons, user LEDs) are still shown and would keep the event loop going.
void TForm1::closeEvent(QCloseEvent* event)
{
    if (HostCallInProgress()) {
        // Closing takes down the connections and windows that a waiting host call uses (a
        // close asked for by a signal arrives during the wait): it follows once the call ends.
        event->ignore();
        WhenNoHostCall(this, [this] { close(); });
        return;
    }
    const bool firstClose = !m_closed;
    FormClose();
    event->accept();
    if (firstClose)
        QCoreApplication::exit(0);
}

// Each step is guarded on its own: a host that has gone must not cost the operator the
// settings and the code buttons that the later steps save.
void TForm1::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    const auto swallow = [](const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
            qCWarning(lcWindows).noquote() << "Close step failed:" << CurrentErrorMessage();
        }
    };
    swallow([this] { m_wMach->SetConnected(false); });
    // Only what start-up read goes back: a start that failed early must not write the default
    // buttons and settings over the stored ones.
    swallow([this] {
        if (m_fs && m_codeButtonsRead) {
            m_fs->SelectSection(MainSection);
            m_panel->WriteCodeButtons(*m_fs);
        }
    });
    swallow([this] {
        if (!m_settingsRead)
            return;
        m_appReg->WriteBoolean(QStringLiteral("Mach Visible On Startup"),
                               m_machVisibleOnStart->isChecked());
        m_appReg->WriteString(QStringLiteral("Mach Location"), m_wMach->MachLoc());
        m_appReg->WriteString(QStringLiteral("Mach Profile"), m_wMach->Profile());
        // A stored skin this run could not offer (a skin file gone for now) is kept unless the
        // operator chose another.
        const QString skin = m_sSkinManager1->SkinName();
        if (m_saveSkinOnExit->isChecked())
            m_appReg->WriteString(QStringLiteral("Skin Name"),
                                  skin == m_skinAtStart ? m_storedSkinName : skin);
    });
    // Windows that keep settings at program end store them before any window goes.
    swallow([this] {
        if (m_fs) {
            for (TToolWindowSlot& slot : m_toolWindows)
                slot.StoreAtClose(*m_fs);
        }
    });
    swallow([this] {
        for (ToolWindow which : {ToolWindow::Jog, ToolWindow::Editor, ToolWindow::Bamboo,
                                 ToolWindow::Spindle})
            ToolWindowSlot(which).Destroy();
    });
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        ApplyActivation();
    // A skin may draw the menu bar higher or lower; the client area keeps its designed size.
    // The menu bar learns of the new style in the same pass, so measure it after the pass.
    if (event->type() == QEvent::StyleChange && !m_fitPending) {
        m_fitPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_fitPending = false;
            setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
        }, Qt::QueuedConnection);
    }
}

void TForm1::ApplyActivation()
{
    if (isActiveWindow()) {
        setWindowOpacity(1.0);
        m_panel->FocusEstop();
    } else {
        setWindowOpacity(InactiveOpacity);
    }
}
