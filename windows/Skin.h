#pragma once

#include <QByteArray>
#include <QList>
#include <QPalette>
#include <QString>

#include <optional>

// One look of the whole program: a Qt style, a palette and an application style sheet, applied
// together at application level so that every window, also one created later, wears it.
struct TSkin
{
    QString name;
    QString style;       // a key of QStyleFactory
    QPalette palette;    // every role set, so nothing of the previous skin shows through
    QString styleSheet;  // empty: the style draws everything
    bool internal = false;  // built into the program rather than read from a file
};

// The file extension of skin files in the skin folder.
inline constexpr char SkinFileSuffix[] = "zskin";
// Skin files larger than this are refused rather than read.
inline constexpr qint64 MaxSkinFileBytes = 1024 * 1024;

// Reads a skin from the text of a skin file: a JSON object with
//   "style"      a Qt style name (optional, "Fusion" when absent),
//   "palette"    an object of colour roles ("Window": "#202428", ...), and optionally an object
//                "Disabled" of roles for disabled controls; roles not named keep the style's
//                standard colours,
//   "styleSheet" a Qt style sheet, as one text or as a list of lines (optional).
// Any other member, a style this system lacks, an unknown role or colour, or text that is not
// such an object, makes the whole file unusable: nullopt, and `problem` says why.
std::optional<TSkin> ParseSkin(const QByteArray& text, const QString& name, QString& problem);

// Reads and parses the skin file at `path`; its name is the file name without the extension.
std::optional<TSkin> ReadSkinFile(const QString& path, QString& problem);
