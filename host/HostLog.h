#pragma once

#include <QLoggingCategory>

// Messages of the host connection and the update thread: connection failures the start-up
// swallows, a poll pass that ended polling, reconnecting. Debug and info messages are off unless
// enabled (QT_LOGGING_RULES="zentyr.host.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcHost)
