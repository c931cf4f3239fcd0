#include "app/BundledHost.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString MakeProgram(const QString& folder)
{
    QDir().mkpath(folder);
    QFile program(QDir(folder).filePath(QStringLiteral("hostsim")));
    EXPECT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    return program.fileName();
}

}  // namespace

// The bundled host is started from the controller's folder through a link to the hostsim
// beside Zentyr, made when missing and renewed when it leads to another installation; the
// program's own folder is used when it is the controller's folder or no link can be made.
TEST(BundledHost, StartedFromTheControllersFolder)
{
    QTemporaryDir root;
    const QString installed = MakeProgram(root.filePath(QStringLiteral("usr/lib/zentyr")));
    const QString build = MakeProgram(root.filePath(QStringLiteral("build/bin")));
    const QString controller = root.filePath(QStringLiteral("home/.local/share/zentyr/hostsim"));
    const QString link = controller + QStringLiteral("/hostsim");
    QString problem;

    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("usr/lib/zentyr")), controller, &problem), link);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), installed);
    EXPECT_TRUE(QFileInfo(link).isExecutable());

    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("usr/lib/zentyr")), controller), link);
    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("build/bin")), controller), link);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), build);

    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("build/bin")), root.filePath(QStringLiteral("build/bin/"))), build);
    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("build/bin")), QString()), build);

    // The user's own program of that name stays.
    QFile::remove(link);
    MakeProgram(controller);
    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("build/bin")), controller), link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    // A controller folder that cannot be made: the program's own hostsim, and why.
    QFile blocker(root.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(BundledHostLocation(root.filePath(QStringLiteral("build/bin")),
                                  root.filePath(QStringLiteral("blocked/hostsim")), &problem),
              build);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("Cannot create "))) << problem.toStdString();
}

// A stored location of the hostsim beside Zentyr becomes the bundled host's location; any
// other stored location is the operator's and stays.
TEST(BundledHost, StoredLocationBesideTheProgramIsMigrated)
{
    const QString link = QStringLiteral("/home/op/.local/share/zentyr/hostsim/hostsim");
    const struct
    {
        const char* stored;
        const char* expected;
    } cases[] = {
        {"/usr/lib/zentyr/hostsim", nullptr},
        {"/usr/lib/zentyr/../zentyr/hostsim", nullptr},
        {"", ""},
        {"/opt/mach3/Mach3.exe", "/opt/mach3/Mach3.exe"},
        {"/usr/lib/zentyr/hostsim2", "/usr/lib/zentyr/hostsim2"},
        {"/home/op/sim/hostsim", "/home/op/sim/hostsim"},
    };
    for (const auto& c : cases) {
        const QString expected = c.expected ? QString::fromLatin1(c.expected) : link;
        EXPECT_EQ(MigratedHostLocation(QLatin1String(c.stored), QStringLiteral("/usr/lib/zentyr"), link),
                  expected)
            << c.stored;
    }
}
