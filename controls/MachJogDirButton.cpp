#include "controls/MachJogDirButton.h"

#include "host/HostCallGate.h"
#include "host/Mach4_TLB.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>

#include <array>
#include <exception>

namespace {

Q_LOGGING_CATEGORY(lcJog, "zentyr.jog")

struct MovementRow
{
    const char* caption;
    int code;
};

// In ordinal order. The blank before "X-" is part of the caption.
constexpr std::array<MovementRow, JogMovementCount> Movements{{
    {" X-", OEMButtonCodeOf(obtPush_to_jog_X_Minus)},
    {"X+", OEMButtonCodeOf(obtPush_to_jog_X_Plus)},
    {"Y-", OEMButtonCodeOf(obtPush_to_jog_Y_Minus)},
    {"Y+", OEMButtonCodeOf(obtPush_to_jog_Y_Plus)},
    {"Z-", OEMButtonCodeOf(obtPush_to_jog_Z_Minus)},
    {"Z+", OEMButtonCodeOf(obtPush_to_jog_Z_Plus)},
    {"A-", OEMButtonCodeOf(obtPush_to_jog_A_Minus)},
    {"A+", OEMButtonCodeOf(obtPush_to_jog_A_Plus)},
}};

// The direction menu's items, in ordinal order; item k sets ordinal k.
constexpr std::array<const char*, JogMovementCount> MenuItems{
    "X-", "X+", "Y-", "Y+", "Z-", "Z+", "A-", "A+"};

const MovementRow& RowOf(tJogMovement movement)
{
    return Movements.at(static_cast<std::size_t>(movement));
}

}  // namespace

QString JogMovementCaption(tJogMovement movement)
{
    return QString::fromLatin1(RowOf(movement).caption);
}

int JogMovementCode(tJogMovement movement)
{
    return RowOf(movement).code;
}

std::optional<tJogMovement> JogMovementOfOrdinal(int ordinal)
{
    if (ordinal < 0 || ordinal >= JogMovementCount)
        return std::nullopt;
    return static_cast<tJogMovement>(ordinal);
}

TMachJogDirButton::TMachJogDirButton(PlatformServices& platform, QWidget* parent)
    : tMachOEMButton(platform, parent),
      m_mouseButtons([] { return QGuiApplication::mouseButtons(); })
{
    resize(25, 18);
    QFont face(QStringLiteral("Tahoma"));
    face.setPointSize(6);
    setFont(face);
    SetJogMovement(jmXplus);
    m_holdWatch.setInterval(HoldWatchIntervalMs);
    connect(&m_holdWatch, &QTimer::timeout, this, [this] { CheckMouseHold(); });
}

// A jog held while the button goes must not keep the machine moving. No error may leave a
// destructor, so a failing Stop is only logged here. A button that goes while a host call
// waits sends its Stop once that call has ended.
TMachJogDirButton::~TMachJogDirButton()
{
    if (!m_jogInProgress)
        return;
    m_jogInProgress = false;
    WhenNoHostCall(QCoreApplication::instance(), [target = m_jogTarget] {
        try {
            if (target)
                target->DoOEMButton(StopButton);
        } catch (const std::exception& error) {
            qCWarning(lcJog) << "Stop of the jog held while its button closed failed:"
                             << error.what();
        } catch (...) {
            qCWarning(lcJog) << "Stop of the jog held while its button closed failed";
        }
    });
}

void TMachJogDirButton::SetJogMovement(tJogMovement movement)
{
    const MovementRow& row = RowOf(movement);
    m_movement = movement;
    m_jogCode = row.code;
    setText(QString::fromLatin1(row.caption));
}

void TMachJogDirButton::ShowDirectionMenu(const QPoint& globalPos)
{
    if (!m_directionMenu) {
        m_directionMenu = new QMenu(this);
        m_directionMenu->setObjectName(QStringLiteral("DirectionMenu"));
        for (int ordinal = 0; ordinal < JogMovementCount; ++ordinal) {
            QAction* item = m_directionMenu->addAction(
                QString::fromLatin1(MenuItems.at(static_cast<std::size_t>(ordinal))));
            item->setData(ordinal);
            connect(item, &QAction::triggered, this, [this, ordinal] {
                Guarded([this, ordinal] {
                    SetJogMovement(static_cast<tJogMovement>(ordinal));
                    tMachOEMButton::Click();
                });
            });
        }
    }
    m_directionMenu->popup(globalPos);
}

MachBindingRow TMachJogDirButton::BindingRow() const
{
    return MachBindingRow{.receivesScriptObject = true,
                          .receivesUpdateThread = false,
                          .registersForPolling = false};
}

void TMachJogDirButton::BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                                 TMachUpdateThread*)
{
    SetIMach(iMach);
}

void TMachJogDirButton::PressJog(bool byMouse)
{
    // A new press ends whatever the watch did for an earlier one.
    m_stoppedByWatch = false;
    Q_EMIT Entered();
    if (!m_iMach || m_jogCode <= 0)
        return;
    const std::shared_ptr<IMyScriptObject> mach = m_iMach;
    if (!mach->GetOEMLed(JoggingEnabledLed))
        return;
    mach->DoOEMButton(MachInt16(m_jogCode));
    if (!m_jogContinuous)
        return;
    m_jogInProgress = true;
    m_jogTarget = mach;
    if (byMouse)
        m_holdWatch.start();
}

void TMachJogDirButton::ReleaseJog()
{
    m_holdWatch.stop();
    m_jogInProgress = false;
    if (m_stoppedByWatch) {
        m_stoppedByWatch = false;
        return;
    }
    if (m_iMach && m_jogCode > 0 && m_jogContinuous)
        m_iMach->DoOEMButton(StopButton);
}

void TMachJogDirButton::StopRunawayJog()
{
    m_holdWatch.stop();
    m_heldMouseButtons = Qt::NoButton;
    if (!m_jogInProgress)
        return;
    m_jogInProgress = false;
    m_stoppedByWatch = true;
    const std::shared_ptr<IMyScriptObject> target = m_jogTarget;
    // Focus, activation and the hold watch also arrive while a host call waits for its answer;
    // the Stop then follows that call instead of being refused, also when this button has
    // gone by then.
    WhenNoHostCall(QCoreApplication::instance(), [self = QPointer<TMachJogDirButton>(this), target] {
        const auto stop = [target] {
            if (target)
                target->DoOEMButton(StopButton);
        };
        if (self) {
            self->Guarded(stop);
            return;
        }
        try {
            stop();
        } catch (const std::exception& error) {
            qCWarning(lcJog) << "Stop of a runaway jog failed:" << error.what();
        }
    });
}

void TMachJogDirButton::CheckMouseHold()
{
    if (m_heldMouseButtons == Qt::NoButton) {
        m_holdWatch.stop();
        return;
    }
    const QWidget* grabber = QWidget::mouseGrabber();
    const bool stillHeld = (m_mouseButtons() & m_heldMouseButtons) != Qt::NoButton;
    if (!stillHeld || (grabber && grabber != this))
        StopRunawayJog();
}

void TMachJogDirButton::SetMouseButtonsProbe(std::function<Qt::MouseButtons()> probe)
{
    m_mouseButtons = probe ? std::move(probe)
                           : std::function<Qt::MouseButtons()>(
                                 [] { return QGuiApplication::mouseButtons(); });
}

bool TMachJogDirButton::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::UngrabMouse)
        StopRunawayJog();
    return tMachOEMButton::event(event);
}

// The jog goes out before the button draws its pressed state, so the host hears of it first.
void TMachJogDirButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::RightButton)
        return;
    // The focus comes first, so the owner's focus handler has set the jog mode.
    if (!hasFocus() && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason);
    m_heldMouseButtons |= event->button();
    Guarded([this] { PressJog(true); });
    if (event->button() == Qt::LeftButton)
        QPushButton::mousePressEvent(event);
}

void TMachJogDirButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::RightButton) {
        const QPoint at = event->globalPosition().toPoint();
        Guarded([this, at] { ShowDirectionMenu(at); });
        return;
    }
    m_heldMouseButtons.setFlag(event->button(), false);
    Guarded([this] { ReleaseJog(); });
    // A left release over the button completes an ordinary click.
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
}

void TMachJogDirButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        Guarded([this] { PressJog(false); });
    tMachOEMButton::keyPressEvent(event);
}

void TMachJogDirButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        Guarded([this] { ReleaseJog(); });
    tMachOEMButton::keyReleaseEvent(event);
}

void TMachJogDirButton::focusInEvent(QFocusEvent* event)
{
    tMachOEMButton::focusInEvent(event);
    Q_EMIT Entered();
}

void TMachJogDirButton::focusOutEvent(QFocusEvent* event)
{
    StopRunawayJog();
    tMachOEMButton::focusOutEvent(event);
}

void TMachJogDirButton::hideEvent(QHideEvent* event)
{
    StopRunawayJog();
    tMachOEMButton::hideEvent(event);
}

// The right button has its own menu; no parent shows one for it.
void TMachJogDirButton::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}
