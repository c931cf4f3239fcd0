#include "controls/MachLed.h"
#include "controls/TILed.h"
#include "platform/ZentyrError.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QSignalSpy>

namespace {

// Records the mouse releases and context menus that reach it from its children.
class RecordingParent : public QWidget
{
public:
    int releases = 0;
    int contextMenus = 0;

protected:
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
    void contextMenuEvent(QContextMenuEvent*) override { ++contextMenus; }
};

}  // namespace

TEST(TTILedTest, ColourTableForEveryColourAndState)
{
    struct Row
    {
        TLedColor color;
        bool on;
        QColor expected;
    };
    const Row rows[] = {
        {TLedColor::Green, true, QColor(0, 255, 0)},    {TLedColor::Green, false, QColor(0, 128, 0)},
        {TLedColor::Yellow, true, QColor(255, 255, 0)}, {TLedColor::Yellow, false, QColor(128, 128, 0)},
        {TLedColor::Red, true, QColor(255, 0, 0)},      {TLedColor::Red, false, QColor(128, 0, 0)},
    };
    TTILed led;
    for (const Row& row : rows) {
        // Set in both orders: either property recolours at once.
        led.SetLedOn(row.on);
        led.SetLedColor(row.color);
        EXPECT_EQ(led.Color(), row.expected) << int(row.color) << " on=" << row.on;
        led.SetLedOn(!row.on);
        led.SetLedColor(row.color);
        led.SetLedOn(row.on);
        EXPECT_EQ(led.Color(), row.expected) << int(row.color) << " on=" << row.on;
    }
}

TEST(TTILedTest, FreshLampIsDarkGreenWithItsDesignSizeAndSettings)
{
    TTILed led;
    EXPECT_FALSE(led.LedOn());
    EXPECT_EQ(led.LedColor(), TLedColor::Green);
    EXPECT_EQ(led.Color(), QColor(0, 128, 0));
    EXPECT_EQ(led.size(), QSize(28, 11));
    EXPECT_EQ(led.Caption(), QStringLiteral(" "));
    EXPECT_EQ(led.LedFadeSpeed(), 20);
    EXPECT_TRUE(led.LedSmoothFlash());
    EXPECT_EQ(led.LedDelayBeforeFade(), 100);
}

TEST(MachLedTest, KindSetsItsCodeAndAnOrdinalOutsideTheEnumerationIsRefused)
{
    tMachLed led;
    led.SetOEMLEDType(oltFlood);
    EXPECT_EQ(led.LedCode(), 13);
    led.SetOEMLEDType(oltDigitise_Out);
    EXPECT_EQ(led.LedCode(), 855);
    EXPECT_THROW(led.SetOEMLEDType(static_cast<TmcOEMLEDtype>(173)), ZentyrError);
    EXPECT_EQ(led.OEMLEDType(), oltDigitise_Out) << "a refused kind changes nothing";
    EXPECT_EQ(led.LedCode(), 855);
}

// The pass sets the lamp from the LED on every pass, also for code 0, and leaves the enabled
// state to the owner.
TEST(MachLedTest, PollPassFollowsTheLedWhateverTheCode)
{
    DisplaysHarness h;
    tMachLed led(&h.window);
    led.SetLedColor(TLedColor::Red);
    led.SetLedCode(836);
    led.setEnabled(false);

    h.host->leds[836] = true;
    led.PollRefresh(*h.host, true);
    EXPECT_EQ(led.Color(), QColor(255, 0, 0));
    EXPECT_FALSE(led.isEnabled());

    h.host->leds[836] = false;
    led.PollRefresh(*h.host, false);
    EXPECT_EQ(led.Color(), QColor(128, 0, 0));

    led.SetLedCode(0);
    h.host->leds[0] = true;
    led.PollRefresh(*h.host, false);
    EXPECT_TRUE(led.LedOn());
    EXPECT_EQ(h.Journal(), (QStringList{QStringLiteral("GetOEMLed(836)"),
                                        QStringLiteral("GetOEMLed(836)"),
                                        QStringLiteral("GetOEMLed(0)")}));
}

TEST(MachLedTest, BindingEnablesAndAnEmptyReferenceDisables)
{
    DisplaysHarness h;
    tMachLed led(&h.window);
    const MachBindingRow row = led.BindingRow();
    EXPECT_TRUE(row.receivesScriptObject);
    EXPECT_FALSE(row.receivesUpdateThread);
    EXPECT_TRUE(row.registersForPolling);

    led.BindMach(h.host, nullptr);
    EXPECT_TRUE(led.isEnabled());
    led.SetIMach(nullptr);
    EXPECT_FALSE(led.isEnabled());
}

TEST(MachLedTest, ImmediateRepaintReadsTheLampOnlyWhenBoundAndRefusesNegativeCodes)
{
    DisplaysHarness h;
    tMachLed led(&h.window);
    led.SetLedCode(13);
    h.host->leds[13] = true;

    led.Repaint();
    EXPECT_FALSE(led.LedOn()) << "unbound: no host read";
    EXPECT_TRUE(h.Journal().isEmpty());

    led.SetIMach(h.host);
    led.Repaint();
    EXPECT_TRUE(led.LedOn());

    led.SetLedCode(-1);
    h.host->leds[13] = false;
    try {
        led.Repaint();
        ADD_FAILURE() << "a negative LED code must be refused";
    } catch (const ZentyrError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid OEMLed number"));
    }
    EXPECT_EQ(led.Color(), QColor(0, 255, 0)) << "the lamp keeps its colour";
    EXPECT_EQ(h.Journal(), QStringList{QStringLiteral("GetOEMLed(13)")});
}

TEST(MachLedTest, RightClickDoesNothingOtherButtonsAreHandledNormally)
{
    RecordingParent parent;
    auto* led = new tMachLed(&parent);
    led->SetIMach(std::make_shared<RecordingHost>());
    parent.show();
    QSignalSpy mouseUps(led, &TTILed::MouseUp);

    QTest::mouseClick(led, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(2, 2), led->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(led, &menu);
    EXPECT_EQ(mouseUps.count(), 0);
    EXPECT_EQ(parent.releases, 0);
    EXPECT_EQ(parent.contextMenus, 0);

    QTest::mouseClick(led, Qt::LeftButton);
    EXPECT_EQ(mouseUps.count(), 1);
    EXPECT_EQ(parent.releases, 1) << "an unhandled left release goes on to the parent";
}
