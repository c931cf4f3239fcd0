#include "bamboo/BambooMillTabs.h"

#include "bamboo/BambooInchEdit.h"
#include "controls/DroSpeedFrame.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int FeedFrameWidth = 119;
constexpr int FeedFrameHeight = 46;

QString WithoutAccelerator(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

QGridLayout* Grid(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    return grid;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(WithoutAccelerator(caption));
    button->setAutoDefault(false);
    return button;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    check->setAccessibleName(WithoutAccelerator(caption));
    return check;
}

// A labelled decimal field in `row` of `grid`: label in `column`, field beside it.
TInchEdit* Field(QWidget* parent, QGridLayout* grid, int row, int column, const char* name,
                 const QString& caption, int decimals, double start,
                 std::optional<double> low = std::nullopt,
                 std::optional<double> high = std::nullopt)
{
    auto* label = new QLabel(caption, parent);
    auto* edit = new TInchEdit(decimals, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(WithoutAccelerator(caption));
    edit->SetBounds(low, high);
    edit->SetValue(start);
    label->setBuddy(edit);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

QFrame* Rule(QWidget* parent, QFrame::Shape shape)
{
    auto* rule = new QFrame(parent);
    rule->setFrameShape(shape);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

QWidget* Page(QTabWidget* tabs, const QString& title)
{
    auto* page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("ts") + QString(title).remove(QLatin1Char(' ')));
    tabs->addTab(page, title);
    return page;
}

void BuildPlaten(QWidget* page, TBambooMillControls& c)
{
    QGridLayout* grid = Grid(page);
    c.btnSafeZ = Button(page, "btnSafeZ", QStringLiteral("Perform &Safe Z"));
    grid->addWidget(c.btnSafeZ, 0, 0);
    c.ckPlaten = Check(page, "ckPlaten", QStringLiteral("&Install platten"));
    c.ckStraight = Check(page, "ckStraight", QStringLiteral("Install Straight &Bit"));
    c.ckjogPosX = Check(page, "ckjogPosX", QStringLiteral("Jog to Begin &X"));
    c.ckJogBgnZ = Check(page, "ckJogBgnZ", QStringLiteral("Jog to Begin &Z"));
    int row = 1;
    for (QCheckBox* check : {c.ckPlaten, c.ckStraight, c.ckjogPosX, c.ckJogBgnZ})
        grid->addWidget(check, row++, 0);
    c.eLength = Field(page, grid, 1, 1, "eLength", QStringLiteral("&Length to Cut"), 2, 60);
    c.edepth = Field(page, grid, 2, 1, "edepth", QStringLiteral("Remo&ve"), 2, 0.10);
    c.ePass = Field(page, grid, 3, 1, "ePass", QStringLiteral("Pass &Cut"), 2, 0.03);
    c.efinal = Field(page, grid, 4, 1, "efinal", QStringLiteral("Final Pa&ss"), 2, 0.01);
    c.btnCutPlaten = Button(page, "btnCutPlaten",
                            QStringLiteral("&Create and Load \"Platen Cut.tap\" File"));
    grid->addWidget(c.btnCutPlaten, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
}

void BuildProbe(QWidget* page, TBambooMillControls& c)
{
    QGridLayout* grid = Grid(page);
    c.btnProbeSafeZ = Button(page, "btnProbeSafeZ", QStringLiteral("Perform Safe Z"));
    grid->addWidget(c.btnProbeSafeZ, 0, 0, 1, 2);
    c.ckInstallSplineBit = Check(page, "ckInstallSplineBit", QStringLiteral("Install Spline Bit"));
    c.ckInstallSplineBit->hide();
    c.ckjogStraddle = Check(page, "ckjogStraddle", QStringLiteral("Straddle Standard"));
    c.ckPosStandard = Check(page, "ckPosStandard", QStringLiteral("Position Standard"));
    c.ckjogZstd = Check(page, "ckjogZstd", QStringLiteral("Jog Z to Standard"));
    grid->addWidget(c.ckjogStraddle, 1, 0, 1, 2);
    grid->addWidget(c.ckPosStandard, 2, 0, 1, 2);
    grid->addWidget(c.ckjogZstd, 3, 0, 1, 2);
    c.btnProbe = Button(page, "btnProbe", QStringLiteral("Probe"));
    grid->addWidget(c.btnProbe, 4, 0, 1, 2);
    c.eStdHeight = Field(page, grid, 5, 0, "eStdHeight", QStringLiteral("Std Height"), 4, 0);
    c.btnResetZ2Std = Button(page, "btnResetZ2Std", QStringLiteral("Reset Z to Std Height"));
    grid->addWidget(c.btnResetZ2Std, 6, 0, 1, 2);
    c.ckUnplug = Check(page, "ckUnplug", QStringLiteral("Unplug Router"));
    c.ckUnplug->hide();
    c.JvBitBtn4 = Button(page, "JvBitBtn4", QStringLiteral("Go Online"));
    c.JvBitBtn4->hide();
    grid->setRowStretch(7, 1);
}

void BuildHeight(QWidget* page, TBambooMillControls& c)
{
    QGridLayout* grid = Grid(page);
    c.ckJogToStart = Check(page, "ckJogToStart", QStringLiteral("&Jog To Start"));
    c.ckJogToStart->setLayoutDirection(Qt::RightToLeft);  // caption at the box's left
    grid->addWidget(c.ckJogToStart, 0, 0, 1, 2, Qt::AlignLeft);
    c.eTgtHght = Field(page, grid, 1, 0, "eTgtHght", QStringLiteral("Start &Height"), 3, 0.25);
    c.eFnlDpth = Field(page, grid, 2, 0, "eFnlDpth", QStringLiteral("Final &Depth"), 3, 0.220);
    c.eLen = Field(page, grid, 3, 0, "eLen", QStringLiteral("&Length To Cut"), 2, 5.00);
    c.epassCut = Field(page, grid, 4, 0, "epassCut", QStringLiteral("Pass C&ut"), 3, 0.1, 0.0);
    c.eFnlPss = Field(page, grid, 5, 0, "eFnlPss", QStringLiteral("Final Pa&ss"), 3, 0.003, 0.0,
                      0.05);
    c.btnCut = Button(page, "btnCut",
                      QStringLiteral("&Create and Load \"Test Height Cut.tap\" File"));
    c.btnCut->setEnabled(false);
    grid->addWidget(c.btnCut, 6, 0, 1, 3);
    c.eVariance = Field(page, grid, 7, 0, "eVariance", QStringLiteral("&Actual"), 4, 0.0, 0.0,
                        0.05);
    c.eVariance->setEnabled(false);
    c.btnVariance = Button(page, "btnVariance", QStringLiteral("Set &Z to Actual"));
    c.btnVariance->setEnabled(false);
    grid->addWidget(c.btnVariance, 7, 2);
    grid->setRowStretch(8, 1);
}

void BuildSplines(QWidget* page, TBambooMillControls& c)
{
    QGridLayout* grid = Grid(page);
    c.ckInstall = Check(page, "ckInstall", QStringLiteral("Install Strip"));
    c.ckJogBegin = Check(page, "ckJogBegin", QStringLiteral("Jog to begin X Pos"));
    c.JvCheckBox1 = Check(page, "JvCheckBox1", QStringLiteral("Jog To Start Z "));
    c.ckMarkPlaten = Check(page, "ckMarkPlaten", QStringLiteral("Mark Platen"));
    int row = 0;
    for (QCheckBox* check : {c.ckInstall, c.ckJogBegin, c.JvCheckBox1, c.ckMarkPlaten})
        grid->addWidget(check, row++, 0, 1, 2);
    c.JvBitBtn8 = Button(page, "JvBitBtn8", QStringLiteral("Set X to Zero"));
    c.JvBitBtn1 = Button(page, "JvBitBtn1", QStringLiteral("Read Z as Safe Z"));
    grid->addWidget(c.JvBitBtn8, row, 0);
    grid->addWidget(c.JvBitBtn1, row++, 1);
    grid->addWidget(Rule(page, QFrame::HLine), row++, 0, 1, 2);
    c.JvBitBtn2 = Button(page, "JvBitBtn2", QStringLiteral("Load Spline File"));
    c.JvBitBtn2->setEnabled(false);
    c.JvBitBtn9 = Button(page, "JvBitBtn9", QStringLiteral("Cut Spline"));
    c.JvBitBtn9->setEnabled(false);
    grid->addWidget(c.JvBitBtn2, row, 0);
    grid->addWidget(c.JvBitBtn9, row++, 1);
    grid->setRowStretch(row, 1);
}

void BuildReelSeats(QWidget* page, TBambooMillControls& c)
{
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);

    auto* probing = new QGridLayout();
    probing->setVerticalSpacing(2);
    c.ckStrdlStd = Check(page, "ckStrdlStd", QStringLiteral("&Straddle Standard"));
    c.ckJogX = Check(page, "ckJogX", QStringLiteral("Jog To &X Start"));
    c.btnProbeSeatStd = Button(page, "btnProbeSeatStd", QStringLiteral("Pro&be"));
    probing->addWidget(c.ckStrdlStd, 0, 0, 1, 2);
    probing->addWidget(c.ckJogX, 1, 0, 1, 2);
    probing->addWidget(c.btnProbeSeatStd, 2, 0, 1, 2);
    c.eOffset = Field(page, probing, 3, 0, "eOffset", QStringLiteral("Y Offset"), 3, 0);
    QPalette greyed = c.eOffset->palette();
    greyed.setColor(QPalette::Base, greyed.color(QPalette::Window));
    c.eOffset->setPalette(greyed);
    c.ckInstallStd = Check(page, "ckInstallStd", QStringLiteral("&Install Reel Seat"));
    c.ckJogZ = Check(page, "ckJogZ", QStringLiteral("Jog Z to Seat"));
    c.btnZeroZ = Button(page, "btnZeroZ", QStringLiteral("Zero &Z"));
    probing->addWidget(c.ckInstallStd, 4, 0, 1, 2);
    probing->addWidget(c.ckJogZ, 5, 0, 1, 2);
    probing->addWidget(c.btnZeroZ, 6, 0, 1, 2);
    probing->setRowStretch(7, 1);

    auto* mortise = new QGridLayout();
    mortise->setVerticalSpacing(2);
    c.eBitDia = Field(page, mortise, 0, 0, "eBitDia", QStringLiteral("Bit Dia"), 3, 0.625);
    c.eXoffset = Field(page, mortise, 1, 0, "eXoffset", QStringLiteral("X &Offset"), 3, 0.125);
    c.eCutLength = Field(page, mortise, 2, 0, "eCutLength", QStringLiteral("&Length"), 3, 3.5);
    c.eMortiseDepth = Field(page, mortise, 3, 0, "eMortiseDepth", QStringLiteral("&Depth"), 3,
                            0.1);
    c.ckUseYoff = Check(page, "ckUseYoff", QStringLiteral("Use  Y Offset"));
    c.ckUseYoff->setChecked(true);
    mortise->addWidget(c.ckUseYoff, 4, 0, 1, 2);
    c.ePassDepth = Field(page, mortise, 5, 0, "ePassDepth", QStringLiteral("P&ass Depth"), 3,
                         0.010);
    c.eFinalPass = Field(page, mortise, 6, 0, "eFinalPass", QStringLiteral("Final Pa&ss"), 3,
                         0.003);
    c.btnCutMortise = Button(page, "btnCutMortise", QStringLiteral("Post &Mortise Code"));
    c.btnAnotherThou = Button(page, "btnAnotherThou", QStringLiteral("Remo&ve Another .001"));
    mortise->addWidget(c.btnCutMortise, 7, 0, 1, 2);
    mortise->addWidget(c.btnAnotherThou, 8, 0, 1, 2);
    mortise->setRowStretch(9, 1);

    row->addLayout(probing);
    row->addWidget(Rule(page, QFrame::VLine));
    row->addLayout(mortise);
}

TDROspeed* FeedFrame(QWidget* panel, PlatformServices& platform, const char* name,
                     const QString& caption)
{
    auto* frame = new TDROspeed(platform, panel);
    frame->setObjectName(QLatin1String(name));
    frame->setFixedSize(FeedFrameWidth, FeedFrameHeight);
    frame->SetDROCaption(caption);
    frame->SetMachDROnum(0);
    frame->SetMax(200);
    frame->SetValue(100);
    frame->SetIncrement(1);
    return frame;
}

}  // namespace

TBambooMillControls BuildBambooMillControls(QTabWidget* tabs, QWidget* feedPanel,
                                            PlatformServices& platform)
{
    TBambooMillControls c;
    c.tabs = tabs;
    Page(tabs, QStringLiteral("Flaming"));
    Page(tabs, QStringLiteral("Sawing"));
    BuildPlaten(Page(tabs, QStringLiteral("Platen")), c);
    BuildProbe(Page(tabs, QStringLiteral("Probe")), c);
    QWidget* height = Page(tabs, QStringLiteral("Height"));
    BuildHeight(height, c);
    BuildSplines(Page(tabs, QStringLiteral("Splines")), c);
    BuildReelSeats(Page(tabs, QStringLiteral("Reel Seats")), c);
    tabs->setCurrentWidget(height);

    auto* column = new QVBoxLayout(feedPanel);
    column->setContentsMargins(7, 4, 7, 4);
    column->setSpacing(4);
    c.spdFeed = FeedFrame(feedPanel, platform, "spdFeed", QStringLiteral("Feed"));
    c.spdRapid = FeedFrame(feedPanel, platform, "spdRapid", QStringLiteral("Rapid"));
    c.spdPlunge = FeedFrame(feedPanel, platform, "spdPlunge", QStringLiteral("Plunge"));
    column->addWidget(c.spdFeed);
    column->addWidget(c.spdRapid);
    column->addWidget(c.spdPlunge);
    column->addStretch();
    return c;
}
