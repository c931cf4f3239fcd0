// The save worker of the save fault tests: saves the program's files through the program's own
// writers for a parent process that kills it or limits the size of its files.
//
//   zentyr_save_worker loop <folder> <first version>
//     Saves the three files (large) with versions first, first + 1, ... until it is killed.
//     Writes "r" to standard output before the first save, the file's letter (d, p or b) before
//     each save and "." after it, each as one unbuffered write, so that the parent knows where
//     a kill landed.
//   zentyr_save_worker full <folder> <version> <small|large> <limit>
//     With no file allowed to grow past <limit> bytes, saves each file once and writes one line
//     per file to standard output: its name, a tab, and "saved" or the error raised. The desktop
//     layout is saved on request first, then once more as its store ends, which only logs.
#include "SaveContent.h"

#include "platform/ZentyrError.h"

#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void Mark(char mark)
{
    while (::write(STDOUT_FILENO, &mark, 1) < 0) {
    }
}

char Letter(TSavedFile file)
{
    switch (file) {
    case TSavedFile::DesktopLayout:
        return 'd';
    case TSavedFile::Program:
        return 'p';
    case TSavedFile::ButtonLayout:
        return 'b';
    }
    return '?';
}

int Loop(const QString& folder, int first)
{
    Mark('r');
    for (int version = first;; ++version) {
        for (const TSavedFile file : AllSavedFiles) {
            Mark(Letter(file));
            SaveVersion(file, folder, version, TSaveSize::Large);
            Mark('.');
        }
    }
}

void Report(TSavedFile file, const QString& outcome)
{
    std::printf("%s\t%s\n", qPrintable(SavedFileName(file)), qPrintable(outcome));
}

int Full(const QString& folder, int version, TSaveSize size, rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit files{};
    getrlimit(RLIMIT_FSIZE, &files);
    files.rlim_cur = limit;
    if (setrlimit(RLIMIT_FSIZE, &files) != 0) {
        std::perror("setrlimit");
        return 2;
    }
    for (const TSavedFile file : AllSavedFiles) {
        try {
            if (file == TSavedFile::DesktopLayout)
                FlushDesktopLayout(folder, version, size);
            else
                SaveVersion(file, folder, version, size);
            Report(file, QStringLiteral("saved"));
        } catch (const ZentyrError& error) {
            Report(file, error.message());
        }
    }
    SaveVersion(TSavedFile::DesktopLayout, folder, version, size);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    try {
        if (mode == QLatin1String("loop") && argc == 4)
            return Loop(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        if (mode == QLatin1String("full") && argc == 6)
            return Full(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                        QByteArray(argv[4]) == "small" ? TSaveSize::Small : TSaveSize::Large,
                        rlim_t(std::strtoull(argv[5], nullptr, 10)));
    } catch (const ZentyrError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 2;
    }
    std::fprintf(stderr, "usage: zentyr_save_worker loop <folder> <first version>\n"
                         "       zentyr_save_worker full <folder> <version> <small|large> <limit>\n");
    return 2;
}
