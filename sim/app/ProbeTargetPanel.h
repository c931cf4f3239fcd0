#pragma once

#include <QGroupBox>

#include <array>

class QCheckBox;
class QDoubleSpinBox;

namespace hostsim {

class MachineModel;

// Edits the block the simulated probe touches: its six faces in machine coordinates and
// whether it is there at all, and the probe's fork (gap 0: a point probe). Every edit goes to
// the model at once.
class ProbeTargetPanel final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProbeTargetPanel)

public:
    ProbeTargetPanel(MachineModel& model, QWidget* parent = nullptr);

private:
    void Apply();

    MachineModel& m_model;
    QCheckBox* m_enabled;
    std::array<QDoubleSpinBox*, 6> m_faces;  // x min, x max, y min, y max, z min, z top
    QDoubleSpinBox* m_forkGap;
    QDoubleSpinBox* m_forkReach;
};

}  // namespace hostsim
