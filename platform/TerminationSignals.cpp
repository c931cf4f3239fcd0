#include "platform/TerminationSignals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

void CloseOnTerminationSignals(QWidget&) {}

#else

namespace {

int g_wakeWrite = -1;
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

// Async-signal-safe: one byte into the socket, and the next signal takes its default action.
extern "C" void OnTerminationSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_wakeWrite, &byte, 1);
    std::signal(signal, SIG_DFL);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window)
{
    int pair[2];
    if (g_wakeWrite >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    g_wakeWrite = pair[0];
    auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window,
                     [target = QPointer<QWidget>(&window), fd = pair[1]] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t got = ::read(fd, &byte, 1);
                         if (target)
                             target->close();
                     });
    struct sigaction action{};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals)
        ::sigaction(signal, &action, nullptr);
}

#endif
