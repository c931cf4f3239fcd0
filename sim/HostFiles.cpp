#include "sim/HostFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace hostsim {

bool ReadTextLines(const QString& path, qint64 maxBytes, QStringList& lines, QString& problem)
{
    // Only regular files: opening a named pipe blocks until someone writes to it, and a device
    // never ends, either of which would stop the simulator from answering anyone.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        problem = QStringLiteral("not a regular file");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    if (file.size() > maxBytes) {
        problem = QStringLiteral("the file is larger than %1 bytes").arg(maxBytes);
        return false;
    }
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        problem = QStringLiteral("the file is larger than %1 bytes").arg(maxBytes);
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        problem = file.errorString();
        return false;
    }

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);

    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return true;
}

QString ProfileFolderName(const QString& profile)
{
    QString name = profile;
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    if (name == u"." || name == u"..")
        name.fill(u'_');
    return name;
}

}  // namespace hostsim
