#include "sim/app/HostsimOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace hostsim {

namespace {

constexpr double MaxForkGap = 100.0;

bool IsProfileSwitch(const QString& arg)
{
    return arg.compare(QLatin1String("/p"), Qt::CaseInsensitive) == 0
           || arg.compare(QLatin1String("-p"), Qt::CaseInsensitive) == 0;
}

// Takes the profile name starting at arguments[i] (with `first` as its first part), joining
// the parts of a quoted name that arrived split on blanks. Advances `i` past what it used.
QString TakeName(const QStringList& arguments, qsizetype& i, QString first)
{
    if (!first.startsWith(QLatin1Char('"')))
        return first;
    QString name = first;
    while (!(name.size() > 1 && name.endsWith(QLatin1Char('"'))) && i + 1 < arguments.size())
        name += QLatin1Char(' ') + arguments[++i];
    name.remove(0, 1);
    if (name.endsWith(QLatin1Char('"')))
        name.chop(1);
    return name;
}

bool IsSafeProfileName(const QString& name)
{
    return !name.trimmed().isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QChar(0));
}

}  // namespace

HostsimOptions ParseHostsimOptions(const QStringList& arguments, const QString& defaultFolder,
                                   const QString& homeOverride)
{
    HostsimOptions options;
    options.controllerFolder = homeOverride.isEmpty() ? defaultFolder : homeOverride;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString name;
        if (arg.compare(QLatin1String("/fork"), Qt::CaseInsensitive) == 0
            || arg.compare(QLatin1String("-fork"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const double gap = i + 1 < arguments.size() ? arguments[i + 1].toDouble(&ok) : 0.0;
            if (ok && gap >= 0.0 && gap <= MaxForkGap) {
                options.forkGap = gap;
                ++i;
            } else {
                options.warnings << QStringLiteral("/fork needs a gap from 0 to 100");
            }
            continue;
        }
        if (IsProfileSwitch(arg)) {
            if (i + 1 >= arguments.size()) {
                options.warnings << QStringLiteral("/p without a profile name");
                break;
            }
            ++i;
            name = TakeName(arguments, i, arguments[i]);
        } else {
            continue;
        }
        if (IsSafeProfileName(name)) {
            options.profile = name;
        } else {
            options.warnings << QStringLiteral("Profile name refused: \"%1\"").arg(name);
            options.profile = QLatin1String(DefaultProfile);
        }
    }
    return options;
}

QStringList PrepareControllerFolder(const QString& controllerFolder, const QString& profile,
                                    const QString& programFolder)
{
    QStringList problems;
    QDir folder(controllerFolder);
    for (const QString& sub : {QStringLiteral("GCode"), QStringLiteral("Macros/") + profile}) {
        if (!folder.mkpath(sub))
            problems << QStringLiteral("Cannot create %1").arg(QDir::toNativeSeparators(folder.filePath(sub)));
    }
    const QString profileFile = profile + QStringLiteral(".xml");
    const QString target = folder.filePath(profileFile);
    const QString shipped = QDir(programFolder).filePath(profileFile);
    if (!QFileInfo::exists(target) && QFileInfo(shipped).isFile()
        && QFileInfo(shipped).absoluteFilePath() != QFileInfo(target).absoluteFilePath()
        && !QFile::copy(shipped, target))
        problems << QStringLiteral("Cannot copy the profile to %1").arg(QDir::toNativeSeparators(target));
    return problems;
}

}  // namespace hostsim
