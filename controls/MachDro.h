#pragma once

#include "host/MachBinding.h"
#include "host/MachConstants.h"

#include <QLineEdit>

#include <functional>

class IMessageBoxes;
struct PlatformServices;

// A validating numeric field: it holds a number and shows it with a fixed number of decimals.
//
// Its value-changed handler runs when the value is set by code (also by a host refresh) and
// when the keyboard focus leaves the field, each time only if the text differs from the text
// at the previous value-changed event; typing alone does not run it. While the handler is
// detached the field still records each changed text, so a value shown by a refresh counts as
// reported and leaving the field afterwards does not send it back.
//
// Focus that comes and goes with the window's activation (switching to another program, a
// pop-up menu) is not a focus change here: the operator has not left the field. Nor does a
// field that loses the focus because it was disabled (the host went into reset) report the
// text typed into it: that text was never confirmed.
//
// A handler run by the focus leaving is an operator action: its error is shown in the
// standard error box. A handler run by SetValue raises its error to the caller.
class TNumericEdit : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNumericEdit)

public:
    using Handler = std::function<void()>;

    explicit TNumericEdit(IMessageBoxes& boxes, QWidget* parent = nullptr);

    // The number the text reads as; text that reads as no number counts as 0.
    double Value() const;
    // Shows `value` in the display format, then runs the value-changed event.
    void SetValue(double value);

    // Decimals shown; 0 shows and accepts whole numbers only.
    int Decimals() const { return m_decimals; }
    void SetDecimals(int decimals);
    // When set, the value 0 shows as an empty field.
    bool ZeroShownEmpty() const { return m_zeroShownEmpty; }
    void SetZeroShownEmpty(bool empty);
    QString FormatValue(double value) const;

    void SetOnValueChanged(Handler handler) { m_onValueChanged = std::move(handler); }

    // Detaches the value-changed handler for its lifetime.
    class DetachedValueChanged
    {
    public:
        explicit DetachedValueChanged(TNumericEdit& edit) : m_edit(edit) { ++m_edit.m_detached; }
        ~DetachedValueChanged() { --m_edit.m_detached; }
        DetachedValueChanged(const DetachedValueChanged&) = delete;
        DetachedValueChanged& operator=(const DetachedValueChanged&) = delete;

    private:
        TNumericEdit& m_edit;
    };

Q_SIGNALS:
    // The operator moved the focus into / out of the field.
    void FocusEntered();
    void FocusLeft();
    // A key was pressed in the field, before the field handles it.
    void KeyPressed(int key);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateValidator();
    void RaiseValueChanged();

    IMessageBoxes& m_boxes;
    Handler m_onValueChanged;
    QString m_eventText;
    double m_shownValue = 0.0;
    int m_decimals = 4;
    int m_detached = 0;
    bool m_hasShownValue = false;
    bool m_zeroShownEmpty = false;
};

// A numeric field bound to one OEM DRO kind. It has no host reference of its own and never
// writes to the host: each poll pass enables it when the host is out of reset and, unless it
// has the focus, shows the DRO's value with its value-changed handler attached, so the owning
// window sees every change of the host value.
//
// Binding: receives nothing, is registered for polling.
class TMachDro final : public TNumericEdit, public IMachBindable, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachDro)

public:
    explicit TMachDro(PlatformServices& platform, QWidget* parent = nullptr);

    TmcOEMDROtype OEMDrotype() const { return m_kind; }
    // Stores the kind and its host code; a kind outside the enumeration raises a range error.
    void SetOEMDrotype(TmcOEMDROtype kind);
    int DroCode() const { return m_droCode; }

    MachBindingRow BindingRow() const override;
    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                  TMachUpdateThread* thread) override;
    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

private:
    TmcOEMDROtype m_kind = odtNONE;
    int m_droCode = 0;
};

// Sets `widget` enabled or disabled only when that changes its own setting, so that a poll
// pass that finds nothing new touches no widget.
void SetEnabledIfChanged(QWidget& widget, bool enabled);
