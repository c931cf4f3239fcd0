#include "bamboo/BambooInchEdit.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

const QString TInchEdit::Suffix = QStringLiteral(" in");

double InchFieldValue(const QString& text)
{
    // The suffix goes with the other letters.
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128)
            kept += c;
        else if (c == u'.' || c == u',')
            kept += u'.';
        else if (c == u'-' || c == u'+')
            kept += c;
    }
    static const QRegularExpression number(QStringLiteral("[-+]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(kept);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured(0).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString FormatInchField(double value, int decimals)
{
    int shown = decimals;
    // Up to ten decimals, as many as the value needs beyond the field's own.
    while (shown < 10) {
        const double scale = std::pow(10.0, shown);
        const double rounded = std::round(value * scale) / scale;
        if (std::abs(rounded - value) <= 1e-12 * std::max(1.0, std::abs(value)))
            break;
        ++shown;
    }
    return QString::number(value, 'f', shown) + TInchEdit::Suffix;
}

TInchEdit::TInchEdit(int decimals, QWidget* parent) : QLineEdit(parent), m_decimals(decimals)
{
    setText(FormatInchField(0.0, m_decimals));
    connect(this, &QLineEdit::returnPressed, this, &TInchEdit::Settle);
}

double TInchEdit::Value() const
{
    return InchFieldValue(text());
}

double TInchEdit::SetValue(double value)
{
    setText(FormatInchField(Clamp(value), m_decimals));
    return Value();
}

void TInchEdit::SetBounds(std::optional<double> low, std::optional<double> high)
{
    m_low = low;
    m_high = high;
}

double TInchEdit::Clamp(double value) const
{
    if (m_low && value < *m_low)
        return *m_low;
    if (m_high && value > *m_high)
        return *m_high;
    return value;
}

void TInchEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Settle();
}

void TInchEdit::Settle()
{
    const QString settled = FormatInchField(Clamp(Value()), m_decimals);
    if (settled != text())
        setText(settled);
}
