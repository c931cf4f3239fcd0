#pragma once

#include <QWidget>

class QLabel;

namespace hostsim {

// A labelled indicator lamp of the simulator window. Repaints only when its state changes.
class StatusLamp final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusLamp)

public:
    StatusLamp(const QString& caption, QWidget* parent = nullptr);

    void SetLit(bool lit);
    bool IsLit() const { return m_lit; }

private:
    QLabel* m_bulb;
    bool m_lit = true;  // so the first SetLit(false) paints
};

}  // namespace hostsim
