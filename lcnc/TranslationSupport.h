#pragma once

#include "lcnc/IController.h"

#include <QString>

#include <cmath>

// Small pieces the translation's units share.
namespace lcnchost::support {

inline constexpr char AxisLetters[] = "XYZ";

// A number as G-code takes it: fixed point, never an exponent.
inline QString GCodeNumber(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

[[noreturn]] inline void Refuse(const QString& reason)
{
    throw ControllerError(reason);
}

inline void RequireFinite(double value, const QString& what)
{
    if (!std::isfinite(value))
        Refuse(QStringLiteral("%1 refused: the value is not a number").arg(what));
}

inline void RequireNotNegative(double value, const QString& what)
{
    RequireFinite(value, what);
    if (value < 0.0)
        Refuse(QStringLiteral("%1 refused: the value is negative").arg(what));
}

}  // namespace lcnchost::support
