#include "platform/WholeFile.h"

#include <QSaveFile>

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    const auto fail = [&file]() {
        const QString reason = file.errorString();
        file.cancelWriting();
        return std::optional<QString>(reason);
    };
    // Unbuffered: bytes still buffered at the commit would be written by it, and it does not
    // report their failure, so a short file would replace the old one. A short write is
    // followed by another, which then fails with the system's reason (a full disk, say).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 more = file.write(bytes.constData() + written, bytes.size() - written);
        if (more <= 0)
            return fail();
        written += more;
    }
    if (!file.commit())
        return std::optional<QString>(file.errorString());
    return std::nullopt;
}
