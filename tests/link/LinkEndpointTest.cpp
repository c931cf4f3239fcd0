#include "host/link/LinkEndpoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An environment variable set for one test and put back afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

bool IsPrivateFolder(const QString& path)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

}  // namespace

// Without a runtime folder from the system, the socket still lives in a folder only this user
// can reach, never in the shared temporary folder, where anyone could put a socket of theirs.
// A link or an open folder planted under our name there is not used.
TEST(LinkEndpoint, SocketFolderIsPrivateEvenWithoutARuntimeFolder)
{
    QTemporaryDir shared;
    ASSERT_TRUE(shared.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const ScopedEnv tmp("TMPDIR", shared.path());
    // The runtime folder variable names a file, and the name Qt falls back to is taken by one.
    const QString notAFolder = QDir(shared.path()).filePath(QStringLiteral("not-a-folder"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    const ScopedEnv xdg("XDG_RUNTIME_DIR", notAFolder);
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    QFile(QDir(shared.path()).filePath(QStringLiteral("runtime-") + QString::fromLocal8Bit(user->pw_name)))
        .open(QIODevice::WriteOnly);
    ASSERT_TRUE(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).isEmpty())
        << "the system still offers a runtime folder; nothing to check";

    const QString ours = QDir(shared.path()).filePath(QStringLiteral("zentyr-%1").arg(::getuid()));
    const QString path = hostlink::LinkSocketPath();
    EXPECT_EQ(QFileInfo(path).path().toStdString(), ours.toStdString());
    EXPECT_EQ(QFileInfo(path).fileName(), QLatin1String(hostlink::LinkSocketName));
    EXPECT_TRUE(IsPrivateFolder(ours));

    ASSERT_TRUE(QDir(ours).removeRecursively());
    ASSERT_EQ(::symlink(QFile::encodeName(shared.path()).constData(), QFile::encodeName(ours).constData()), 0);
    EXPECT_TRUE(hostlink::LinkSocketPath().isEmpty()) << "a planted link was followed";

    ASSERT_EQ(::unlink(QFile::encodeName(ours).constData()), 0);
    ASSERT_EQ(::mkdir(QFile::encodeName(ours).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(ours).constData(), 0777), 0);
    EXPECT_TRUE(hostlink::LinkSocketPath().isEmpty()) << "a folder open to others was used";
}
