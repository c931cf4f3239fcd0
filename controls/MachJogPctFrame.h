#pragma once

#include "controls/MachHostBinding.h"
#include "host/MachConstants.h"

#include <QFrame>

#include <array>
#include <memory>

class IMyScriptObject;
class QRadioButton;
class TMachUpdateThread;
class TNumericEdit;
class tMachToggleButton;
struct PlatformServices;

// True when `value` is at most the decimal number units / 10^decimals, judged on the exact
// values of both (the decimal is never rounded to a binary number first), so every compiler
// gives the same answer. NaN is never at most anything. `decimals` lies in 0 to 22.
bool AtMostDecimal(double value, int units, int decimals);

// The step-size button a host jog amount selects, 0 (rb1) to 4 (rb5): at most 0.00011 selects
// rb5, at most 0.0011 rb4, at most 0.011 rb3, at most 0.11 rb2, anything else rb1. The
// double nearest to 0.11 lies just above 0.11, so a host value of 0.11 selects rb1.
int JogStepIndexForAmount(double amount);

// The jog mode frame: shows and switches the host's jogging state. "Jogging Enabled" presses
// Jog mode Toggle (103) and shows LED 83; "Jog Continuous    " shows LED 14 and, while jogging
// is enabled, switches to step (205) when continuous and to continuous (204) otherwise; five
// radio buttons select step sizes 1 to 5 (265 to 269); a read-only field shows the jog
// increment (DRO 828).
//
// Binding stores the script object and, with one, checks the radio button of the host's jog
// amount (DRO 1; checking one that was not checked sends its step command), enables the frame
// and then hands the toggles the script object and registers the frame a second time and its
// two toggles, in that order. Bound without one, the frame is disabled and sends nothing.
// Each poll pass enables the frame out of reset and shows DRO 828; the radio buttons are never
// refreshed from the host.
//
// Binding: receives the script object and the update thread; registered for polling before it
// binds, so its own registrations follow that entry.
class TJogPct final : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TJogPct)

public:
    static constexpr int JogIncrementDro = OEMDROCodeOf(odtJog_Inc);
    static constexpr int JogAmountDro = OEMDROCodeOf(odtJog_Inc_Inc);
    static constexpr int FirstStepButton = OEMButtonCodeOf(obtSelect_Step_value_1);
    static constexpr int StepButtonCount = 5;
    static constexpr int JogModeContinuousButton = OEMButtonCodeOf(obtJog_mode_Continuous);
    static constexpr int JogModeStepButton = OEMButtonCodeOf(obtJog_mode_Step);

    explicit TJogPct(PlatformServices& platform, QWidget* parent = nullptr);
    ~TJogPct() override;

    // The number shown in eDRO, as a whole number (truncated toward zero).
    int Value() const;
    void SetValue(int value);

    tMachToggleButton* btnJogOn() const { return m_btnJogOn; }
    tMachToggleButton* btnJogCont() const { return m_btnJogCont; }
    // rb(1) to rb(5).
    QRadioButton* rb(int number) const;
    TNumericEdit* eDRO() const { return m_eDRO; }

    // Step size `number` (1 to 5): presses its step command when bound.
    void rbClick(int number);
    void btnJogContClick();

    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                  TMachUpdateThread* thread) override;
    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // With a reference: checks the radio button of the host's jog amount and enables the
    // frame; without one: disabled.
    void IMachAssigned() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    tMachToggleButton* AddToggle(PlatformServices& platform, const QString& name,
                                 const QString& caption, int top);

    PlatformServices& m_platform;
    tMachToggleButton* m_btnJogOn;
    tMachToggleButton* m_btnJogCont;
    std::array<QRadioButton*, StepButtonCount> m_rb{};
    TNumericEdit* m_eDRO;
};
