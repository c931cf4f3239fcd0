#pragma once

#include <QLoggingCategory>

// Messages of the local link to the simulated host: failures it answers with "no window" or
// ignores. Debug and info messages are off unless enabled
// (QT_LOGGING_RULES="zentyr.link.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcLink)
