#pragma once

#include "host/link/LinkConnection.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <functional>

#include <poll.h>

// Link timing on a clock of the test's own. A wait still asks the real socket whether it
// becomes ready within the asked time, but the clock moves on only by waits that ran out (a
// socket that is ready costs nothing) and by pauses. A test so states exactly how much of the
// timeout a call spent waiting in vain, and that a call fails without waiting at all, whatever
// the load of the machine.
class ManualLinkTiming final : public hostlink::ILinkTiming
{
public:
    qint64 NowMs() override { return now; }

    bool WaitReady(int fd, short events, int timeoutMs) override
    {
        ++waits;
        longestWait = std::max(longestWait, timeoutMs);
        pollfd p{fd, events, 0};
        int n = 0;
        do {
            n = ::poll(&p, 1, timeoutMs);
        } while (n < 0 && errno == EINTR);
        if (n == 0) {
            Move(timeoutMs);
            return false;
        }
        return true;
    }

    void PauseBeforeRetry(int ms) override
    {
        ++pauses;
        Move(ms);
    }

    qint64 now = 0;
    int waits = 0;
    int longestWait = 0;  // the longest wait asked for
    int pauses = 0;
    // Runs each time the clock moves, with the new time.
    std::function<void(qint64 now)> onMove;

private:
    void Move(qint64 ms)
    {
        now += ms;
        if (onMove)
            onMove(now);
    }
};
