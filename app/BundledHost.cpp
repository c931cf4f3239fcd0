#include "app/BundledHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString HostProgram = QStringLiteral("hostsim");
}  // namespace

QString BundledHostLocation(const QString& programFolder, const QString& controllerFolder,
                            QString* problem)
{
    const QString bundled = QDir(programFolder).absoluteFilePath(HostProgram);
    const auto fail = [&](const QString& why) {
        if (problem)
            *problem = why;
        return bundled;
    };
    if (controllerFolder.isEmpty()
        || QDir(controllerFolder).absolutePath() == QDir(programFolder).absolutePath())
        return bundled;

    const QDir folder(controllerFolder);
    if (!folder.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("Cannot create %1").arg(QDir::toNativeSeparators(controllerFolder)));
    const QString link = folder.absoluteFilePath(HostProgram);
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        if (existing.symLinkTarget() == bundled)
            return link;
        if (!QFile::remove(link))
            return fail(QStringLiteral("Cannot replace %1").arg(QDir::toNativeSeparators(link)));
    } else if (existing.exists()) {
        return link;
    }
    if (!QFile::link(bundled, link))
        return fail(QStringLiteral("Cannot link %1 to %2")
                        .arg(QDir::toNativeSeparators(link), QDir::toNativeSeparators(bundled)));
    return link;
}

QString MigratedHostLocation(const QString& stored, const QString& programFolder,
                             const QString& bundledLocation)
{
    if (stored.isEmpty())
        return stored;
    const QFileInfo named(stored);
    const QFileInfo beside(QDir(programFolder).absoluteFilePath(HostProgram));
    return named.absoluteFilePath() == beside.absoluteFilePath() ? bundledLocation : stored;
}
