#pragma once

#include "sim/app/HostDispatcher.h"

#include <QMainWindow>

#include <vector>

class QLabel;
class QPlainTextEdit;

namespace hostsim {

class Journal;
class MachineModel;
class StatusLamp;

// The simulator's main window, captioned as the real controller's so the application finds
// it: axis readouts, the lamps and values the application uses, the status line with its
// history, the loaded file and current line, the probe target and the journal. It shows the
// model's state and owns none of it; Refresh() updates only what changed since the last call.
// Closing it ends the simulator.
class HostsimWindow final : public QMainWindow, public IHostWindowControl
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HostsimWindow)

public:
    static QString HostCaption() { return QStringLiteral("Mach3 CNC Controller "); }

    HostsimWindow(MachineModel& model, Journal& journal, const QString& journalPath,
                  QWidget* parent = nullptr);
    ~HostsimWindow() override;

    void Refresh();

    // IHostWindowControl
    QString Caption() const override { return windowTitle(); }
    void SetShown(bool shown) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct AxisRow;
    struct LampRow { int led; StatusLamp* lamp; };
    struct ValueRow { int dro; QLabel* label; double shown; };

    QWidget* BuildReadouts();
    QWidget* BuildLog(const QString& journalPath);

    MachineModel& m_model;
    Journal& m_journal;
    std::vector<AxisRow> m_axes;
    std::vector<LampRow> m_lamps;
    std::vector<ValueRow> m_values;
    QLabel* m_file = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_history = nullptr;
    QPlainTextEdit* m_journalView = nullptr;
    QString m_shownFile;
    int m_shownLine = -1;
    qint64 m_shownMessages = 0;
    QString m_shownStatus;
};

}  // namespace hostsim
