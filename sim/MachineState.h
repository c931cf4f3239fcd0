#pragma once

#include "sim/MachineModel.h"
#include "sim/MachineSettings.h"
#include "sim/MotionExecutor.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <limits>

namespace hostsim {

// Everything the simulated host is made of, shared by the model's script operations and the
// OEM functions. The motion executor runs the work in time; the rest is plain state.
class MachineState final
{
public:
    // DRO codes 0..DroStoreSize-1 are kept in an array so that reading them never allocates;
    // rarer codes go to a hash.
    static constexpr int DroStoreSize = 1024;

    MachineState(const IClock& clockSource, const QString& folder, const QString& profileName);
    MachineState(const MachineState&) = delete;
    MachineState& operator=(const MachineState&) = delete;

    // <folder>/M<number>.m1s in the profile's macro folder; empty without a controller folder.
    QString MacroFile(int number) const;

    const IClock& clock;
    const QString controllerFolder;
    const QString profile;
    const QString macroFolder;  // with a trailing separator; empty without a controller folder
    MachineSettings settings;
    StatusLog log;
    ProbeTarget probe;
    MotionExecutor executor;

    QString fileName;  // empty: no file loaded
    QStringList loadingLines;
    qint64 loadingUntilMs = -1;  // while the clock is before this, a file is loading
    qint64 lastNowMs = std::numeric_limits<qint64>::min();
    std::array<double, DroStoreSize> dros{};
    QHash<int, double> otherDros;
    QString buttonText;
};

}  // namespace hostsim
