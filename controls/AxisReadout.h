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

// What the axis rows share: the position field with its label, the axis letter and DRO code,
// the host connection for status messages, and how the field follows and feeds the host and
// how the axis is referenced. The field's value-changed handler sends the field to the host; a
// host value shown by a refresh is never written back.
//
// Binding: receives the script object and the update thread, is registered for polling. With
// a reference the field is refreshed from the host; without one the row is disabled. Each poll
// pass enables the row out of reset and, unless the field has the focus, refreshes it.
class TAxisReadout : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAxisReadout)

public:
    // The pause between the end of a reference move and the report that the axis is referenced.
    static constexpr int ReferencedWaitMs = 450;

    ~TAxisReadout() override;

    QString DroAxis() const { return m_droAxis; }
    // Label "&" + text; a known first letter also sets the DRO code (and what the row takes
    // from the axis codes besides). Empty: range error.
    void SetDroAxis(const QString& axis);

    int MachDROnum() const { return m_droNum; }
    void SetMachDROnum(int code) { m_droNum = code; }

    // The host connection whose StatusMessage carries the referencing messages (not owned).
    void SetHostConnection(TCMach4Wrapper* hostConnection);

    // Enabled state of the row and every part together.
    virtual void Enable(bool enabled) = 0;

    // Shows the DRO's value with the value-changed handler detached. Without a reference the
    // first form does nothing.
    void RefreshFromHost();
    void RefreshFromHost(IMyScriptObject& mach);
    // The field's value-changed handler: the field's value to the host when bound.
    void eDROValueChanged();

    TNumericEdit* Field() const { return m_eDRO; }
    QLabel* Label() const { return m_label; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // Creates the field and its label, in that order, as the row's first children.
    TAxisReadout(PlatformServices& platform, QWidget* parent);

    void IMachAssigned() override;
    // The codes of a known axis letter, after SetDroAxis has taken the DRO code from them.
    virtual void AxisCodesChosen(const TAxisCodes& codes);
    // References the axis when bound: the status message, the axis's reference button, then a
    // wait until the host reports the motion stopped, the pause and the closing message. With
    // `followField` the field shows the position while the axis moves and once more at the end
    // (its DRO code is checked before anything is sent too). Returns early, touching nothing,
    // when the row is destroyed during the wait.
    void ReferenceAxis(bool followField);
    PlatformServices& Platform() const { return m_platform; }

private:
    PlatformServices& m_platform;
    QPointer<TCMach4Wrapper> m_hostConnection;
    TNumericEdit* m_eDRO;
    QLabel* m_label;
    QString m_droAxis;
    int m_droNum = 0;
};
