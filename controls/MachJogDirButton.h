#pragma once

#include "controls/MachButton.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QMenu;

// The axis and direction a jog direction button jogs. Layouts store the ordinal.
enum tJogMovement { jmXminus, jmXplus, jmYminus, jmYplus, jmZminus, jmZplus, jmAminus, jmAplus };
inline constexpr int JogMovementCount = 8;

// The caption a movement gives its button (" X-" keeps its leading blank) and the host's
// push-to-jog button code for it (307 to 314).
QString JogMovementCaption(tJogMovement movement);
int JogMovementCode(tJogMovement movement);
// The movement of a stored ordinal; nothing for one outside 0 to 7.
std::optional<tJogMovement> JogMovementOfOrdinal(int ordinal);

// A small push button that jogs one axis in one direction while it is held.
//
// A press (any mouse button but the right one, or a key-down of the space bar, auto-repeats
// included) asks the host whether jogging is enabled (OEM LED 83) and, when it is, presses the
// button's push-to-jog code. A release (of those mouse buttons, or of any key) presses Stop
// (1003) when JogContinuous is set, also after a press the host ignored; in step mode a release
// sends nothing. Without its own host reference, or with a jog code of 0 or less, the button
// sends nothing at all. Releasing the right mouse button opens the direction menu; choosing a
// direction sets JogMovement and then performs the inherited OEM-button click, which, as the
// inherited host reference stays unset and the kind is obtNONE, only raises the click event.
//
// No runaway jog: a continuous jog this button started is also stopped, with exactly one Stop,
// when the button loses the keyboard focus, when its window is deactivated, when its mouse
// press loses the mouse (another widget grabs it, or the release is delivered elsewhere), and
// when the button is hidden or destroyed while the jog is held. The release of a press whose
// jog was already stopped that way sends nothing more. Auto-repeated key releases (X11 sends
// them in release/press pairs while a key is held) never stop a jog; only the real release does.
//
// The owning window keeps JogContinuous in step with the host's jog mode from Entered, which is
// raised when the button receives the keyboard focus and again right before each press is
// acted on. UI thread only.
//
// Binding: receives the script object as its own reference; not registered for polling.
class TMachJogDirButton final : public tMachOEMButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachJogDirButton)

public:
    static constexpr int JoggingEnabledLed = OEMLEDCodeOf(oltJogging_Enabled);
    static constexpr int StopButton = OEMButtonCodeOf(obtStop);
    // How often a mouse-held jog checks that its press still holds the mouse.
    static constexpr int HoldWatchIntervalMs = 50;

    explicit TMachJogDirButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~TMachJogDirButton() override;

    tJogMovement JogMovement() const { return m_movement; }
    // Sets the caption and the jog code from the movement.
    void SetJogMovement(tJogMovement movement);
    int JogCode() const { return m_jogCode; }

    // The button's own host reference; the inherited one (tMachButton::iMach) is never set.
    const std::shared_ptr<IMyScriptObject>& iMach() const { return m_iMach; }
    void SetIMach(std::shared_ptr<IMyScriptObject> iMach) { m_iMach = std::move(iMach); }

    bool JogContinuous() const { return m_jogContinuous; }
    void SetJogContinuous(bool continuous) { m_jogContinuous = continuous; }

    // True from a continuous jog this button started until its Stop.
    bool JogInProgress() const { return m_jogInProgress; }

    // The direction menu; null until first used.
    QMenu* DirectionMenu() const { return m_directionMenu; }
    // Shows the direction menu at `globalPos`, creating it on first use.
    void ShowDirectionMenu(const QPoint& globalPos);

    // The hold watch: stops the jog of a mouse press that no longer holds the mouse. Runs every
    // HoldWatchIntervalMs while such a jog is held. `probe` tells which mouse buttons are down
    // (default: the application's own record of them).
    void CheckMouseHold();
    void SetMouseButtonsProbe(std::function<Qt::MouseButtons()> probe);

    MachBindingRow BindingRow() const override;
    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach, TMachUpdateThread* thread) override;

Q_SIGNALS:
    // The button received the keyboard focus, or is about to act on a press.
    void Entered();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void PressJog(bool byMouse);
    void ReleaseJog();
    // Stops a jog in progress on behalf of the watch; does nothing when none is.
    void StopRunawayJog();

    std::shared_ptr<IMyScriptObject> m_iMach;
    // The host the jog in progress went to; its Stop goes there too.
    std::shared_ptr<IMyScriptObject> m_jogTarget;
    QMenu* m_directionMenu = nullptr;
    QTimer m_holdWatch;
    std::function<Qt::MouseButtons()> m_mouseButtons;
    Qt::MouseButtons m_heldMouseButtons;
    tJogMovement m_movement = jmXplus;
    int m_jogCode = 0;
    bool m_jogContinuous = false;
    bool m_jogInProgress = false;
    // The watch stopped the jog of the press whose release is still to come.
    bool m_stoppedByWatch = false;
};
