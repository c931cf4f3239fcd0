#pragma once

#include "controls/AxisReadout.h"

#include <functional>

class QPushButton;
struct PlatformServices;

// The axis row of the main window: axis letter, position field, zero button and reference
// button. The field shows the host's DRO; what the operator enters (Enter, leaving the field
// after typing, Zero) goes to the host with SetOEMDRO. A host value shown by a refresh is never
// written back.
//
// The frame starts disabled and is enabled only by the poll pass that finds the host out of
// reset; binding with a reference refreshes the field and leaves it disabled until then.
// Binding: receives the script object and the update thread, is registered for polling.
class TAxisDRO : public TAxisReadout
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAxisDRO)

public:
    explicit TAxisDRO(PlatformServices& platform, QWidget* parent = nullptr);
    ~TAxisDRO() override;

    // Enabled state of the frame and every part together.
    void Enable(bool enabled) override;
    bool EnabledFlag() const { return m_enabled; }

    // Zero: field := 0, then the handler once more (so 0 reaches the host even when the
    // field already showed 0). Raises the host's errors.
    void Zero();
    // Referencing the axis, with the field following the move; returns when the host reports
    // the motion has stopped.
    void Reference();

    QPushButton* ZeroButton() const { return m_btnZero; }
    QPushButton* RefButton() const { return m_btnRef; }

private:
    void OperatorAction(const std::function<void()>& action);

    QPushButton* m_btnZero;
    QPushButton* m_btnRef;
    bool m_enabled = false;
};
