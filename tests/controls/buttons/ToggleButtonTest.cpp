#include "ButtonTestSupport.h"

#include "controls/LampImages.h"

// MACH/ABS with no image list: the caption follows the LED. A changed LED is read twice (to
// compare and to take), an unchanged one once; LED code 0 is never read or followed.
TEST_F(ButtonFixture, ToggleCaptionFollowsTheLed)
{
    auto* coords = Bound<tMachToggleButton>();
    coords->setText(S("ABS"));
    coords->SetCaptionOn(S("MACH"));
    coords->SetCaptionOff(S("ABS"));
    coords->SetOEMLEDtype(oltMach_coords_warn);

    const struct { bool lit; const char* caption; int reads; } passes[] = {
        {true, "MACH", 2}, {true, "MACH", 1}, {false, "ABS", 2},
    };
    for (const auto& pass : passes) {
        host->ClearJournal();
        host->leds[16] = pass.lit;
        coords->PollRefresh(*host, false);
        EXPECT_EQ(coords->Toggled(), pass.lit);
        EXPECT_EQ(coords->text(), S(pass.caption));
        EXPECT_EQ(host->journal.size(), pass.reads);
        EXPECT_EQ(host->Calls(S("GetOEMLed(16)")).size(), pass.reads);
    }

    auto* unbound = Bound<tMachToggleButton>();
    unbound->SetToggled(true);
    host->ClearJournal();
    unbound->PollRefresh(*host, false);
    EXPECT_TRUE(unbound->Toggled()) << "oltNONE keeps what the window gave it";
    EXPECT_TRUE(host->journal.isEmpty());
}

// The toggle display rule: images when the list and an index are there (caption fixed),
// captions otherwise, an empty caption text leaves the caption, an unchanged value does nothing.
TEST_F(ButtonFixture, ToggleDisplayRule)
{
    auto* flood = Make<TsToggleButton>();
    flood->setText(S("Flood"));
    flood->SetImages(LampImages());
    flood->SetToggleOnImageIndex(LampOnImageIndex);
    flood->SetCaptionOn(S("ignored"));
    flood->SetToggled(true);
    EXPECT_EQ(flood->ImageIndex(), 1);
    EXPECT_FALSE(flood->icon().isNull());
    EXPECT_EQ(flood->text(), S("Flood"));
    flood->SetToggled(false);
    EXPECT_EQ(flood->ImageIndex(), -1);
    EXPECT_TRUE(flood->icon().isNull());

    auto* listed = Make<TsToggleButton>();
    listed->SetImages(LampImages());
    listed->SetCaptionOn(S("On"));
    listed->setText(S("Off"));
    listed->SetToggled(true);
    EXPECT_EQ(listed->text(), S("On")) << "both indexes -1: captions apply despite the list";
    listed->SetToggled(false);
    EXPECT_EQ(listed->text(), S("On")) << "an empty CaptionOff leaves the caption";
    listed->setText(S("mine"));
    listed->SetToggled(false);
    EXPECT_EQ(listed->text(), S("mine"));
}

// A click presses the button's code (never obtNONE) and raises the click event, but never flips
// the state; Flood takes its lamp only from the LED on the next pass.
TEST_F(ButtonFixture, ToggleClickPressesButNeverFlips)
{
    auto* flood = Bound<tMachToggleButton>();
    flood->SetOEMButtonType(obtFlood_Toggle);
    flood->SetOEMLEDtype(oltFlood);
    auto* none = Bound<tMachToggleButton>();
    QSignalSpy floodEvents(flood, &TSkinnedButton::ClickEvent);
    QSignalSpy noneEvents(none, &TSkinnedButton::ClickEvent);
    host->onOEMButton = [&](int code) { host->leds[13] = code == 113; };

    flood->click();
    none->click();
    EXPECT_EQ(host->journal, QStringList{S("DoOEMButton(113)")});
    EXPECT_EQ(floodEvents.count(), 1);
    EXPECT_EQ(noneEvents.count(), 1);
    EXPECT_FALSE(flood->Toggled());
    flood->PollRefresh(*host, false);
    EXPECT_TRUE(flood->Toggled());
}

// The labelled LED shows its LED, reading code 0 too, and never touches the enabled state.
TEST_F(ButtonFixture, LabelledLedShowsItsLed)
{
    auto* led = Make<tMachLEDLabeled>();
    led->setIMach(host);
    led->PollRefresh(*host, true);
    EXPECT_EQ(host->journal, QStringList{S("GetOEMLed(0)")});

    led->SetOEMLEDtype(oltSpindle_is_Running);
    host->leds[116] = true;
    led->PollRefresh(*host, false);
    EXPECT_TRUE(led->Toggled());
    EXPECT_TRUE(led->isEnabled());
}
