#pragma once

#include <QWidget>

class QMenu;
class TDROspeed;
class TLayoutStorage;
class TScalar;
class tMachSpindleButton;
class tMachToggleButton;
struct PlatformServices;

// The spindle window (title "SpindleForm"): a CW/CCW direction button, the spindle speed frame
// (DRO 817) and the spindle start/stop button, whose lamp follows "Spindle is Running".
//
// The direction button only flips its own state ("CW" toggled, "CCW" not); nothing goes to the
// host. A click on the spindle button sends, through its script object, "M5" while the spindle
// runs, else "M3" (CW) or "M4" (CCW); with the speed at 0 and the spindle stopped it warns
// "Spindle Speed is Zero, Set Speed" and sends nothing. Unbound, neither button does anything.
// Its layout section is "Desktop\SpindleForm". UI thread only.
class TSpindleForm final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSpindleForm)

public:
    static const QString Section;

    // `platform` must outlive the window.
    explicit TSpindleForm(PlatformServices& platform, QWidget* parent = nullptr);
    ~TSpindleForm() override;

    tMachToggleButton* btnCW() const { return m_btnCW; }
    TDROspeed* spdSpindle() const { return m_spdSpindle; }
    tMachSpindleButton* btnSpindle() const { return m_btnSpindle; }
    TScalar& Scalar1() const { return *m_scalar; }
    QMenu* ScaleMenu() const { return m_scaleMenu; }

    void btnCWClick();
    // Raises the host's error.
    void btnSpindleClick();

    // Each selects the window's section. Write: "Left", "Top", "Width", "Height",
    // "ScalarSetting", "WindowState". Read: "Left" and "Top" (defaulting to the current
    // position), then "WindowState"; the size is never read.
    void WriteDesktop(TLayoutStorage& store) const;
    void ReadDesktop(TLayoutStorage& store);

private:
    PlatformServices& m_platform;
    tMachToggleButton* m_btnCW;
    TDROspeed* m_spdSpindle;
    tMachSpindleButton* m_btnSpindle;
    TScalar* m_scalar;
    QMenu* m_scaleMenu;
};
