#include "controls/DroSpeedFrame.h"
#include "platform/ZentyrError.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QSlider>

namespace {

QLineEdit* EditOf(TDROspeed* frame)
{
    return frame->Field()->findChild<QLineEdit*>();
}

QString Call(const char* text)
{
    return QString::fromLatin1(text);
}

// The main window's Feed frame: DRO 818, value 100, max 200, increment 1.
struct SpeedFrameFixture : ::testing::Test
{
    DisplaysHarness h;
    TDROspeed* feed = new TDROspeed(h.platform.services, &h.window);

    SpeedFrameFixture()
    {
        feed->SetDROCaption(QStringLiteral("Feed"));
        feed->SetMachDROnum(818);
        feed->SetValue(100);
        feed->SetMax(200);
        feed->SetIncrement(1);
    }

    void Bind(double hostValue)
    {
        h.host->dros[818] = hostValue;
        feed->BindMach(h.host, nullptr);
        h.host->ClearJournal();
    }
};

}  // namespace

TEST_F(SpeedFrameFixture, DesignAndBinding)
{
    EXPECT_EQ(feed->Label()->text(), QStringLiteral("&Feed"));
    EXPECT_EQ(feed->Slider()->maximum(), 200);
    EXPECT_EQ(feed->Field()->FieldMaximum(), 200);
    EXPECT_TRUE(h.Journal().isEmpty()) << "nothing is sent before binding";

    h.host->dros[818] = 150;
    feed->BindMach(h.host, nullptr);
    EXPECT_TRUE(feed->isEnabled());
    EXPECT_EQ(feed->Value(), 150);
    EXPECT_EQ(feed->Slider()->value(), 150);
    EXPECT_EQ(h.Journal(), QStringList{Call("GetOEMDRO(818)")});

    feed->SetIMach(nullptr);
    EXPECT_FALSE(feed->isEnabled());
    EXPECT_FALSE(feed->Slider()->isEnabled());
}

// An arrow steps (clamped), applies — also when the clamp left the value unchanged — and
// moves the slider.
TEST_F(SpeedFrameFixture, ArrowsStepClampApplyAndMoveTheSlider)
{
    struct Row
    {
        int start, increment, direction, shown;
    };
    const Row rows[] = {{200, 1, +1, 200}, {0, 10, -1, 0}, {100, 10, +1, 110}, {5, 10, -1, 0},
                        {195, 10, +1, 200}};
    for (const Row& row : rows) {
        Bind(row.start);
        feed->SetIncrement(row.increment);
        if (row.direction > 0)
            feed->Field()->stepUp();
        else
            feed->Field()->stepDown();
        EXPECT_EQ(feed->Value(), row.shown) << row.start << "+" << row.direction * row.increment;
        EXPECT_EQ(feed->Slider()->value(), row.shown);
        EXPECT_EQ(h.Journal(), (QStringList{QStringLiteral("SetOEMDRO(818, %1)").arg(row.shown),
                                            Call("GetOEMDRO(818)")}));
    }
}

// The pass shows the whole part, clamped, and leaves the slider where it is.
TEST_F(SpeedFrameFixture, PassShowsTheWholePartOfTheHostValue)
{
    Bind(100);
    const std::pair<double, int> rows[] = {{99.9, 99}, {-0.5, 0}, {250.7, 200}, {12.0, 12}};
    for (const auto& [host, shown] : rows) {
        h.host->dros[818] = host;
        feed->PollRefresh(*h.host, false);
        EXPECT_EQ(feed->Value(), shown) << host;
        EXPECT_EQ(feed->Slider()->value(), 100);
    }
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty());

    h.host->dros[818] = 1e12;
    EXPECT_THROW(feed->PollRefresh(*h.host, false), ZentyrError);
    EXPECT_EQ(feed->Value(), 12);
}

TEST_F(SpeedFrameFixture, BoundSliderDragSendsEachPositionFieldFollowsAtTheNextPass)
{
    Bind(100);
    feed->Slider()->setSliderDown(true);
    feed->Slider()->setSliderPosition(120);
    feed->Slider()->setSliderPosition(130);
    feed->Slider()->setSliderDown(false);
    EXPECT_EQ(h.Journal(), (QStringList{Call("SetOEMDRO(818, 120)"), Call("SetOEMDRO(818, 130)")}));
    EXPECT_EQ(feed->Value(), 100);
    feed->PollRefresh(*h.host, false);
    EXPECT_EQ(feed->Value(), 130);
}

// A local frame (DRO 0): slider and field follow each other and nothing reaches the host, not
// even from a bound reference or a poll pass.
TEST_F(SpeedFrameFixture, LocalFrameSendsNothing)
{
    h.Show();
    feed->SetMachDROnum(0);
    feed->BindMach(h.host, nullptr);
    feed->Slider()->setValue(60);
    EXPECT_EQ(feed->Value(), 60);

    DisplaysHarness::Focus(feed->Field());
    QTest::keyClicks(feed->Field(), QStringLiteral("75"));
    QTest::keyClick(feed->Field(), Qt::Key_Return);
    EXPECT_EQ(feed->Slider()->value(), 75);
    EXPECT_EQ(EditOf(feed)->selectedText(), QStringLiteral("75"));
    feed->Field()->stepDown();
    EXPECT_EQ(feed->Slider()->value(), 74);

    h.FocusElsewhere();
    feed->PollRefresh(*h.host, true);
    EXPECT_FALSE(feed->isEnabled());
    EXPECT_EQ(feed->Value(), 74);
    EXPECT_TRUE(h.Journal().isEmpty());
}

TEST_F(SpeedFrameFixture, TypingIsSentOnlyOnEnterAndTheFocusedFieldIsNotOverwritten)
{
    h.Show();
    Bind(100);
    DisplaysHarness::Focus(feed->Field());
    EXPECT_EQ(EditOf(feed)->selectedText(), QStringLiteral("100"));
    QTest::keyClicks(feed->Field(), QStringLiteral("150"));
    h.host->dros[818] = 90;
    feed->PollRefresh(*h.host, false);
    EXPECT_EQ(feed->Field()->text(), QStringLiteral("150"));

    h.FocusElsewhere();
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty()) << "never confirmed, never sent";
    feed->PollRefresh(*h.host, false);
    EXPECT_EQ(feed->Field()->text(), QStringLiteral("90"));

    DisplaysHarness::Focus(feed->Field());
    QTest::keyClicks(feed->Field(), QStringLiteral("120"));
    h.host->ClearJournal();
    QTest::keyClick(feed->Field(), Qt::Key_Enter);
    EXPECT_EQ(h.Journal(), (QStringList{Call("SetOEMDRO(818, 120)"), Call("GetOEMDRO(818)")}));
    EXPECT_EQ(feed->Slider()->value(), 120);
}

// A digit that takes the number past the maximum is kept, not dropped: Enter applies the
// number brought into the range, never the digits left over (250 must not become 25).
TEST_F(SpeedFrameFixture, NumberTypedPastTheMaximumIsAppliedAtTheMaximum)
{
    h.Show();
    Bind(100);
    DisplaysHarness::Focus(feed->Field());
    QTest::keyClicks(feed->Field(), QStringLiteral("250"));
    EXPECT_EQ(EditOf(feed)->text(), QStringLiteral("250"));
    QTest::keyClick(feed->Field(), Qt::Key_Return);
    EXPECT_EQ(h.Journal(), (QStringList{Call("SetOEMDRO(818, 200)"), Call("GetOEMDRO(818)")}));
    EXPECT_EQ(feed->Value(), 200);
    EXPECT_EQ(feed->Slider()->value(), 200);

    h.host->ClearJournal();
    EditOf(feed)->selectAll();
    QTest::keyClicks(feed->Field(), QStringLiteral("99999999999"));
    EXPECT_EQ(EditOf(feed)->text(), QStringLiteral("999999999")) << "no digit past an int";
    h.FocusElsewhere();
    EXPECT_TRUE(h.Journal().isEmpty()) << "leaving the field sends nothing";
    EXPECT_EQ(feed->Value(), 200);
}

TEST_F(SpeedFrameFixture, SpinFieldRules)
{
    h.Show();
    DisplaysHarness::Focus(feed->Field());
    QTest::keyClicks(feed->Field(), QStringLiteral("1a-2"));
    EXPECT_EQ(feed->Field()->text(), QStringLiteral("12")) << "digits only";
    EditOf(feed)->clear();
    EXPECT_EQ(feed->Value(), 0) << "empty text counts as the minimum";

    feed->SetValue(500);
    EXPECT_EQ(feed->Value(), 200);
    EXPECT_EQ(feed->Slider()->value(), 100) << "setting Value does not move the slider";
    feed->SetMax(0);
    feed->SetValue(500);
    EXPECT_EQ(feed->Value(), 500) << "equal minimum and maximum: no clamp";
    EXPECT_TRUE(h.Journal().isEmpty());
}

TEST_F(SpeedFrameFixture, SliderHeldFromPressUntilTheMouseMoves)
{
    h.Show();
    QTest::mousePress(feed->Slider(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(feed->SliderHeld());
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 5), feed->Slider()->mapToGlobal(QPointF(20, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(feed->Slider(), &move);
    EXPECT_FALSE(feed->SliderHeld());
    QTest::mouseRelease(feed->Slider(), Qt::LeftButton, {}, QPoint(20, 5));
}

TEST_F(SpeedFrameFixture, ZeroDroNumberIsEnabledByThePassButNeverChanged)
{
    feed->SetMachDROnum(0);
    feed->PollRefresh(*h.host, true);
    EXPECT_FALSE(feed->isEnabled());
    feed->PollRefresh(*h.host, false);
    EXPECT_TRUE(feed->isEnabled());
    EXPECT_EQ(feed->Value(), 100);
    EXPECT_TRUE(h.Journal().isEmpty());
}
