#include "controls/ControlsLog.h"

Q_LOGGING_CATEGORY(lcControls, "zentyr.controls", QtWarningMsg)
