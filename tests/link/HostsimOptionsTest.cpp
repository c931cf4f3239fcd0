#include "host/link/HostsimFolder.h"
#include "sim/app/HostsimOptions.h"
#include "sim/app/Journal.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using hostsim::HostsimOptions;
using hostsim::ParseHostsimOptions;

// The controller's command line as callers send it: quoted or not, split correctly by a
// command-line parser or naively on blanks; names that would leave the macro folder refused.
TEST(HostsimOptions, ProfileFromTheCommandLine)
{
    const struct
    {
        QStringList args;
        const char* profile;
        bool warned;
    } cases[] = {
        {{}, "Mach3Mill", false},
        {{QStringLiteral("/p"), QStringLiteral("Router")}, "Router", false},
        {{QStringLiteral("/P"), QStringLiteral("My Profile")}, "My Profile", false},
        {{QStringLiteral("-p"), QStringLiteral("\"Quoted\"")}, "Quoted", false},
        {{QStringLiteral("/p"), QStringLiteral("\"My"), QStringLiteral("Big"), QStringLiteral("Profile\"")},
         "My Big Profile", false},
        {{QStringLiteral("--other"), QStringLiteral("/p"), QStringLiteral("Lathe"), QStringLiteral("x")}, "Lathe", false},
        {{QStringLiteral("/p")}, "Mach3Mill", true},
        {{QStringLiteral("/p"), QStringLiteral("../../etc")}, "Mach3Mill", true},
        {{QStringLiteral("/p"), QStringLiteral("a\\b")}, "Mach3Mill", true},
        {{QStringLiteral("/p"), QStringLiteral("..")}, "Mach3Mill", true},
        {{QStringLiteral("/p"), QStringLiteral("\"\"")}, "Mach3Mill", true},
        {{QStringLiteral("/p"), QStringLiteral("\"Unclosed")}, "Unclosed", false},
    };
    for (const auto& c : cases) {
        const HostsimOptions o = ParseHostsimOptions(c.args, QStringLiteral("/opt/z"), QString());
        EXPECT_EQ(o.profile.toStdString(), c.profile) << c.args.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(!o.warnings.isEmpty(), c.warned) << c.args.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(o.controllerFolder, QStringLiteral("/opt/z"));
    }
    EXPECT_EQ(ParseHostsimOptions({}, QStringLiteral("/opt/z"), QStringLiteral("/tmp/h")).controllerFolder,
              QStringLiteral("/tmp/h"));
}

// `/fork <gap>` starts the simulator with a fork probe; an unusable gap is refused and warned.
TEST(HostsimOptions, ForkGapFromTheCommandLine)
{
    const struct
    {
        QStringList args;
        double gap;
        bool warned;
    } cases[] = {
        {{}, 0.0, false},
        {{QStringLiteral("/fork"), QStringLiteral("2.02")}, 2.02, false},
        {{QStringLiteral("-FORK"), QStringLiteral("0.5"), QStringLiteral("/p"),
          QStringLiteral("Mill")},
         0.5, false},
        {{QStringLiteral("/fork")}, 0.0, true},
        {{QStringLiteral("/fork"), QStringLiteral("-1")}, 0.0, true},
        {{QStringLiteral("/fork"), QStringLiteral("nan")}, 0.0, true},
        {{QStringLiteral("/fork"), QStringLiteral("wide")}, 0.0, true},
    };
    for (const auto& c : cases) {
        const HostsimOptions o = ParseHostsimOptions(c.args, QStringLiteral("/opt/z"), QString());
        EXPECT_EQ(o.forkGap, c.gap) << c.args.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(!o.warnings.isEmpty(), c.warned) << c.args.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_EQ(ParseHostsimOptions({QStringLiteral("-fork"), QStringLiteral("0.5"),
                                   QStringLiteral("/p"), QStringLiteral("Mill")},
                                  QString(), QString())
                  .profile,
              QStringLiteral("Mill"));
}

// The journal file grows line by line as calls arrive (another process reads it meanwhile);
// an existing file is appended to; the window's backlog keeps only the newest lines.
TEST(HostsimJournal, AppendsEachLineAtOnceAndBoundsTheBacklog)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.log"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\n");
    }
    hostsim::Journal journal(path);
    EXPECT_TRUE(journal.FileError().isEmpty());
    journal.Record(QStringLiteral("DoOEMButton(1021)"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], "earlier");
        EXPECT_TRUE(lines[1].endsWith(" DoOEMButton(1021)")) << lines[1].constData();
    }
    // A flood of calls between two looks leaves the window only the newest, and a count of
    // the rest.
    EXPECT_EQ(journal.TakePending().size(), 1);
    const int flood = int(hostsim::Journal::PendingLines) + 10;
    for (int i = 0; i < flood; ++i)
        journal.Record(QStringLiteral("GetOEMLed(%1)").arg(i));
    const QStringList pending = journal.TakePending();
    ASSERT_EQ(pending.size(), hostsim::Journal::PendingLines + 1);
    EXPECT_EQ(pending.first(), QStringLiteral("... 10 calls not shown"));
    EXPECT_TRUE(pending[1].endsWith(QStringLiteral(" GetOEMLed(10)"))) << pending[1].toStdString();
    EXPECT_TRUE(pending.last().endsWith(QStringLiteral("GetOEMLed(%1)").arg(flood - 1)));
    EXPECT_TRUE(journal.TakePending().isEmpty());
    journal.Record(QStringLiteral("IsMoving()"));
    EXPECT_EQ(journal.TakePending().size(), 1) << "the count starts again";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().count('\n'), 1 + 1 + flood + 1) << "the file keeps every call";
    }

    hostsim::Journal unwritable(dir.filePath(QStringLiteral("missing/dir/j.log")));
    EXPECT_FALSE(unwritable.FileError().isEmpty());
    unwritable.Record(QStringLiteral("IsMoving()"));
    EXPECT_EQ(unwritable.TakePending().size(), 1);
}

// Both ends agree on the simulated controller's folder: HOSTSIM_HOME, else the user's own data
// folder, never the programs' folder.
TEST(HostsimFolder, HomeOverrideElseTheUsersDataFolder)
{
    QTemporaryDir data;
    const QByteArray savedHome = qgetenv("HOSTSIM_HOME");
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    qunsetenv("HOSTSIM_HOME");
    EXPECT_EQ(hostlink::HostsimFolder(), data.filePath(QStringLiteral("zentyr/hostsim")));
    qputenv("HOSTSIM_HOME", "/tmp/elsewhere/");
    EXPECT_EQ(hostlink::HostsimFolder(), QStringLiteral("/tmp/elsewhere"));
    qputenv("HOSTSIM_HOME", savedHome);
    qputenv("XDG_DATA_HOME", savedData);
    if (savedHome.isEmpty())
        qunsetenv("HOSTSIM_HOME");
    if (savedData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
}

// The controller folder gets its folders and a copy of the shipped profile; a profile already
// there is the user's and is kept; what cannot be made is reported.
TEST(HostsimFolder, PreparedWithFoldersAndTheShippedProfile)
{
    QTemporaryDir program;
    QTemporaryDir home;
    QFile shipped(program.filePath(QStringLiteral("Mach3Mill.xml")));
    ASSERT_TRUE(shipped.open(QIODevice::WriteOnly));
    shipped.write("<profile name=\"Mach3Mill\"/>");
    shipped.close();

    const QString folder = home.filePath(QStringLiteral("zentyr/hostsim"));
    EXPECT_TRUE(hostsim::PrepareControllerFolder(folder, QStringLiteral("Mach3Mill"), program.path()).isEmpty());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/GCode")).isDir());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Macros/Mach3Mill")).isDir());
    QFile copy(folder + QStringLiteral("/Mach3Mill.xml"));
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    EXPECT_EQ(copy.readAll(), QByteArray("<profile name=\"Mach3Mill\"/>"));
    copy.resize(0);
    copy.write("mine");
    copy.close();

    EXPECT_TRUE(hostsim::PrepareControllerFolder(folder, QStringLiteral("Mach3Mill"), program.path()).isEmpty());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("mine"));

    // A profile without a shipped file gets its folders only; a folder that cannot be made
    // (a file is in the way) is named.
    EXPECT_TRUE(hostsim::PrepareControllerFolder(folder, QStringLiteral("Router"), program.path()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Router.xml")));
    const QStringList problems = hostsim::PrepareControllerFolder(
        folder + QStringLiteral("/Mach3Mill.xml"), QStringLiteral("Mach3Mill"), program.path());
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.first().startsWith(QStringLiteral("Cannot create "))) << problems.first().toStdString();
}
