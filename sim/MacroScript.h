#pragma once

#include <QString>
#include <QStringView>

namespace hostsim {

// One line of a macro file (M<n>.m1s). The simulated host runs the few script statements the
// add-on's script buttons need; anything else is reported, never guessed at.
struct MacroStatement
{
    enum class Kind { Nothing, Code, DoOEMButton, SetOEMDRO, Message, Unsupported };
    Kind kind = Kind::Nothing;
    QString text;  // Code and Message: the string; Unsupported: the reason
    int code = 0;  // DoOEMButton and SetOEMDRO
    double value = 0.0;  // SetOEMDRO
};

// Reads `Code "G0 X1"`, `DoOEMButton(1003)`, `SetOEMDRO(818, 40)` and `Message "text"`, with
// or without parentheses around the arguments, names in any letter case, an optional leading
// `Call`, and a trailing `'` comment. Strings double their quotes ("say ""hi"""). Blank lines
// and comment lines (`'` or `Rem`) are Nothing. Codes must fit the host's 16-bit range.
MacroStatement ParseMacroLine(QStringView line);

}  // namespace hostsim
