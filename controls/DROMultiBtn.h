#pragma once

#include "controls/AxisReadout.h"

#include <optional>

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
// A known axis letter also sets the four lamp codes. Binding: receives the script object and
// the update thread, is registered for polling; it binds its four lamps and registers them with
// the update thread itself.
class TAxisMultiBtnDRO : public TAxisReadout
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAxisMultiBtnDRO)

public:
    explicit TAxisMultiBtnDRO(PlatformServices& platform, QWidget* parent = nullptr);
    ~TAxisMultiBtnDRO() override;

    int machDROnum() const { return MachDROnum(); }

    // True while this frame holds the update thread suspended.
    bool HoldsUpdateThread() const { return m_holdsThread; }

    // Enabled state of the frame, the field, the label and the four lamps together.
    void Enable(bool enabled) override;

    // Raises Click, then references the axis; returns when the host reports the motion stopped.
    void Reference();

    tMachLed* RefLed() const { return m_ref; }
    tMachLed* HomeLed() const { return m_limitHome; }
    tMachLed* MinusLimitLed() const { return m_limitMinus; }
    tMachLed* PlusLimitLed() const { return m_limitPlus; }

    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                  TMachUpdateThread* thread) override;

Q_SIGNALS:
    void Click();

protected:
    void AxisCodesChosen(const TAxisCodes& codes) override;

private:
    void HoldUpdateThread();
    void ReleaseUpdateThread();

    tMachLed* m_ref;
    tMachLed* m_limitHome;
    tMachLed* m_limitMinus;
    tMachLed* m_limitPlus;
    // Unknown until the first Enable: the form data leaves the frame enabled, its field not.
    std::optional<bool> m_enabled;
    bool m_holdsThread = false;
};
