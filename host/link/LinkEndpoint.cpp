#include "host/link/LinkEndpoint.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace hostlink {

namespace {

// <temporary folder>/zentyr-<uid>, created for the user alone when missing. Anyone may create
// names in the temporary folder, so what is found there is used only when it is a real folder
// (not a link) owned by this user and closed to everyone else; otherwise there is none.
QString PrivateTemporaryFolder()
{
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("zentyr-%1").arg(::getuid()));
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), S_IRWXU);
    struct stat st{};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()
        || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return {};
    return folder;
}

}  // namespace

QString LinkSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = PrivateTemporaryFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QLatin1String(LinkSocketName));
}

}  // namespace hostlink
