#include "host/link/LinkEndpoint.h"

#include <QDir>
#include <QStandardPaths>

namespace hostlink {

QString LinkSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QLatin1String(LinkSocketName));
}

}  // namespace hostlink
