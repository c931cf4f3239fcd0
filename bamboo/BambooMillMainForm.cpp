#include "bamboo/BambooMillMainForm.h"

#include "bamboo/BambooInchEdit.h"
#include "controls/DroSpeedFrame.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "preview/ToolpathPreviewWindow.h"
#include "windows/LayoutStorage.h"
#include "windows/WindowStateCode.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

namespace {

constexpr int ClientWidth = 407;
constexpr int ClientHeight = 244;
constexpr int TabsWidth = 274;
constexpr int FeedPanelWidth = 133;
constexpr int StatusPanelWidth = 50;

}  // namespace

const QString TBambooMillForm::DesktopSection = QStringLiteral("Desktop\\BambooMillForm");

TBambooMillForm::TBambooMillForm(TCMach4Wrapper& wMach, std::shared_ptr<IMyScriptObject> iMach,
                                 PlatformServices& platform, QWidget* parent)
    : QMainWindow(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_platform(platform)
{
    setObjectName(QStringLiteral("BambooMillForm"));
    setWindowTitle(QStringLiteral("Bamboo Milling"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    auto* client = new QWidget(this);
    auto* row = new QHBoxLayout(client);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* tabs = new QTabWidget(client);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    tabs->setFixedWidth(TabsWidth);
    auto* feeds = new QWidget(client);
    feeds->setObjectName(QStringLiteral("Panel1"));
    feeds->setFixedWidth(FeedPanelWidth);
    row->addWidget(tabs);
    row->addWidget(feeds);
    setCentralWidget(client);
    m_c = BuildBambooMillControls(tabs, feeds, platform);

    statusBar()->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(statusBar());
        panel->setFixedWidth(StatusPanelWidth);
        statusBar()->addWidget(panel);
    }
    BuildMenus();

    m_actions = std::make_unique<TBambooMillActions>(wMach, std::move(iMach), platform, *this);
    Wire();
    UpdateButtons();

    // The designed client area, unless the fonts at hand need more room than it gives.
    const QSize needed = minimumSizeHint();
    setFixedSize(std::max(ClientWidth, needed.width()),
                 std::max(ClientHeight + menuBar()->sizeHint().height(), needed.height()));
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

TBambooMillForm::~TBambooMillForm() = default;

void TBambooMillForm::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_previewAction = view->addAction(QStringLiteral("Toolpath &Preview"));
    connect(m_previewAction, &QAction::triggered, this, [this] { ShowPreview(); });
}

void TBambooMillForm::OnClick(QPushButton* button, void (TBambooMillActions::*step)())
{
    connect(button, &QPushButton::clicked, this, [this, step] {
        TBambooMillActions* actions = m_actions.get();
        // The step may outlive this window (it is destroyed during a wait when the program
        // ends); nothing of the window is touched after it returns.
        RunOperatorAction(m_platform.messageBoxes, [actions, step] { (actions->*step)(); });
    });
}

void TBambooMillForm::Wire()
{
    OnClick(m_c.btnSafeZ, &TBambooMillActions::SafeZ);
    OnClick(m_c.btnProbeSafeZ, &TBambooMillActions::SafeZ);
    OnClick(m_c.btnCutPlaten, &TBambooMillActions::CutPlaten);
    OnClick(m_c.btnProbe, &TBambooMillActions::Probe);
    OnClick(m_c.btnResetZ2Std, &TBambooMillActions::ResetZToStandard);
    OnClick(m_c.JvBitBtn4, &TBambooMillActions::GoOnline);
    OnClick(m_c.btnCut, &TBambooMillActions::CutTestHeight);
    OnClick(m_c.btnVariance, &TBambooMillActions::SetZToActual);
    OnClick(m_c.JvBitBtn8, &TBambooMillActions::SetXToZero);
    OnClick(m_c.btnProbeSeatStd, &TBambooMillActions::ProbeSeat);
    OnClick(m_c.btnZeroZ, &TBambooMillActions::ZeroZ);
    OnClick(m_c.btnCutMortise, &TBambooMillActions::PostMortise);
    OnClick(m_c.btnAnotherThou, &TBambooMillActions::RemoveAnotherThousandth);
    // "Read Z as Safe Z", "Load Spline File" and "Cut Spline" do nothing.
    connect(m_c.ckJogToStart, &QCheckBox::toggled, this, [this] {
        m_actions->JogToStartToggled();
        UpdateButtons();
    });
}

void TBambooMillForm::UpdateButtons()
{
    const bool free = !m_busy;
    for (QPushButton* button :
         {m_c.btnSafeZ, m_c.btnProbeSafeZ, m_c.btnCutPlaten, m_c.btnProbe, m_c.btnResetZ2Std,
          m_c.JvBitBtn4, m_c.JvBitBtn8, m_c.btnProbeSeatStd, m_c.btnZeroZ, m_c.btnCutMortise,
          m_c.btnAnotherThou})
        button->setEnabled(free);
    m_c.btnCut->setEnabled(free && m_c.ckJogToStart->isChecked());
    m_c.btnVariance->setEnabled(free && m_actualEnabled);
    m_c.eVariance->setEnabled(m_actualEnabled);
}

TInchEdit* TBambooMillForm::Edit(BambooField field) const
{
    switch (field) {
    case BambooField::PlatenLength: return m_c.eLength;
    case BambooField::PlatenRemove: return m_c.edepth;
    case BambooField::PlatenPass: return m_c.ePass;
    case BambooField::PlatenFinal: return m_c.efinal;
    case BambooField::StdHeight: return m_c.eStdHeight;
    case BambooField::StartHeight: return m_c.eTgtHght;
    case BambooField::FinalDepth: return m_c.eFnlDpth;
    case BambooField::TestLength: return m_c.eLen;
    case BambooField::TestPass: return m_c.epassCut;
    case BambooField::TestFinal: return m_c.eFnlPss;
    case BambooField::Actual: return m_c.eVariance;
    case BambooField::YOffset: return m_c.eOffset;
    case BambooField::BitDia: return m_c.eBitDia;
    case BambooField::XOffset: return m_c.eXoffset;
    case BambooField::MortiseLength: return m_c.eCutLength;
    case BambooField::MortiseDepth: return m_c.eMortiseDepth;
    case BambooField::MortisePass: return m_c.ePassDepth;
    case BambooField::MortiseFinal: return m_c.eFinalPass;
    }
    return m_c.eLength;
}

double TBambooMillForm::FieldValue(BambooField field) const
{
    return Edit(field)->Value();
}

double TBambooMillForm::SetFieldValue(BambooField field, double value)
{
    return Edit(field)->SetValue(value);
}

bool TBambooMillForm::Ticked(BambooCheck check) const
{
    const QCheckBox* box = nullptr;
    switch (check) {
    case BambooCheck::InstallPlaten: box = m_c.ckPlaten; break;
    case BambooCheck::StraightBit: box = m_c.ckStraight; break;
    case BambooCheck::JogBeginX: box = m_c.ckjogPosX; break;
    case BambooCheck::JogBeginZ: box = m_c.ckJogBgnZ; break;
    case BambooCheck::StraddleStandard: box = m_c.ckjogStraddle; break;
    case BambooCheck::PositionStandard: box = m_c.ckPosStandard; break;
    case BambooCheck::JogZToStandard: box = m_c.ckjogZstd; break;
    case BambooCheck::JogToStart: box = m_c.ckJogToStart; break;
    case BambooCheck::SplineJogBegin: box = m_c.ckJogBegin; break;
    case BambooCheck::SeatStraddle: box = m_c.ckStrdlStd; break;
    case BambooCheck::SeatJogToXStart: box = m_c.ckJogX; break;
    case BambooCheck::UseYOffset: box = m_c.ckUseYoff; break;
    }
    return box && box->isChecked();
}

int TBambooMillForm::FeedValue(BambooFeed feed) const
{
    switch (feed) {
    case BambooFeed::Feed: return m_c.spdFeed->Value();
    case BambooFeed::Rapid: return m_c.spdRapid->Value();
    case BambooFeed::Plunge: return m_c.spdPlunge->Value();
    }
    return 0;
}

void TBambooMillForm::SetActualEnabled(bool enabled)
{
    m_actualEnabled = enabled;
    UpdateButtons();
}

void TBambooMillForm::SetBusy(bool busy)
{
    m_busy = busy;
    UpdateButtons();
}

TToolpathPreviewWindow& TBambooMillForm::Preview()
{
    if (!m_preview) {
        m_preview = new TToolpathPreviewWindow(this);
        // Beside this window, on the side where the screen has room for it.
        QPoint at = frameGeometry().topRight() + QPoint(8, 0);
        if (const QScreen* display = screen()) {
            const QRect room = display->availableGeometry();
            if (at.x() + m_preview->width() > room.right())
                at.setX(frameGeometry().left() - 8 - m_preview->width());
            const int right = std::max(room.left(), room.right() - m_preview->width());
            const int bottom = std::max(room.top(), room.bottom() - m_preview->height());
            at.setX(std::clamp(at.x(), room.left(), right));
            at.setY(std::clamp(at.y(), room.top(), bottom));
        }
        m_preview->move(at);
    }
    return *m_preview;
}

void TBambooMillForm::ProgramWritten(const QString& path, double stockTop)
{
    m_lastProgram = path;
    m_lastStockTop = stockTop;
    Preview().ShowProgram(path, stockTop);
}

void TBambooMillForm::ShowPreview()
{
    if (m_lastProgram.isEmpty())
        Preview().ShowText(QStringLiteral("No program has been generated yet."));
    else
        Preview().ShowProgram(m_lastProgram, m_lastStockTop);
    Preview().raise();
}

void TBambooMillForm::ReadDesktopSection(TLayoutStorage& fs)
{
    fs.SelectSection(DesktopSection);
    const int left = fs.ReadInteger(QStringLiteral("Left"), x());
    const int top = fs.ReadInteger(QStringLiteral("Top"), y());
    move(left, top);
    const int width = fs.ReadInteger(QStringLiteral("Width"), this->width());
    const int height = fs.ReadInteger(QStringLiteral("Height"), this->height());
    resize(width, height);
    ApplyWindowStateCode(*this, fs.ReadInteger(QStringLiteral("WindowState"), 0));
}

void TBambooMillForm::WriteDesktopSection(TLayoutStorage& fs)
{
    fs.SelectSection(DesktopSection);
    fs.WriteInteger(QStringLiteral("Left"), x());
    fs.WriteInteger(QStringLiteral("Top"), y());
    fs.WriteInteger(QStringLiteral("Width"), width());
    fs.WriteInteger(QStringLiteral("Height"), height());
    fs.WriteInteger(QStringLiteral("WindowState"), WindowStateCode(*this));
}
