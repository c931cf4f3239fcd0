#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <string>

// Collects the Qt log messages made while it lives, so a test can check that a failure the
// program swallows is still recorded, in the right category and at the right level.
class LogCapture final
{
public:
    struct Entry
    {
        QtMsgType type;
        QString category;
        QString message;
    };

    LogCapture() : m_previous(qInstallMessageHandler(&Handle)) { s_current = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // A message of `type` in `category` that contains `text`.
    bool Has(QtMsgType type, const char* category, const char* text) const
    {
        for (const Entry& e : entries) {
            if (e.type == type && e.category == QLatin1String(category)
                && e.message.contains(QLatin1String(text)))
                return true;
        }
        return false;
    }

    // Everything collected, one message a line, for failure output.
    std::string Text() const
    {
        QString all;
        for (const Entry& e : entries)
            all += e.category + QStringLiteral(": ") + e.message + QLatin1Char('\n');
        return all.toStdString();
    }

    QList<Entry> entries;

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (s_current != nullptr)
            s_current->entries.append(
                {type, QString::fromLatin1(context.category ? context.category : ""), message});
    }

    inline static LogCapture* s_current = nullptr;
    QtMessageHandler m_previous;
};
