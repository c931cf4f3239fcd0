#pragma once

#include "platform/ZentyrError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>

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

// While it lives, no file of this process may grow past `limit` bytes: writes fail, as on a
// full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit reduced = m_old;
        reduced.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &reduced);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
