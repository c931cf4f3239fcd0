#include "controls/DroSpeedFrame.h"

#include "controls/FrameSlider.h"
#include "controls/MachDro.h"
#include "host/Mach4_TLB.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/ZentyrError.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>

#include <cmath>
#include <limits>

int WholePartOfHostValue(double value)
{
    const double whole = std::trunc(value);
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())) {
        throw ZentyrError(
            QStringLiteral("Range check error: %1 is not a whole number the field can show")
                .arg(value));
    }
    return static_cast<int>(whole);
}

// ---- TSpeedSpinEdit ----

TSpeedSpinEdit::TSpeedSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setLocale(QLocale::c());
    setKeyboardTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    SetFieldRange(0, 200);
}

int TSpeedSpinEdit::FieldValue() const
{
    bool ok = false;
    const int value = cleanText().toInt(&ok);
    return ok ? value : m_min;
}

int TSpeedSpinEdit::Clamp(int value) const
{
    if (m_min == m_max)
        return value;
    return std::clamp(value, m_min, m_max);
}

void TSpeedSpinEdit::SetFieldValue(int value)
{
    value = Clamp(value);
    if (value == this->value() && !lineEdit()->isModified())
        return;
    setValue(value);
    lineEdit()->setModified(false);
}

void TSpeedSpinEdit::SetFieldRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    if (m_min == m_max)
        setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    else
        setRange(m_min, m_max);
}

void TSpeedSpinEdit::stepBy(int steps)
{
    if (onStep)
        onStep(steps);
}

// Every digit the operator types is kept, also one that takes the number past the maximum:
// refusing it would silently turn a typed 250 into 25. The number is brought into the range
// when the field interprets its text (Enter, leaving the field), so what is applied is what
// the field then shows. Only a number too long to read as an integer is refused.
QValidator::State TSpeedSpinEdit::validate(QString& input, int&) const
{
    for (const QChar c : input) {
        if (c < u'0' || c > u'9')
            return QValidator::Invalid;
    }
    if (input.isEmpty())
        return QValidator::Intermediate;
    bool readable = false;
    (void)input.toInt(&readable);
    return readable ? QValidator::Acceptable : QValidator::Invalid;
}

void TSpeedSpinEdit::fixup(QString& input) const
{
    if (input.isEmpty())
        input = QString::number(m_min);
}

int TSpeedSpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : m_min;
}

QAbstractSpinBox::StepEnabled TSpeedSpinEdit::stepEnabled() const
{
    // The arrows stay live at the ends of the range: a step there still applies the value.
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void TSpeedSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (IsPageKey(event->key())) {
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void TSpeedSpinEdit::wheelEvent(QWheelEvent* event)
{
    if (!WheelMayStep(*this)) {
        event->ignore();
        return;
    }
    QSpinBox::wheelEvent(event);
}

void TSpeedSpinEdit::keyReleaseEvent(QKeyEvent* event)
{
    QSpinBox::keyReleaseEvent(event);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !event->isAutoRepeat() && onEnterReleased)
        onEnterReleased();
}

void TSpeedSpinEdit::focusInEvent(QFocusEvent* event)
{
    QSpinBox::focusInEvent(event);
    const bool activation = event->reason() == Qt::ActiveWindowFocusReason
                            || event->reason() == Qt::PopupFocusReason;
    if (!activation && onFocusEntered)
        onFocusEntered();
}

// ---- TDROspeed ----

TDROspeed::TDROspeed(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, ScriptObjectAndThreadBindingRow),
      m_platform(platform),
      m_label(new QLabel(this)),
      m_eDro(new TSpeedSpinEdit(this)),
      m_slider(new TFrameSlider(this))
{
    resize(119, 46);

    m_label->setObjectName(QStringLiteral("DROlabel"));
    m_label->setGeometry(3, 2, 67, 19);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label->setBuddy(m_eDro);

    m_eDro->setObjectName(QStringLiteral("eDro"));
    m_eDro->setGeometry(71, 2, 47, 21);
    m_eDro->SetFieldValue(100);

    m_slider->setObjectName(QStringLiteral("slider"));
    m_slider->setGeometry(2, 23, 111, 20);
    m_slider->setRange(0, 200);
    m_slider->setValue(100);
    m_slider->setMouseTracking(true);
    m_slider->installEventFilter(this);

    m_eDro->onStep = [this](int steps) { OperatorAction([this, steps] { ArrowStep(steps); }); };
    m_eDro->onEnterReleased = [this] { OperatorAction([this] { EnterReleased(); }); };
    m_eDro->onFocusEntered = [this] { m_eDro->selectAll(); };
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int position) { OperatorAction([this, position] { SliderMoved(position); }); });
}

TDROspeed::~TDROspeed()
{
    m_slider->removeEventFilter(this);
}

void TDROspeed::IMachAssigned()
{
    if (!iMach()) {
        Enable(false);
        return;
    }
    Enable(true);
    RefreshFromHost();
}

void TDROspeed::SetDROCaption(const QString& caption)
{
    m_caption = caption;
    m_label->setText(QLatin1Char('&') + caption);
}

int TDROspeed::Value() const
{
    return m_eDro->FieldValue();
}

void TDROspeed::SetValue(int value)
{
    m_eDro->SetFieldValue(value);
}

int TDROspeed::Max() const
{
    return m_eDro->FieldMaximum();
}

void TDROspeed::SetMax(int maximum)
{
    m_eDro->SetFieldRange(m_eDro->FieldMinimum(), maximum);
    const QSignalBlocker blocker(m_slider);
    m_slider->setMaximum(maximum);
}

void TDROspeed::Enable(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    setEnabled(enabled);
    m_eDro->setEnabled(enabled);
    m_label->setEnabled(enabled);
    m_slider->setEnabled(enabled);
}

void TDROspeed::RefreshFromHost()
{
    if (!IsBound())
        return;
    m_eDro->SetFieldValue(WholePartOfHostValue(iMach()->GetOEMDRO(MachInt16(m_droNum))));
    if (!m_sliderHeld)
        SetSliderPosition(m_eDro->FieldValue());
}

void TDROspeed::Apply()
{
    if (IsBound())
        iMach()->SetOEMDRO(MachInt16(m_droNum), m_eDro->FieldValue());
    RefreshFromHost();
    m_eDro->selectAll();
}

void TDROspeed::ArrowStep(int steps)
{
    const long long stepped = static_cast<long long>(m_eDro->FieldValue())
                              + static_cast<long long>(steps) * m_increment;
    const long long limited = std::clamp<long long>(stepped, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max());
    m_eDro->SetFieldValue(static_cast<int>(limited));
    Apply();
    SetSliderPosition(m_eDro->FieldValue());
}

void TDROspeed::EnterReleased()
{
    SetSliderPosition(m_eDro->FieldValue());
    Apply();
    m_eDro->selectAll();
}

void TDROspeed::SliderMoved(int position)
{
    if (iMach() && m_droNum > 0) {
        iMach()->SetOEMDRO(MachInt16(m_droNum), position);
        return;
    }
    m_eDro->SetFieldValue(position);
}

void TDROspeed::SetSliderPosition(int position)
{
    if (m_slider->value() == position)
        return;
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(position);
}

void TDROspeed::OperatorAction(const std::function<void()>& action)
{
    RunOperatorAction(m_platform.messageBoxes, action);
}

bool TDROspeed::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_slider) {
        if (event->type() == QEvent::MouseButtonPress)
            m_sliderHeld = true;
        else if (event->type() == QEvent::MouseMove)
            m_sliderHeld = false;
    }
    return QFrame::eventFilter(watched, event);
}

void TDROspeed::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // The slider keeps its left edge and its right margin.
    m_slider->setGeometry(2, 23, std::max(0, width() - 8), 20);
}

void TDROspeed::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    Enable(!machineInReset);
    if (m_droNum >= 1 && !m_eDro->hasFocus())
        m_eDro->SetFieldValue(WholePartOfHostValue(mach.GetOEMDRO(MachInt16(m_droNum))));
}
