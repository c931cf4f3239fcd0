#include "SimTestSupport.h"


#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hostsim;

namespace {

constexpr double Tolerance = 1e-9;

}  // namespace

TEST_F(SimFixture, LoadingAFileTakesAMomentAndClosingForgetsIt)
{
    EXPECT_EQ(model->FileName(), QStringLiteral("No File Loaded."));
    const QString path = WriteFile(QStringLiteral("GCode/a.tap"), "G0 X1\r\nG0 X2\r\n");
    model->LoadFile(path);
    EXPECT_NE(model->IsLoading(), 0);
    EXPECT_EQ(model->FileName(), path);
    EXPECT_TRUE(model->LoadedLines().isEmpty());
    model->DoOEMButton(1000);
    EXPECT_FALSE(model->IsMoving()) << "no cycle start while loading";
    Wait(MachineModel::LoadingMs);
    EXPECT_EQ(model->IsLoading(), 0);
    EXPECT_EQ(model->LoadedLines(), (QStringList{QStringLiteral("G0 X1"), QStringLiteral("G0 X2")}));

    // A relative path is taken from the controller's folder, its working folder.
    WriteFile(QStringLiteral("GCode/b.tap"), "G0 Y1\n");
    model->LoadFile(QStringLiteral("GCode/b.tap"));
    Wait(MachineModel::LoadingMs);
    EXPECT_EQ(model->LoadedLines(), QStringList{QStringLiteral("G0 Y1")});
    EXPECT_EQ(model->FileName(), QStringLiteral("GCode/b.tap"));
    model->LoadFile(path);
    Wait(MachineModel::LoadingMs);

    // A file that cannot be read is reported and leaves the loaded one in place.
    model->LoadFile(FolderPath() + QStringLiteral("/missing.tap"));
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("missing.tap")));
    EXPECT_EQ(model->FileName(), path);
    EXPECT_EQ(model->LoadedLines().size(), 2);

    model->DoOEMButton(169);
    EXPECT_EQ(model->FileName(), QStringLiteral("No File Loaded."));
    EXPECT_TRUE(model->LoadedLines().isEmpty());
}

// A folder, a device or a named pipe is no program: each is refused at once and leaves the
// loaded file alone. A pipe nobody writes to would otherwise block the simulator for good.
TEST_F(SimFixture, OnlyRegularFilesLoad)
{
    const QString loaded = WriteFile(QStringLiteral("GCode/a.tap"), "G0 X1\n");
    model->LoadFile(loaded);
    Wait(MachineModel::LoadingMs);

    const QString pipe = FolderPath() + QStringLiteral("/pipe.tap");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Should a load block on the pipe, a writer comes by after a while so that the test fails
    // instead of hanging. A writer can open the pipe only while a reader holds it open, so a
    // writer that got in proves that the load blocked.
    std::atomic<bool> done{false};
    std::atomic<bool> unblocked{false};
    std::thread releaser([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int i = 0; i < 100 && !done; ++i) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                unblocked = true;
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    for (const QString& path : {QStringLiteral("GCode"), QStringLiteral("/dev/null"), pipe}) {
        model->LoadFile(path);
        EXPECT_FALSE(unblocked) << path.toStdString() << ": the load blocked on the pipe";
        EXPECT_EQ(model->IsLoading(), 0) << path.toStdString();
        EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("not a regular file")))
            << path.toStdString() << ": " << model->StatusLine().toStdString();
        EXPECT_EQ(model->FileName(), loaded) << path.toStdString();
    }
    done = true;
    releaser.join();
    EXPECT_EQ(model->LoadedLines(), QStringList{QStringLiteral("G0 X1")});
}

TEST_F(SimFixture, ProgramFilesKeepEveryByteOfTheirText)
{
    // Not valid UTF-8: read byte for byte as Latin-1.
    model->LoadFile(WriteFile(QStringLiteral("latin.tap"), "(Gr\xfc\xdf" "e)\rG0 X1"));
    Wait(MachineModel::LoadingMs);
    EXPECT_EQ(model->LoadedLines(),
              (QStringList{QStringLiteral("(Gr\u00fc\u00dfe)"), QStringLiteral("G0 X1")}));
    model->LoadFile(WriteFile(QStringLiteral("utf8.tap"), "(Gr\xc3\xbc\xc3\x9f" "e)\n"));
    Wait(MachineModel::LoadingMs);
    EXPECT_EQ(model->LoadedLines(), QStringList{QStringLiteral("(Gr\u00fc\u00dfe)")});
}

TEST_F(SimFixture, CycleStartRunsTheProgramLineByLine)
{
    model->LoadFile(WriteFile(QStringLiteral("run.tap"),
                              ";REM comment\r\nG0 X1\r\nM8\r\nG4 P1\r\nG01 F60 X2\r\nM9\r\n"));
    Wait(MachineModel::LoadingMs);
    model->DoOEMButton(1000);
    EXPECT_TRUE(model->IsMoving());
    EXPECT_TRUE(model->ProgramRunning());
    EXPECT_EQ(model->GetOEMDRO(816), 1.0) << "the comment line takes no time";
    Wait(600);
    EXPECT_EQ(model->GetOEMDRO(816), 3.0);
    EXPECT_TRUE(model->GetOEMLed(13));
    Wait(1000);
    EXPECT_EQ(model->GetOEMDRO(816), 4.0);
    EXPECT_EQ(WaitForIdle(), 1000);
    EXPECT_NEAR(X(), 2.0, Tolerance);
    EXPECT_FALSE(model->GetOEMLed(13));
    EXPECT_FALSE(model->ProgramRunning());
    EXPECT_EQ(model->GetOEMDRO(816), 0.0) << "running off the end rewinds";
}

TEST_F(SimFixture, ProgramStopsPausesAndRewinds)
{
    model->LoadFile(WriteFile(QStringLiteral("stop.tap"),
                              "G0 X1\nG0 X2\nM0\nG0 X3\nM30\nG0 X9\n"));
    Wait(MachineModel::LoadingMs);

    // Single step: each cycle start runs one line.
    model->DoOEMButton(1004);
    EXPECT_TRUE(model->GetOEMLed(82));
    model->DoOEMButton(1000);
    WaitForIdle();
    EXPECT_NEAR(X(), 1.0, Tolerance);
    EXPECT_EQ(model->CurrentLine(), 1);
    EXPECT_FALSE(model->ProgramRunning());
    model->DoOEMButton(1004);
    EXPECT_FALSE(model->GetOEMLed(82));

    // M0 waits for the next cycle start; M30 ends and rewinds before the line after it.
    model->DoOEMButton(1000);
    WaitForIdle();
    EXPECT_NEAR(X(), 2.0, Tolerance);
    EXPECT_EQ(model->CurrentLine(), 3);
    model->DoOEMButton(1000);
    WaitForIdle();
    EXPECT_NEAR(X(), 3.0, Tolerance);
    EXPECT_EQ(model->CurrentLine(), 0);

    // Stop leaves the current line; rewind is refused while running and works after.
    model->DoOEMButton(1000);
    Wait(1500);  // X3 to X1 takes 1.2 s, then line 1 runs
    EXPECT_EQ(model->CurrentLine(), 1);
    model->DoOEMButton(1002);
    EXPECT_EQ(model->CurrentLine(), 1);
    model->Code(QStringLiteral("G0 Y5"));  // the operator's lines wait for the run to end
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("program is running")));
    model->DoOEMButton(1003);
    EXPECT_FALSE(model->IsMoving());
    EXPECT_EQ(model->CurrentLine(), 1);
    EXPECT_NEAR(Y(), 0.0, Tolerance);
    model->DoOEMButton(1002);
    EXPECT_EQ(model->CurrentLine(), 0);

    // Reset ends a run as well.
    model->DoOEMButton(1000);
    Wait(100);
    model->DoOEMButton(1021);
    EXPECT_FALSE(model->ProgramRunning());
    EXPECT_FALSE(model->IsMoving());
}

TEST_F(SimFixture, ABadProgramLineStopsTheRunThere)
{
    model->LoadFile(WriteFile(QStringLiteral("bad.tap"), "G0 X1\nG2 X3 Y3 I1\nG0 X9\n"));
    Wait(MachineModel::LoadingMs);
    model->DoOEMButton(1000);
    WaitForIdle();
    EXPECT_NEAR(X(), 1.0, Tolerance);
    EXPECT_EQ(model->CurrentLine(), 1);
    EXPECT_FALSE(model->ProgramRunning());
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("line 2"))) << model->StatusLine().toStdString();
}

TEST_F(SimFixture, GeneratedPlatenProgramRunsToItsEnd)
{
    // The shape the bamboo window writes: words run together, lower-case letters, ;REM lines.
    const QByteArray program =
        ";REM Perform Platen cut: start at: 11.0000 for 10.0000 inches\r\n"
        ";REM End at: 1.0000\r\n"
        "G0 Z0.6000\r\nG0 x10.9900\r\nM7\r\nG4 P2\r\nM8\r\nG4 P2\r\nM3\r\n"
        "G0 X10.9900\r\nG01 F20.0000 Z0.4600\r\nF60.0000X1.0100\r\nG0 Z0.5600\r\n"
        "G0 X11.0000\r\nG01 F20.0000 Z0.4100\r\nF60.0000X1.0000\r\nM5\r\nM9\r\nG0 Z0.6000\r\n";
    model->LoadFile(WriteFile(QStringLiteral("GCode/Platen Cut.tap"), program));
    Wait(MachineModel::LoadingMs);
    model->DoOEMButton(1000);
    WaitForIdle();
    EXPECT_TRUE(model->MessageHistory().isEmpty()) << model->StatusLine().toStdString();
    EXPECT_NEAR(X(), 1.0, Tolerance);
    EXPECT_NEAR(Z(), 0.6, Tolerance);
    EXPECT_FALSE(model->GetOEMLed(116) || model->GetOEMLed(13) || model->GetOEMLed(12));
    EXPECT_EQ(model->GetOEMDRO(818), 60.0);
}

TEST_F(SimFixture, ScriptButtonMacroRunsItsStatements)
{
    WriteFile(QStringLiteral("Macros/Bamboo/M6666.m1s"),
              "' set up and move\r\n"
              "SetOEMDRO(818, 30)\r\n"
              "DoOEMButton(113)\r\n"
              "Code \"G1 X1\"\r\n"
              "Code(\"G0 Y1\")\r\n"
              "Message \"macro done\"\r\n"
              "x = 5\r\n");
    model->Code(QStringLiteral("G0 Z1"));
    model->Code(QStringLiteral("M6666"));
    model->Code(QStringLiteral("G0 Z2"));
    WaitForIdle();
    EXPECT_EQ(model->GetOEMDRO(818), 30.0);
    EXPECT_TRUE(model->GetOEMLed(13));
    EXPECT_NEAR(X(), 1.0, Tolerance);
    EXPECT_NEAR(Y(), 1.0, Tolerance);
    EXPECT_NEAR(Z(), 2.0, Tolerance) << "the macro's moves run before later lines";
    const QStringList history = model->MessageHistory();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0], QStringLiteral("macro done"));
    EXPECT_TRUE(history[1].contains(QStringLiteral("line 7"))) << history[1].toStdString();

    // Without the file, M6666 is reported and nothing else happens.
    QFile::remove(model->MacroFolder() + QStringLiteral("M6666.m1s"));
    model->Code(QStringLiteral("M6666"));
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("M6666"))) << model->StatusLine().toStdString();
    EXPECT_FALSE(model->IsMoving());
}

TEST_F(SimFixture, ProgramLinesRunMacrosBeforeTheNextLine)
{
    WriteFile(QStringLiteral("Macros/Bamboo/M200.m1s"), "Code \"G0 Y1\"\r\nDoOEMButton(113)\r\n");
    model->LoadFile(WriteFile(QStringLiteral("macro.tap"), "M200\nG0 X3\n"));
    Wait(MachineModel::LoadingMs);
    model->DoOEMButton(1000);
    Wait(600);
    EXPECT_NEAR(Y(), 1.0, Tolerance);
    EXPECT_NEAR(X(), 0.0, Tolerance);
    EXPECT_TRUE(model->GetOEMLed(13));
    WaitForIdle();
    EXPECT_NEAR(X(), 3.0, Tolerance);
    EXPECT_TRUE(model->MessageHistory().isEmpty()) << model->StatusLine().toStdString();
}

TEST_F(SimFixture, MacrosThatCallThemselvesEnd)
{
    // Without motion, thousands of nested calls happen at one instant: they are stopped.
    WriteFile(QStringLiteral("Macros/Bamboo/M6666.m1s"), QByteArray("Code \"M6666\"\r\n").repeated(4));
    model->Code(QStringLiteral("M6666"));
    EXPECT_FALSE(model->IsMoving());
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("stopped"))) << model->StatusLine().toStdString();

    // With motion between the calls, nesting ends it after eight levels.
    WriteFile(QStringLiteral("Macros/Bamboo/M6666.m1s"), "Code \"G91 G0 X0.1\"\r\nCode \"M6666\"\r\n");
    model->Code(QStringLiteral("M6666"));
    WaitForIdle();
    EXPECT_NEAR(X(), 0.8, Tolerance);
    EXPECT_TRUE(model->StatusLine().contains(QStringLiteral("nested"))) << model->StatusLine().toStdString();
}

TEST_F(SimFixture, VariablesCanBeSetFromGCode)
{
    model->Code(QStringLiteral("#100=2.5\n#101=#100\nG0 X#101"));
    WaitForIdle();
    EXPECT_EQ(model->GetVar(100), 2.5);
    EXPECT_EQ(model->GetVar(101), 2.5);
    EXPECT_NEAR(X(), 2.5, Tolerance);
}

TEST(MachineModelFolders, CreatesTheControllerFoldersAndKeepsMacrosInside)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ManualClock clock;
    MachineModel model(clock, folder.path(), QStringLiteral("Mill"));
    EXPECT_TRUE(QDir(folder.filePath(QStringLiteral("GCode"))).exists());
    EXPECT_TRUE(QDir(folder.filePath(QStringLiteral("Macros/Mill"))).exists());
    EXPECT_EQ(model.MacroFolder(), folder.filePath(QStringLiteral("Macros/Mill/")));

    // A profile name cannot point the macro folder elsewhere.
    MachineModel escaping(clock, folder.path(), QStringLiteral("../../x"));
    const QFileInfo macros(QDir::cleanPath(escaping.MacroFolder()));
    EXPECT_EQ(macros.dir().path(), folder.filePath(QStringLiteral("Macros")));
    EXPECT_TRUE(macros.isDir());
    EXPECT_EQ(escaping.Profile(), QStringLiteral("../../x"));
}
