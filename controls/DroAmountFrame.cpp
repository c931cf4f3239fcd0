#include "controls/DroAmountFrame.h"

#include "controls/FrameSlider.h"
#include "host/Mach4_TLB.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/ZentyrError.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {
// Values are typed with at most a few decimals; the product with 10000 may land a hair below
// the whole number it stands for (0.0003 × 10000 = 2.9999...), which must not lose a unit.
constexpr double SliderRoundingSlack = 1e-7;

class FlagScope
{
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_previous(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_previous; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_previous;
};
}  // namespace

// ---- TAmountSpinEdit ----

TAmountSpinEdit::TAmountSpinEdit(QWidget* parent) : QDoubleSpinBox(parent)
{
    setLocale(QLocale::c());
    setKeyboardTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setDecimals(0);
    setSingleStep(1.0);
    SetFieldRange(0.0, 100.0);
    // The spin box writes its editor with the editor's signals blocked, so what reaches this
    // connection is the operator's own editing; steps are reported by stepBy.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (!m_settingByCode && onTextChanged)
            onTextChanged(true);
    });
}

double TAmountSpinEdit::FieldValue() const
{
    bool ok = false;
    const double value = QLocale::c().toDouble(cleanText(), &ok);
    return ok ? value : m_min;
}

double TAmountSpinEdit::Clamp(double value) const
{
    if (m_min == m_max)
        return value;
    return std::clamp(value, m_min, m_max);
}

bool TAmountSpinEdit::SetFieldValue(double value)
{
    value = Clamp(value);
    if (lineEdit()->isModified() && hasFocus() && FieldValue() == value)
        return false;
    if (value == this->value() && !lineEdit()->isModified())
        return false;
    const QString before = text();
    {
        const FlagScope byCode(m_settingByCode);
        setValue(value);
        lineEdit()->setModified(false);
    }
    return text() != before;
}

void TAmountSpinEdit::SetFieldRange(double minimum, double maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    if (m_min == m_max)
        setRange(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    else
        setRange(m_min, m_max);
}

void TAmountSpinEdit::stepBy(int steps)
{
    const QString before = text();
    {
        const FlagScope byCode(m_settingByCode);
        QDoubleSpinBox::stepBy(steps);
    }
    if (text() != before && onTextChanged)
        onTextChanged(false);
}

double TAmountSpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? value : m_min;
}

void TAmountSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (IsPageKey(event->key())) {
        event->accept();
        return;
    }
    QDoubleSpinBox::keyPressEvent(event);
}

void TAmountSpinEdit::wheelEvent(QWheelEvent* event)
{
    if (!WheelMayStep(*this)) {
        event->ignore();
        return;
    }
    QDoubleSpinBox::wheelEvent(event);
}

// ---- TDroAmount ----

TDroAmount::TDroAmount(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, ScriptObjectAndThreadBindingRow),
      m_platform(platform),
      m_bevel(new QFrame(this)),
      m_label(new QLabel(QStringLiteral("&Feed"), this)),
      m_slider(new TFrameSlider(this)),
      m_eDro(new TAmountSpinEdit(this))
{
    resize(121, 45);

    m_bevel->setObjectName(QStringLiteral("sBevel2"));
    m_bevel->setGeometry(3, 5, 70, 18);
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_label->setObjectName(QStringLiteral("DROlabel"));
    m_label->setGeometry(11, 6, 62, 15);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, QColor(205, 213, 222));
    m_label->setPalette(palette);
    m_label->setBuddy(m_eDro);

    m_eDro->setObjectName(QStringLiteral("eDro"));
    m_eDro->setGeometry(75, 4, 42, 21);

    m_slider->setObjectName(QStringLiteral("slider"));
    m_slider->setGeometry(0, 24, 119, 21);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->installEventFilter(this);

    // The field's design range (100) and value (50), with the slider in the 1/10000 units
    // that every later change keeps.
    SetMax(100.0);
    m_slider->setTickInterval(10 * static_cast<int>(SliderUnitsPerValue));
    m_eDro->SetFieldValue(50.0);
    SetSliderPosition(SliderPositionOf(50.0));

    m_eDro->onTextChanged = [this](bool typed) {
        RunOperatorAction(m_platform.messageBoxes, [this, typed] { FieldChanged(typed); });
    };
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        RunOperatorAction(m_platform.messageBoxes, [this, position] { SliderMoved(position); });
    });
}

TDroAmount::~TDroAmount()
{
    m_slider->removeEventFilter(this);
    m_eDro->onTextChanged = nullptr;
}

void TDroAmount::IMachAssigned()
{
    if (!iMach()) {
        Enable(false);
        return;
    }
    Enable(true);
    RefreshFromHost();
}

void TDroAmount::SetMachOEMDroType(TmcOEMDROtype kind)
{
    const int code = OEMDROCode(kind);
    m_kind = kind;
    m_droNum = code;
}

void TDroAmount::SetCaption(const QString& caption)
{
    m_caption = caption;
    m_label->setText(QLatin1Char('&') + caption);
}

double TDroAmount::Value() const
{
    return m_eDro->FieldValue();
}

void TDroAmount::SetValue(double value)
{
    SetFieldByCode(value);
}

double TDroAmount::Max() const
{
    return m_eDro->FieldMaximum();
}

void TDroAmount::SetMax(double maximum)
{
    // The same rounding as the slider position, so the slider reaches the field's maximum.
    const double units = SliderUnitsOf(maximum);
    if (!(units >= 0.0 && units <= std::numeric_limits<int>::max())) {
        throw ZentyrError(
            QStringLiteral("Range check error: %1 is too large a maximum for the slider")
                .arg(maximum));
    }
    m_eDro->SetFieldRange(m_eDro->FieldMinimum(), maximum);
    const QSignalBlocker blocker(m_slider);
    m_slider->setMaximum(static_cast<int>(units));
}

double TDroAmount::Increment() const
{
    return m_eDro->singleStep();
}

void TDroAmount::SetIncrement(double increment)
{
    m_eDro->setSingleStep(increment);
}

int TDroAmount::Decimals() const
{
    return m_eDro->decimals();
}

void TDroAmount::SetDecimals(int decimals)
{
    m_eDro->setDecimals(decimals);
}

void TDroAmount::Enable(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    setEnabled(enabled);
    m_eDro->setEnabled(enabled);
    m_label->setEnabled(enabled);
    m_slider->setEnabled(enabled);
}

double TDroAmount::SliderUnitsOf(double value)
{
    const double units = value * SliderUnitsPerValue;
    return std::trunc(units + (units >= 0 ? SliderRoundingSlack : -SliderRoundingSlack));
}

int TDroAmount::SliderPositionOf(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp<double>(SliderUnitsOf(value),
                                               std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

void TDroAmount::SetFieldByCode(double value)
{
    if (m_eDro->SetFieldValue(value))
        FieldChanged(false);
}

void TDroAmount::FieldChanged(bool typed)
{
    // A change made by the read-back inside an apply does not apply again.
    if (m_applying)
        return;
    // Selecting the text under the operator's caret would make the next key replace it.
    ApplyChange(!typed);
}

void TDroAmount::Apply()
{
    ApplyChange(true);
}

void TDroAmount::ApplyChange(bool selectText)
{
    const FlagScope applying(m_applying);
    if (IsBound())
        iMach()->SetOEMDRO(MachInt16(m_droNum), m_eDro->FieldValue());
    RefreshFromHost();
    if (selectText)
        m_eDro->selectAll();
}

void TDroAmount::RefreshFromHost()
{
    if (IsBound())
        SetFieldByCode(iMach()->GetOEMDRO(MachInt16(m_droNum)));
    if (!m_sliderHeld)
        SetSliderPosition(SliderPositionOf(m_eDro->FieldValue()));
}

void TDroAmount::SliderMoved(int position)
{
    const double value = position / SliderUnitsPerValue;
    if (iMach() && m_droNum > 0) {
        iMach()->SetOEMDRO(MachInt16(m_droNum), value);
        return;
    }
    SetFieldByCode(value);
}

void TDroAmount::SetSliderPosition(int position)
{
    if (m_slider->value() == position)
        return;
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(position);
}

bool TDroAmount::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_slider) {
        if (event->type() == QEvent::MouseButtonPress)
            m_sliderHeld = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            m_sliderHeld = false;
    }
    return QFrame::eventFilter(watched, event);
}

void TDroAmount::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    Enable(!machineInReset);
    if (m_droNum != 0 && !m_eDro->hasFocus())
        SetFieldByCode(mach.GetOEMDRO(MachInt16(m_droNum)));
}
