#include "controls/MachJogDirButton.h"

#include "host/CMach4Wrapper.h"
#include "host/HostCallGate.h"
#include "host/MachUpdateThread.h"

#include "FakePlatform.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <optional>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

const QString JogEnabledQuery = S("GetOEMLed(83)");
const QString Stop = S("DoOEMButton(1003)");

// One X+ button on a window, bound to a recording host with jogging enabled. The hold watch
// reads `mouseDown` instead of the application's record of the mouse.
struct JogButtonFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    FakePlatform platform;
    QWidget window;
    QPointer<TMachJogDirButton> button = new TMachJogDirButton(platform.services, &window);
    Qt::MouseButtons mouseDown;

    void SetUp() override
    {
        StopRequested = true;
        host->leds[83] = true;
        button->BindMach(host, nullptr);
        button->SetMouseButtonsProbe([this] { return mouseDown; });
    }
    void TearDown() override { StopRequested = false; }

    void Press(Qt::MouseButton which = Qt::LeftButton)
    {
        mouseDown |= which;
        QTest::mousePress(button, which);
    }
    void Release(Qt::MouseButton which = Qt::LeftButton)
    {
        mouseDown.setFlag(which, false);
        QTest::mouseRelease(button, which);
    }
    void Key(QEvent::Type type, int key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(button, &event);
    }
    // Window shown and active, so that focus changes are real.
    bool Activate()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

}  // namespace

TEST(JogMovement, CaptionAndCodeOfEachDirection)
{
    const struct { tJogMovement movement; const char* caption; int code; } rows[] = {
        {jmXminus, " X-", 308}, {jmXplus, "X+", 307}, {jmYminus, "Y-", 310},
        {jmYplus, "Y+", 309},   {jmZminus, "Z-", 312}, {jmZplus, "Z+", 311},
        {jmAminus, "A-", 314},  {jmAplus, "A+", 313},
    };
    FakePlatform platform;
    TMachJogDirButton button(platform.services);
    EXPECT_EQ(button.text(), S("X+")) << "a new button jogs X+";
    EXPECT_EQ(button.size(), QSize(25, 18));
    for (const auto& row : rows) {
        button.SetJogMovement(row.movement);
        EXPECT_EQ(button.text(), S(row.caption));
        EXPECT_EQ(button.JogCode(), row.code);
        EXPECT_EQ(JogMovementOfOrdinal(int(row.movement)), row.movement);
    }
    EXPECT_EQ(JogMovementOfOrdinal(-1), std::nullopt);
    EXPECT_EQ(JogMovementOfOrdinal(8), std::nullopt);
}

// Press then release with each mouse button but the right one, in both modes, with jogging
// enabled or not, bound or not. Only a left release completes a click (which sends nothing).
TEST_F(JogButtonFixture, PressAndReleaseSendExactlyTheirCommands)
{
    const QStringList jogAndStop{JogEnabledQuery, S("DoOEMButton(307)"), Stop};
    const struct {
        bool continuous;
        bool jogging;
        bool bound;
        Qt::MouseButton mouse;
        QStringList journal;
    } rows[] = {
        {true, true, true, Qt::LeftButton, jogAndStop},
        {false, true, true, Qt::LeftButton, {JogEnabledQuery, S("DoOEMButton(307)")}},
        {true, false, true, Qt::LeftButton, {JogEnabledQuery, Stop}},
        {false, false, true, Qt::LeftButton, {JogEnabledQuery}},
        {true, true, true, Qt::MiddleButton, jogAndStop},
        {true, true, false, Qt::LeftButton, {}},
    };
    for (const auto& row : rows) {
        host->leds[83] = row.jogging;
        button->SetIMach(row.bound ? host : nullptr);
        button->SetJogContinuous(row.continuous);
        QSignalSpy clicks(button, &TSkinnedButton::ClickEvent);
        host->ClearJournal();
        StopRequested = true;
        Press(row.mouse);
        Release(row.mouse);
        EXPECT_EQ(host->journal, row.journal) << row.continuous << row.jogging << row.bound;
        EXPECT_EQ(clicks.count(), row.mouse == Qt::LeftButton ? 1 : 0);
        EXPECT_EQ(StopRequested, row.mouse != Qt::LeftButton)
            << "the inherited click clears a pending stop request";
    }

    button->SetJogMovement(jmXminus);
    button->SetIMach(host);
    host->ClearJournal();
    Press();
    EXPECT_EQ(host->journal.last(), S("DoOEMButton(308)"));
}

// Each space key-down jogs (auto-repeats too); X11 auto-repeat releases never stop a jog, the
// real release of any key does in continuous mode; other keys never jog.
TEST_F(JogButtonFixture, KeysJogOnSpaceAndStopOnTheRealRelease)
{
    const QString jog = S("DoOEMButton(307)");
    button->SetJogContinuous(false);
    Key(QEvent::KeyPress, Qt::Key_Space);
    for (int repeat = 0; repeat < 3; ++repeat) {
        Key(QEvent::KeyRelease, Qt::Key_Space, true);
        Key(QEvent::KeyPress, Qt::Key_Space, true);
    }
    Key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(host->Calls(S("DoOEMButton")), QStringList(4, jog)) << "step mode: one per key-down";

    button->SetJogContinuous(true);
    host->ClearJournal();
    Key(QEvent::KeyPress, Qt::Key_Space);
    Key(QEvent::KeyRelease, Qt::Key_Space, true);
    Key(QEvent::KeyPress, Qt::Key_Space, true);
    EXPECT_EQ(host->Calls(S("DoOEMButton")), QStringList(2, jog)) << "no Stop while held";
    Key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(host->Calls(S("DoOEMButton")), (QStringList{jog, jog, Stop}));

    host->ClearJournal();
    Key(QEvent::KeyPress, Qt::Key_A);
    EXPECT_TRUE(host->journal.isEmpty());
    Key(QEvent::KeyRelease, Qt::Key_A);
    EXPECT_EQ(host->journal, QStringList{Stop});
}

// The right button opens the direction menu and sends nothing; choosing "A-" turns the button
// into A- and performs the inherited click, which only raises the click event.
TEST_F(JogButtonFixture, RightClickMenuChangesTheDirection)
{
    button->SetJogContinuous(true);
    QSignalSpy clicks(button, &TSkinnedButton::ClickEvent);
    EXPECT_EQ(button->DirectionMenu(), nullptr);
    Press(Qt::RightButton);
    Release(Qt::RightButton);
    QMenu* menu = button->DirectionMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList items;
    for (QAction* item : menu->actions())
        items.append(item->text());
    EXPECT_EQ(items, (QStringList{S("X-"), S("X+"), S("Y-"), S("Y+"), S("Z-"), S("Z+"), S("A-"),
                                  S("A+")}));
    EXPECT_TRUE(host->journal.isEmpty());
    EXPECT_EQ(clicks.count(), 0);

    menu->actions().at(6)->trigger();
    menu->close();
    EXPECT_EQ(button->text(), S("A-"));
    EXPECT_EQ(button->JogCode(), 314);
    EXPECT_EQ(button->JogMovement(), jmAminus);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(StopRequested);
    EXPECT_TRUE(host->journal.isEmpty());

    Press(Qt::RightButton);
    Release(Qt::RightButton);
    EXPECT_EQ(button->DirectionMenu(), menu) << "created once";
    menu->close();
}

// A continuous jog held while the button loses the focus, its window is deactivated, another
// widget takes the mouse, the release goes elsewhere, or the button is hidden or destroyed is
// stopped exactly once; its later release sends nothing more. A step jog is never stopped. When
// that happens while a host call waits, the Stop follows the call.
TEST_F(JogButtonFixture, HeldContinuousJogIsStoppedOnceWhenTheButtonLosesIt)
{
    ASSERT_TRUE(Activate());
    auto* other = new QPushButton(S("other"), &window);
    other->show();
    const struct { const char* name; std::function<void()> lose; } cases[] = {
        {"focus", [&] { other->setFocus(Qt::TabFocusReason); }},
        {"deactivated", [&] {
             QEvent deactivate(QEvent::WindowDeactivate);
             QApplication::sendEvent(&window, &deactivate);
         }},
        {"grab", [&] {
             other->grabMouse();
             button->CheckMouseHold();
             other->releaseMouse();
         }},
        {"release elsewhere", [&] {
             mouseDown = Qt::NoButton;
             button->CheckMouseHold();
         }},
        {"hidden", [&] { button->hide(); }},
        {"destroyed", [&] { delete button.data(); }},
    };
    for (const auto& c : cases) {
        for (const auto& [continuous, duringCall] :
             {std::pair{true, false}, std::pair{false, false}, std::pair{true, true}}) {
            delete button.data();
            button = new TMachJogDirButton(platform.services, &window);
            button->BindMach(host, nullptr);
            button->SetMouseButtonsProbe([this] { return mouseDown; });
            button->SetJogContinuous(continuous);
            button->show();
            button->setFocus();
            Press();
            host->ClearJournal();
            std::optional<HostCallScope> call;
            if (duringCall)
                call.emplace();
            c.lose();
            if (duringCall) {
                EXPECT_TRUE(host->journal.isEmpty()) << c.name << ": not under the waiting call";
                call.reset();
                QCoreApplication::processEvents();
            }
            EXPECT_EQ(host->journal, continuous ? QStringList{Stop} : QStringList())
                << c.name << (continuous ? "" : " (step mode)") << (duringCall ? " (waiting)" : "");
            if (button) {
                button->show();
                host->ClearJournal();
                Release();
                EXPECT_TRUE(host->journal.isEmpty()) << c.name;
            }
            mouseDown = Qt::NoButton;
        }
    }

    // No jog in progress: focus changes, hiding and destruction send nothing.
    host->ClearJournal();
    button = new TMachJogDirButton(platform.services, &window);
    button->BindMach(host, nullptr);
    button->SetJogContinuous(true);
    button->show();
    button->setFocus();
    other->setFocus();
    button->hide();
    delete button.data();
    EXPECT_TRUE(host->journal.isEmpty());
}

// The watch keeps a jog whose press still holds the mouse.
TEST_F(JogButtonFixture, HoldWatchKeepsAJogThatIsStillHeld)
{
    button->SetJogContinuous(true);
    Press();
    host->ClearJournal();
    button->CheckMouseHold();
    EXPECT_TRUE(host->journal.isEmpty());
    EXPECT_TRUE(button->JogInProgress());
    Release();
    EXPECT_EQ(host->journal, QStringList{Stop});
}

// Binding hands the button its own reference and does not register it; the inherited
// OEM-button reference stays unset.
TEST(JogButtonBinding, BindWindowSetsOnlyTheButtonsOwnReference)
{
    auto host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents(host);
    FakePlatform platform;
    QWidget window;
    auto* button = new TMachJogDirButton(platform.services, &window);
    TCMach4Wrapper wMach(documents, platform.services, &window);
    wMach.SetConnected(true);
    ASSERT_TRUE(wMach.Connected());
    EXPECT_EQ(button->iMach(), wMach.iMach());
    EXPECT_EQ(static_cast<tMachButton*>(button)->iMach(), nullptr);
    EXPECT_FALSE(wMach.UpdateThread()->Registrations().contains(button));
    EXPECT_TRUE(button->isEnabled());
}
