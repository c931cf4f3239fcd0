#pragma once

#include "controls/MachHostBinding.h"

#include <QFrame>
#include <QSpinBox>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QSlider;
struct PlatformServices;

// The whole-number spin field of a speed frame. Its value is its text read as a whole number;
// empty or unreadable text counts as the minimum. A value set by code is clamped to the range
// unless minimum and maximum are equal (then it is taken as it is). Only digits can be typed.
//
// The arrows (buttons, Up/Down keys, wheel) do not step the field themselves: they are handed
// to `onStep`, which decides what a step does, also at the ends of the range. A step sends the
// value to the host, so the wheel steps only a field that has the keyboard focus (and never
// gives it the focus), and PageUp/PageDown do nothing.
class TSpeedSpinEdit final : public QSpinBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSpeedSpinEdit)

public:
    explicit TSpeedSpinEdit(QWidget* parent = nullptr);

    int FieldValue() const;
    // Writes the field only when the value or the text it shows would change.
    void SetFieldValue(int value);
    int FieldMinimum() const { return m_min; }
    int FieldMaximum() const { return m_max; }
    void SetFieldRange(int minimum, int maximum);
    int Clamp(int value) const;

    std::function<void(int steps)> onStep;
    std::function<void()> onEnterReleased;
    std::function<void()> onFocusEntered;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    int valueFromText(const QString& text) const override;
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int m_min = 0;
    int m_max = 200;
};

// A frame that sets a whole-number host DRO (feed, rapid, spindle speed, jog speed) with a
// spin field and a slider, and shows the host's value. With DRO number 0 it is a local value
// control: slider and field follow each other and nothing goes to the host.
//
// Arrows and Enter apply the field (write it, re-read the DRO, select the text); typing alone
// sends nothing. A bound slider sends each position the operator moves it to and nothing else;
// the field shows the host's value from the next poll pass on. The poll pass never writes to
// the host and never moves the slider.
//
// Binding: receives the script object and the update thread (stored only), is registered for
// polling.
class TDROspeed : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDROspeed)

public:
    explicit TDROspeed(PlatformServices& platform, QWidget* parent = nullptr);
    ~TDROspeed() override;

    QString DROCaption() const { return m_caption; }
    void SetDROCaption(const QString& caption);
    int MachDROnum() const { return m_droNum; }
    void SetMachDROnum(int code) { m_droNum = code; }
    // The field's value; setting it clamps and neither moves the slider nor writes the host.
    int Value() const;
    void SetValue(int value);
    // The field's and the slider's maximum.
    int Max() const;
    void SetMax(int maximum);
    int Increment() const { return m_increment; }
    void SetIncrement(int increment) { m_increment = increment; }
    // Enabled state of frame, field, label and slider together.
    void Enable(bool enabled);
    bool SliderHeld() const { return m_sliderHeld; }

    // Bound only: field := whole part of the DRO; unless the slider is held, slider := field.
    void RefreshFromHost();
    // Bound only: the field to the host; then refresh and select the field's text.
    void Apply();

    // Operator actions; they raise the host's errors.
    void ArrowStep(int steps);
    void EnterReleased();
    void SliderMoved(int position);

    TSpeedSpinEdit* Field() const { return m_eDro; }
    QSlider* Slider() const { return m_slider; }
    QLabel* Label() const { return m_label; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // With a reference: enabled and refreshed from the host; without one: disabled.
    void IMachAssigned() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool IsBound() const { return iMach() && m_droNum != 0; }
    void SetSliderPosition(int position);
    void OperatorAction(const std::function<void()>& action);

    PlatformServices& m_platform;
    QLabel* m_label;
    TSpeedSpinEdit* m_eDro;
    QSlider* m_slider;
    QString m_caption;
    int m_droNum = 0;
    int m_increment = 1;
    std::optional<bool> m_enabled;
    bool m_sliderHeld = false;
};

// The whole part of a host value, truncated toward zero; a value beyond the integer range (or
// not a number) raises a range error.
int WholePartOfHostValue(double value);
