#pragma once

#include <QLoggingCategory>

// Messages of the platform services: failures they swallow, such as a settings write that did not
// reach the store. Debug and info messages are off unless enabled
// (QT_LOGGING_RULES="zentyr.platform.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
