#include "host/link/HostsimFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace hostlink {

QString HostsimFolder()
{
    const QString home = qEnvironmentVariable("HOSTSIM_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("zentyr/hostsim"));
}

}  // namespace hostlink
