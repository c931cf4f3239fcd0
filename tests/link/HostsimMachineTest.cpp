#include "HostsimProcess.h"

#include "host/Mach4_TLB.h"
#include "platform/ZentyrError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The simulated machine as the application sees it: every call goes through the real link to
// a running hostsim.

namespace {

constexpr double Eps = 1e-6;

class HostsimMachine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.Start()) << "hostsim did not start";
        m_doc = m_sim.Connect();
        m_mach = m_doc->GetScriptObject();
    }

    // Waits (bounded) until motion has ended; false when it never did.
    bool WaitIdle(int timeoutMs = 3000)
    {
        return WaitUntil([&] { return !m_mach->IsMoving(); }, timeoutMs);
    }

    void LeaveReset()
    {
        if (m_mach->GetOEMLed(800))
            m_mach->DoOEMButton(1021);
        ASSERT_FALSE(m_mach->GetOEMLed(800));
    }

    HostsimProcess m_sim;
    std::unique_ptr<IMach4Document> m_doc;
    std::shared_ptr<IMyScriptObject> m_mach;
};

}  // namespace

// Each of the fourteen operations answers with its own type, and the journal records every
// call, with its arguments, in the order received, each line stamped in time order.
TEST_F(HostsimMachine, FourteenOperationsRoundTripAndAreJournaledInOrder)
{
    IMyScriptObject& m = *m_mach;
    const QString program = QDir(m_sim.HomeFolder()).filePath(QStringLiteral("GCode/part.tap"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("G0 X1\nG0 X0\n");
    }

    EXPECT_TRUE(m.GetOEMLed(800));  // the machine starts in reset
    m.DoOEMButton(1021);
    EXPECT_FALSE(m.GetOEMLed(800));
    m.SetOEMDRO(818, 120.5);
    EXPECT_DOUBLE_EQ(m.GetOEMDRO(818), 120.5);
    const double var = m.GetVar(2000);
    EXPECT_DOUBLE_EQ(var, 0.0);
    m.Code(QStringLiteral("G21 G90 (metric) G0 X0"));
    const bool moving = m.IsMoving();
    (void)moving;
    m.DoButton(3);
    m.SetButtonText(QStringLiteral("Zero \"all\""));
    m.Message(QStringLiteral("hello from the test"));
    EXPECT_EQ(m.IsLoading(), 0);
    EXPECT_TRUE(m.FileName().startsWith(QLatin1String("No File")));
    m.LoadFile(program);
    m.DeActivateSignal(7);
    m.Code(QStringLiteral("G1 X"));  // bad G-code: reported by the host, never fatal
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(m.FileName(), program);

    const QStringList expected = {
        QStringLiteral("GetScriptObject()"),
        QStringLiteral("GetOEMLed(800)"),
        QStringLiteral("DoOEMButton(1021)"),
        QStringLiteral("GetOEMLed(800)"),
        QStringLiteral("SetOEMDRO(818, 120.5)"),
        QStringLiteral("GetOEMDRO(818)"),
        QStringLiteral("GetVar(2000)"),
        QStringLiteral("Code(\"G21 G90 (metric) G0 X0\")"),
        QStringLiteral("IsMoving()"),
        QStringLiteral("DoButton(3)"),
        QStringLiteral("SetButtonText(\"Zero \\\"all\\\"\")"),
        QStringLiteral("Message(\"hello from the test\")"),
        QStringLiteral("IsLoading()"),
        QStringLiteral("FileName()"),
        QStringLiteral("LoadFile(\"%1\")").arg(program),
        QStringLiteral("DeActivateSignal(7)"),
        QStringLiteral("Code(\"G1 X\")"),
    };
    const QStringList calls = m_sim.JournalCalls();
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(calls.mid(0, expected.size()), expected);

    QFile journal(m_sim.JournalPath());
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    QDateTime previous;
    for (const QByteArray& line : journal.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QDateTime stamp = QDateTime::fromString(QString::fromUtf8(line.left(line.indexOf(' '))),
                                                      Qt::ISODateWithMs);
        ASSERT_TRUE(stamp.isValid()) << line.constData();
        if (previous.isValid()) {
            EXPECT_GE(stamp, previous);
        }
        previous = stamp;
    }
    // The host is still alive and well after the bad line.
    EXPECT_FALSE(m.GetOEMLed(800));
}

// A G0 of 5 units at a rapid rate of 600 units/min takes its time (half a second on the
// simulator's clock, checked by the machine model's own tests), and IsMoving says so meanwhile.
// A probing move toward the target stops at its top face and leaves the contact point in the
// variables; one that misses the target ends at its end point.
TEST_F(HostsimMachine, MotionTakesItsTimeAndProbingStopsAtContact)
{
    LeaveReset();
    m_mach->SetOEMDRO(104, 600);
    m_mach->Code(QStringLiteral("G90 G0 X5"));
    EXPECT_TRUE(m_mach->IsMoving());
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m_mach->GetOEMDRO(800), 5.0, Eps);

    // Back over the default target (x and y within -1..1, top at z -1) and probe down.
    m_mach->Code(QStringLiteral("G0 X0"));
    ASSERT_TRUE(WaitIdle());
    m_mach->Code(QStringLiteral("G31 Z-5 F600"));
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m_mach->GetVar(2000), 0.0, Eps);
    EXPECT_NEAR(m_mach->GetVar(2001), 0.0, Eps);
    EXPECT_NEAR(m_mach->GetVar(2002), -1.0, 1e-3);
    EXPECT_NEAR(m_mach->GetOEMDRO(802), -1.0, 1e-3);

    m_mach->Code(QStringLiteral("G0 Z0"));
    m_mach->Code(QStringLiteral("G0 X5"));
    m_mach->Code(QStringLiteral("G31 Z-2 F600"));
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m_mach->GetVar(2000), 5.0, Eps);
    EXPECT_NEAR(m_mach->GetVar(2002), -2.0, Eps);
}

// Reset, coolant, machine coordinates and the spindle switch their lamps; entering reset
// switches the outputs off again.
TEST_F(HostsimMachine, ResetCoolantAndSpindleSwitchTheirLamps)
{
    IMyScriptObject& m = *m_mach;
    m.DoOEMButton(113);
    EXPECT_FALSE(m.GetOEMLed(13)) << "coolant must not start in reset";
    LeaveReset();

    struct Step
    {
        int button;
        int led;
        bool lit;
    };
    const Step steps[] = {
        {113, 13, true}, {114, 12, true}, {113, 13, false}, {113, 13, true},
        {182, 116, true}, {107, 16, true}, {107, 16, false},
    };
    for (const Step& s : steps) {
        m.DoOEMButton(s.button);
        EXPECT_EQ(m.GetOEMLed(s.led), s.lit) << "button " << s.button << ", LED " << s.led;
    }
    m.SetOEMDRO(817, 1200);
    EXPECT_DOUBLE_EQ(m.GetOEMDRO(817), 1200);

    m.DoOEMButton(1021);
    EXPECT_TRUE(m.GetOEMLed(800));
    for (int led : {13, 12, 116})
        EXPECT_FALSE(m.GetOEMLed(led)) << "LED " << led << " after entering reset";
}

// Jogging: on/off, continuous or step, the five step sizes, a step jog of one step and a
// continuous jog that runs until Stop.
TEST_F(HostsimMachine, JoggingStepsAndRunsUntilStopped)
{
    IMyScriptObject& m = *m_mach;
    LeaveReset();
    EXPECT_TRUE(m.GetOEMLed(83));
    m.DoOEMButton(103);
    EXPECT_FALSE(m.GetOEMLed(83));
    m.DoOEMButton(103);
    EXPECT_TRUE(m.GetOEMLed(83));

    const double sizes[] = {1, 0.1, 0.01, 0.001, 0.0001};
    for (int i = 0; i < 5; ++i) {
        m.DoOEMButton(int16_t(265 + i));
        EXPECT_NEAR(m.GetOEMDRO(828), sizes[i], 1e-12) << 265 + i;
        EXPECT_NEAR(m.GetOEMDRO(1), sizes[i], 1e-12) << 265 + i;
    }

    m.SetOEMDRO(104, 600);  // jogs run at a share of the rapid rate
    m.DoOEMButton(205);
    EXPECT_FALSE(m.GetOEMLed(14));
    m.DoOEMButton(266);
    m.DoOEMButton(307);  // X+ one step
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m.GetOEMDRO(800), 0.1, Eps);
    m.DoOEMButton(312);  // Z- one step
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m.GetOEMDRO(802), -0.1, Eps);

    m.DoOEMButton(204);
    EXPECT_TRUE(m.GetOEMLed(14));
    m.DoOEMButton(309);  // Y+ until stopped
    QThread::msleep(300);
    EXPECT_TRUE(m.IsMoving());
    m.DoOEMButton(1003);
    ASSERT_TRUE(WaitIdle());
    const double y = m.GetOEMDRO(801);
    EXPECT_GT(y, 0.3);   // 300 units/min for at least 0.3 s is at least 1.5 units
    QThread::msleep(100);
    EXPECT_DOUBLE_EQ(m.GetOEMDRO(801), y) << "the jog went on after Stop";

    // Zeroing sets the work offset: the readout shows 0, the machine position stays.
    m.DoOEMButton(1008);
    EXPECT_NEAR(m.GetOEMDRO(800), 0.0, Eps);
    EXPECT_NEAR(m.GetOEMDRO(83), 0.1, Eps);
}

// Referencing one axis lights its lamp; home all lights them all.
TEST_F(HostsimMachine, ReferencingLightsTheAxisLamps)
{
    IMyScriptObject& m = *m_mach;
    LeaveReset();
    m.SetOEMDRO(104, 6000);
    for (int led = 807; led <= 812; ++led)
        EXPECT_FALSE(m.GetOEMLed(int16_t(led))) << led;
    m.DoOEMButton(1023);  // Y
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(m.GetOEMLed(808));
    EXPECT_FALSE(m.GetOEMLed(807));
    m.DoOEMButton(105);
    ASSERT_TRUE(WaitIdle());
    for (int led = 807; led <= 809; ++led)
        EXPECT_TRUE(m.GetOEMLed(int16_t(led))) << led;
}

// A file loads briefly, is named by FileName, runs from cycle start and is closed by 169. The
// profile given on the command line chooses the macro folder that M6666 runs from.
TEST_F(HostsimMachine, FilesLoadRunAndCloseAndMacrosRunFromTheProfile)
{
    IMyScriptObject& m = *m_mach;
    LeaveReset();
    m.SetOEMDRO(104, 600);
    const QString program = QDir(m_sim.HomeFolder()).filePath(QStringLiteral("GCode/run.tap"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("G90\nG0 X1\nG0 Y2\n");
    }
    // How long loading and the moves take is the machine model's to test, on its own clock;
    // over the link a busy machine may deliver the next call only after they have ended.
    m.LoadFile(program);
    ASSERT_TRUE(WaitUntil([&] { return m.IsLoading() == 0; }, 2000));
    EXPECT_EQ(m.FileName(), program);
    m.DoOEMButton(1000);
    ASSERT_TRUE(WaitIdle());
    EXPECT_NEAR(m.GetOEMDRO(800), 1.0, Eps);
    EXPECT_NEAR(m.GetOEMDRO(801), 2.0, Eps);
    m.DoOEMButton(169);
    EXPECT_EQ(m.FileName(), QStringLiteral("No File Loaded."));

    m.LoadFile(QDir(m_sim.HomeFolder()).filePath(QStringLiteral("GCode/absent.tap")));
    ASSERT_TRUE(WaitUntil([&] { return m.IsLoading() == 0; }, 2000));
    EXPECT_TRUE(m.FileName().startsWith(QLatin1String("No File")));

    const QString macro = QDir(m_sim.HomeFolder()).filePath(QStringLiteral("Macros/Mach3Mill/M6666.m1s"));
    {
        QFile f(macro);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("DoOEMButton(113)\nSetOEMDRO(818, 33)\n");
    }
    m.Code(QStringLiteral("M6666"));
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(m.GetOEMLed(13));
    EXPECT_DOUBLE_EQ(m.GetOEMDRO(818), 33);
}
