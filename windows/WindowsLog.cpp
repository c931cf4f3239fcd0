#include "windows/WindowsLog.h"

Q_LOGGING_CATEGORY(lcWindows, "zentyr.windows", QtWarningMsg)
