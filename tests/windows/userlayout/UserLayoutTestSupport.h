#pragma once

#include "FileSizeLimit.h"
#include "platform/ZentyrError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray GoldenBytes(const QString& name)
{
    return FileBytes(QStringLiteral(ZENTYR_LAYOUT_GOLDEN_DIR "/") + name);
}

inline bool PutFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The message `action` raises, or an empty text when it raises nothing.
inline QString Rejection(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ZentyrError& error) {
        return error.message();
    }
    return QString();
}
