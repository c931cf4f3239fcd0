#include "host/link/LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "zentyr.link", QtWarningMsg)
