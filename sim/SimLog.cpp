#include "sim/SimLog.h"

Q_LOGGING_CATEGORY(lcSim, "zentyr.sim", QtWarningMsg)
