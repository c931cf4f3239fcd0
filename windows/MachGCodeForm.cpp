#include "windows/MachGCodeForm.h"

#include "controls/LampImages.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "controls/Scalar.h"
#include "host/CMach4Wrapper.h"
#include "host/MachConstants.h"
#include "host/MachUpdateThread.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "windows/GCodeLineList.h"
#include "windows/GCodeProgramFile.h"
#include "windows/LayoutStorage.h"
#include "windows/WindowStateCode.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int TopBarHeight = 30;
// The bar's controls fill the designed width: 1 + 4 * (52 + 1) + 40 + 1 + 1 + 88 + 1 = 344.
constexpr int BarButtonWidth = 52;
constexpr int ButtonHeight = 25;
constexpr int LineFieldWidth = 40;
constexpr int SingleButtonWidth = 88;
constexpr int ModifiedPanelWidth = 70;
constexpr int FilePanelWidth = 50;

void Name(QWidget* widget, const QString& name)
{
    widget->setObjectName(name);
    widget->setAccessibleName(name);
}

void MakeWhite(QWidget* view)
{
    QPalette colours = view->palette();
    colours.setColor(QPalette::Base, Qt::white);
    view->setPalette(colours);
}

}  // namespace

const QString TGCodeEditor::DesktopSection = QStringLiteral("Desktop\\GCodeEditorForm");

TGCodeEditor::TGCodeEditor(PlatformServices& platform, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_commands(new TGCodeEditorCommands(*this, platform, this)),
      m_scalar(new TScalar(this, &platform.messageBoxes))
{
    setObjectName(QStringLiteral("GCodeEditor"));
    setWindowTitle(QStringLiteral("G Code File"));
    m_scalar->setObjectName(QStringLiteral("Scalar1"));
    m_scalar->SetIncrementAmount(10);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildTopBar());

    m_views = new QStackedWidget(client);
    m_codeText = new QPlainTextEdit(m_views);
    Name(m_codeText, QStringLiteral("CodeText"));
    m_codeText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_codeText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_codeText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MakeWhite(m_codeText);
    m_codeText->installEventFilter(this);
    m_codeList = new TGCodeListView(m_views);
    Name(m_codeList, QStringLiteral("CodeList"));
    MakeWhite(m_codeList);
    m_views->addWidget(m_codeText);
    m_views->addWidget(m_codeList);
    m_views->setCurrentWidget(m_codeList);
    column->addWidget(m_views, 1);
    setCentralWidget(client);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    m_modifiedPanel = new QLabel(status);
    m_modifiedPanel->setObjectName(QStringLiteral("ModifiedPanel"));
    m_modifiedPanel->setFixedWidth(ModifiedPanelWidth);
    m_filePanel = new QLabel(status);
    m_filePanel->setObjectName(QStringLiteral("FilePanel"));
    // The last panel takes the rest of the bar; a long path never widens the window.
    m_filePanel->setMinimumWidth(FilePanelWidth);
    m_filePanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status->addWidget(m_modifiedPanel);
    status->addWidget(m_filePanel, 1);
    setStatusBar(status);

    BuildMenus();

    connect(m_commands, &TGCodeEditorCommands::ModifiedChanged, this, [this](bool modified) {
        m_modifiedPanel->setText(modified ? QStringLiteral("Modified") : QString());
    });
    connect(m_commands, &TGCodeEditorCommands::CurrentFileChanged, this,
            [this](const QString& path) {
                m_filePanel->setText(path);
                m_filePanel->setToolTip(path);
            });
    connect(m_codeList, &TGCodeListView::MouseReleased, this, [this] { CodeListMouseUp(); });
    resize(DesignWidth, DesignHeight);
}

TGCodeEditor::~TGCodeEditor() = default;

QWidget* TGCodeEditor::BuildTopBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TopBar"));
    bar->setFixedHeight(TopBarHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(1, 2, 1, 2);
    row->setSpacing(1);

    const auto addOEMButton = [&](const QString& name, const QString& caption,
                                  TmcOEMButtontype kind) {
        auto* button = new tMachOEMButton(m_platform, bar);
        button->setObjectName(name);
        button->setText(caption);
        button->SetOEMbutton(kind);
        button->SetLocked(true);
        button->setFixedSize(BarButtonWidth, ButtonHeight);
        row->addWidget(button);
        return button;
    };
    m_btnRun = addOEMButton(QStringLiteral("btnRun"), QStringLiteral("Run"), obtCycle_start);
    m_btnStop = addOEMButton(QStringLiteral("btnStop"), QStringLiteral("Stop"), obtStop);
    m_btnRewind = addOEMButton(QStringLiteral("btnRewind"), QStringLiteral("Rewind"), obtRewind);
    m_btnReverse =
        addOEMButton(QStringLiteral("btnReverse"), QStringLiteral("Reverse"), obtRun_Reverse);
    m_btnRun->SetPressCondition([this] { return m_commands->PrepareRun(); });
    connect(m_btnRun, &TSkinnedButton::ClickEvent, this, [this] { btnRunClick(); });

    m_eLineNum = new TMachDro(m_platform, bar);
    Name(m_eLineNum, QStringLiteral("eLineNum"));
    m_eLineNum->SetOEMDrotype(odtCurr_Line_no);
    m_eLineNum->SetDecimals(0);
    m_eLineNum->SetZeroShownEmpty(true);
    m_eLineNum->setFixedSize(LineFieldWidth, ButtonHeight);
    m_eLineNum->SetOnValueChanged([this] { eLineNumChange(); });
    row->addWidget(m_eLineNum);
    row->addStretch(1);

    m_btnSingle = new tMachToggleButton(m_platform, bar);
    m_btnSingle->setObjectName(QStringLiteral("btnSingle"));
    m_btnSingle->setText(QStringLiteral("Single Step"));
    m_btnSingle->SetImages(LampImages());
    m_btnSingle->SetToggleOffImageIndex(LampOffImageIndex);
    m_btnSingle->SetToggleOnImageIndex(LampOnImageIndex);
    m_btnSingle->SetImageIndex(LampOffImageIndex);
    m_btnSingle->SetOEMButtonType(obtSingle);
    m_btnSingle->SetOEMLEDtype(oltSingle_Step_Mode_Active);
    m_btnSingle->setFixedSize(SingleButtonWidth, ButtonHeight);
    row->addWidget(m_btnSingle);
    return bar;
}

void TGCodeEditor::BuildMenus()
{
    const auto command = [this](QMenu* menu, const QString& caption, const QKeySequence& keys,
                                void (TGCodeEditorCommands::*run)()) {
        QAction* action = menu->addAction(caption);
        action->setShortcut(keys);
        if (run) {
            TGCodeEditorCommands* commands = m_commands;
            connect(action, &QAction::triggered, this,
                    [this, commands, run] { Guarded([commands, run] { (commands->*run)(); }); });
        }
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    m_new = command(file, QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N),
                    &TGCodeEditorCommands::New);
    m_open = command(file, QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O),
                     &TGCodeEditorCommands::Open);
    m_close = command(file, QStringLiteral("Close"), {}, &TGCodeEditorCommands::Close);
    m_save = command(file, QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
                     &TGCodeEditorCommands::Save);
    m_saveAs = command(file, QStringLiteral("Save As"), QKeySequence(Qt::CTRL | Qt::Key_A),
                       &TGCodeEditorCommands::SaveAs);
    command(file, QStringLiteral("Recent"), {}, nullptr);
    m_last = command(file, QStringLiteral("Last"), QKeySequence(Qt::CTRL | Qt::Key_L),
                     &TGCodeEditorCommands::Last);
    file->addSeparator();
    command(file, QStringLiteral("E&xit"), {}, nullptr);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Settings"));
    QMenu* scale = settings->addMenu(QStringLiteral("Scale"));
    scale->addActions(m_scalar->Actions());
}

void TGCodeEditor::Guarded(const std::function<void()>& action)
{
    RunOperatorAction(m_platform.messageBoxes, action);
}

void TGCodeEditor::SetMachConnection(TCMach4Wrapper* wMach)
{
    m_wMach = wMach;
    m_commands->SetConnection(wMach);
}

void TGCodeEditor::SetIMach(std::shared_ptr<IMyScriptObject> iMach)
{
    m_commands->SetIMach(std::move(iMach));
}

void TGCodeEditor::SetUpdateThread(TMachUpdateThread* thread)
{
    if (thread)
        thread->Register(m_eLineNum);
}

void TGCodeEditor::ReadDesktopSection(TLayoutStorage& store)
{
    store.SelectSection(DesktopSection);
    const int left = store.ReadInteger(QStringLiteral("Left"), x());
    const int top = store.ReadInteger(QStringLiteral("Top"), y());
    const int width = store.ReadInteger(QStringLiteral("Width"), this->width());
    const int height = store.ReadInteger(QStringLiteral("Height"), this->height());
    move(left, top);
    // A damaged size (negative, or -1 for a value that is no number) keeps the current one.
    if (width > 0 && height > 0)
        resize(width, height);
    ApplyWindowStateCode(*this, store.ReadInteger(QStringLiteral("WindowState"), 0));
    m_commands->SetLastFile(store.ReadString(QStringLiteral("LastFile"), QString()));
}

void TGCodeEditor::WriteDesktopSection(TLayoutStorage& store)
{
    store.SelectSection(DesktopSection);
    store.WriteInteger(QStringLiteral("Left"), x());
    store.WriteInteger(QStringLiteral("Top"), y());
    store.WriteInteger(QStringLiteral("ScalarSetting"), m_scalar->Scalefactor());
    store.WriteInteger(QStringLiteral("WindowState"), WindowStateCode(*this));
    store.WriteString(QStringLiteral("LastFile"), m_commands->LastFile());
}

void TGCodeEditor::ReloadFromHost(const QString& path)
{
    m_commands->HostLoaded(path);
}

bool TGCodeEditor::ListInFront() const
{
    return m_views->currentWidget() == m_codeList;
}

QStringList TGCodeEditor::TextLines() const
{
    // The raw text keeps every character as typed (no-break spaces included).
    QString text = m_codeText->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return LinesOfText(text);
}

void TGCodeEditor::SetTextLines(const QStringList& lines)
{
    m_codeText->setPlainText(lines.join(QLatin1Char('\n')));
}

void TGCodeEditor::SetListLines(const QStringList& lines)
{
    m_codeList->SetLines(lines);
}

void TGCodeEditor::eLineNumChange()
{
    const double value = m_eLineNum->Value();
    // The field shows whole numbers; anything that is no usable row leaves nothing selected.
    const bool usable = std::isfinite(value) && std::fabs(value) < 1e15;
    m_codeList->FollowLine(usable ? std::llround(value) : -1);
}

void TGCodeEditor::btnRunClick()
{
    m_views->setCurrentWidget(m_codeList);
    m_btnStop->setFocus(Qt::OtherFocusReason);
}

void TGCodeEditor::CodeListMouseUp()
{
    m_views->setCurrentWidget(m_codeText);
    m_codeText->setFocus(Qt::OtherFocusReason);
}

void TGCodeEditor::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    Guarded([&] { mayClose = m_commands->QueryClose(); });
    event->setAccepted(mayClose);
}

bool TGCodeEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_codeText) {
        if (event->type() == QEvent::KeyRelease) {
            m_commands->SetModified(true);
        } else if (event->type() == QEvent::ShortcutOverride) {
            // Ctrl+A is "Save As" here, not the text's select-all.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_A)) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
