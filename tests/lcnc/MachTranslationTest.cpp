#include "FakeController.h"
#include "lcnc/MachTranslation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace lcnchost;

namespace {

struct Machine
{
    FakeController lcnc;
    QStringList notes;
    // 200 inches per minute at the top, as the shipped configuration.
    MachTranslation host{lcnc, {200.0 / 60.0, QString(), 1.0}, [this](const QString& t) { notes += t; }};
};

using Arrange = std::function<void(Machine&)>;
using Commands = std::vector<const char*>;

void Nothing(Machine&) {}
void OnManual(Machine& m) { m.lcnc.On(TaskMode::Manual); }
void OnMdi(Machine& m) { m.lcnc.On(TaskMode::Mdi); }
void Running(Machine& m)
{
    m.lcnc.On(TaskMode::Auto);
    m.lcnc.status.file = QStringLiteral("/p/a.ngc");
    m.lcnc.status.interp = InterpState::Waiting;
}
void Jogging(Machine& m)
{
    m.lcnc.On(TaskMode::Manual);
    m.host.DoOEMButton(307);  // X+ continuous, by joint
    m.lcnc.status.jogging = true;
    m.lcnc.journal.clear();
}

std::string Joined(const QStringList& list)
{
    return list.join(QStringLiteral(" | ")).toStdString();
}

std::string Joined(const Commands& list)
{
    std::string out;
    for (const char* item : list)
        out += (out.empty() ? "" : " | ") + std::string(item);
    return out;
}

}  // namespace

// What each OEM button the windows use asks of LinuxCNC, from a given state.
TEST(MachTranslation, ButtonsBecomeLinuxCncCommands)
{
    struct Case
    {
        const char* what;
        Arrange setup;
        int code;
        Commands commands;
    };
    const Case cases[] = {
        {"reset out of E-stop", Nothing, 1021, {"SetState(EStopReset)", "SetState(On)"}},
        {"reset from machine off", [](Machine& m) { m.lcnc.status.state = TaskState::Off; }, 1021, {"SetState(On)"}},
        {"reset into E-stop", OnManual, 1021, {"SetState(EStop)"}},
        {"flood on", OnManual, 113, {"Flood(1)"}},
        {"flood off", [](Machine& m) { m.lcnc.On(); m.lcnc.status.flood = true; }, 113, {"Flood(0)"}},
        {"mist on", OnManual, 114, {"Mist(1)"}},
        {"zero X", OnManual, 1008, {"SetMode(Mdi)", "Mdi(G10 L20 P0 X0)"}},
        {"zero Z in MDI", OnMdi, 1010, {"Mdi(G10 L20 P0 Z0)"}},
        {"reference Y", OnMdi, 1023, {"SetMode(Manual)", "Home(1)"}},
        {"reference all", OnManual, 105, {"Home(-1)"}},
        {"reference X again once all are",
         [](Machine& m) { m.lcnc.On(); m.lcnc.status.motionMode = MotionMode::Teleop; }, 1022,
         {"Teleop(0)", "Home(0)"}},
        {"goto safe Z", OnManual, 104, {"SetMode(Mdi)", "Mdi(G53 G0 Z1)"}},
        {"continuous jog X+ unreferenced", OnManual, 307, {"JogCont(0, 0.666667, joint)"}},
        {"continuous jog Z- referenced",
         [](Machine& m) { m.lcnc.On(TaskMode::Mdi); m.lcnc.status.motionMode = MotionMode::Teleop; }, 312,
         {"SetMode(Manual)", "JogCont(2, -0.666667, axis)"}},
        {"step jog Y- of 0.01",
         [](Machine& m) { m.lcnc.On(); m.host.DoOEMButton(205); m.host.DoOEMButton(267); }, 310,
         {"JogIncr(1, -0.01, 0.666667, joint)"}},
        {"jog while jogging is disabled", [](Machine& m) { m.lcnc.On(); m.host.DoOEMButton(103); }, 307, {}},
        {"A jog, no A axis", OnManual, 313, {}},
        {"stop a jog", Jogging, 1003, {"JogStop(0, joint)", "JogStop(1, joint)", "JogStop(2, joint)"}},
        {"stop a program", Running, 1003, {"Abort"}},
        {"stop while idle", OnManual, 1003, {}},
        {"cycle start", [](Machine& m) { m.lcnc.On(); m.lcnc.status.file = QStringLiteral("/p/a.ngc"); }, 1000,
         {"SetMode(Auto)", "Run(0)"}},
        {"cycle start from line 4",
         [](Machine& m) { m.lcnc.On(); m.lcnc.status.file = QStringLiteral("/p/a.ngc"); m.host.SetOEMDRO(816, 4); },
         1000, {"SetMode(Auto)", "Run(5)"}},
        {"cycle start in single step",
         [](Machine& m) { m.lcnc.On(); m.lcnc.status.file = QStringLiteral("/p/a.ngc"); m.host.DoOEMButton(1004); },
         1000, {"SetMode(Auto)", "Step"}},
        {"cycle start resumes a pause",
         [](Machine& m) { Running(m); m.lcnc.status.interp = InterpState::Paused; }, 1000, {"Resume"}},
        {"cycle start while running", Running, 1000, {}},
        {"pause", Running, 1001, {"Pause"}},
        {"pause with nothing running", OnManual, 1001, {}},
        {"close file", [](Machine& m) { m.lcnc.On(); m.lcnc.status.file = QStringLiteral("/p/a.ngc"); }, 169, {"Close"}},
        {"spindle start", [](Machine& m) { m.lcnc.On(); m.lcnc.status.speedWord = 1200; }, 182, {"SpindleOn(1200)"}},
        {"spindle stop", [](Machine& m) { m.lcnc.On(); m.lcnc.status.spindleDirection = -1; }, 182, {"SpindleOff"}},
        {"tool path redraw: no display to redraw", OnManual, 160, {}},
        {"unknown button", OnManual, 5, {}},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        m.lcnc.journal.clear();
        EXPECT_NO_THROW(m.host.DoOEMButton(c.code)) << c.what;
        EXPECT_EQ(Joined(m.lcnc.journal), Joined(c.commands)) << c.what;
    }
}

// A command LinuxCNC cannot carry out now reaches the operator with its reason, and nothing is
// sent.
TEST(MachTranslation, RefusalsCarryTheirReasonAndSendNothing)
{
    QTemporaryDir folder;
    struct Case
    {
        const char* what;
        Arrange setup;
        std::function<void(MachTranslation&)> call;
        const char* reason;
    };
    const Case cases[] = {
        {"jog in reset", Nothing, [](MachTranslation& h) { h.DoOEMButton(307); }, "the machine is in reset"},
        {"G-code in reset", Nothing, [](MachTranslation& h) { h.Code(QStringLiteral("G0 X1")); }, "in reset"},
        {"G-code while a program runs", Running, [](MachTranslation& h) { h.Code(QStringLiteral("G0 X1")); },
         "a program is running"},
        {"G-code while jogging", Jogging, [](MachTranslation& h) { h.Code(QStringLiteral("G0 X1")); },
         "the machine is jogging"},
        {"jog while an MDI move runs", [](Machine& m) { OnMdi(m); m.lcnc.status.interp = InterpState::Waiting; },
         [](MachTranslation& h) { h.DoOEMButton(309); }, "the machine is moving"},
        {"reference while jogging", Jogging, [](MachTranslation& h) { h.DoOEMButton(1022); }, "jogging"},
        {"cycle start without a file", OnManual, [](MachTranslation& h) { h.DoOEMButton(1000); }, "no file is loaded"},
        {"cycle start after closing",
         [](Machine& m) { m.lcnc.On(); m.lcnc.status.file = QStringLiteral("/p/a.ngc"); m.host.DoOEMButton(169); },
         [](MachTranslation& h) { h.DoOEMButton(1000); }, "no file is loaded"},
        {"spindle at speed zero", OnManual, [](MachTranslation& h) { h.DoOEMButton(182); }, "speed is zero"},
        {"load a missing file", OnManual,
         [&](MachTranslation& h) { h.LoadFile(folder.filePath(QStringLiteral("none.ngc"))); }, "no such file"},
        {"load a folder", OnManual, [&](MachTranslation& h) { h.LoadFile(folder.path()); }, "no such file"},
        {"load while running", Running,
         [&](MachTranslation& h) {
             QFile f(folder.filePath(QStringLiteral("b.ngc")));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.close();
             h.LoadFile(f.fileName());
         },
         "a program is running"},
        {"negative feed", OnManual, [](MachTranslation& h) { h.SetOEMDRO(818, -1); }, "negative"},
        {"not a number", OnManual,
         [](MachTranslation& h) { h.SetOEMDRO(800, std::numeric_limits<double>::quiet_NaN()); }, "not a number"},
        {"zero jog step", OnManual, [](MachTranslation& h) { h.SetOEMDRO(828, 0); }, "greater than zero"},
        {"line while running", Running, [](MachTranslation& h) { h.SetOEMDRO(816, 3); }, "a program is running"},
        {"line that is no line", OnManual, [](MachTranslation& h) { h.SetOEMDRO(816, 2.5); }, "not a line"},
        {"LinuxCNC refuses", [](Machine& m) { m.lcnc.On(); m.lcnc.refusing = true; },
         [](MachTranslation& h) { h.DoOEMButton(113); }, "LinuxCNC refused"},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        m.lcnc.journal.clear();
        try {
            c.call(m.host);
            ADD_FAILURE() << c.what << ": no refusal";
        } catch (const ControllerError& e) {
            EXPECT_TRUE(e.Reason().contains(QLatin1String(c.reason))) << c.what << ": " << e.what();
        }
        EXPECT_EQ(Joined(m.lcnc.journal), "") << c.what;
    }
}

TEST(MachTranslation, LampsFollowLinuxCncAndTheHostsOwnSwitches)
{
    struct Case
    {
        const char* what;
        Arrange setup;
        int code;
        bool lit;
    };
    const Case cases[] = {
        {"reset in E-stop", Nothing, 800, true},
        {"reset while off", [](Machine& m) { m.lcnc.status.state = TaskState::Off; }, 800, true},
        {"reset when on", OnManual, 800, false},
        {"flood", [](Machine& m) { m.lcnc.status.flood = true; }, 13, true},
        {"mist", [](Machine& m) { m.lcnc.status.mist = true; }, 12, true},
        {"pause active", [](Machine& m) { Running(m); m.lcnc.status.interp = InterpState::Paused; }, 80, true},
        {"no pause while running", Running, 80, false},
        {"X referenced", [](Machine& m) { m.lcnc.status.homed[0] = true; }, 807, true},
        {"Z not referenced", [](Machine& m) { m.lcnc.status.homed[0] = true; }, 809, false},
        {"spindle running", [](Machine& m) { m.lcnc.status.spindleDirection = -1; }, 116, true},
        {"spindle reverse is not CW", [](Machine& m) { m.lcnc.status.spindleDirection = -1; }, 11, false},
        {"jogging enabled at start", Nothing, 83, true},
        {"jogging disabled", [](Machine& m) { m.host.DoOEMButton(103); }, 83, false},
        {"continuous jogging at start", Nothing, 14, true},
        {"step jogging", [](Machine& m) { m.host.DoOEMButton(205); }, 15, true},
        {"machine coordinates", [](Machine& m) { m.host.DoOEMButton(107); }, 16, true},
        {"single step", [](Machine& m) { m.host.DoOEMButton(1004); }, 82, true},
        {"single step twice", [](Machine& m) { m.host.DoOEMButton(1004); m.host.DoOEMButton(1004); }, 82, false},
        {"Y minus limit", [](Machine& m) { m.lcnc.status.minHardLimit[1] = true; }, 832, true},
        {"Y plus limit", [](Machine& m) { m.lcnc.status.minHardLimit[1] = true; }, 831, false},
        {"program running", Running, 804, true},
        {"unknown lamp", OnManual, 2, false},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        EXPECT_EQ(m.host.GetOEMLed(c.code), c.lit) << c.what;
    }
}

TEST(MachTranslation, ReadoutsInMach3Units)
{
    struct Case
    {
        const char* what;
        Arrange setup;
        int code;
        double value;
    };
    const auto offsets = [](Machine& m) {
        m.lcnc.status.position = {3.0, 4.0, -1.0};
        m.lcnc.status.g5xOffset = {1.0, 1.0, 0.5};
        m.lcnc.status.g92Offset = {0.5, 0.0, 0.0};
        m.lcnc.status.toolOffset = {0.0, 0.0, 0.25};
    };
    const Case cases[] = {
        {"X in work coordinates", offsets, 800, 1.5},
        {"Z less tool length", offsets, 802, -1.75},
        {"X in machine coordinates", [&](Machine& m) { offsets(m); m.host.DoOEMButton(107); }, 800, 3.0},
        {"Y machine coordinate", offsets, 84, 4.0},
        {"Y rotated by 90 degrees",
         [&](Machine& m) { offsets(m); m.lcnc.status.rotationXY = 90.0; }, 801, -2.0},
        {"X fixture offset", offsets, 830, 1.0},
        {"line while running: 0-based", [](Machine& m) { Running(m); m.lcnc.status.motionLine = 3; }, 816, 2.0},
        {"line before the first move", [](Machine& m) { Running(m); m.lcnc.status.motionLine = 0; }, 816, 0.0},
        {"line to start from", [](Machine& m) { m.host.SetOEMDRO(816, 7); }, 816, 7.0},
        {"feed rate", [](Machine& m) { m.lcnc.status.feedWord = 12.5; }, 818, 12.5},
        {"feed override", [](Machine& m) { m.lcnc.status.feedScale = 1.2; }, 821, 120.0},
        {"rapid rate", [](Machine& m) { m.lcnc.status.rapidScale = 0.5; }, 104, 100.0},
        {"spindle speed", [](Machine& m) { m.lcnc.status.speedWord = 2400; }, 817, 2400.0},
        {"jog step at start", Nothing, 828, 1.0},
        {"jog step 0.001", [](Machine& m) { m.host.DoOEMButton(268); }, 828, 0.001},
        {"jog amount follows", [](Machine& m) { m.host.DoOEMButton(269); }, 1, 0.0001},
        {"jog speed at start", Nothing, 126, 40.0},
        {"X velocity per minute", [](Machine& m) { m.lcnc.status.velocity[0] = 0.5; }, 806, 30.0},
        {"unknown readout keeps its value", [](Machine& m) { m.host.SetOEMDRO(3, 42); }, 3, 42.0},
        {"unknown readout starts at zero", Nothing, 900, 0.0},
        {"written velocity is ignored", [](Machine& m) { m.host.SetOEMDRO(806, 9); }, 806, 0.0},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        EXPECT_NEAR(m.host.GetOEMDRO(c.code), c.value, 1e-9) << c.what;
    }
}

TEST(MachTranslation, ReadoutWritesBecomeCommands)
{
    struct Case
    {
        const char* what;
        int code;
        double value;
        Commands commands;
    };
    const Case cases[] = {
        {"set X", 800, 1.25, {"SetMode(Mdi)", "Mdi(G10 L20 P0 X1.25)"}},
        {"set Y negative", 801, -0.5, {"SetMode(Mdi)", "Mdi(G10 L20 P0 Y-0.5)"}},
        {"Z fixture offset", 832, 2, {"SetMode(Mdi)", "Mdi(G10 L2 P0 Z2)"}},
        {"feed rate", 818, 30, {"SetMode(Mdi)", "Mdi(F30)"}},
        {"spindle speed", 817, 1800, {"SetMode(Mdi)", "Mdi(S1800)"}},
        {"feed override", 821, 150, {"FeedScale(1.5)"}},
        {"feed override beyond 200 %", 821, 500, {"FeedScale(2)"}},
        {"rapid rate", 104, 100, {"RapidScale(0.5)"}},
        {"rapid beyond the top", 104, 400, {"RapidScale(1)"}},
        {"safe Z stays here", 54, 0.5, {}},
        {"jog speed stays here", 126, 60, {}},
    };
    for (const Case& c : cases) {
        Machine m;
        m.lcnc.On();
        m.host.SetOEMDRO(c.code, c.value);
        EXPECT_EQ(Joined(m.lcnc.journal), Joined(c.commands)) << c.what;
    }
}

TEST(MachTranslation, JogSpeedAndSafeZWrittenAreUsed)
{
    Machine m;
    m.lcnc.On(TaskMode::Mdi);
    m.host.SetOEMDRO(54, 0.75);
    m.host.SetOEMDRO(126, 600);  // beyond the machine's top speed
    m.host.DoOEMButton(104);
    m.host.DoOEMButton(311);
    EXPECT_EQ(Joined(m.lcnc.journal), "Mdi(G53 G0 Z0.75) | SetMode(Manual) | JogCont(2, 3.33333, joint)");
}

TEST(MachTranslation, ProbeContactInWorkCoordinates)
{
    Machine m;
    m.lcnc.status.probedPosition = {0.25, -1.0, -2.0};
    m.lcnc.status.g5xOffset = {0.0, 0.5, -1.0};
    m.lcnc.status.probeTripped = true;
    EXPECT_DOUBLE_EQ(m.host.GetVar(2000), 0.25);
    EXPECT_DOUBLE_EQ(m.host.GetVar(2001), -1.5);
    EXPECT_DOUBLE_EQ(m.host.GetVar(2002), -1.0);
    EXPECT_DOUBLE_EQ(m.host.GetVar(5062), -1.5);
    EXPECT_DOUBLE_EQ(m.host.GetVar(5070), 1.0);
    EXPECT_DOUBLE_EQ(m.host.GetVar(2003), 0.0);  // no A axis
    EXPECT_DOUBLE_EQ(m.host.GetVar(100), 0.0);
}

TEST(MachTranslation, MovingWhileAnythingIsUnderWay)
{
    struct Case
    {
        const char* what;
        Arrange setup;
        bool moving;
    };
    const Case cases[] = {
        {"idle", OnManual, false},
        {"program", Running, true},
        {"paused program", [](Machine& m) { Running(m); m.lcnc.status.interp = InterpState::Paused; }, true},
        {"jog", [](Machine& m) { m.lcnc.status.jogging = true; }, true},
        {"on the way to position", [](Machine& m) { m.lcnc.status.inPosition = false; }, true},
        {"MDI lines waiting", [](Machine& m) { m.lcnc.status.queuedMdi = 2; }, true},
        {"referencing", [](Machine& m) { m.lcnc.status.homing[2] = true; }, true},
        {"task waiting", [](Machine& m) { m.lcnc.status.execDone = false; }, true},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        EXPECT_EQ(m.host.IsMoving(), c.moving) << c.what;
    }
}

TEST(MachTranslation, ProgramsLoadCloseAndNameTheirFile)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("part.ngc")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("G0 X1\n");
    file.close();

    FakeController lcnc;
    lcnc.On(TaskMode::Mdi);
    MachTranslation host(lcnc, {1.0, folder.path(), 1.0});
    EXPECT_EQ(host.FileName(), QStringLiteral("No File Loaded."));
    host.LoadFile(QStringLiteral("part.ngc"));  // relative to the program folder
    EXPECT_EQ(host.FileName(), QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(host.IsLoading(), 0);
    host.DoOEMButton(169);
    EXPECT_EQ(host.FileName(), QStringLiteral("No File Loaded."));
    host.LoadFile(file.fileName());
    EXPECT_EQ(host.FileName(), QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(Joined(lcnc.journal), "SetMode(Auto) | Open(" + QFileInfo(file).absoluteFilePath().toStdString()
                                         + ") | Close | Open(" + QFileInfo(file).absoluteFilePath().toStdString() + ")");
}

TEST(MachTranslation, GCodeGoesLineByLineInLinuxCncsDialect)
{
    Machine m;
    m.lcnc.On(TaskMode::Manual);
    m.host.Code(QStringLiteral("g31 F1 Y0.2000\r\n\r\nG0 Z1\n"));
    m.host.Code(QStringLiteral("   "));
    EXPECT_EQ(Joined(m.lcnc.journal), "SetMode(Mdi) | Mdi(G38.3 F1 Y0.2000) | Mdi(G0 Z1)");
}

// A LinuxCNC out of reach fails every operation, so Zentyr's poll pass stops on the first
// call instead of showing stale values; only the link's own clean-up swallows it.
TEST(MachTranslation, LostLinuxCncFailsEveryCall)
{
    Machine m;
    m.lcnc.gone = true;
    const std::function<void(MachTranslation&)> calls[] = {
        [](MachTranslation& h) { h.GetOEMLed(800); },
        [](MachTranslation& h) { h.GetOEMLed(2); },
        [](MachTranslation& h) { h.GetOEMDRO(800); },
        [](MachTranslation& h) { h.GetOEMDRO(900); },
        [](MachTranslation& h) { h.SetOEMDRO(900, 1); },
        [](MachTranslation& h) { h.IsMoving(); },
        [](MachTranslation& h) { h.DoOEMButton(1021); },
        [](MachTranslation& h) { h.Code(QStringLiteral("G0 X1")); },
        [](MachTranslation& h) { h.FileName(); },
        [](MachTranslation& h) { h.GetVar(2001); },
        [](MachTranslation& h) { h.IsLoading(); },
    };
    for (size_t i = 0; i < std::size(calls); ++i)
        EXPECT_THROW(calls[i](m.host), ControllerError) << "call " << i;
    EXPECT_NO_THROW(m.host.StopJogs());
}

TEST(MachTranslation, StopJogsStopsJogsAndNothingElse)
{
    struct Case
    {
        const char* what;
        Arrange setup;
        Commands commands;
    };
    const Case cases[] = {
        {"continuous jog started here", Jogging, {"JogStop(0, joint)", "JogStop(1, joint)", "JogStop(2, joint)"}},
        {"step jog under way, referenced",
         [](Machine& m) {
             m.lcnc.On();
             m.lcnc.status.motionMode = MotionMode::Teleop;
             m.lcnc.status.jogging = true;
         },
         {"JogStop(0, axis)", "JogStop(1, axis)", "JogStop(2, axis)"}},
        {"program running", Running, {}},
        {"MDI move", [](Machine& m) { OnMdi(m); m.lcnc.status.interp = InterpState::Waiting; }, {}},
        {"idle", OnManual, {}},
    };
    for (const Case& c : cases) {
        Machine m;
        c.setup(m);
        m.lcnc.journal.clear();
        m.host.StopJogs();
        EXPECT_EQ(Joined(m.lcnc.journal), Joined(c.commands)) << c.what;
    }
}

TEST(MachTranslation, MessagesAndUnknownButtonsAreReported)
{
    Machine m;
    m.host.Message(QStringLiteral("Probing Y axis"));
    m.host.DoButton(7);
    m.host.DoOEMButton(5);
    EXPECT_EQ(m.host.LastMessage(), QStringLiteral("Probing Y axis"));
    ASSERT_EQ(m.notes.size(), 3);
    EXPECT_TRUE(m.notes[1].contains(QLatin1String("7")));
    EXPECT_TRUE(m.notes[2].contains(QLatin1String("5")));
}
