#pragma once

#include <QLoggingCategory>

// Messages of the host-bound controls. Debug and info messages are off unless enabled
// (QT_LOGGING_RULES="zentyr.controls.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcControls)
