#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces the file at `path` with `bytes`, whole or not at all. The bytes go to a temporary
// file beside it, which takes the file's place only once every byte has been written and
// synced; a crash at any point leaves either the old file or the new one. On failure (no
// access, a full disk, a size limit) the old file stays as it was, the temporary file is
// removed, and the system's reason is returned; nothing is returned on success.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes);
