#pragma once

#include <QWidget>

class QPushButton;
class TAxisDRO;
class TCMach4Wrapper;
class TDROspeed;
class TLayoutStorage;
class TMachMDI;
class tMachCodeButton;
class tMachESTOPButton;
class tMachOEMButton;
class tMachToggleButton;
struct PlatformServices;

// The operator panel of the main window: the X, Y and Z readouts with ZERO and REF, the Feed
// and Rapid frames, the MDI line and the machine buttons (Stop, MACH/ABS, Flood, Mist, two
// user code buttons, E-stop/reset). Its host-bound controls are bound with the main window and
// stay disabled until then; while the host is in reset the poll pass disables all of them but
// the E-stop button.
class TMainPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainPanel)

public:
    static constexpr int PanelWidth = 328;
    static constexpr int PanelHeight = 191;

    TMainPanel(TCMach4Wrapper* wMach, PlatformServices& platform, QWidget* parent);

    // The two user code buttons' captions and codes, in the selected (main) section. Reading
    // takes the caption, then the code, each with the button's current value as default.
    void ReadCodeButtons(TLayoutStorage& store);
    void WriteCodeButtons(TLayoutStorage& store);

    void FocusEstop();

    // The zero action of the X, then the Y, then the Z readout, also while the host is in reset.
    // Raises the first host failure; the remaining axes are then left alone.
    void BtnZeroClick();
    // Home all axes: OEM button 105 through the host connection.
    void btnRefClick();

    TAxisDRO* xDro() const { return m_xDro; }
    TAxisDRO* yDro() const { return m_yDro; }
    TAxisDRO* zDro() const { return m_zDro; }
    QPushButton* BtnZero() const { return m_btnZero; }
    QPushButton* BtnRef() const { return m_btnRef; }
    TDROspeed* spdFeed() const { return m_spdFeed; }
    TDROspeed* spdRapid() const { return m_spdRapid; }
    TMachMDI* MachMDI1() const { return m_mdi; }
    tMachOEMButton* btnStop() const { return m_btnStop; }
    tMachToggleButton* btnMachCoords() const { return m_btnMachCoords; }
    tMachToggleButton* FloodButton() const { return m_flood; }
    tMachToggleButton* MistButton() const { return m_mist; }
    tMachCodeButton* CodeButton1() const { return m_code1; }
    tMachCodeButton* CodeButton2() const { return m_code2; }
    tMachESTOPButton* btnEstop() const { return m_btnEstop; }

private:
    TAxisDRO* AddAxis(QWidget* group, const QString& axis, int droCode, int top);
    TDROspeed* AddSpeed(QWidget* group, const QString& caption, int droCode, int top);
    tMachToggleButton* AddLampToggle(QWidget* group, const QString& caption, int left, int top);
    tMachCodeButton* AddCodeButton(QWidget* group, const QString& caption, int top);

    TCMach4Wrapper* m_wMach;
    PlatformServices& m_platform;
    TAxisDRO* m_xDro;
    TAxisDRO* m_yDro;
    TAxisDRO* m_zDro;
    QPushButton* m_btnZero;
    QPushButton* m_btnRef;
    TDROspeed* m_spdFeed;
    TDROspeed* m_spdRapid;
    TMachMDI* m_mdi;
    tMachOEMButton* m_btnStop;
    tMachToggleButton* m_btnMachCoords;
    tMachToggleButton* m_flood;
    tMachToggleButton* m_mist;
    tMachCodeButton* m_code1;
    tMachCodeButton* m_code2;
    tMachESTOPButton* m_btnEstop;
};
