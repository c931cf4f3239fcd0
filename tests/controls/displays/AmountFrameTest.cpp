#include "controls/DroAmountFrame.h"
#include "platform/ZentyrError.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace {

QString Call(const char* text)
{
    return QString::fromLatin1(text);
}

// A host whose DRO value moves on at every read, as a DRO fed by motion does.
class DriftingHost final : public IMyScriptObject
{
public:
    int reads = 0;
    int writes = 0;

    void DeActivateSignal(int16_t) override {}
    double GetVar(int16_t) override { return 0; }
    void Code(const QString&) override {}
    bool IsMoving() override { return false; }
    void DoOEMButton(int16_t) override {}
    void DoButton(int16_t) override {}
    bool GetOEMLed(int16_t) override { return false; }
    double GetOEMDRO(int16_t) override { return 0.5 + 0.01 * ++reads; }
    void SetOEMDRO(int16_t, double) override { ++writes; }
    int16_t IsLoading() override { return 0; }
    void SetButtonText(const QString&) override {}
    void Message(const QString&) override {}
    QString FileName() override { return {}; }
    void LoadFile(const QString&) override {}
};

struct AmountFrameFixture : ::testing::Test
{
    DisplaysHarness h;
    TDroAmount* amount = new TDroAmount(h.platform.services, &h.window);

    AmountFrameFixture()
    {
        amount->SetDecimals(2);
        amount->SetMax(2.5);
        amount->SetIncrement(0.25);
    }
};

}  // namespace

TEST_F(AmountFrameFixture, SliderWorksInTenThousandthsOfTheValue)
{
    EXPECT_EQ(amount->Slider()->maximum(), 25000);
    amount->SetValue(1.25);
    EXPECT_EQ(amount->Slider()->value(), 12500);
    amount->SetValue(0.03);
    EXPECT_EQ(amount->Slider()->value(), 300) << "no unit lost to the product's rounding";

    amount->Slider()->setValue(7500);  // local frame: the slider sets the field
    EXPECT_DOUBLE_EQ(amount->Value(), 0.75);
    EXPECT_EQ(amount->Label()->text(), QStringLiteral("&Feed"));
    EXPECT_THROW(amount->SetMax(1e6), ZentyrError);

    // A maximum whose product lands a hair below the whole number keeps its last unit, so
    // the slider reaches the field's maximum.
    amount->SetDecimals(4);
    amount->SetMax(0.0003);
    EXPECT_EQ(amount->Slider()->maximum(), 3);
    amount->SetValue(0.0003);
    amount->Slider()->setValue(amount->Slider()->maximum());
    EXPECT_DOUBLE_EQ(amount->Value(), 0.0003);
}

// The design state keeps the slider in the same units as every later change: 50 of 100
// shows the slider at 500000 of 1000000, so the slider covers the whole field.
TEST(AmountFrameDesignTest, FreshFrameSliderCoversTheFieldsRange)
{
    DisplaysHarness h;
    TDroAmount amount(h.platform.services, &h.window);
    EXPECT_DOUBLE_EQ(amount.Value(), 50.0);
    EXPECT_DOUBLE_EQ(amount.Max(), 100.0);
    EXPECT_EQ(amount.Field()->text(), QStringLiteral("50"));
    EXPECT_EQ(amount.Slider()->maximum(), 1000000);
    EXPECT_EQ(amount.Slider()->value(), 500000);
    amount.Slider()->setValue(600000);
    EXPECT_DOUBLE_EQ(amount.Value(), 60.0);
    EXPECT_TRUE(h.Journal().isEmpty());
}

// Every change applies: the value goes out, the DRO comes back, the slider follows.
TEST_F(AmountFrameFixture, BoundChangesApplyAndTheSliderSendsOnly)
{
    amount->SetMachOEMDroType(odtFeedrate_Override);
    EXPECT_EQ(amount->MachDROnum(), 821);
    h.host->dros[821] = 1.0;
    amount->BindMach(h.host, nullptr);
    EXPECT_EQ(amount->Slider()->value(), 10000);
    h.host->ClearJournal();

    amount->Field()->stepUp();
    EXPECT_EQ(h.Journal(), (QStringList{Call("SetOEMDRO(821, 1.25)"), Call("GetOEMDRO(821)")}));
    EXPECT_EQ(amount->Slider()->value(), 12500);

    h.host->ClearJournal();
    amount->Slider()->setValue(5000);
    EXPECT_EQ(h.Journal(), QStringList{Call("SetOEMDRO(821, 0.5)")});
    EXPECT_DOUBLE_EQ(amount->Value(), 1.25) << "the field waits for the host";
}

// A pass that changes the shown text sends that value back once; the read-back cannot
// start another apply, even from a host whose value changes at every read.
TEST_F(AmountFrameFixture, PassAppliesOnceAndAChangingHostCannotLoopTheApply)
{
    amount->SetMachDROnum(821);
    amount->BindMach(h.host, nullptr);
    h.host->ClearJournal();
    h.host->dros[821] = 2.0;
    amount->PollRefresh(*h.host, false);
    EXPECT_EQ(h.Journal(), (QStringList{Call("GetOEMDRO(821)"), Call("SetOEMDRO(821, 2)"),
                                        Call("GetOEMDRO(821)")}));
    h.host->ClearJournal();
    amount->PollRefresh(*h.host, false);
    EXPECT_EQ(h.Journal(), QStringList{Call("GetOEMDRO(821)")});

    auto drifting = std::make_shared<DriftingHost>();
    amount->SetIMach(drifting);
    EXPECT_EQ(drifting->reads, 2);
    EXPECT_EQ(drifting->writes, 1) << "binding applied the new text once";
    amount->Field()->stepDown();
    EXPECT_EQ(drifting->reads, 3);
    EXPECT_EQ(drifting->writes, 2);
}

TEST_F(AmountFrameFixture, TypingAppliesWithoutSelectingUnderTheCaret)
{
    h.Show();
    amount->SetMachDROnum(821);
    amount->SetValue(0.0);
    amount->BindMach(h.host, nullptr);
    h.host->ClearJournal();
    auto* edit = amount->Field()->findChild<QLineEdit*>();
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.5")) << "each key added to the text";
    EXPECT_EQ(h.host->Calls(Call("SetOEMDRO")).last(), Call("SetOEMDRO(821, 1.5)"));
}

TEST_F(AmountFrameFixture, LocalFrameIsLeftAloneByThePass)
{
    amount->BindMach(h.host, nullptr);
    amount->SetValue(1.75);
    h.host->dros[0] = 2.0;
    amount->PollRefresh(*h.host, true);
    EXPECT_FALSE(amount->isEnabled());
    EXPECT_DOUBLE_EQ(amount->Value(), 1.75);
    EXPECT_TRUE(h.Journal().isEmpty());
}

TEST_F(AmountFrameFixture, SliderHeldFromPressToRelease)
{
    h.Show();
    QTest::mousePress(amount->Slider(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(amount->SliderHeld());
    QTest::mouseRelease(amount->Slider(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(amount->SliderHeld());
}
