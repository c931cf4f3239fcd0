#include "windows/UserLayoutForm.h"

#include "controls/Scalar.h"
#include "host/MachUpdateThread.h"
#include "platform/Dialogs.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/ZentyrError.h"
#include "windows/LayoutStorage.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"
#include "windows/WindowStateCode.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr double InactiveOpacity = 228.0 / 255.0;
constexpr int StatusPanelWidth = 50;
constexpr int FlatButtonGap = 2;

// Holds the update thread's passes for its lifetime, and resumes them only when it held them:
// a thread someone else suspended stays suspended.
class PollPause final
{
public:
    explicit PollPause(TMachUpdateThread* thread)
        : m_thread(thread), m_held(thread != nullptr && thread->IsPolling())
    {
        if (m_held)
            m_thread->Suspend();
    }
    ~PollPause()
    {
        if (m_held && m_thread)
            m_thread->Resume();
    }
    PollPause(const PollPause&) = delete;
    PollPause& operator=(const PollPause&) = delete;

private:
    QPointer<TMachUpdateThread> m_thread;
    bool m_held;
};

QWidget* MakePanel(QWidget* parent, const QString& name)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAccessibleName(name);
    return panel;
}

}  // namespace

const QString TUserLayoutForm::ModifiedText = QStringLiteral("Modified");
const QString TUserLayoutForm::SaveQuestion = QStringLiteral("Save Layout Modifications?");

TUserLayoutForm::TUserLayoutForm(PlatformServices& platform, TUserLayoutKind kind,
                                 QWidget* parent)
    : QMainWindow(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_kind(std::move(kind)),
      m_area(new QWidget(this)),
      m_pnlBtnAdd(MakePanel(m_area, QStringLiteral("pnlBtnAdd"))),
      m_sPanel1(MakePanel(m_area, QStringLiteral("sPanel1"))),
      m_sb(new QStatusBar(this)),
      m_modifiedPanel(new QLabel(m_sb)),
      m_menu(menuBar()->addMenu(m_kind.menuTitle)),
      m_scalar(new TScalar(this, &platform.messageBoxes)),
      m_column(std::make_unique<TUserColumn>(m_area, [this] { return m_pnlBtnAdd->height(); }))
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    m_scalar->SetIncrementAmount(10);

    m_area->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_area);
    m_area->installEventFilter(this);
    m_pnlBtnAdd->setGeometry(0, 0, 0, PanelHeight);
    m_sPanel1->setGeometry(0, 0, 0, PanelHeight);

    m_sb->setObjectName(QStringLiteral("sb"));
    m_sb->setAccessibleName(QStringLiteral("sb"));
    m_modifiedPanel->setFixedWidth(StatusPanelWidth);
    m_sb->addWidget(m_modifiedPanel);
    setStatusBar(m_sb);

    const auto addCommand = [this](const QString& caption, std::function<void()> command) {
        QAction* action = m_menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, command = std::move(command)] {
            RunOperatorAction(m_platform.messageBoxes, command);
        });
        return action;
    };
    addCommand(QStringLiteral("Load Layout"), [this] { LoadLayout(); });
    addCommand(QStringLiteral("Save Layout"), [this] { SaveLayout(); });
    addCommand(QStringLiteral("Save Layout As"), [this] { SaveLayoutAs(); });
    addCommand(QStringLiteral("Set as Default Layout"), [this] { SetAsDefaultLayout(); });
    m_menu->addSeparator();
    m_menu->addMenu(QStringLiteral("Scale"))->addActions(m_scalar->Actions());
    addCommand(QStringLiteral("E&xit"), [this] { close(); });
}

TUserLayoutForm::~TUserLayoutForm()
{
    // The controls leave the update thread before they go with the area.
    for (QWidget* control : m_column->TakeAll()) {
        if (m_updateThread)
            m_updateThread->Unregister(control);
    }
}

void TUserLayoutForm::SetModified(bool modified)
{
    m_modified = modified;
    m_modifiedPanel->setText(modified ? ModifiedText : QString());
}

QWidget* TUserLayoutForm::Selected() const
{
    QWidget* focused = focusWidget();
    return m_column->IndexOf(focused) >= 0 ? focused : nullptr;
}

QToolButton* TUserLayoutForm::AddFlatButton(QWidget* panel, const QString& name,
                                            const QString& caption, const QRect& geometry,
                                            std::function<void()> command)
{
    auto* button = new QToolButton(panel);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    // A font wider than the design's grows the button rather than cutting its caption; the
    // buttons after it on the panel move right to make room.
    int left = geometry.left();
    for (const QToolButton* before : panel->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (before != button)
            left = std::max(left, before->geometry().right() + 1 + FlatButtonGap);
    }
    button->setGeometry(left, geometry.top(), std::max(geometry.width(), button->sizeHint().width()),
                        geometry.height());
    connect(button, &QToolButton::clicked, this, [this, command = std::move(command)] {
        RunOperatorAction(m_platform.messageBoxes, command);
    });
    return button;
}

void TUserLayoutForm::FitWidthToPanels()
{
    int needed = width();
    for (const QWidget* panel : {m_pnlBtnAdd, m_sPanel1}) {
        for (const QToolButton* button : panel->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            needed = std::max(needed, button->geometry().right() + 1 + FlatButtonGap);
    }
    resize(needed, height());
}

void TUserLayoutForm::AdoptControl(QWidget* control, bool select)
{
    m_column->Append(control);
    // The panels stay in front of a column longer than the window.
    m_sPanel1->raise();
    if (m_updateThread)
        m_updateThread->Register(control);
    if (select)
        control->setFocus(Qt::OtherFocusReason);
    SetModified(true);
}

void TUserLayoutForm::DestroyControl(QWidget* control)
{
    if (m_updateThread)
        m_updateThread->Unregister(control);
    delete control;
}

void TUserLayoutForm::MoveSelectedUp()
{
    if (m_column->MoveUp(Selected()))
        SetModified(true);
}

void TUserLayoutForm::MoveSelectedDown()
{
    if (m_column->MoveDown(Selected()))
        SetModified(true);
}

void TUserLayoutForm::DeleteSelected()
{
    const int index = m_column->IndexOf(Selected());
    if (index < 0)
        return;
    DestroyControl(m_column->Take(index));
    if (m_column->Count() > 0)
        m_column->At(std::min(index, m_column->Count() - 1))->setFocus(Qt::OtherFocusReason);
    SetModified(true);
}

void TUserLayoutForm::ReplaceColumn(const QString& path, const TLayoutPlacement& placement,
                                    const std::function<void()>& fill, const QString& stopError)
{
    {
        const PollPause pause(m_updateThread);
        for (QWidget* control : m_column->TakeAll())
            DestroyControl(control);
        m_currentLayoutFile = path;
        move(placement.left.value_or(x()), placement.top.value_or(y()));
        resize(placement.width.value_or(width()), placement.height.value_or(height()));
        fill();
    }
    if (!stopError.isEmpty()) {
        // The column holds part of the file only; saving it over the file would drop the rest,
        // so the next save asks for a name.
        m_currentLayoutFile.clear();
        SetModified(true);
        throw ZentyrError(stopError);
    }
    SetModified(false);
}

void TUserLayoutForm::ReadDefaultLayout()
{
    try {
        ReadLayoutFile(m_currentLayoutFile);
    } catch (...) {
        m_currentLayoutFile.clear();
        throw;
    }
}

void TUserLayoutForm::WriteLayoutFile(const QString& path)
{
    if (path.isEmpty())
        return;
    {
        const PollPause pause(m_updateThread);
        WriteUserLayoutFile(path, FormatLayout());
    }
    SetModified(false);
}

bool TUserLayoutForm::OfferToSave()
{
    if (!m_modified)
        return true;
    switch (m_platform.messageBoxes.Show(IMessageBoxes::Kind::Confirm, SaveQuestion,
                                         IMessageBoxes::Buttons::YesNoCancel)) {
    case IMessageBoxes::Answer::Yes:
        SaveLayout();
        return !m_modified;
    case IMessageBoxes::Answer::No:
        return true;
    default:
        return false;
    }
}

void TUserLayoutForm::LoadLayout()
{
    if (!OfferToSave())
        return;
    FileDialogOptions options;
    options.initialFolder = m_dialogFolder;
    options.defaultExtension = m_kind.extension;
    options.fileName = QStringLiteral("*.") + m_kind.extension;
    options.filter = m_kind.openFilter;
    // A mistyped name would read as an empty layout and clear the column.
    options.fileMustExist = true;
    if (const std::optional<QString> path = m_platform.fileDialogs.OpenFile(options))
        ReadLayoutFile(*path);
}

void TUserLayoutForm::SaveLayout()
{
    if (m_currentLayoutFile.isEmpty())
        SaveLayoutAs();
    else
        WriteLayoutFile(m_currentLayoutFile);
}

void TUserLayoutForm::SaveLayoutAs()
{
    FileDialogOptions options;
    options.initialFolder = m_dialogFolder;
    options.defaultExtension = m_kind.extension;
    options.filter = m_kind.saveFilter;
    options.overwritePrompt = true;
    const std::optional<QString> path = m_platform.fileDialogs.SaveFile(options);
    if (!path)
        return;
    m_currentLayoutFile = *path;
    WriteLayoutFile(*path);
}

bool TUserLayoutForm::CloseQuery()
{
    return OfferToSave();
}

void TUserLayoutForm::AskToSaveAtExit()
{
    if (!m_modified)
        return;
    const auto answer = m_platform.messageBoxes.Show(
        IMessageBoxes::Kind::Confirm, SaveQuestion, IMessageBoxes::Buttons::YesNo);
    if (answer == IMessageBoxes::Answer::Yes)
        RunOperatorAction(m_platform.messageBoxes, [this] { SaveLayout(); });
}

void TUserLayoutForm::ReadDesktop(TLayoutStorage& store)
{
    store.SelectSection(m_kind.desktopSection);
    const int left = store.ReadInteger(QStringLiteral("Left"), x());
    const int top = store.ReadInteger(QStringLiteral("Top"), y());
    const int w = store.ReadInteger(QStringLiteral("Width"), width());
    const int h = store.ReadInteger(QStringLiteral("Height"), height());
    move(left, top);
    resize(w, h);
    ApplyWindowStateCode(*this, store.ReadInteger(QStringLiteral("WindowState"), 0));
    m_currentLayoutFile = store.ReadString(QStringLiteral("Layoutfile"), QString());
    m_defaultLayoutFile = m_currentLayoutFile;
}

void TUserLayoutForm::WriteDesktop(TLayoutStorage& store) const
{
    store.SelectSection(m_kind.desktopSection);
    store.WriteInteger(QStringLiteral("Left"), x());
    store.WriteInteger(QStringLiteral("Top"), y());
    store.WriteInteger(QStringLiteral("Width"), width());
    store.WriteInteger(QStringLiteral("Height"), height());
    store.WriteInteger(QStringLiteral("ScalarSetting"), m_scalar->Scalefactor());
    store.WriteInteger(QStringLiteral("WindowState"), WindowStateCode(*this));
    store.WriteString(QStringLiteral("Layoutfile"), m_defaultLayoutFile);
}

void TUserLayoutForm::ApplyDesktopScale(TLayoutStorage& store)
{
    store.SelectSection(m_kind.desktopSection);
    m_scalar->SetScalefactor(store.ReadInteger(QStringLiteral("ScalarSetting"), 0));
}

void TUserLayoutForm::RegisterColumnOnce()
{
    if (!m_updateThread)
        return;
    for (QWidget* control : m_column->Controls()) {
        m_updateThread->Unregister(control);
        m_updateThread->Register(control);
    }
}

void TUserLayoutForm::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    RunOperatorAction(m_platform.messageBoxes, [&] { mayClose = CloseQuery(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void TUserLayoutForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        setWindowOpacity(isActiveWindow() ? 1.0 : InactiveOpacity);
}

bool TUserLayoutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        Anchor();
    return QMainWindow::eventFilter(watched, event);
}

// The panels and the column span the client width; the bottom panel stays at the bottom.
void TUserLayoutForm::Anchor()
{
    const int w = m_area->width();
    m_pnlBtnAdd->setGeometry(0, 0, w, m_pnlBtnAdd->height());
    m_sPanel1->setGeometry(0, m_area->height() - m_sPanel1->height(), w, m_sPanel1->height());
    m_column->Stretch(w);
}
