#include "controls/MachDro.h"
#include "platform/ZentyrError.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct NumericEditFixture : ::testing::Test
{
    DisplaysHarness h;
    TNumericEdit* edit = new TNumericEdit(h.platform.messageBoxes, &h.window);
    QStringList events;

    NumericEditFixture()
    {
        edit->SetDecimals(4);
        edit->SetOnValueChanged([this] { events.append(edit->text()); });
    }
};

}  // namespace

// Set by code: one event per new text, none for a value that shows the same text.
TEST_F(NumericEditFixture, CodeRaisesValueChangedOnlyWhenTheTextChanges)
{
    edit->SetValue(1.5);
    edit->SetValue(1.5);
    edit->SetValue(1.50001);  // the same four decimals
    edit->SetValue(-2.0);
    edit->SetValue(-0.0);
    edit->SetValue(0.0);
    EXPECT_EQ(events, (QStringList{QStringLiteral("1.5000"), QStringLiteral("-2.0000"),
                                   QStringLiteral("0.0000")}))
        << "no \"-0\" and no event for a text already shown";
    EXPECT_DOUBLE_EQ(edit->Value(), 0.0);
}

// A value shown while the handler is detached counts as reported: leaving the field later
// does not hand it to the handler, and typing alone never does.
TEST_F(NumericEditFixture, DetachedTextIsRecordedAndTypingAloneRaisesNothing)
{
    h.Show();
    {
        TNumericEdit::DetachedValueChanged detached(*edit);
        edit->SetValue(12.5);
    }
    EXPECT_TRUE(events.isEmpty());
    DisplaysHarness::Focus(edit);
    h.FocusElsewhere();
    EXPECT_TRUE(events.isEmpty()) << "focus leaving with the text last reported";

    DisplaysHarness::Focus(edit);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("7.25"));
    EXPECT_TRUE(events.isEmpty()) << "typing alone raises nothing";
    h.FocusElsewhere();
    EXPECT_EQ(events, QStringList{QStringLiteral("7.2500")})
        << "leaving after typing reports the value in the display format";
}

TEST_F(NumericEditFixture, FieldAcceptsOnlyNumbersAndReadsUnreadableTextAsZero)
{
    h.Show();
    DisplaysHarness::Focus(edit);
    QTest::keyClicks(edit, QStringLiteral("-1a.5b"));
    EXPECT_EQ(edit->text(), QStringLiteral("-1.5"));
    edit->setText(QStringLiteral("-"));
    EXPECT_DOUBLE_EQ(edit->Value(), 0.0);

    edit->SetDecimals(0);
    edit->SetZeroShownEmpty(true);
    edit->SetValue(0.0);
    EXPECT_EQ(edit->text(), QString());
    edit->SetValue(42.0);
    EXPECT_EQ(edit->text(), QStringLiteral("42"));
}

// Disabling the focused field (the host went into reset) is not the operator confirming
// what they typed.
TEST_F(NumericEditFixture, FocusLostToDisablingDoesNotReportTypedText)
{
    h.Show();
    edit->SetValue(3.0);
    events.clear();
    DisplaysHarness::Focus(edit);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("9"));
    edit->setEnabled(false);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(NumericEditFixture, HandlerErrorOnLeavingTheFieldIsShownAsAnErrorBox)
{
    h.Show();
    edit->SetOnValueChanged([] { throw ZentyrError(QStringLiteral("host gone")); });
    DisplaysHarness::Focus(edit);
    QTest::keyClicks(edit, QStringLiteral("5"));
    h.FocusElsewhere();
    ASSERT_EQ(h.platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(h.platform.messageBoxes.shown[0].text, QStringLiteral("host gone"));
}

TEST(MachDroTest, PollShowsTheKindsDroToTheOwnerUnlessFocusedAndNeverWrites)
{
    DisplaysHarness h;
    auto* dro = new TMachDro(h.platform.services, &h.window);
    dro->SetOEMDrotype(odtCurr_Line_no);
    EXPECT_EQ(dro->DroCode(), 816);
    EXPECT_THROW(dro->SetOEMDrotype(static_cast<TmcOEMDROtype>(249)), ZentyrError);
    EXPECT_EQ(dro->DroCode(), 816);
    EXPECT_FALSE(dro->BindingRow().receivesScriptObject);
    EXPECT_TRUE(dro->BindingRow().registersForPolling);

    QStringList seen;
    dro->SetDecimals(0);
    dro->SetOnValueChanged([&] { seen.append(dro->text()); });
    h.Show();

    h.host->dros[816] = 12;
    dro->PollRefresh(*h.host, true);
    EXPECT_FALSE(dro->isEnabled());
    dro->PollRefresh(*h.host, false);
    EXPECT_TRUE(dro->isEnabled());
    EXPECT_EQ(seen, QStringList{QStringLiteral("12")}) << "the owner sees each host change once";

    DisplaysHarness::Focus(dro);
    h.host->dros[816] = 13;
    dro->PollRefresh(*h.host, false);
    EXPECT_EQ(dro->text(), QStringLiteral("12")) << "a focused field is not overwritten";
    EXPECT_TRUE(h.host->Calls(QStringLiteral("SetOEMDRO")).isEmpty());
}
