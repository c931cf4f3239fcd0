#pragma once

#include <QString>
#include <QStringList>

namespace hostsim {

// Largest program file the simulated host loads, and largest macro file it runs. Bigger files
// are refused rather than read whole into memory.
inline constexpr qint64 MaxProgramFileBytes = 64LL * 1024 * 1024;
inline constexpr qint64 MaxMacroFileBytes = 1024LL * 1024;

// Reads a text file as lines (CR LF, LF or CR end a line; a final line break adds no empty
// line). The text is taken as UTF-8 when it is valid UTF-8 and as Latin-1 otherwise, so no
// byte of a program written by an older tool is lost. Anything but a regular file (a folder, a
// named pipe, a device) is refused without being opened. On failure returns false with a
// reason fit for the status line.
bool ReadTextLines(const QString& path, qint64 maxBytes, QStringList& lines, QString& problem);

// A profile name made safe to use as one folder name: separators and the names "." and ".."
// cannot lead outside the macro folder.
QString ProfileFolderName(const QString& profile);

}  // namespace hostsim
