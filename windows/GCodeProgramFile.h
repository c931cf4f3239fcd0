#pragma once

#include <QString>
#include <QStringList>

// Program files as the editor reads and writes them: a list of lines.
//
// Reading splits at CR LF, LF or CR; a final line break adds no empty line. The bytes are taken
// as UTF-8 when they are valid UTF-8 and as Latin-1 otherwise, so no byte of a file written by
// an older tool is lost. Only regular files up to MaxProgramFileBytes are read: a named pipe
// would block the program and a huge file would exhaust its memory.
//
// Writing ends every line with CR LF and replaces the file whole or not at all: a failed write
// leaves the old file as it was. The text is written in Latin-1 when every character has a
// Latin-1 byte (so a Latin-1 file goes back byte for byte and the controller reads it in its
// own code page), in UTF-8 otherwise, so that no character is lost.
//
// Both raise a ZentyrError carrying the path and the reason.

inline constexpr qint64 MaxProgramFileBytes = 64LL * 1024 * 1024;

QStringList ReadProgramLines(const QString& path);
void WriteProgramLines(const QString& path, const QStringList& lines);

// The lines of an editor text: split at LF; a final LF adds no empty line, and the empty text
// has no lines.
QStringList LinesOfText(const QString& text);
