#include "sim/app/ProbeTargetPanel.h"

#include "sim/MachineModel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

namespace hostsim {

ProbeTargetPanel::ProbeTargetPanel(MachineModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("Probe target (machine coordinates)"), parent),
      m_model(model),
      m_enabled(new QCheckBox(QStringLiteral("Present"), this))
{
    const ProbeTarget target = m_model.GetProbeTarget();
    const double values[6] = {target.xMin, target.xMax, target.yMin, target.yMax, target.zMin, target.zTop};
    const char* labels[6] = {"X min", "X max", "Y min", "Y max", "Z min", "Z top"};

    auto* grid = new QGridLayout(this);
    m_enabled->setChecked(target.enabled);
    grid->addWidget(m_enabled, 0, 0, 1, 4);
    for (int i = 0; i < 6; ++i) {
        auto* spin = new QDoubleSpinBox(this);
        spin->setRange(-10000.0, 10000.0);
        spin->setDecimals(4);
        spin->setValue(values[i]);
        spin->setKeyboardTracking(false);
        spin->setAccessibleName(QLatin1String(labels[i]));
        m_faces[size_t(i)] = spin;
        grid->addWidget(new QLabel(QLatin1String(labels[i]), this), 1 + i / 2, (i % 2) * 2);
        grid->addWidget(spin, 1 + i / 2, (i % 2) * 2 + 1);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &ProbeTargetPanel::Apply);
    }
    const auto addFork = [&](const char* label, double value, int column) {
        auto* spin = new QDoubleSpinBox(this);
        spin->setRange(0.0, 100.0);
        spin->setDecimals(4);
        spin->setValue(value);
        spin->setKeyboardTracking(false);
        spin->setAccessibleName(QLatin1String(label));
        grid->addWidget(new QLabel(QLatin1String(label), this), 4, column);
        grid->addWidget(spin, 4, column + 1);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &ProbeTargetPanel::Apply);
        return spin;
    };
    m_forkGap = addFork("Fork gap", target.forkGap, 0);
    m_forkReach = addFork("Fork reach", target.forkReach, 2);
    connect(m_enabled, &QCheckBox::toggled, this, &ProbeTargetPanel::Apply);
}

void ProbeTargetPanel::Apply()
{
    ProbeTarget target;
    target.enabled = m_enabled->isChecked();
    target.xMin = m_faces[0]->value();
    target.xMax = m_faces[1]->value();
    target.yMin = m_faces[2]->value();
    target.yMax = m_faces[3]->value();
    target.zMin = m_faces[4]->value();
    target.zTop = m_faces[5]->value();
    target.forkGap = m_forkGap->value();
    target.forkReach = m_forkReach->value();
    m_model.SetProbeTarget(target);
}

}  // namespace hostsim
