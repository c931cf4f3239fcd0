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
// which takes them in batches and shows the last WindowLines. Only the newest PendingLines
// wait between two batches: a peer calling in a tight loop makes thousands of calls in that
// time, and laying all of them out would stall the simulator, and its answers, for tens of
// milliseconds. The batch then says how many calls it leaves out; the file keeps every one.
class Journal final
{
public:
    static constexpr qsizetype WindowLines = 2000;
    static constexpr qsizetype PendingLines = 100;

    // `filePath` empty: no file. A file that cannot be opened is reported by FileError() and
    // the journal goes on for the window alone.
    explicit Journal(const QString& filePath);
    Q_DISABLE_COPY_MOVE(Journal)

    void Record(const QString& call);

    // The lines recorded since the last call, oldest first: the newest PendingLines, after a
    // line "... N calls not shown" when there were more.
    QStringList TakePending();

    const QString& FileError() const { return m_fileError; }

private:
    QFile m_file;
    QString m_fileError;
    QStringList m_pending;
    qint64 m_notShown = 0;  // calls dropped from m_pending since the last batch
};

}  // namespace hostsim
