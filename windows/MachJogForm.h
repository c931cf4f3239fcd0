#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QMenu;
class TDROspeed;
class TJogPct;
class TLayoutStorage;
class TMachJogDirButton;
class TScalar;
struct PlatformServices;

// The jog window "Jog Controls": the jog mode frame at the top, the jog speed frame in the
// middle, and six jog direction buttons around a drawing of the X, Y and Z axes. Each button
// can be given any of the eight directions through its right-click menu; the six directions
// are kept in the desktop layout's section "Desktop\JogForm" ("Jog1" to "Jog6", the ordinals),
// and are stored at program end even when the operator never saves the layout.
//
// Whenever a direction button receives the focus or is about to act on a press while the
// frame shows jogging enabled, it takes the frame's continuous-jog state as its JogContinuous.
// The hidden "Scale" menu's shortcuts (Ctrl+Alt+F12, Ctrl+Alt+F11, Ctrl+Alt+=) work while the
// window is active. UI thread only.
class TJogForm final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TJogForm)

public:
    static const QString Section;
    static constexpr int ButtonCount = 6;

    // `platform` must outlive the window.
    explicit TJogForm(PlatformServices& platform, QWidget* parent = nullptr);
    ~TJogForm() override;

    TJogPct* JogPct1() const { return m_jogPct; }
    TDROspeed* DROspeed1() const { return m_droSpeed; }
    QFrame* sPanel1() const { return m_panel; }
    QLabel* Image1() const { return m_image; }
    // MachJogDirButton1 to MachJogDirButton6.
    TMachJogDirButton* MachJogDirButton(int number) const;
    TScalar& Scalar1() const { return *m_scalar; }
    QMenu* ScaleMenu() const { return m_scaleMenu; }

    // The shared focus handler of the six direction buttons.
    void MachJogDirButton6Enter(TMachJogDirButton* sender);

    // Each selects the window's section. Write: "Left", "Top", "WindowState", "ScalarSetting",
    // then "Jog6" down to "Jog1". Read: position and size (each defaulting to the current
    // one), the window state, then "Jog6" down to "Jog1"; an ordinal outside 0 to 7 leaves
    // that button as it is. StoreDirections writes "Jog6" to "Jog1" only.
    void WriteDesktop(TLayoutStorage& store) const;
    void ReadDesktop(TLayoutStorage& store);
    void StoreDirections(TLayoutStorage& store) const;

private:
    void WriteDirections(TLayoutStorage& store) const;

    TJogPct* m_jogPct;
    TDROspeed* m_droSpeed;
    QFrame* m_panel;
    QLabel* m_image;
    std::array<TMachJogDirButton*, ButtonCount> m_buttons{};
    TScalar* m_scalar;
    QMenu* m_scaleMenu;
};
