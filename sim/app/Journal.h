#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace hostsim {

// The record of every automation call the simulator receives: one line per call, a timestamp
// (local time, ISO 8601 with milliseconds), a blank, then the call as written by the caller,
// e.g. `2024-05-01T12:00:00.123 DoOEMButton(1021)`.
//
// Lines go to the journal file, when one is named, appended and written through at once, so a
// test reading the file sees every call answered so far. They are also kept for the window,
// which takes them in batches; only the newest WindowLines wait there, because polling makes
// many calls and the window shows no more than that.
class Journal final
{
public:
    static constexpr qsizetype WindowLines = 2000;

    // `filePath` empty: no file. A file that cannot be opened is reported by FileError() and
    // the journal goes on for the window alone.
    explicit Journal(const QString& filePath);
    Q_DISABLE_COPY_MOVE(Journal)

    void Record(const QString& call);

    // The lines recorded since the last call, oldest first.
    QStringList TakePending();

    const QString& FileError() const { return m_fileError; }

private:
    QFile m_file;
    QString m_fileError;
    QStringList m_pending;
};

}  // namespace hostsim
