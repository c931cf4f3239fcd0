#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The files the program saves, as the save worker writes them: each through the program's own
// writer, with content that depends on a version number and a size. Every file names its
// version ("Version <n>"), so a check can tell which save a file holds and compare it byte for
// byte with what that save writes.
enum class TSavedFile { DesktopLayout, Program, ButtonLayout };

inline constexpr TSavedFile AllSavedFiles[] = {TSavedFile::DesktopLayout, TSavedFile::Program,
                                               TSavedFile::ButtonLayout};

// A few hundred bytes per file, or some tens of kilobytes.
enum class TSaveSize { Small, Large };

QString SavedFileName(TSavedFile file);

// Saves version `version` of `file` in `folder` as the program does: the desktop layout through
// its store, which reads the file first and writes it when it ends; the program file through
// the editor's writer; the button layout through the layout file writer. Raises what the
// writer raises (the desktop store at its end only logs).
void SaveVersion(TSavedFile file, const QString& folder, int version, TSaveSize size);
// As SaveVersion for the desktop layout, but writes on request and so raises a failure.
void FlushDesktopLayout(const QString& folder, int version, TSaveSize size);

// The bytes `file` holds after a complete save of `version`. The program file's bytes are made
// by its writer in `scratchFolder`.
QByteArray SavedBytes(TSavedFile file, int version, TSaveSize size, const QString& scratchFolder);

// The version a file's bytes name, if any.
std::optional<int> VersionIn(const QByteArray& bytes);
