#pragma once

#include <QLoggingCategory>

// Messages of the simulated host: failures it reports to no caller, such as a journal line that
// could not be written. Debug and info messages are off unless enabled
// (QT_LOGGING_RULES="zentyr.sim.debug=true"); warnings are on.
Q_DECLARE_LOGGING_CATEGORY(lcSim)
