#pragma once

#include <QLineEdit>

#include <optional>

// The number a decimal field of the bamboo milling window holds: its text with the " in"
// suffix and every character that cannot be part of a number dropped, a comma read as the
// decimal point (the field shows a point; a typed comma must not turn 0,25 into 25); text that
// holds no number reads as 0. Of several numbers the first counts.
double InchFieldValue(const QString& text);

// The text a field shows for `value`: fixed point with `decimals` decimals and the " in"
// suffix. A value with more decimals than that keeps them, so leaving a field never rounds
// away what the operator typed.
QString FormatInchField(double value, int decimals);

// A decimal entry field of the bamboo milling window: shows its value with a fixed number of
// decimals followed by " in". A value outside the field's bounds is replaced by the bound when
// the operator leaves the field (or presses Enter) and when the window sets the value; leaving
// the field also shows its value in the field's format.
class TInchEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TInchEdit)

public:
    static const QString Suffix;

    explicit TInchEdit(int decimals, QWidget* parent = nullptr);

    double Value() const;
    // Clamps to the bounds and shows the value; returns the value the field then holds.
    double SetValue(double value);
    void SetBounds(std::optional<double> low, std::optional<double> high);
    double Clamp(double value) const;
    int Decimals() const { return m_decimals; }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Settle();

    int m_decimals;
    std::optional<double> m_low;
    std::optional<double> m_high;
};
