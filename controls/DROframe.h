#pragma once

#include "controls/MachHostBinding.h"
#include "host/MachConstants.h"

#include <QFrame>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class IWaiter;
class QLabel;
class QPushButton;
class TCMach4Wrapper;
class TNumericEdit;
struct PlatformServices;

// The host codes of one axis, chosen by the first letter of an axis name.
struct TAxisCodes
{
    int dro;           // position DRO
    int refButton;     // OEM button that references the axis (DRO code + offset below)
    int refLed;        // axis referenced
    int plusLimitLed;
    int minusLimitLed;
    int homeLed;
};

// An axis row references whatever DRO code it holds: the reference button lies this far above
// the DRO code (222), as it does for every axis.
inline constexpr int AxisReferenceButtonOffset = OEMButtonCodeOf(obtRef_X) - OEMDROCodeOf(odtX);
static_assert(OEMButtonCodeOf(obtRef_C) - OEMDROCodeOf(odtC) == AxisReferenceButtonOffset);

// X, Y, Z, A, B or C as the first character (upper case only); anything else has no codes.
std::optional<TAxisCodes> AxisCodesOf(const QString& droAxis);

// Where an axis row sends its status texts: through the host connection when one is set (the
// text then also reaches its message log), otherwise straight to the script object.
void SendAxisStatusMessage(TCMach4Wrapper* hostConnection, IMyScriptObject& mach,
                           const QString& text);

// Calls IsMoving until the host reports that motion has stopped, with no pause in between and
// no time limit; while it moves, `whileMoving` runs (may be empty) and pending window events
// are processed, so the program stays live and further actions can start meanwhile. Returns
// false when `guard` was destroyed by something the events did.
bool WaitWhileAxisMoves(IMyScriptObject& mach, IWaiter& waiter, const QPointer<QObject>& guard,
                        const std::function<void()>& whileMoving);

// The axis row of the main window: axis letter, position field, zero button and reference
// button. The field shows the host's DRO; what the operator enters (Enter, leaving the field
// after typing, Zero) goes to the host with SetOEMDRO. A host value shown by a refresh is never
// written back.
//
// The frame starts disabled and is enabled only by the poll pass that finds the host out of
// reset. Binding: receives the script object and the update thread, is registered for polling.
class TAxisDRO : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAxisDRO)

public:
    static constexpr int ReferencedWaitMs = 450;

    explicit TAxisDRO(PlatformServices& platform, QWidget* parent = nullptr);
    ~TAxisDRO() override;

    QString DroAxis() const { return m_droAxis; }
    // Label "&" + text; a known first letter also sets the DRO code. Empty: range error.
    void SetDroAxis(const QString& axis);

    int MachDROnum() const { return m_droNum; }
    void SetMachDROnum(int code) { m_droNum = code; }

    // The host connection whose StatusMessage carries the referencing messages (not owned).
    void SetHostConnection(TCMach4Wrapper* hostConnection);

    // Enabled state of the frame and every part together.
    void Enable(bool enabled);
    bool EnabledFlag() const { return m_enabled; }

    // Shows the DRO's value with the value-changed handler detached. Without a reference the
    // first form does nothing.
    void RefreshFromHost();
    void RefreshFromHost(IMyScriptObject& mach);

    // The field's value-changed handler: the field's value to the host when bound.
    void eDROValueChanged();
    // Zero: field := 0, then the handler once more (so 0 reaches the host even when the
    // field already showed 0). Raises the host's errors.
    void Zero();
    // Referencing the axis; returns when the host reports the motion has stopped.
    void Reference();

    TNumericEdit* Field() const { return m_eDRO; }
    QLabel* Label() const { return m_label; }
    QPushButton* ZeroButton() const { return m_btnZero; }
    QPushButton* RefButton() const { return m_btnRef; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // With a reference: refresh from host (the frame stays disabled until the next poll pass).
    // Without one: disabled.
    void IMachAssigned() override;

private:
    void OperatorAction(const std::function<void()>& action);
    void ReferenceWaitLoop();

    PlatformServices& m_platform;
    QPointer<TCMach4Wrapper> m_hostConnection;
    TNumericEdit* m_eDRO;
    QLabel* m_label;
    QPushButton* m_btnZero;
    QPushButton* m_btnRef;
    QString m_droAxis;
    int m_droNum = 0;
    bool m_enabled = false;
};
