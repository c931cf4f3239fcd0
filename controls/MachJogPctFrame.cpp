#include "controls/MachJogPctFrame.h"

#include "controls/LampImages.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"

#include <QRadioButton>

#include <cmath>
#include <limits>

namespace {

constexpr int DesignWidth = 116;
constexpr int DesignHeight = 95;
constexpr int ToggleHeight = 25;
constexpr int RadioTop = 50;
constexpr int RadioSize = 20;
constexpr std::array<int, TJogPct::StepButtonCount> RadioLefts{4, 26, 48, 70, 92};

// The frame's lamp pair: index 0 a red-brown dot (off), index 1 a green dot (on).
const QList<QIcon>& JogLampImages()
{
    // Never destroyed: pixmaps must not outlive the application object.
    static const auto* const images = [] {
        const auto lamp = [](const QColor& color) {
            QIcon icon;
            for (const int size : {12, 24})
                icon.addPixmap(DrawLampPixmap(color, true, size));
            return icon;
        };
        return new QList<QIcon>{lamp(QColor(150, 60, 40)), lamp(QColor(0, 200, 0))};
    }();
    return *images;
}

double PowerOfTen(int exponent)
{
    double power = 1.0;
    for (int i = 0; i < exponent; ++i)
        power *= 10.0;  // exact up to 10^22
    return power;
}

}  // namespace

// value <= units / 10^decimals  <=>  value * 10^decimals <= units. The product is taken as
// its rounded part `high` plus the exact rounding error `low` (both from fused multiply-adds,
// which round once), so the comparison sees the exact product. Rounding is monotone and
// `units` is representable: high < units implies product <= units, high > units implies
// product > units, and when high == units the error decides.
bool AtMostDecimal(double value, int units, int decimals)
{
    if (std::isnan(value))
        return false;
    const double scale = PowerOfTen(decimals);
    const double target = units;
    const double high = std::fma(value, scale, 0.0);
    if (high < target)
        return true;
    if (high > target)
        return false;
    const double low = std::fma(value, scale, -high);
    return low <= 0.0;
}

int JogStepIndexForAmount(double amount)
{
    if (AtMostDecimal(amount, 11, 5))  // 0.00011
        return 4;
    if (AtMostDecimal(amount, 11, 4))  // 0.0011
        return 3;
    if (AtMostDecimal(amount, 11, 3))  // 0.011
        return 2;
    if (AtMostDecimal(amount, 11, 2))  // 0.11
        return 1;
    return 0;
}

TJogPct::TJogPct(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, {.receivesScriptObject = true,
                               .receivesUpdateThread = true,
                               .registersForPolling = true,
                               .registersBeforeBinding = true}),
      m_platform(platform)
{
    resize(DesignWidth, DesignHeight);

    m_btnJogOn = AddToggle(platform, QStringLiteral("btnJogOn"),
                           QStringLiteral("Jogging Enabled"), 0);
    m_btnJogOn->SetOEMButtonType(obtJog_mode_Toggle);
    m_btnJogOn->SetOEMLEDtype(oltJogging_Enabled);

    m_btnJogCont = AddToggle(platform, QStringLiteral("btnJogCont"),
                             QStringLiteral("Jog Continuous    "), 24);
    m_btnJogCont->SetOEMButtonType(obtNONE);
    m_btnJogCont->SetOEMLEDtype(oltJog_mode_Cont);
    connect(m_btnJogCont, &TSkinnedButton::ClickEvent, this, [this] { btnJogContClick(); });

    for (int i = 0; i < StepButtonCount; ++i) {
        auto* radio = new QRadioButton(this);
        const QString name = QStringLiteral("rb%1").arg(i + 1);
        radio->setObjectName(name);
        radio->setAccessibleName(name);
        radio->setGeometry(RadioLefts.at(static_cast<std::size_t>(i)), RadioTop, RadioSize,
                           RadioSize);
        const int number = i + 1;
        connect(radio, &QRadioButton::clicked, this, [this, number] {
            RunOperatorAction(m_platform.messageBoxes, [this, number] { rbClick(number); });
        });
        m_rb.at(static_cast<std::size_t>(i)) = radio;
    }
    m_rb.front()->setChecked(true);

    m_eDRO = new TNumericEdit(platform.messageBoxes, this);
    m_eDRO->setObjectName(QStringLiteral("eDRO"));
    m_eDRO->setAccessibleName(QStringLiteral("eDRO"));
    m_eDRO->setGeometry(4, 69, 104, 21);
    m_eDRO->SetDecimals(4);
    m_eDRO->setReadOnly(true);
    m_eDRO->setEnabled(false);
    // Shown, though disabled, in the normal text colour: it is a readout, not a dead field.
    QPalette colours = m_eDRO->palette();
    colours.setColor(QPalette::Disabled, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::WindowText));
    m_eDRO->setPalette(colours);
    SetValue(0);
}

TJogPct::~TJogPct() = default;

tMachToggleButton* TJogPct::AddToggle(PlatformServices& platform, const QString& name,
                                      const QString& caption, int top)
{
    auto* toggle = new tMachToggleButton(platform, this);
    toggle->setObjectName(name);
    toggle->setGeometry(0, top, DesignWidth, ToggleHeight);
    toggle->setText(caption);
    toggle->setStyleSheet(QStringLiteral("text-align: left; padding-left: 2px;"));
    toggle->setIconSize(QSize(12, 12));
    toggle->SetImages(JogLampImages());
    toggle->SetToggleOnImageIndex(LampOnImageIndex);
    toggle->SetToggleOffImageIndex(LampOffImageIndex);
    toggle->SetImageIndex(LampOffImageIndex);
    return toggle;
}

QRadioButton* TJogPct::rb(int number) const
{
    return m_rb.at(static_cast<std::size_t>(number - 1));
}

int TJogPct::Value() const
{
    const double whole = std::trunc(m_eDRO->Value());
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(whole);
}

void TJogPct::SetValue(int value)
{
    m_eDRO->SetValue(value);
}

void TJogPct::rbClick(int number)
{
    if (iMach())
        iMach()->DoOEMButton(MachInt16(FirstStepButton + number - 1));
}

// Decided on the lamps as the last poll pass showed them; the button's own state changes
// only when the next pass reads LED 14.
void TJogPct::btnJogContClick()
{
    if (!iMach() || !m_btnJogOn->Toggled())
        return;
    iMach()->DoOEMButton(m_btnJogCont->Toggled() ? JogModeStepButton : JogModeContinuousButton);
}

void TJogPct::IMachAssigned()
{
    if (!iMach()) {
        setEnabled(false);
        return;
    }
    const int index = JogStepIndexForAmount(iMach()->GetOEMDRO(JogAmountDro));
    QRadioButton* selected = m_rb.at(static_cast<std::size_t>(index));
    if (!selected->isChecked()) {
        selected->setChecked(true);
        rbClick(index + 1);
    }
    setEnabled(true);
}

void TJogPct::BindMach(const std::shared_ptr<IMyScriptObject>& iMach, TMachUpdateThread* thread)
{
    SetIMach(iMach);
    SetUpdateThread(thread);
    m_btnJogCont->setIMach(iMach);
    m_btnJogOn->setIMach(iMach);
    if (thread) {
        thread->Register(this);
        thread->Register(m_btnJogCont);
        thread->Register(m_btnJogOn);
    }
}

void TJogPct::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    SetEnabledIfChanged(*this, !machineInReset);
    m_eDRO->SetValue(mach.GetOEMDRO(JogIncrementDro));
}

// The two toggles stretch with the frame's width; the rest keeps its place.
void TJogPct::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    for (tMachToggleButton* toggle : {m_btnJogOn, m_btnJogCont})
        toggle->resize(width(), toggle->height());
}
