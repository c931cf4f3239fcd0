#pragma once

#include <QHash>
#include <QString>

namespace lcnchost {

// The entries of a LinuxCNC INI file: "[SECTION]" headers and "NAME = value" lines; lines
// starting with "#" or ";" are comments. Names are case-sensitive, as LinuxCNC reads them; the
// first of repeated entries counts.
class IniValues final
{
public:
    static IniValues Parse(const QString& text);
    QString Value(const QString& section, const QString& name, const QString& fallback = {}) const;
    double Number(const QString& section, const QString& name, double fallback) const;

private:
    QHash<QString, QString> m_values;  // "SECTION/NAME" -> value
};

// What the LinuxCNC host takes from the machine's configuration.
struct LcncConfig
{
    QString nmlFile;        // LinuxCNC's channel file
    QString machine;        // the machine's name, for messages
    QString programFolder;  // where relative program paths are found
    double maxVelocity;     // top linear speed, units per second
    double safeZ;           // machine Z of "Goto safe Z"
};

inline constexpr char DefaultNmlFile[] = "/usr/share/linuxcnc/linuxcnc.nml";

// The configuration of INI file `iniPath` (paths in it are relative to its folder). An empty
// path gives the defaults of a LinuxCNC started elsewhere. False, with `error`, when the file
// cannot be read.
bool ReadLcncConfig(const QString& iniPath, LcncConfig& config, QString* error);

}  // namespace lcnchost
