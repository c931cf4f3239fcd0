#pragma once

#include "controls/MachButtonBase.h"
#include "controls/MachHostBinding.h"
#include "host/MachConstants.h"

#include <memory>

class IMyScriptObject;
class TMachUpdateThread;

// A two-state button. The state changes only by SetToggled (from the host's LED through the
// poll pass, or from the owning window's code); a click never flips it.
//
// Toggle display rule: setting the value it already has does nothing. Otherwise the image
// index becomes ToggleOnImageIndex or ToggleOffImageIndex; and when the button has no image
// list or both indexes are -1, the caption becomes CaptionOn or CaptionOff, unless that text
// is empty (then the caption stays).
class TsToggleButton : public TSkinnedButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TsToggleButton)

public:
    explicit TsToggleButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~TsToggleButton() override;

    bool Toggled() const { return m_toggled; }
    void SetToggled(bool toggled);

    int ToggleOnImageIndex() const { return m_onImageIndex; }
    void SetToggleOnImageIndex(int index) { m_onImageIndex = index; }
    int ToggleOffImageIndex() const { return m_offImageIndex; }
    void SetToggleOffImageIndex(int index) { m_offImageIndex = index; }
    QString CaptionOn() const { return m_captionOn; }
    void SetCaptionOn(const QString& caption) { m_captionOn = caption; }
    QString CaptionOff() const { return m_captionOff; }
    void SetCaptionOff(const QString& caption) { m_captionOff = caption; }

private:
    QString m_captionOn;
    QString m_captionOff;
    int m_onImageIndex = -1;
    int m_offImageIndex = -1;
    bool m_toggled = false;
};

// Presses an OEM button and shows an OEM LED as its state. Bound, a click presses the button
// (not for obtNONE) and raises the click event; unbound it does nothing at all. Each poll pass
// enables it out of reset and, when its LED code is not 0 and the LED differs from its state,
// takes the LED's state; with oltNONE it keeps what its window gives it.
class tMachToggleButton : public TsToggleButton, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachToggleButton)

public:
    explicit tMachToggleButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachToggleButton() override;

    // Stores the reference; enables the button with one and disables it without.
    void setIMach(std::shared_ptr<IMyScriptObject> iMach) { SetIMach(std::move(iMach)); }

    // Stored flag; no behaviour depends on it.
    bool locked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }

    TmcOEMButtontype OEMButtonType() const { return m_buttonKind; }
    // Stores the kind and its host code; a kind outside the table raises and changes nothing.
    void SetOEMButtonType(TmcOEMButtontype kind);
    int ButtonCode() const { return m_buttonCode; }

    TmcOEMLEDtype OEMLEDtype() const { return m_ledKind; }
    // Stores the kind and its host code; a kind outside the table raises and changes nothing.
    void SetOEMLEDtype(TmcOEMLEDtype kind);
    int LEDCode() const { return m_ledCode; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    void Click() override;

private:
    TmcOEMButtontype m_buttonKind = obtNONE;
    TmcOEMLEDtype m_ledKind = oltNONE;
    int m_buttonCode = 0;
    int m_ledCode = 0;
    bool m_locked = false;
};

// The spindle start/stop toggle: Spindle actual Toggle (182) shown by Spindle is Running (116),
// captioned "Spin&dle". The spindle window sends its own spindle command from the click event.
class tMachSpindleButton final : public tMachToggleButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachSpindleButton)

public:
    explicit tMachSpindleButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachSpindleButton() override;
};

// A labelled indicator showing one OEM LED; it never acts on the host. It looks like a field
// rather than a button: drawn permanently pressed, caption left-aligned, no focus rectangle,
// not a tab stop (a click still gives it the focus, which is how its window selects it).
//
// It is not bound by window binding: the window that creates it calls setIMach and registers
// it. Each poll pass sets its state from its LED, also for oltNONE (code 0), and leaves the
// enabled state alone. A click raises the click event, bound or not. Right-click edits caption
// and LED kind.
class tMachLEDLabeled final : public TsToggleButton, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachLEDLabeled)

public:
    explicit tMachLEDLabeled(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachLEDLabeled() override;

    void setIMach(std::shared_ptr<IMyScriptObject> iMach);
    const std::shared_ptr<IMyScriptObject>& iMach() const { return m_iMach; }

    bool locked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }

    TmcOEMLEDtype OEMLEDtype() const { return m_ledKind; }
    // Stores the kind and its host code; a kind outside the table raises and changes nothing.
    void SetOEMLEDtype(TmcOEMLEDtype kind);
    int LEDCode() const { return m_ledCode; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    bool HasFunctionDialog() const override { return true; }
    void EditFunction() override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<IMyScriptObject> m_iMach;
    TmcOEMLEDtype m_ledKind = oltNONE;
    int m_ledCode = 0;
    bool m_locked = false;
};
