#include "windows/MainPanel.h"

#include "controls/DROframe.h"
#include "controls/DroSpeedFrame.h"
#include "controls/LampImages.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachMDIframe.h"
#include "host/CMach4Wrapper.h"
#include "host/MachConstants.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "windows/LayoutStorage.h"

#include <QFrame>
#include <QPushButton>

namespace {

// Panel coordinates: the panel starts below the 34-pixel cool bar of the main window.
constexpr QRect AxisGroup{0, 0, 189, 104};
constexpr QRect ValueGroup{190, 0, 133, 104};
constexpr QRect MdiLine{0, 105, 326, 27};
constexpr QRect ButtonGroup{0, 132, 328, 59};

constexpr int HomeAllButton = OEMButtonCodeOf(obtHome_ZXYABC_set_machine_coords);

QFrame* AddGroup(QWidget* parent, const QRect& place, const QString& name)
{
    auto* group = new QFrame(parent);
    group->setObjectName(name);
    group->setFrameShape(QFrame::StyledPanel);
    group->setGeometry(place);
    return group;
}

const QString CodeButtonHint = QStringLiteral("Right Click To Change Button Function");

}  // namespace

TMainPanel::TMainPanel(TCMach4Wrapper* wMach, PlatformServices& platform, QWidget* parent)
    : QWidget(parent), m_wMach(wMach), m_platform(platform)
{
    setFixedSize(PanelWidth, PanelHeight);

    QFrame* axes = AddGroup(this, AxisGroup, QStringLiteral("AxisGroup"));
    m_xDro = AddAxis(axes, QStringLiteral("X"), OEMDROCodeOf(odtX), 6);
    m_yDro = AddAxis(axes, QStringLiteral("Y"), OEMDROCodeOf(odtY), 37);
    m_zDro = AddAxis(axes, QStringLiteral("Z"), OEMDROCodeOf(odtZ), 68);
    m_btnZero = new QPushButton(QStringLiteral("Z\nE\nR\nO"), axes);
    m_btnZero->setObjectName(QStringLiteral("BtnZero"));
    m_btnZero->setGeometry(138, 6, 22, 89);
    connect(m_btnZero, &QPushButton::clicked, this,
            [this] { RunOperatorAction(m_platform.messageBoxes, [this] { BtnZeroClick(); }); });
    m_btnRef = new QPushButton(QStringLiteral("R\nE\nF"), axes);
    m_btnRef->setObjectName(QStringLiteral("btnRef"));
    m_btnRef->setGeometry(163, 6, 22, 89);
    connect(m_btnRef, &QPushButton::clicked, this,
            [this] { RunOperatorAction(m_platform.messageBoxes, [this] { btnRefClick(); }); });

    QFrame* values = AddGroup(this, ValueGroup, QStringLiteral("ValueGroup"));
    m_spdFeed = AddSpeed(values, QStringLiteral("Feed"), OEMDROCode(odtFeedrate), 4);
    m_spdRapid = AddSpeed(values, QStringLiteral("Rapid"), OEMDROCode(odtRapid_feedrate), 52);

    m_mdi = new TMachMDI(m_platform, this);
    m_mdi->setObjectName(QStringLiteral("MachMDI1"));
    m_mdi->setGeometry(MdiLine);

    QFrame* buttons = AddGroup(this, ButtonGroup, QStringLiteral("ButtonGroup"));
    m_btnStop = new tMachOEMButton(m_platform, buttons);
    m_btnStop->setObjectName(QStringLiteral("btnStop"));
    m_btnStop->setGeometry(4, 4, 44, 25);
    m_btnStop->setText(QStringLiteral("Stop"));
    m_btnStop->SetOEMbutton(obtStop);
    m_btnStop->SetLocked(true);

    // No image list: the caption follows the LED.
    m_btnMachCoords = new tMachToggleButton(m_platform, buttons);
    m_btnMachCoords->setObjectName(QStringLiteral("btnMachCoords"));
    m_btnMachCoords->setGeometry(4, 30, 44, 25);
    m_btnMachCoords->setText(QStringLiteral("ABS"));
    m_btnMachCoords->SetCaptionOn(QStringLiteral("MACH"));
    m_btnMachCoords->SetCaptionOff(QStringLiteral("ABS"));
    m_btnMachCoords->SetOEMButtonType(obtMach_coords);
    m_btnMachCoords->SetOEMLEDtype(oltMach_coords_warn);
    m_btnMachCoords->SetLocked(true);

    m_flood = AddLampToggle(buttons, QStringLiteral("Flood"), 50, 4);
    m_flood->setObjectName(QStringLiteral("tMachToggleButton1"));
    m_flood->SetOEMButtonType(obtFlood_Toggle);
    m_flood->SetOEMLEDtype(oltFlood);
    m_mist = AddLampToggle(buttons, QStringLiteral("Mist"), 50, 30);
    m_mist->setObjectName(QStringLiteral("tMachToggleButton2"));
    m_mist->SetOEMButtonType(obtMist_Toggle);
    m_mist->SetOEMLEDtype(oltMist);

    m_code1 = AddCodeButton(buttons, QStringLiteral("User Code 1"), 4);
    m_code1->setObjectName(QStringLiteral("tMachCodeButton1"));
    m_code2 = AddCodeButton(buttons, QStringLiteral("User Code 2"), 30);
    m_code2->setObjectName(QStringLiteral("tMachCodeButton2"));

    m_btnEstop = new tMachESTOPButton(m_platform, buttons);
    m_btnEstop->setObjectName(QStringLiteral("btnEstop"));
    m_btnEstop->setGeometry(251, 4, 75, 51);
    // The button's own reset face ("R&eset") stands for the designed "&Reset": the face must
    // tell the host's state from the first pass on, and a pass in reset leaves it unchanged.
    QFont estopFont(QStringLiteral("MS Sans Serif"));
    estopFont.setPixelSize(16);
    m_btnEstop->setFont(estopFont);
}

TAxisDRO* TMainPanel::AddAxis(QWidget* group, const QString& axis, int droCode, int top)
{
    auto* dro = new TAxisDRO(m_platform, group);
    dro->setObjectName(axis.toLower() + QStringLiteral("Dro"));
    dro->setGeometry(3, top, 132, 26);
    dro->SetDroAxis(axis);
    dro->SetMachDROnum(droCode);
    dro->SetHostConnection(m_wMach);
    return dro;
}

TDROspeed* TMainPanel::AddSpeed(QWidget* group, const QString& caption, int droCode, int top)
{
    auto* speed = new TDROspeed(m_platform, group);
    speed->setObjectName(QStringLiteral("spd") + caption);
    speed->setGeometry(3, top, 122, 46);
    speed->SetDROCaption(caption);
    speed->SetMachDROnum(droCode);
    speed->SetMax(200);
    speed->SetValue(100);
    speed->SetIncrement(1);
    return speed;
}

tMachToggleButton* TMainPanel::AddLampToggle(QWidget* group, const QString& caption, int left,
                                             int top)
{
    auto* toggle = new tMachToggleButton(m_platform, group);
    toggle->setGeometry(left, top, 75, 25);
    toggle->setText(caption);
    toggle->setToolTip(QStringLiteral("Toggle ") + caption);
    toggle->SetImages(LampImages());
    toggle->SetToggleOnImageIndex(LampOnImageIndex);
    return toggle;
}

tMachCodeButton* TMainPanel::AddCodeButton(QWidget* group, const QString& caption, int top)
{
    auto* button = new tMachCodeButton(m_platform, group);
    button->setGeometry(126, top, 75, 25);
    button->setText(caption);
    button->setToolTip(CodeButtonHint);
    return button;
}

// Each readout's zero action runs directly rather than through a click of its zero button:
// the poll pass disables those buttons while the host is in reset, and a click on a disabled
// button does nothing, yet zeroing the axes in reset is an ordinary operator step. A failing
// axis ends the action, so a host that has gone costs one error box, not three.
void TMainPanel::BtnZeroClick()
{
    for (TAxisDRO* axis : {m_xDro, m_yDro, m_zDro})
        axis->Zero();
}

void TMainPanel::btnRefClick()
{
    m_wMach->PressOEMButton(HomeAllButton);
}

void TMainPanel::ReadCodeButtons(TLayoutStorage& store)
{
    const auto read = [&store](tMachCodeButton* button, const QString& key) {
        button->setText(store.ReadString(key + QStringLiteral("\\Caption"), button->text()));
        button->SetCode(store.ReadString(key + QStringLiteral("\\Code"), button->code()));
    };
    read(m_code1, QStringLiteral("CodeButton1"));
    read(m_code2, QStringLiteral("CodeButton2"));
}

void TMainPanel::WriteCodeButtons(TLayoutStorage& store)
{
    const auto write = [&store](tMachCodeButton* button, const QString& key) {
        store.WriteString(key + QStringLiteral("\\Caption"), button->text());
        store.WriteString(key + QStringLiteral("\\Code"), button->code());
    };
    write(m_code1, QStringLiteral("CodeButton1"));
    write(m_code2, QStringLiteral("CodeButton2"));
}

void TMainPanel::FocusEstop()
{
    m_btnEstop->setFocus(Qt::ActiveWindowFocusReason);
}
