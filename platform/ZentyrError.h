#pragma once

#include <QString>

#include <stdexcept>

// The one error type of the program. Every failure that should reach the operator, or be
// swallowed by a start-up, shutdown or connection guard, is raised as a ZentyrError carrying
// the message text the operator sees.
class ZentyrError : public std::runtime_error
{
public:
    explicit ZentyrError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// The text of the exception being handled: a ZentyrError's message, another exception's
// what(), or "Unexpected error" for anything else. Call only inside a catch block; guards that
// swallow a failure use it to log what they swallowed.
QString CurrentErrorMessage();
