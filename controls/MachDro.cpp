#include "controls/MachDro.h"

#include "host/Mach4_TLB.h"
#include "platform/Dialogs.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {
bool IsWindowActivation(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}
}  // namespace

void SetEnabledIfChanged(QWidget& widget, bool enabled)
{
    // The widget's own setting, not the one inherited from a disabled parent.
    if (widget.testAttribute(Qt::WA_ForceDisabled) != enabled)
        return;
    widget.setEnabled(enabled);
}

TNumericEdit::TNumericEdit(IMessageBoxes& boxes, QWidget* parent)
    : QLineEdit(parent), m_boxes(boxes)
{
    UpdateValidator();
    m_eventText = text();
}

double TNumericEdit::Value() const
{
    bool ok = false;
    const double value = text().toDouble(&ok);
    return ok ? value : 0.0;
}

QString TNumericEdit::FormatValue(double value) const
{
    if (value == 0.0) {
        if (m_zeroShownEmpty)
            return {};
        value = 0.0;  // no "-0"
    }
    return QString::number(value, 'f', m_decimals);
}

void TNumericEdit::SetValue(double value)
{
    // The same number again on a field the operator has not typed into shows the same text:
    // nothing to write and no event to raise.
    if (m_hasShownValue && value == m_shownValue && !isModified())
        return;
    const QString shown = FormatValue(value);
    m_shownValue = value;
    m_hasShownValue = true;
    if (shown != text())
        setText(shown);
    else
        setModified(false);
    RaiseValueChanged();
}

void TNumericEdit::SetDecimals(int decimals)
{
    m_decimals = std::max(0, decimals);
    m_hasShownValue = false;
    UpdateValidator();
}

void TNumericEdit::SetZeroShownEmpty(bool empty)
{
    m_zeroShownEmpty = empty;
    m_hasShownValue = false;
}

void TNumericEdit::UpdateValidator()
{
    const QString pattern = m_decimals > 0 ? QStringLiteral("-?\\d*\\.?\\d*")
                                           : QStringLiteral("-?\\d*");
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
}

void TNumericEdit::RaiseValueChanged()
{
    const QString current = text();
    if (current == m_eventText)
        return;
    m_eventText = current;
    if (m_detached == 0 && m_onValueChanged)
        m_onValueChanged();
}

void TNumericEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!IsWindowActivation(event->reason()))
        Q_EMIT FocusEntered();
}

void TNumericEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (IsWindowActivation(event->reason()))
        return;
    if (isEnabled()) {
        RunOperatorAction(m_boxes, [this] {
            // What the operator typed is shown in the display format from here on.
            if (isModified())
                SetValue(Value());
            RaiseValueChanged();
        });
    }
    Q_EMIT FocusLeft();
}

void TNumericEdit::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyPressed(event->key());
    QLineEdit::keyPressEvent(event);
}

TMachDro::TMachDro(PlatformServices& platform, QWidget* parent)
    : TNumericEdit(platform.messageBoxes, parent)
{
}

void TMachDro::SetOEMDrotype(TmcOEMDROtype kind)
{
    const int code = OEMDROCode(kind);
    m_kind = kind;
    m_droCode = code;
}

MachBindingRow TMachDro::BindingRow() const
{
    return {.receivesScriptObject = false, .receivesUpdateThread = false,
            .registersForPolling = true};
}

void TMachDro::BindMach(const std::shared_ptr<IMyScriptObject>&, TMachUpdateThread*) {}

void TMachDro::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    SetEnabledIfChanged(*this, !machineInReset);
    if (!hasFocus())
        SetValue(mach.GetOEMDRO(MachInt16(m_droCode)));
}
