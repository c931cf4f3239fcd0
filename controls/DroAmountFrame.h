#pragma once

#include "controls/MachHostBinding.h"
#include "host/MachConstants.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QSlider;
struct PlatformServices;

// The decimal spin field of an amount frame: fixed-point with its number of decimals, its
// value read from its text (unreadable text counts as the minimum), clamped when set unless
// minimum and maximum are equal. Every change of its text is reported to `onTextChanged`,
// with whether the operator typed it (as opposed to an arrow step or code). A change applies to
// the host, so the wheel steps the field only while it has the keyboard focus (and never gives
// it the focus), and PageUp/PageDown do nothing.
class TAmountSpinEdit final : public QDoubleSpinBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAmountSpinEdit)

public:
    explicit TAmountSpinEdit(QWidget* parent = nullptr);

    double FieldValue() const;
    // Writes the field only when the value or the text it shows would change. While the
    // operator types in the field, a value equal to what the text reads leaves the text as
    // typed (no reformatting under the caret). Returns whether the text changed; a change
    // made here is not reported to `onTextChanged`.
    bool SetFieldValue(double value);
    double FieldMinimum() const { return m_min; }
    double FieldMaximum() const { return m_max; }
    void SetFieldRange(double minimum, double maximum);
    double Clamp(double value) const;

    std::function<void(bool typed)> onTextChanged;

    void stepBy(int steps) override;

protected:
    double valueFromText(const QString& text) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double m_min = 0.0;
    double m_max = 100.0;
    bool m_settingByCode = false;
};

// A frame that sets a decimal host DRO with a spin field and a slider that works in units of
// 1/10000 of the value. Every change of the field's text applies: the value goes to the host
// (when bound), the DRO is read back into the field and, unless the operator holds the slider,
// the slider follows. With DRO number 0 it is a local value control.
//
// The read-back cannot start a second apply: a host whose value keeps changing would otherwise
// write and re-read without end. A poll pass that changes the shown text applies once, so the
// same value goes back to the host once; a local frame (DRO number 0) is left alone by the
// poll pass.
//
// Binding: receives the script object and the update thread (stored only), is registered for
// polling.
class TDroAmount : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDroAmount)

public:
    static constexpr double SliderUnitsPerValue = 10000.0;

    explicit TDroAmount(PlatformServices& platform, QWidget* parent = nullptr);
    ~TDroAmount() override;

    const std::shared_ptr<IMyScriptObject>& IMach() const { return iMach(); }

    TmcOEMDROtype MachOEMDroType() const { return m_kind; }
    // Stores the kind and sets MachDROnum from it; a kind outside the enumeration raises.
    void SetMachOEMDroType(TmcOEMDROtype kind);
    int MachDROnum() const { return m_droNum; }
    void SetMachDROnum(int code) { m_droNum = code; }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    double Value() const;
    // Sets the field by code; the change applies.
    void SetValue(double value);
    // The field's maximum; the slider's maximum becomes its whole part × 10000.
    double Max() const;
    void SetMax(double maximum);
    double Increment() const;
    void SetIncrement(double increment);
    int Decimals() const;
    void SetDecimals(int decimals);
    void Enable(bool enabled);
    bool SliderHeld() const { return m_sliderHeld; }

    // The slider position for a field value: whole part of value × 10000, kept within the
    // integers (not a number: 0).
    static int SliderPositionOf(double value);
    // The same whole part, unclamped.
    static double SliderUnitsOf(double value);

    void RefreshFromHost();
    void Apply();
    // Operator action; raises the host's errors.
    void SliderMoved(int position);

    TAmountSpinEdit* Field() const { return m_eDro; }
    QSlider* Slider() const { return m_slider; }
    QLabel* Label() const { return m_label; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // With a reference: enabled and refreshed from the host; without one: disabled.
    void IMachAssigned() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsBound() const { return iMach() && m_droNum != 0; }
    // Sets the field by code; when its text changed, the change applies (raising errors).
    void SetFieldByCode(double value);
    void FieldChanged(bool typed);
    void ApplyChange(bool selectText);
    void SetSliderPosition(int position);

    PlatformServices& m_platform;
    QFrame* m_bevel;
    QLabel* m_label;
    QSlider* m_slider;
    TAmountSpinEdit* m_eDro;
    QString m_caption;
    TmcOEMDROtype m_kind = odtNONE;
    int m_droNum = 0;
    std::optional<bool> m_enabled;
    bool m_sliderHeld = false;
    bool m_applying = false;
};
