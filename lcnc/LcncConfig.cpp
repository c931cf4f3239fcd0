#include "lcnc/LcncConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace lcnchost {

IniValues IniValues::Parse(const QString& text)
{
    IniValues ini;
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QString section;
    for (const QString& raw : text.split(breaks)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype end = line.indexOf(u']');
            section = line.mid(1, end < 0 ? -1 : end - 1).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = section + u'/' + line.left(equals).trimmed();
        if (!ini.m_values.contains(key))
            ini.m_values.insert(key, line.mid(equals + 1).trimmed());
    }
    return ini;
}

QString IniValues::Value(const QString& section, const QString& name, const QString& fallback) const
{
    return m_values.value(section + u'/' + name, fallback);
}

double IniValues::Number(const QString& section, const QString& name, double fallback) const
{
    bool ok = false;
    const double value = Value(section, name).toDouble(&ok);
    return ok ? value : fallback;
}

bool ReadLcncConfig(const QString& iniPath, LcncConfig& config, QString* error)
{
    IniValues ini;
    QDir folder = QDir::current();
    if (!iniPath.isEmpty()) {
        QFile file(iniPath);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *error = QStringLiteral("Cannot read %1: %2").arg(iniPath, file.errorString());
            return false;
        }
        ini = IniValues::Parse(QString::fromUtf8(file.readAll()));
        folder = QFileInfo(iniPath).absoluteDir();
    }
    const auto path = [&](const QString& value) {
        return value.isEmpty() ? QString() : QDir::cleanPath(folder.absoluteFilePath(value));
    };
    config.nmlFile = ini.Value(QStringLiteral("EMC"), QStringLiteral("NML_FILE"));
    config.nmlFile = config.nmlFile.isEmpty() ? QString::fromLatin1(DefaultNmlFile) : path(config.nmlFile);
    config.machine = ini.Value(QStringLiteral("EMC"), QStringLiteral("MACHINE"), QStringLiteral("LinuxCNC"));
    const QString prefix = ini.Value(QStringLiteral("DISPLAY"), QStringLiteral("PROGRAM_PREFIX"));
    config.programFolder = prefix.isEmpty() ? folder.absolutePath() : path(prefix);
    config.maxVelocity = ini.Number(QStringLiteral("TRAJ"), QStringLiteral("MAX_LINEAR_VELOCITY"),
                                    ini.Number(QStringLiteral("TRAJ"), QStringLiteral("MAX_VELOCITY"), 1.0));
    // Safe Z never lies above the top of Z's travel, where LinuxCNC would refuse the move.
    const double zTop = ini.Number(QStringLiteral("AXIS_Z"), QStringLiteral("MAX_LIMIT"), 1e9);
    config.safeZ = std::min(ini.Number(QStringLiteral("ZENTYR"), QStringLiteral("SAFE_Z"), 1.0), zTop);
    return true;
}

}  // namespace lcnchost
