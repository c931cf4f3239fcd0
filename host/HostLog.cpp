#include "host/HostLog.h"

Q_LOGGING_CATEGORY(lcHost, "zentyr.host", QtWarningMsg)
