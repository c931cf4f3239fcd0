#pragma once

#include <QString>
#include <QStringList>

namespace lcnchost {

// The G-code Zentyr sends (Mach3's dialect) as LinuxCNC's MDI takes it: one line per MDI
// command, blank lines dropped, and the probing word G31 (move until the probe touches, stop
// there without an error when it never does) written as LinuxCNC's G38.3, which does exactly
// that. Text inside comments is left as it is.
QStringList MdiLinesFor(const QString& text);

// One line with G31 words rewritten; everything else is kept character for character.
QString TranslateLine(const QString& line);

}  // namespace lcnchost
