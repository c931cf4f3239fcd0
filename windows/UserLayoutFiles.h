#pragma once

#include "host/MachConstants.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The two user layout files: code button layouts (".cbl") and user LED layouts (".ledl").
// Both are XML files in the layout store's one encoding, under a root element named
// "CodeButtons". Each file is first parsed into a plain description of the column, which is
// checked whole before any window applies it: a rejected file changes nothing.
//
// Reading rules shared by both formats:
// - element names match without regard to letter case, and the first element of a name wins;
// - the root must be named exactly "CodeButtons"; a file with another root reads as a file
//   without values (unless that root holds a "CodeButtons" element, which is then read);
// - a missing value takes its default; an integer whose text is not a whole number reads -1;
// - "version" defaults to "1.0"; any other text rejects the file;
// - an entry whose ClassName is not one of the format's class names is skipped;
// - an entry whose kind ordinal lies outside its vocabulary stops the reading there: the
//   entries before it are kept and `stopError` tells why (the caller shows it after applying
//   the kept entries).
//
// Entry elements are the entry prefix followed by the index in decimal without leading
// zeros; only indexes below the stated count are read, in increasing order. The parse takes
// time in proportion to the file, whatever count the file states.
//
// The parse functions are the formats' whole input surface (callable without a window, for
// example from a fuzzing harness): they never crash on any input and raise a ZentyrError when
// the file is rejected.

// Where the file puts the window. Missing values leave the window's own value.
struct TLayoutPlacement
{
    std::optional<int> top;
    std::optional<int> left;
    std::optional<int> width;
    std::optional<int> height;
};

enum class TCodeButtonKind { GCode, VBScript, OEM };

struct TCodeButtonEntry
{
    TCodeButtonKind kind = TCodeButtonKind::GCode;
    QString caption;
    QString code;                   // G-code and script kinds
    TmcOEMButtontype oemButton = obtNONE;  // OEM kind
};

struct TCodeButtonLayout
{
    TLayoutPlacement placement;
    QList<TCodeButtonEntry> buttons;
    QString stopError;
};

struct TLedEntry
{
    QString caption;
    TmcOEMLEDtype ledType = oltNONE;
};

struct TLedLayout
{
    TLayoutPlacement placement;
    QList<TLedEntry> leds;
    QString stopError;
};

// The messages of a rejected file.
extern const QString InvalidCodeButtonFileMessage;  // Invalid ".cbl" File Format
extern const QString InvalidLedFileMessage;         // Invalid ".ledl" File Format

// The saved class name of a kind ("TMachCodeButton", "TMachVBScriptButton", "TMachOEMButton").
QString CodeButtonClassName(TCodeButtonKind kind);

// Parses the bytes of a file. Bytes that are not well-formed XML are rejected (with the
// format's message and the parser's), as is a version other than "1.0".
TCodeButtonLayout ParseCodeButtonLayout(const QByteArray& bytes);
TLedLayout ParseLedLayout(const QByteArray& bytes);

// Reads and parses the file at `path`. A file that does not exist reads as an empty document
// (every value takes its default); a file that exists but cannot be read raises.
TCodeButtonLayout ReadCodeButtonLayoutFile(const QString& path);
TLedLayout ReadLedLayoutFile(const QString& path);

// The bytes of a file for the column. `placement.top` and `placement.left` are written (the
// width and height never are). Line breaks in a code text are written as CR LF, the line
// break of the file format, whatever form they had in the button.
QByteArray FormatCodeButtonLayout(const TCodeButtonLayout& layout);
QByteArray FormatLedLayout(const TLedLayout& layout);

// Writes `bytes` as the file at `path`, whole or not at all: the old file is replaced only once
// every byte has been written, and stays as it was when anything fails. Raises a ZentyrError
// naming the file and the reason.
void WriteUserLayoutFile(const QString& path, const QByteArray& bytes);

// The folder the layout file dialogs open in: the program's folder, unless the user may not
// write there (an installed program); then the folder of the desktop layout file, which is
// the user's own.
QString InitialLayoutFolder(const QString& programPath, const QString& desktopLayoutFile);
