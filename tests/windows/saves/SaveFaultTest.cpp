#include "SaveContent.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Bounds that only keep a broken worker or a very slow machine from stalling the suite;
// nothing is timed.
constexpr int kWorkerAnswerMs = 20000;
constexpr auto kWorkerEnd = std::chrono::seconds(30);
constexpr auto kKillingTime = std::chrono::seconds(60);

// The save worker as a child process, its standard output and error read through pipes.
class Worker final
{
public:
    explicit Worker(const QList<QByteArray>& arguments)
    {
        int out[2] = {-1, -1};
        int err[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(ZENTYR_SAVE_WORKER)};
        for (const QByteArray& argument : arguments)
            argv.push_back(const_cast<char*>(argument.constData()));
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~Worker()
    {
        if (m_pid > 0)
            Kill();
        ::close(m_out);
        ::close(m_err);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool Started() const { return m_pid > 0; }

    // The next byte the worker writes; nothing once it has ended or stays silent too long.
    std::optional<char> NextByte()
    {
        pollfd ready{m_out, POLLIN, 0};
        char byte = 0;
        if (::poll(&ready, 1, kWorkerAnswerMs) == 1 && ::read(m_out, &byte, 1) == 1)
            return byte;
        return std::nullopt;
    }

    void Kill()
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    // Its exit code once it has ended (-1 when it had to be killed).
    int Wait()
    {
        const auto giveUp = std::chrono::steady_clock::now() + kWorkerEnd;
        while (std::chrono::steady_clock::now() < giveUp) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Kill();
        return -1;
    }

    // What is left to read of its output or errors, once it has ended.
    QByteArray RestOfOutput() { return ReadToEnd(m_out); }
    QByteArray Errors() { return ReadToEnd(m_err); }

private:
    static QByteArray ReadToEnd(int fd)
    {
        QByteArray all;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            all.append(buffer, got);
        return all;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString PathOf(const QTemporaryDir& folder, TSavedFile file)
{
    return folder.filePath(SavedFileName(file));
}

// Files in `folder` that are none of the saved files.
QStringList Strays(const QTemporaryDir& folder)
{
    QStringList names = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    for (const TSavedFile file : AllSavedFiles)
        names.removeAll(SavedFileName(file));
    return names;
}

int EnvironmentNumber(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// A worker saves the desktop layout, a program file and a button layout over and over and is
// killed at a random point: inside one of the saves or between them. Afterwards each file
// holds, byte for byte, either the version it held before or one the worker saved, never a
// mix, a cut-off file or no file. ZENTYR_SAVE_KILLS and ZENTYR_SAVE_SEED repeat a run longer
// or exactly; a machine too slow for all kills within a minute stops early and says so.
TEST(SaveFaults, AKilledSaveLeavesEveryFileWhole)
{
    const int kills = EnvironmentNumber("ZENTYR_SAVE_KILLS", 300);
    const int seed =
        EnvironmentNumber("ZENTYR_SAVE_SEED", int(std::random_device{}() % 1000000000u));
    RecordProperty("seed", seed);
    SCOPED_TRACE("ZENTYR_SAVE_SEED=" + std::to_string(seed));
    std::mt19937 random{unsigned(seed)};
    std::uniform_int_distribution<int> marksBeforeKill(0, 6);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);

    QTemporaryDir folder;
    QTemporaryDir scratch;
    std::map<TSavedFile, int> held;
    for (const TSavedFile file : AllSavedFiles) {
        SaveVersion(file, folder.path(), 0, TSaveSize::Large);
        held[file] = 0;
    }

    std::map<char, int> killedAt;  // the last mark: inside a save (d, p, b) or between saves
    int torn = 0;
    int strays = 0;
    std::string strayExample;
    int first = 1;
    int kill = 0;
    const auto stopKilling = std::chrono::steady_clock::now() + kKillingTime;
    for (; kill < kills && std::chrono::steady_clock::now() < stopKilling; ++kill) {
        Worker worker({"loop", folder.path().toLocal8Bit(), QByteArray::number(first)});
        ASSERT_TRUE(worker.Started());
        ASSERT_EQ(worker.NextByte(), std::optional<char>('r')) << worker.Errors().toStdString();
        char last = 'r';
        for (int marks = marksBeforeKill(random); marks > 0; --marks) {
            const std::optional<char> mark = worker.NextByte();
            ASSERT_TRUE(mark) << worker.Errors().toStdString();
            last = *mark;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        worker.Kill();
        for (const char mark : worker.RestOfOutput())
            last = mark;
        ++killedAt[last == '.' ? 'r' : last];

        for (const TSavedFile file : AllSavedFiles) {
            const QByteArray bytes = ReadBytes(PathOf(folder, file));
            const std::optional<int> version = VersionIn(bytes);
            const bool whole = version && (*version == held[file] || *version >= first)
                && bytes == SavedBytes(file, *version, TSaveSize::Large, scratch.path());
            if (whole) {
                held[file] = *version;
                continue;
            }
            if (++torn <= 5)
                ADD_FAILURE() << "kill " << kill << " (last mark '" << last << "') left "
                              << SavedFileName(file).toStdString() << " with " << bytes.size()
                              << " bytes, held version " << held[file];
        }
        // A kill just before the temporary file replaces the old one leaves it behind; the
        // files themselves are whole either way.
        for (const QString& stray : Strays(folder)) {
            if (strays++ == 0)
                strayExample = stray.toStdString();
            QFile::remove(folder.filePath(stray));
        }
        first = std::max({held[TSavedFile::DesktopLayout], held[TSavedFile::Program],
                          held[TSavedFile::ButtonLayout]}) + 1;
    }
    std::cout << "kills " << kill << " of " << kills << ": inside the desktop layout save "
              << killedAt['d'] << ", the program save " << killedAt['p']
              << ", the button layout save " << killedAt['b'] << ", between saves "
              << killedAt['r'] << "; torn files " << torn << ", temporary files left behind "
              << strays << " (" << strayExample << "), newest version on disk " << first - 1
              << "\n";
    EXPECT_EQ(torn, 0);
    EXPECT_GT(killedAt['d'] + killedAt['p'] + killedAt['b'], 0) << "no kill landed inside a save";
}

// A worker saves each file while no file of it may grow past a limit, as on a full disk. Each
// save reports the failure naming the file, the old file stays byte for byte, and no partial
// file is left beside it. The desktop layout's store, whose save at its end has no one to tell,
// logs the failure.
TEST(SaveFaults, AFullDiskKeepsTheOldFileAndReportsTheFailure)
{
    const struct
    {
        const char* what;
        TSaveSize size;
        qint64 limit;
    } cases[] = {
        {"small files, no byte fits", TSaveSize::Small, 0},
        {"small files, a part fits", TSaveSize::Small, 64},
        {"large files, no byte fits", TSaveSize::Large, 0},
        {"large files, a part fits", TSaveSize::Large, 9000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        QTemporaryDir scratch;
        std::map<TSavedFile, QByteArray> old;
        for (const TSavedFile file : AllSavedFiles) {
            SaveVersion(file, folder.path(), 1, TSaveSize::Small);
            old[file] = ReadBytes(PathOf(folder, file));
            ASSERT_LT(c.limit, SavedBytes(file, 2, c.size, scratch.path()).size())
                << "the new file must not fit";
        }

        Worker worker({"full", folder.path().toLocal8Bit(), "2",
                       c.size == TSaveSize::Small ? "small" : "large", QByteArray::number(c.limit)});
        ASSERT_TRUE(worker.Started());
        ASSERT_EQ(worker.Wait(), 0) << worker.Errors().toStdString();
        const QList<QByteArray> lines = worker.RestOfOutput().split('\n');
        const QString logged = QString::fromLocal8Bit(worker.Errors());

        for (const TSavedFile file : AllSavedFiles) {
            const QString path = PathOf(folder, file);
            QString outcome = QStringLiteral("no report");
            for (const QByteArray& line : lines) {
                if (line.startsWith(SavedFileName(file).toLatin1() + '\t'))
                    outcome = QString::fromLocal8Bit(line.mid(line.indexOf('\t') + 1));
            }
            EXPECT_TRUE(outcome.contains(path)) << outcome.toStdString();
            EXPECT_EQ(ReadBytes(path), old[file]) << path.toStdString();
        }
        EXPECT_TRUE(logged.contains(PathOf(folder, TSavedFile::DesktopLayout))) << logged.toStdString();
        EXPECT_EQ(Strays(folder), QStringList());
    }
}

}  // namespace
