#pragma once

#include "controls/MachHostBinding.h"

#include <QFrame>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class TCMach4Wrapper;
class TMachUpdateThread;
class TNumericEdit;
class tMachLed;
struct PlatformServices;

// An axis row framed by four lamps: referenced (above), minus and plus limit (left and right)
// and home (below). The field shows the host's DRO and sends what the operator enters, as the
// plain axis row does; while the operator works in the field the whole update thread is held,
// so nothing the pass does can interfere with the entry.
//
// The thread is held when the focus enters the field or a key is pressed in it, and let go on
// Enter and when the focus leaves. The frame lets go only of a hold it took itself: a thread
// that someone else suspended (a window rebuilding its controls) stays suspended until they
// resume it.
//
// Binding: receives the script object and the update thread, is registered for polling; it
// binds its four lamps and registers them with the update thread itself.
class TAxisMultiBtnDRO : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAxisMultiBtnDRO)

public:
    explicit TAxisMultiBtnDRO(PlatformServices& platform, QWidget* parent = nullptr);
    ~TAxisMultiBtnDRO() override;

    QString DroAxis() const { return m_droAxis; }
    // Label "&" + text; a known first letter also sets the DRO code and the four lamp codes.
    // Empty: range error.
    void SetDroAxis(const QString& axis);

    int machDROnum() const { return m_droNum; }
    void SetMachDROnum(int code) { m_droNum = code; }

    // The host connection whose StatusMessage carries the referencing messages (not owned).
    void SetHostConnection(TCMach4Wrapper* hostConnection);
    // True while this frame holds the update thread suspended.
    bool HoldsUpdateThread() const { return m_holdsThread; }

    // Enabled state of the frame, the field, the label and the four lamps together.
    void Enable(bool enabled);

    void RefreshFromHost();
    void RefreshFromHost(IMyScriptObject& mach);
    void eDROValueChanged();
    // Raises Click, then references the axis; returns when the host reports the motion stopped.
    void Reference();

    TNumericEdit* Field() const { return m_eDRO; }
    QLabel* Label() const { return m_label; }
    tMachLed* RefLed() const { return m_ref; }
    tMachLed* HomeLed() const { return m_limitHome; }
    tMachLed* MinusLimitLed() const { return m_limitMinus; }
    tMachLed* PlusLimitLed() const { return m_limitPlus; }

    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                  TMachUpdateThread* thread) override;
    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

Q_SIGNALS:
    void Click();

protected:
    // With a reference: refresh from host; without one: disabled.
    void IMachAssigned() override;

private:
    void HoldUpdateThread();
    void ReleaseUpdateThread();
    void ReferenceWaitLoop();

    PlatformServices& m_platform;
    QPointer<TCMach4Wrapper> m_hostConnection;
    TNumericEdit* m_eDRO;
    QLabel* m_label;
    tMachLed* m_ref;
    tMachLed* m_limitHome;
    tMachLed* m_limitMinus;
    tMachLed* m_limitPlus;
    QString m_droAxis;
    int m_droNum = 0;
    // Unknown until the first Enable: the form data leaves the frame enabled, its field not.
    std::optional<bool> m_enabled;
    bool m_holdsThread = false;
};
