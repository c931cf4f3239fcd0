#pragma once

#include <QLoggingCategory>

// Messages of the application windows and the layout storage: start-up and close failures the
// windows swallow, layout files that could not be read or written. Debug and info messages are off
// unless enabled (QT_LOGGING_RULES="zentyr.windows.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
