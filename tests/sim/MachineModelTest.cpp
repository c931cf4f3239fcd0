#include "SimTestSupport.h"

#include "sim/Motion.h"
#include "sim/OemCodes.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace hostsim;

namespace {

constexpr double Tolerance = 1e-9;
constexpr int JogXPlus = oem::ButtonCode(obtPush_to_jog_X_Plus);

}  // namespace

TEST(MachineModelReset, StartsInResetAndRefusesMotionThere)
{
    ManualClock clock;
    MachineModel model(clock, QString(), QStringLiteral("P"));
    EXPECT_TRUE(model.GetOEMLed(800));
    model.Code(QStringLiteral("G0 X5"));
    EXPECT_FALSE(model.IsMoving());
    EXPECT_TRUE(model.StatusLine().contains(QStringLiteral("reset"))) << model.StatusLine().toStdString();
    for (const int refused : {1022, 105, 104, 307, 113, 114, 182, 1000})
        model.DoOEMButton(refused);
    EXPECT_FALSE(model.IsMoving());
    EXPECT_FALSE(model.GetOEMLed(13) || model.GetOEMLed(12) || model.GetOEMLed(116));

    model.DoOEMButton(1021);
    EXPECT_FALSE(model.GetOEMLed(800));
    model.Code(QStringLiteral("G0 X5"));
    EXPECT_TRUE(model.IsMoving());
}

TEST_F(SimFixture, EnteringResetStopsMotionSpindleCoolantAndProgram)
{
    model->Code(QStringLiteral("M3 S800\nM7\nM8\nG0 X10"));
    Wait(3000);
    ASSERT_TRUE(model->IsMoving());
    ASSERT_TRUE(model->GetOEMLed(116) && model->GetOEMLed(12) && model->GetOEMLed(13));

    model->DoOEMButton(1021);
    EXPECT_TRUE(model->GetOEMLed(800));
    EXPECT_FALSE(model->IsMoving());
    EXPECT_FALSE(model->GetOEMLed(116) || model->GetOEMLed(12) || model->GetOEMLed(13));
    const double stoppedAt = X();
    EXPECT_NEAR(stoppedAt, 5.0, Tolerance);
    Wait(5000);
    EXPECT_NEAR(X(), stoppedAt, Tolerance) << "no motion resumes after reset";
}

TEST_F(SimFixture, MovesTakeTheirTimeAtTheirRate)
{
    // Rapid 100 units/min: 10 units take 6 s; the DRO interpolates on the way.
    model->Code(QStringLiteral("G0 X10"));
    EXPECT_TRUE(model->IsMoving());
    Wait(3000);
    EXPECT_NEAR(X(), 5.0, Tolerance);
    EXPECT_NEAR(model->GetOEMDRO(806), 100.0, Tolerance) << "X velocity";
    Wait(2999);
    EXPECT_TRUE(model->IsMoving());
    Wait(1);
    EXPECT_FALSE(model->IsMoving());
    EXPECT_NEAR(X(), 10.0, Tolerance);
    EXPECT_EQ(model->GetOEMDRO(806), 0.0);

    // Feed moves run at DRO 818; an F word sets it.
    model->SetOEMDRO(818, 30.0);
    model->Code(QStringLiteral("G1 Y1"));
    EXPECT_EQ(WaitForIdle(), 2000);
    model->Code(QStringLiteral("G1 Y2 F60"));
    EXPECT_EQ(model->GetOEMDRO(818), 60.0);
    EXPECT_EQ(WaitForIdle(), 1000);

    // A dwell counts as motion for its P seconds.
    model->Code(QStringLiteral("G4 P2"));
    EXPECT_TRUE(model->GetOEMLed(813));
    EXPECT_EQ(WaitForIdle(), 2000);
}

TEST_F(SimFixture, QueuedLinesFollowEachOtherWhateverThePollingRate)
{
    // Each line starts at the exact end of the one before, even when the clock jumps.
    model->Code(QStringLiteral("G0 X1\r\nG0 X2\r\nG4 P1\r\nG91 G0 Y3"));
    Wait(900);
    EXPECT_NEAR(X(), 1.5, Tolerance);
    Wait(100000);
    EXPECT_FALSE(model->IsMoving());
    EXPECT_NEAR(X(), 2.0, Tolerance);
    EXPECT_NEAR(Y(), 3.0, Tolerance);

    // Code returns at once; a second call waits behind the first.
    model->Code(QStringLiteral("G90 G0 X0"));
    model->Code(QStringLiteral("G0 Y0"));
    Wait(1200);
    EXPECT_NEAR(X(), 0.0, Tolerance);
    EXPECT_NEAR(Y(), 3.0, Tolerance);
    EXPECT_EQ(WaitForIdle(), 1800);
}

TEST_F(SimFixture, WorkOffsetsZeroAndMachineCoordinates)
{
    model->Code(QStringLiteral("G0 X2 Y-1 Z-0.5"));
    WaitForIdle();
    model->SetOEMDRO(800, 5.0);
    EXPECT_NEAR(X(), 5.0, Tolerance);
    EXPECT_NEAR(model->GetOEMDRO(83), 2.0, Tolerance) << "machine X unchanged";
    EXPECT_NEAR(model->GetOEMDRO(830), -3.0, Tolerance) << "X work offset";

    model->DoOEMButton(1009);
    model->DoOEMButton(1010);
    EXPECT_NEAR(Y(), 0.0, Tolerance);
    EXPECT_NEAR(Z(), 0.0, Tolerance);

    // Absolute moves go to work coordinates.
    model->Code(QStringLiteral("G0 X6 Y1"));
    WaitForIdle();
    EXPECT_NEAR(model->GetOEMDRO(83), 3.0, Tolerance);
    EXPECT_NEAR(model->GetOEMDRO(84), 0.0, Tolerance);

    // MACH shows machine coordinates in the axis DROs and lights LED 16.
    model->DoOEMButton(107);
    EXPECT_TRUE(model->GetOEMLed(16));
    EXPECT_NEAR(X(), 3.0, Tolerance);
    model->DoOEMButton(107);
    EXPECT_FALSE(model->GetOEMLed(16));
    EXPECT_NEAR(X(), 6.0, Tolerance);
    EXPECT_NEAR(model->Axis(0).work, 6.0, Tolerance);
}

TEST_F(SimFixture, ReferencingMovesHomeInTimeAndLightsTheLeds)
{
    model->Code(QStringLiteral("G0 X3 Z-4"));
    WaitForIdle();
    model->DoOEMButton(1024);  // reference Z
    EXPECT_TRUE(model->IsMoving());
    EXPECT_FALSE(model->GetOEMLed(809));
    EXPECT_EQ(WaitForIdle(), 2400);
    EXPECT_TRUE(model->GetOEMLed(809));
    EXPECT_NEAR(model->GetOEMDRO(85), 0.0, Tolerance);
    EXPECT_NEAR(model->GetOEMDRO(83), 3.0, Tolerance) << "only Z moved";

    model->DoOEMButton(105);  // home all
    WaitForIdle();
    for (int led = 807; led <= 812; ++led)
        EXPECT_TRUE(model->GetOEMLed(led)) << led;
    for (int dro = 83; dro <= 88; ++dro)
        EXPECT_NEAR(model->GetOEMDRO(dro), 0.0, Tolerance) << dro;

    // Goto safe Z rises to machine Z = DRO 54 at the rapid rate.
    model->SetOEMDRO(54, 2.0);
    model->DoOEMButton(104);
    EXPECT_EQ(WaitForIdle(), 1200);
    EXPECT_NEAR(model->GetOEMDRO(85), 2.0, Tolerance);
}

TEST_F(SimFixture, CoolantAndSpindleFollowButtonsAndCodes)
{
    const struct
    {
        bool byCode;
        int button;
        const char* code;
        int led;
        bool lit;
    } rows[] = {
        {false, 113, nullptr, 13, true}, {false, 113, nullptr, 13, false},
        {false, 114, nullptr, 12, true}, {false, 114, nullptr, 12, false},
        {true, 0, "M7", 12, true},       {true, 0, "M8", 13, true},
        {true, 0, "M9", 13, false},      {true, 0, "M3 S1500", 116, true},
        {true, 0, "M5", 116, false},     {true, 0, "M4", 116, true},
        {false, 182, nullptr, 116, false}, {false, 182, nullptr, 116, true},
    };
    for (const auto& row : rows) {
        if (row.byCode)
            model->Code(QString::fromLatin1(row.code));
        else
            model->DoOEMButton(row.button);
        EXPECT_EQ(model->GetOEMLed(row.led), row.lit)
            << (row.byCode ? row.code : "button") << " " << row.button;
    }
    EXPECT_FALSE(model->GetOEMLed(12)) << "M9 stops mist too";
    EXPECT_EQ(model->GetOEMDRO(817), 1500.0);
    EXPECT_FALSE(model->GetOEMLed(11)) << "the spindle toggle restarts the last direction, CCW";
    model->Code(QStringLiteral("M3"));
    EXPECT_TRUE(model->GetOEMLed(11));
}

TEST_F(SimFixture, JoggingContinuousStepAndDisabled)
{
    EXPECT_TRUE(model->GetOEMLed(83));
    EXPECT_TRUE(model->GetOEMLed(14));
    EXPECT_EQ(model->GetOEMDRO(828), 1.0);

    // Continuous: moves at the slow-jog share of rapid (50 %) until Stop.
    model->DoOEMButton(307);
    Wait(1200);
    EXPECT_TRUE(model->IsMoving());
    EXPECT_NEAR(X(), 1.0, Tolerance);
    model->DoOEMButton(307);  // a repeated press keeps the same jog
    model->DoOEMButton(312);  // Z- joins it
    Wait(600);
    EXPECT_NEAR(X(), 1.5, Tolerance);
    EXPECT_NEAR(Z(), -0.5, Tolerance);
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->IsMoving());
    Wait(1000);
    EXPECT_NEAR(X(), 1.5, Tolerance);

    // Step: one step of DRO 828 per press; presses queue.
    model->DoOEMButton(205);
    EXPECT_TRUE(model->GetOEMLed(15));
    EXPECT_FALSE(model->GetOEMLed(14));
    model->DoOEMButton(266);
    model->DoOEMButton(309);
    model->DoOEMButton(309);
    EXPECT_EQ(WaitForIdle(), 240);
    EXPECT_NEAR(Y(), 0.2, Tolerance);

    // Disabled: presses do nothing.
    model->DoOEMButton(103);
    EXPECT_FALSE(model->GetOEMLed(83));
    model->DoOEMButton(310);
    EXPECT_FALSE(model->IsMoving());
}

// The eight push-to-jog buttons come in pairs, plus then minus, for X, Y, Z and A.
TEST_F(SimFixture, EachPushToJogButtonStepsItsOwnAxisAndDirection)
{
    model->DoOEMButton(205);  // step mode
    model->DoOEMButton(266);  // step 0.1
    const struct
    {
        int button;
        int axis;
        double step;
    } rows[] = {
        {307, 0, 0.1}, {308, 0, -0.1}, {309, 1, 0.1}, {310, 1, -0.1},
        {311, 2, 0.1}, {312, 2, -0.1}, {313, 3, 0.1}, {314, 3, -0.1},
    };
    for (const auto& row : rows) {
        AxisVector before{};
        for (int a = 0; a < AxisCount; ++a)
            before[size_t(a)] = model->Axis(a).machine;
        model->DoOEMButton(row.button);
        WaitForIdle();
        for (int a = 0; a < AxisCount; ++a) {
            EXPECT_NEAR(model->Axis(a).machine - before[size_t(a)], a == row.axis ? row.step : 0.0,
                        Tolerance)
                << "button " << row.button << ", axis " << a;
        }
    }
}

TEST_F(SimFixture, StepValueButtonsSetBothJogDros)
{
    const double sizes[] = {1.0, 0.1, 0.01, 0.001, 0.0001};
    for (int i = 4; i >= 0; --i) {
        model->DoOEMButton(265 + i);
        EXPECT_EQ(model->GetOEMDRO(828), sizes[i]) << 265 + i;
        EXPECT_EQ(model->GetOEMDRO(1), sizes[i]) << 265 + i;
    }
}

TEST_F(SimFixture, ProbingStopsAtContactAndLeavesItInTheVariables)
{
    model->Code(QStringLiteral("G0 X0.5 Y0 Z0"));
    WaitForIdle();
    model->DoOEMButton(1008);  // work X0 at machine X0.5

    // Down onto the top face (machine Z -1) at F10: 1 unit takes 6 s.
    model->Code(QStringLiteral("g31 z-10 F10"));
    EXPECT_EQ(WaitForIdle(), 6000);
    EXPECT_NEAR(Z(), -1.0, Tolerance);
    EXPECT_NEAR(model->GetVar(2002), -1.0, Tolerance);
    EXPECT_NEAR(model->GetVar(2000), 0.0, Tolerance) << "work coordinates";

    // Probing down again while resting on the top touches at once; the probe does not travel
    // through the block.
    model->Code(QStringLiteral("g31 z-10"));
    EXPECT_FALSE(model->IsMoving());
    EXPECT_NEAR(Z(), -1.0, Tolerance);
    EXPECT_NEAR(model->GetVar(2002), -1.0, Tolerance);

    // From inside the block (straddling it), +Y and -Y each meet a side face.
    model->Code(QStringLiteral("G0 Z-5"));
    model->Code(QStringLiteral("g31 F1 Y2"));
    WaitForIdle(10 * 60000, 1000);
    EXPECT_NEAR(model->GetVar(2001), 1.0, Tolerance);
    model->Code(QStringLiteral("G01 F60 Y0.2"));
    model->Code(QStringLiteral("g31 F60 Y-2"));
    WaitForIdle();
    EXPECT_NEAR(model->GetVar(2001), -1.0, Tolerance);
    EXPECT_NEAR(Y(), -1.0, Tolerance);

    // No contact: the whole move runs and the variables hold its end.
    model->Code(QStringLiteral("G0 Z5"));
    model->Code(QStringLiteral("G31 X3 F60"));
    WaitForIdle();
    EXPECT_NEAR(model->GetVar(2000), 3.0, Tolerance);
    EXPECT_NEAR(model->GetVar(2002), 5.0, Tolerance);

    // A stopped probe move leaves the previous contact alone.
    model->Code(QStringLiteral("G31 X-3 F60"));
    Wait(1000);
    model->DoOEMButton(1003);
    EXPECT_NEAR(model->GetVar(2000), 3.0, Tolerance);
}

// The probing of a standard: a fork straddling the block finds both sides in Y and the top in
// Z, and leaves each contact in variables 2001 and 2002.
TEST_F(SimFixture, ForkProbeFindsBothSidesAndTheTopOfTheStandard)
{
    ProbeTarget standard = model->GetProbeTarget();
    standard.forkGap = 2.1;  // straddling between Y -0.05 and 0.05
    model->SetProbeTarget(standard);
    model->Code(QStringLiteral("G0 Y0.02 Z-0.9"));
    WaitForIdle();

    model->Code(QStringLiteral("g31 F1 Y0.2200"));
    WaitForIdle();
    EXPECT_NEAR(model->GetVar(2001), 0.05, Tolerance);
    model->Code(QStringLiteral("G01 Y0.0200\ng31 F1 Y-0.1800"));
    WaitForIdle();
    EXPECT_NEAR(model->GetVar(2001), -0.05, Tolerance);
    model->Code(QStringLiteral("G01 F1 Y0.0000\ng31 z-10"));
    WaitForIdle();
    EXPECT_NEAR(model->GetVar(2002), -1.0, Tolerance);
    EXPECT_NEAR(Y(), 0.0, Tolerance);
    EXPECT_NEAR(Z(), -1.0, Tolerance);
}

// Stop during work lights LED 80 ("Pause Active") until new work comes, so a caller waiting
// for motion can tell a halt from an end; Stop while idle or ending a held move does not.
TEST_F(SimFixture, StopDuringWorkReportsTheMachineHaltedUntilNewWork)
{
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->GetOEMLed(80)) << "nothing was running";

    model->Code(QStringLiteral("G0 X10"));
    Wait(500);
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->IsMoving());
    EXPECT_TRUE(model->GetOEMLed(80));
    EXPECT_FALSE(model->GetOEMLed(805)) << "not a feed hold";
    Wait(5000);
    EXPECT_TRUE(model->GetOEMLed(80)) << "stays until new work";

    const struct
    {
        const char* what;
        std::function<void()> newWork;
    } rows[] = {
        {"code", [&] { model->Code(QStringLiteral("G0 X0")); }},
        {"a jog", [&] { model->DoOEMButton(JogXPlus); }},
        {"reset", [&] { model->DoOEMButton(1021); model->DoOEMButton(1021); }},
    };
    for (const auto& row : rows) {
        model->Code(QStringLiteral("G0 X5"));
        Wait(100);
        model->DoOEMButton(1003);
        ASSERT_TRUE(model->GetOEMLed(80)) << row.what;
        row.newWork();
        EXPECT_FALSE(model->GetOEMLed(80)) << row.what;
        model->DoOEMButton(1003);
    }
}

TEST_F(SimFixture, FeedHoldFreezesMotionUntilCycleStart)
{
    model->Code(QStringLiteral("G0 X10"));
    Wait(1200);
    model->DoOEMButton(1001);
    EXPECT_TRUE(model->GetOEMLed(80));
    Wait(5000);
    EXPECT_NEAR(X(), 2.0, Tolerance);
    EXPECT_TRUE(model->IsMoving()) << "a held move has not ended";

    model->DoOEMButton(1000);
    EXPECT_FALSE(model->GetOEMLed(80));
    EXPECT_EQ(WaitForIdle(), 4800);
    EXPECT_NEAR(X(), 10.0, Tolerance);

    // Stop ends a held move where it stands and clears what was queued.
    model->Code(QStringLiteral("G0 X0\nG0 Y5"));
    Wait(600);
    model->DoOEMButton(1001);
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->GetOEMLed(80));
    EXPECT_FALSE(model->IsMoving());
    Wait(10000);
    EXPECT_NEAR(X(), 9.0, Tolerance);
    EXPECT_NEAR(Y(), 0.0, Tolerance);

    model->DoOEMButton(1001);  // nothing to hold
    EXPECT_FALSE(model->GetOEMLed(80));
}

TEST_F(SimFixture, BadInputIsReportedAndNeverStopsTheMachine)
{
    // A queued line is read when its turn comes; a bad one is reported and skipped.
    model->Code(QStringLiteral("G0 X1\nG0 X#\nG0 X2"));
    WaitForIdle();
    EXPECT_TRUE(model->MessageHistory().join(u'|').contains(QStringLiteral("G0 X#")));
    EXPECT_NEAR(X(), 2.0, Tolerance) << "lines after a bad one still run";

    const QString garbage[] = {QStringLiteral("G2 X1 Y1 I1"), QStringLiteral("M999"),
                               QStringLiteral("\x01\x02"), QStringLiteral("G1 X1 F0"),
                               QString(100000, u'9'), QStringLiteral("((((")};
    for (const QString& text : garbage) {
        const qsizetype before = model->MessageHistory().size();
        model->Code(text);
        EXPECT_EQ(model->MessageHistory().size(), before + 1) << text.left(20).toStdString();
        EXPECT_FALSE(model->IsMoving()) << text.left(20).toStdString();
    }

    // Refused DRO writes leave the value alone.
    model->SetOEMDRO(818, 25.0);
    model->SetOEMDRO(818, -1.0);
    model->SetOEMDRO(818, std::numeric_limits<double>::quiet_NaN());
    model->SetOEMDRO(800, std::numeric_limits<double>::infinity());
    model->SetOEMDRO(3, 0.0);
    EXPECT_EQ(model->GetOEMDRO(818), 25.0);
    EXPECT_NEAR(X(), 2.0, Tolerance);
    EXPECT_EQ(model->GetOEMDRO(3), 50.0);
    for (const double line : {1e300, -1e300, 0.5}) {
        const qsizetype before = model->MessageHistory().size();
        model->SetOEMDRO(816, line);
        EXPECT_EQ(model->MessageHistory().size(), before + 1) << line;
        EXPECT_EQ(model->GetOEMDRO(816), 0.0) << line;
    }

    // Unknown codes are accepted: LEDs read dark, DROs keep what was written.
    model->DoOEMButton(-5);
    model->DoOEMButton(32767);
    EXPECT_FALSE(model->GetOEMLed(-32768));
    model->SetOEMDRO(500, 7.5);
    model->SetOEMDRO(-300, 1.25);
    EXPECT_EQ(model->GetOEMDRO(500), 7.5);
    EXPECT_EQ(model->GetOEMDRO(-300), 1.25);
    EXPECT_EQ(model->GetOEMDRO(20000), 0.0);
    EXPECT_EQ(model->GetVar(12345), 0.0);
}

TEST_F(SimFixture, MessageHistoryIsBounded)
{
    for (int i = 0; i < 1500; ++i)
        model->Message(QString::number(i));
    const QStringList history = model->MessageHistory();
    EXPECT_EQ(history.size(), 1000);
    EXPECT_EQ(history.first(), QStringLiteral("500"));
    EXPECT_EQ(model->StatusLine(), QStringLiteral("1499"));

    // A reader that counts what it has seen gets exactly what came after, also once the
    // history is full and when the same text comes again.
    EXPECT_EQ(model->MessageCount(), 1500);
    model->Message(QStringLiteral("same"));
    model->Message(QStringLiteral("same"));
    EXPECT_EQ(model->MessagesSince(1500), (QStringList{QStringLiteral("same"), QStringLiteral("same")}));
    EXPECT_TRUE(model->MessagesSince(1502).isEmpty());
    EXPECT_EQ(model->MessagesSince(0).size(), 1000) << "no more than the history holds";
    EXPECT_EQ(model->MessagesSince(0).first(), QStringLiteral("502"));
}

TEST_F(SimFixture, AClockThatGoesBackChangesNothing)
{
    model->Code(QStringLiteral("G0 X10"));
    Wait(3000);
    clock.Set(1000);
    EXPECT_NEAR(X(), 5.0, Tolerance);
    EXPECT_TRUE(model->IsMoving());
    clock.Set(6000);
    EXPECT_FALSE(model->IsMoving());
}

TEST_F(SimFixture, BusyMachineRefusesOrBoundsNewWork)
{
    // Work queued behind a continuous jog would vanish with the Stop that ends it.
    model->DoOEMButton(309);
    for (const int button : {1022, 104, 105})
        model->DoOEMButton(button);
    model->Code(QStringLiteral("G0 X5"));
    EXPECT_EQ(model->MessageHistory().size(), 4);
    model->DoOEMButton(1003);
    Wait(10000);
    EXPECT_NEAR(X(), 0.0, Tolerance);

    // The queue is bounded; what does not fit is reported, not kept.
    QString many;
    for (int i = 0; i < 10050; ++i)
        many += QStringLiteral("G4 P1\n");
    model->Code(many);
    EXPECT_TRUE(model->StatusLine().startsWith(QStringLiteral("50 of 10050 lines dropped")))
        << model->StatusLine().toStdString();
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->IsMoving());

    // So is the text that waits: long lines fill it long before their count does.
    const QString longLine = QStringLiteral("G4 P1 (%1)").arg(QString(32000, u'x'));
    const qint64 before = model->MessageCount();
    for (int i = 0; i < 200; ++i)
        model->Code(longLine);
    EXPECT_GT(model->MessageCount() - before, 50);
    EXPECT_TRUE(model->StatusLine().startsWith(QStringLiteral("1 of 1 lines dropped")))
        << model->StatusLine().toStdString();
    model->DoOEMButton(1003);
    model->Code(longLine);
    EXPECT_TRUE(model->IsMoving()) << "Stop empties the queue and its text";
}
