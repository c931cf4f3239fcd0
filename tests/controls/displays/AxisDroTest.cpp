#include "controls/DROMultiBtn.h"
#include "controls/DROframe.h"
#include "controls/MachDro.h"
#include "controls/MachLed.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "platform/ZentyrError.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {

struct AxisDroFixture : ::testing::Test
{
    DisplaysHarness h;
    TAxisDRO* dro = new TAxisDRO(h.platform.services, &h.window);

    // Bound and enabled by one pass out of reset, journal cleared.
    void BindAndEnable(const QString& axis)
    {
        dro->SetDroAxis(axis);
        dro->BindMach(h.host, nullptr);
        dro->PollRefresh(*h.host, false);
        h.host->ClearJournal();
    }
};

QString Call(const char* text)
{
    return QString::fromLatin1(text);
}

}  // namespace

TEST_F(AxisDroFixture, AxisLetterSetsLabelAndOnlyKnownUpperCaseLettersSetCodes)
{
    struct Row
    {
        const char* axis;
        int dro;
        int refButton;
    };
    const Row rows[] = {{"X", 800, 1022}, {"Y", 801, 1023}, {"Zed", 802, 1024},
                        {"A", 803, 1025}, {"B", 804, 1026}, {"C", 805, 1027}};
    for (const Row& row : rows) {
        dro->SetDroAxis(QString::fromLatin1(row.axis));
        EXPECT_EQ(dro->Label()->text(), QLatin1Char('&') + QString::fromLatin1(row.axis));
        EXPECT_EQ(dro->MachDROnum(), row.dro) << row.axis;
        EXPECT_EQ(AxisCodesOf(QString::fromLatin1(row.axis))->refButton, row.refButton);
    }
    dro->SetDroAxis(QStringLiteral("Y"));
    for (const char* other : {"y", "U"}) {
        dro->SetDroAxis(QString::fromLatin1(other));
        EXPECT_EQ(dro->Label()->text(), QLatin1Char('&') + QString::fromLatin1(other));
        EXPECT_EQ(dro->MachDROnum(), 801) << other << " leaves the code alone";
    }
    EXPECT_THROW(dro->SetDroAxis(QString()), ZentyrError);
    EXPECT_EQ(dro->DroAxis(), QStringLiteral("U"));
}

TEST_F(AxisDroFixture, StartsDisabledStaysSoAfterBindingUntilAPassOutOfReset)
{
    EXPECT_EQ(dro->Label()->text(), QStringLiteral("DRO"));
    for (QWidget* part : {static_cast<QWidget*>(dro), static_cast<QWidget*>(dro->Field()),
                          static_cast<QWidget*>(dro->ZeroButton())})
        EXPECT_FALSE(part->isEnabled());

    dro->SetDroAxis(QStringLiteral("X"));
    h.host->dros[800] = 1.25;
    dro->BindMach(h.host, nullptr);
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("1.2500"));
    EXPECT_FALSE(dro->isEnabled());

    dro->PollRefresh(*h.host, false);
    EXPECT_TRUE(dro->Field()->isEnabled());
    EXPECT_TRUE(dro->RefButton()->isEnabled());
    dro->PollRefresh(*h.host, true);
    EXPECT_FALSE(dro->Field()->isEnabled());
    dro->PollRefresh(*h.host, false);
    dro->SetIMach(nullptr);
    EXPECT_FALSE(dro->isEnabled()) << "clearing the reference disables";
}

// Showing a host value never writes it back, however often it changes.
TEST_F(AxisDroFixture, RefreshNeverWritesToTheHost)
{
    BindAndEnable(QStringLiteral("X"));
    for (double value : {3.0, -7.125, 0.0, 1e6}) {
        h.host->dros[800] = value;
        dro->PollRefresh(*h.host, false);
    }
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("1000000.0000"));
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty());
}

// Zero sends 0 from the explicit call, and once before it when the field's text changed.
TEST_F(AxisDroFixture, ZeroSendsZeroOnceOrTwiceAndNothingWhenUnbound)
{
    h.host->dros[800] = 12.5;
    BindAndEnable(QStringLiteral("X"));
    dro->ZeroButton()->click();
    EXPECT_EQ(h.Journal(), (QStringList{Call("SetOEMDRO(800, 0)"), Call("SetOEMDRO(800, 0)")}));

    h.host->ClearJournal();
    dro->ZeroButton()->click();
    EXPECT_EQ(h.Journal(), QStringList{Call("SetOEMDRO(800, 0)")});

    TAxisDRO unbound(h.platform.services, &h.window);
    unbound.Field()->SetValue(4.0);
    unbound.Zero();
    EXPECT_EQ(unbound.Field()->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(h.Journal(), QStringList{Call("SetOEMDRO(800, 0)")});
}

TEST_F(AxisDroFixture, EnterSendsTheFieldAndSelectsItLeavingAfterTypingSendsToo)
{
    h.Show();
    BindAndEnable(QStringLiteral("Y"));
    DisplaysHarness::Focus(dro->Field());
    EXPECT_EQ(dro->Field()->selectedText(), dro->Field()->text()) << "focus selects the text";
    QTest::keyClicks(dro->Field(), QStringLiteral("2.5"));
    QTest::keyClick(dro->Field(), Qt::Key_Return);
    EXPECT_EQ(h.Journal(), QStringList{Call("SetOEMDRO(801, 2.5)")});
    EXPECT_EQ(dro->Field()->selectedText(), QStringLiteral("2.5"));

    h.host->ClearJournal();
    QTest::keyClicks(dro->Field(), QStringLiteral("-4"));
    h.FocusElsewhere();
    EXPECT_EQ(h.Journal(), QStringList{Call("SetOEMDRO(801, -4)")});
}

// The operator's text survives passes while the field has the focus; the field is still
// disabled when the host enters reset, and the next pass after leaving shows the host.
TEST_F(AxisDroFixture, FocusedFieldKeepsTheOperatorsTextUntilFocusLeaves)
{
    h.Show();
    BindAndEnable(QStringLiteral("X"));
    DisplaysHarness::Focus(dro->Field());
    QTest::keyClicks(dro->Field(), QStringLiteral("9"));
    h.host->dros[800] = 5.0;
    dro->PollRefresh(*h.host, false);
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("9"));

    h.FocusElsewhere();
    h.host->ClearJournal();
    h.host->dros[800] = 6.0;
    dro->PollRefresh(*h.host, false);
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("6.0000"));

    DisplaysHarness::Focus(dro->Field());
    QTest::keyClicks(dro->Field(), QStringLiteral("8"));
    dro->PollRefresh(*h.host, true);
    EXPECT_FALSE(dro->Field()->isEnabled());
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty())
        << "text never confirmed is not sent when reset takes the focus away";
}

TEST_F(AxisDroFixture, ReferenceSendsMessageButtonWaitsFollowsTheMoveThenReports)
{
    BindAndEnable(QStringLiteral("Z"));
    h.host->movingSequence = {true, true, false};
    h.platform.waiter.onWait = [this] { h.host->dros[802] += 1.0; };
    dro->RefButton()->click();
    EXPECT_EQ(h.Journal(),
              (QStringList{Call("Message(\"Referencing Z\")"), Call("DoOEMButton(1024)"),
                           Call("IsMoving()"), Call("GetOEMDRO(802)"), Call("IsMoving()"),
                           Call("GetOEMDRO(802)"), Call("IsMoving()"), Call("GetOEMDRO(802)"),
                           Call("Message(\"Z Axis Referenced\")")}));
    EXPECT_EQ(h.platform.waiter.waits,
              (QStringList{Call("SleepProcessingEvents(50)"), Call("SleepProcessingEvents(50)"),
                           Call("Sleep(450)")}));
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("3.0000")) << "the field followed the move";
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty());
}

TEST_F(AxisDroFixture, ReferenceMessagesGoThroughTheHostConnectionToItsLog)
{
    struct Log : QWidget, IMachMessageLog
    {
        using QWidget::QWidget;
        void AppendMessageLine(const QString& text) override { lines.append(text); }
        QStringList lines;
    };
    auto* log = new Log(&h.window);
    dro->SetDroAxis(QStringLiteral("X"));
    RecordingDocumentFactory documents(h.host);
    TCMach4Wrapper wMach(documents, h.platform.services, &h.window);
    wMach.SetConnected(true);
    ASSERT_TRUE(wMach.Connected());
    dro->SetHostConnection(&wMach);
    dro->PollRefresh(*h.host, false);
    h.host->ClearJournal();

    dro->Reference();
    EXPECT_EQ(log->lines, (QStringList{Call("Referencing X"), Call("X Axis Referenced")}));
    EXPECT_EQ(h.host->Calls(Call("Message")).size(), 2);
    EXPECT_EQ(h.host->Calls(Call("DoOEMButton")), QStringList{Call("DoOEMButton(1022)")});
}

TEST_F(AxisDroFixture, ReferenceWithCodesOutsideTheHostRangeSendsNothing)
{
    BindAndEnable(QStringLiteral("X"));
    dro->SetMachDROnum(32600);  // its reference button would be 32822
    dro->RefButton()->click();
    EXPECT_TRUE(h.Journal().isEmpty());
    ASSERT_EQ(h.platform.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(h.platform.messageBoxes.shown[0].text.startsWith(Call("Range check error")));
}

// ---- TAxisMultiBtnDRO ----

namespace {

struct MultiBtnFixture : ::testing::Test
{
    DisplaysHarness h;
    RecordingDocumentFactory documents{h.host};
    TMachUpdateThread thread{documents};
    TAxisMultiBtnDRO* dro = new TAxisMultiBtnDRO(h.platform.services, &h.window);
};

}  // namespace

TEST_F(MultiBtnFixture, AxisLetterSetsTheFourLampCodes)
{
    struct Row
    {
        const char* axis;
        int dro, ref, plus, minus, home;
    };
    const Row rows[] = {{"X", 800, 807, 828, 829, 830}, {"Y", 801, 808, 831, 832, 833},
                        {"Z", 802, 809, 834, 835, 836}, {"A", 803, 810, 837, 838, 839},
                        {"B", 804, 811, 840, 841, 842}, {"C", 805, 812, 843, 844, 845}};
    for (const Row& row : rows) {
        dro->SetDroAxis(QString::fromLatin1(row.axis));
        EXPECT_EQ(dro->machDROnum(), row.dro);
        EXPECT_EQ(dro->RefLed()->LedCode(), row.ref);
        EXPECT_EQ(dro->PlusLimitLed()->LedCode(), row.plus);
        EXPECT_EQ(dro->MinusLimitLed()->LedCode(), row.minus);
        EXPECT_EQ(dro->HomeLed()->LedCode(), row.home);
    }
    dro->SetDroAxis(QStringLiteral("w"));
    EXPECT_EQ(dro->RefLed()->LedCode(), 812);
    EXPECT_EQ(dro->RefLed()->LedColor(), TLedColor::Green);
    EXPECT_EQ(dro->HomeLed()->LedColor(), TLedColor::Yellow);
}

TEST_F(MultiBtnFixture, BindingGivesTheLampsTheHostAndRegistersThemForEachPass)
{
    dro->SetDroAxis(QStringLiteral("Y"));
    dro->BindMach(h.host, &thread);
    thread.Register(dro);
    EXPECT_EQ(thread.Registrations(),
              (QList<QObject*>{dro->RefLed(), dro->HomeLed(), dro->MinusLimitLed(),
                               dro->PlusLimitLed(), dro}));
    h.host->leds[808] = true;
    h.host->leds[833] = true;
    h.host->dros[801] = 2;
    thread.PollPass();
    EXPECT_TRUE(dro->RefLed()->LedOn());
    EXPECT_TRUE(dro->HomeLed()->LedOn());
    EXPECT_FALSE(dro->PlusLimitLed()->LedOn());
    EXPECT_TRUE(dro->Field()->isEnabled());
    EXPECT_EQ(dro->Field()->text(), QStringLiteral("2.0000"));

    h.host->leds[800] = true;
    thread.PollPass();
    for (QWidget* part : {static_cast<QWidget*>(dro->Field()), static_cast<QWidget*>(dro->Label()),
                          static_cast<QWidget*>(dro->RefLed())})
        EXPECT_FALSE(part->isEnabled());
    EXPECT_TRUE(h.host->Calls(Call("SetOEMDRO")).isEmpty());
}

// The frame holds a running thread while the operator works in the field and lets go on
// Enter and on leaving, but never of a suspension someone else made.
TEST_F(MultiBtnFixture, HoldsTheUpdateThreadOnlyWhileTheOperatorWorksInTheField)
{
    h.Show();
    dro->SetDroAxis(QStringLiteral("X"));
    dro->BindMach(h.host, &thread);
    dro->PollRefresh(*h.host, false);
    thread.Start();

    DisplaysHarness::Focus(dro->Field());
    EXPECT_TRUE(thread.IsSuspended());
    QTest::keyClicks(dro->Field(), QStringLiteral("3"));
    QTest::keyClick(dro->Field(), Qt::Key_Enter);
    EXPECT_FALSE(thread.IsSuspended()) << "Enter lets go";
    EXPECT_EQ(h.host->Calls(Call("SetOEMDRO")), QStringList{Call("SetOEMDRO(800, 3)")});
    QTest::keyClicks(dro->Field(), QStringLiteral("4"));
    EXPECT_TRUE(thread.IsSuspended()) << "a key press holds it again";
    h.FocusElsewhere();
    EXPECT_FALSE(thread.IsSuspended());

    thread.Suspend();  // a window rebuilding its controls
    DisplaysHarness::Focus(dro->Field());
    h.FocusElsewhere();
    EXPECT_TRUE(thread.IsSuspended()) << "another party's suspension is theirs to end";
}

TEST_F(MultiBtnFixture, ReferenceRaisesClickThenReferencesWithoutFollowingTheField)
{
    dro->SetDroAxis(QStringLiteral("A"));
    dro->BindMach(h.host, &thread);
    h.host->ClearJournal();
    QSignalSpy clicks(dro, &TAxisMultiBtnDRO::Click);
    h.host->movingSequence = {true, false};
    dro->Reference();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(h.Journal(),
              (QStringList{Call("Message(\"Referencing A\")"), Call("DoOEMButton(1025)"),
                           Call("IsMoving()"), Call("IsMoving()"),
                           Call("Message(\"A Axis Referenced\")")}));
    EXPECT_EQ(h.platform.waiter.waits,
              (QStringList{Call("SleepProcessingEvents(50)"), Call("Sleep(450)")}));
}

// A window may delete an axis row while the operator is typing in it: the unconfirmed text
// is not sent, and a row that held the update thread lets go of it.
TEST(AxisRowLifetimeTest, DestroyingARowWhoseFieldHasTheFocusSendsNothing)
{
    DisplaysHarness h;
    RecordingDocumentFactory documents(h.host);
    TMachUpdateThread thread(documents);
    // One pass at the start and none after it while the test runs, so no poll read lands in
    // the journal that must stay empty.
    thread.SetInterval(24 * 60 * 60 * 1000);
    thread.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.Journal().isEmpty(); }));
    h.Show();
    auto* axis = new TAxisDRO(h.platform.services, &h.window);
    auto* multi = new TAxisMultiBtnDRO(h.platform.services, &h.window);
    axis->SetDroAxis(QStringLiteral("X"));
    multi->SetDroAxis(QStringLiteral("Y"));
    axis->BindMach(h.host, &thread);
    multi->BindMach(h.host, &thread);
    axis->PollRefresh(*h.host, false);
    multi->PollRefresh(*h.host, false);
    axis->show();
    multi->show();
    h.host->ClearJournal();

    DisplaysHarness::Focus(axis->Field());
    QTest::keyClicks(axis->Field(), QStringLiteral("5"));
    delete axis;
    DisplaysHarness::Focus(multi->Field());
    QTest::keyClicks(multi->Field(), QStringLiteral("6"));
    ASSERT_TRUE(thread.IsSuspended());
    delete multi;
    EXPECT_TRUE(h.Journal().isEmpty());
    EXPECT_TRUE(h.platform.messageBoxes.shown.isEmpty());
    EXPECT_FALSE(thread.IsSuspended()) << "a deleted row lets go of the thread it held";
}
