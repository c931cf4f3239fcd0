#include "LinuxCncSession.h"

#include "host/Mach4_TLB.h"
#include "platform/ZentyrError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>

// The simulated mill on a real LinuxCNC, driven through lcnchost with the calls Zentyr's
// windows make. One session serves the whole suite (LinuxCNC takes seconds to start and to
// clean up); the cases run in order and each leaves the machine on and still.

namespace {

// The marker ctest looks for to count the suite as skipped rather than passed.
constexpr char SkipMarker[] = "LINUXCNC SUITE SKIPPED";

LinuxCncSession* g_session = nullptr;
QString g_skipReason;

class SessionEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_session = std::make_unique<LinuxCncSession>();
        if (m_session->Start()) {
            g_session = m_session.get();
            return;
        }
        g_skipReason = m_session->Reason();
        std::printf("%s: LinuxCNC cannot start here: %s\n", SkipMarker, qPrintable(g_skipReason));
    }
    void TearDown() override
    {
        g_session = nullptr;
        m_session.reset();
    }

private:
    std::unique_ptr<LinuxCncSession> m_session;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

// Waits, as Zentyr's wait loops do, polling IsMoving; false when motion did not end in time.
bool WaitUntilStill(IMyScriptObject& mach, int timeoutMs = 15000)
{
    QElapsedTimer t;
    t.start();
    while (mach.IsMoving()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool WaitFor(const std::function<bool()>& ready, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!ready()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

class LinuxCnc : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!g_session)
            GTEST_SKIP() << "LinuxCNC cannot start here: " << qPrintable(g_skipReason);
        m_doc = g_session->Connect();
        m_mach = m_doc->GetScriptObject();
    }
    void TearDown() override
    {
        if (HasFailure() && g_session)
            std::printf("%s\n", qPrintable(g_session->Logs()));
    }

    IMyScriptObject& Mach() { return *m_mach; }

    // Out of reset, as the operator's Reset button does it.
    void MachineOn()
    {
        if (Mach().GetOEMLed(800))
            Mach().DoOEMButton(1021);
        ASSERT_FALSE(Mach().GetOEMLed(800)) << "still in reset";
    }

    std::unique_ptr<IMach4Document> m_doc;
    std::shared_ptr<IMyScriptObject> m_mach;
};

}  // namespace

TEST_F(LinuxCnc, ResetTakesTheMachineOutOfEStopAndOn)
{
    EXPECT_TRUE(Mach().GetOEMLed(800)) << "LinuxCNC starts in E-stop";
    Mach().DoOEMButton(1021);
    EXPECT_FALSE(Mach().GetOEMLed(800));
}

TEST_F(LinuxCnc, MdiMoveEndsWithTheReadoutsThere)
{
    MachineOn();
    Mach().Code(QStringLiteral("G0 X1 Y2"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
    EXPECT_NEAR(Mach().GetOEMDRO(800), 1.0, 1e-4);
    EXPECT_NEAR(Mach().GetOEMDRO(801), 2.0, 1e-4);
}

TEST_F(LinuxCnc, ZeroingSetsTheWorkOffset)
{
    MachineOn();
    const double machineX = Mach().GetOEMDRO(83);
    Mach().SetOEMDRO(800, 0.0);  // the main window's ZERO on X
    EXPECT_NEAR(Mach().GetOEMDRO(800), 0.0, 1e-6);
    EXPECT_NEAR(Mach().GetOEMDRO(830), machineX, 1e-6);  // X work offset
    Mach().DoOEMButton(1009);  // Zero Y, as the bamboo window does
    EXPECT_NEAR(Mach().GetOEMDRO(801), 0.0, 1e-6);
    EXPECT_NEAR(Mach().GetOEMDRO(831), Mach().GetOEMDRO(84), 1e-6);
}

TEST_F(LinuxCnc, ContinuousJogMovesUntilStopped)
{
    MachineOn();
    Mach().DoOEMButton(204);  // continuous
    ASSERT_TRUE(Mach().GetOEMLed(83)) << "jogging enabled";
    const double x0 = Mach().GetOEMDRO(800);
    Mach().DoOEMButton(307);  // X+ pressed
    ASSERT_TRUE(WaitFor([&] { return Mach().GetOEMDRO(800) > x0 + 0.05; }, 5000)) << "the jog does not move";
    EXPECT_TRUE(Mach().IsMoving());
    Mach().DoOEMButton(1003);  // released: Stop
    ASSERT_TRUE(WaitUntilStill(Mach(), 5000)) << "the jog does not stop";
    const double stopped = Mach().GetOEMDRO(800);
    QThread::msleep(200);
    EXPECT_DOUBLE_EQ(Mach().GetOEMDRO(800), stopped);
}

TEST_F(LinuxCnc, StepJogOfOneHundredth)
{
    MachineOn();
    Mach().DoOEMButton(205);  // step
    Mach().DoOEMButton(267);  // 0.01
    EXPECT_DOUBLE_EQ(Mach().GetOEMDRO(828), 0.01);
    const double y0 = Mach().GetOEMDRO(801);
    Mach().DoOEMButton(310);  // Y-
    ASSERT_TRUE(WaitUntilStill(Mach()));
    EXPECT_NEAR(Mach().GetOEMDRO(801), y0 - 0.01, 1e-4);
    Mach().DoOEMButton(204);
}

TEST_F(LinuxCnc, FloodOnAndOffWithItsLamp)
{
    MachineOn();
    ASSERT_FALSE(Mach().GetOEMLed(13));
    Mach().DoOEMButton(113);
    EXPECT_TRUE(Mach().GetOEMLed(13));
    Mach().DoOEMButton(113);
    EXPECT_FALSE(Mach().GetOEMLed(13));
}

TEST_F(LinuxCnc, ThreeLineProgramRunsWithTheCurrentLineAdvancing)
{
    MachineOn();
    const QString path = g_session->ProgramFolder() + QStringLiteral("/three.ngc");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("G0 X0.5\nG1 X1.5 F60\nG0 X0\n");
    file.close();

    Mach().DoOEMButton(169);  // as Zentyr loads a file: close, then load
    Mach().LoadFile(path);
    EXPECT_EQ(Mach().FileName(), path);
    Mach().DoOEMButton(1000);
    QList<int> lines;
    QElapsedTimer t;
    t.start();
    do {
        const int line = int(Mach().GetOEMDRO(816));
        if (lines.isEmpty() || lines.last() != line)
            lines += line;
        QThread::msleep(10);
    } while (Mach().IsMoving() && t.elapsed() < 15000);
    ASSERT_FALSE(Mach().IsMoving());
    EXPECT_TRUE(lines.contains(1) && lines.contains(2)) << "lines seen: " << qPrintable(
        [&] { QStringList l; for (int n : lines) l += QString::number(n); return l.join(u' '); }());
    EXPECT_EQ(lines.indexOf(1) < lines.indexOf(2), true);
    EXPECT_NEAR(Mach().GetOEMDRO(800), 0.0, 1e-4);
}

TEST_F(LinuxCnc, EStopStopsMotion)
{
    MachineOn();
    const double y0 = Mach().GetOEMDRO(801);
    Mach().Code(QStringLiteral("G91 G0 Y8"));
    Mach().Code(QStringLiteral("G90"));
    ASSERT_TRUE(WaitFor([&] { return Mach().GetOEMDRO(801) > y0 + 0.1; }, 5000));
    Mach().DoOEMButton(1021);  // E-stop
    EXPECT_TRUE(Mach().GetOEMLed(800));
    ASSERT_TRUE(WaitUntilStill(Mach(), 5000));
    const double stopped = Mach().GetOEMDRO(801);
    EXPECT_LT(stopped, y0 + 7.0);
    QThread::msleep(200);
    EXPECT_DOUBLE_EQ(Mach().GetOEMDRO(801), stopped);
    MachineOn();
    Mach().Code(QStringLiteral("G90 G0 X0 Y0"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
}

TEST_F(LinuxCnc, ProbeContactReachesTheVariables)
{
    MachineOn();
    // The block covers machine X and Y from -1 to 1 below machine Z -1.
    const double offsetY = Mach().GetOEMDRO(831);
    const double offsetZ = Mach().GetOEMDRO(832);
    Mach().Code(QStringLiteral("G53 G0 Z0"));
    Mach().Code(QStringLiteral("G53 G0 X0 Y1.5"));
    Mach().Code(QStringLiteral("G53 G0 Z-2"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
    Mach().Code(QStringLiteral("g31 F60 Y") + QString::number(-1.5 - offsetY));  // Mach3's probing word
    ASSERT_TRUE(WaitUntilStill(Mach()));
    EXPECT_NEAR(Mach().GetVar(2001), 1.0 - offsetY, 0.01);
    Mach().Code(QStringLiteral("G53 G0 Z-0.5"));
    Mach().Code(QStringLiteral("G53 G0 Y0"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
    Mach().Code(QStringLiteral("g31 z-10"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
    EXPECT_NEAR(Mach().GetVar(2002), -1.0 - offsetZ, 0.01);
    Mach().Code(QStringLiteral("G53 G0 Z0"));
    ASSERT_TRUE(WaitUntilStill(Mach()));
}

TEST_F(LinuxCnc, ADroppedLinkStopsItsJogAndAbortsNothingElse)
{
    MachineOn();
    {
        auto doc = g_session->Connect();
        auto jogger = doc->GetScriptObject();
        jogger->DoOEMButton(204);
        jogger->DoOEMButton(307);
        ASSERT_TRUE(Mach().IsMoving());
    }  // the link drops with the jog button held
    ASSERT_TRUE(WaitUntilStill(Mach(), 5000)) << "the jog of the dropped link goes on";

    Mach().Code(QStringLiteral("G0 Y1"));
    ASSERT_TRUE(Mach().IsMoving());
    {
        auto doc = g_session->Connect();
        doc->GetScriptObject()->GetOEMLed(800);
    }  // another link comes and goes meanwhile
    ASSERT_TRUE(WaitUntilStill(Mach()));
    EXPECT_NEAR(Mach().GetOEMDRO(801), 1.0, 1e-4) << "the MDI move was cut short";
}

// Runs last: it holds LinuxCNC's task still to make it stop answering.
TEST_F(LinuxCnc, ALostLinuxCncFailsCallsAndAnswersAgain)
{
    const QList<qint64> tasks = g_session->Processes(QStringLiteral("milltask"));
    ASSERT_EQ(tasks.size(), 1);
    ::kill(pid_t(tasks[0]), SIGSTOP);
    QThread::msleep(250);  // a status written a moment ago is still taken as it is
    QString reasons[2];
    for (QString& reason : reasons) {
        try {
            Mach().GetOEMDRO(800);
        } catch (const ZentyrError& e) {
            reason = e.message();
        }
    }
    ::kill(pid_t(tasks[0]), SIGCONT);
    // lcnchost's own answer, not the link's timeout: the call failed well within its time.
    for (const QString& reason : reasons)
        EXPECT_TRUE(reason.contains(QLatin1String("LinuxCNC stopped answering"))) << qPrintable(reason);
    bool answers = false;
    EXPECT_TRUE(WaitFor(
        [&] {
            try {
                Mach().GetOEMLed(800);
                answers = true;
            } catch (const ZentyrError&) {
            }
            return answers;
        },
        5000));
}
