#pragma once

#include "platform/ZentyrError.h"

#include <QString>

#include <functional>

class QObject;

// Host calls are made one at a time, on the user-interface thread. A call that waits for the
// host lets the application's events through (see PumpHostWaitEvents), so the windows stay live
// while the host is slow, frozen or gone. Whatever those events start must neither begin a
// second host call nor tear down what the waiting call uses; this gate keeps both promises.

// Raised at once, without touching any connection, by a host call begun while another host
// call is still in progress (that is, by work started from events let through during a wait).
class HostCallBusy final : public ZentyrError
{
public:
    HostCallBusy();
};

// Marks one host call as in progress for its lifetime. Raises HostCallBusy when another call
// is in progress already. Not for nesting inside a call: the transports open one scope per
// operation.
class HostCallScope final
{
public:
    HostCallScope();
    ~HostCallScope();
    HostCallScope(const HostCallScope&) = delete;
    HostCallScope& operator=(const HostCallScope&) = delete;
};

// Whether a host call is in progress (and so events are being let through inside its wait).
bool HostCallInProgress();

// Runs `job` now when no host call is in progress; otherwise once the call has ended and the
// events it let through have unwound, from the event loop (never from inside another call's
// wait). Jobs run in the order given; a job whose `context` has been destroyed is dropped.
// Work that may destroy what a host call uses (closing the program, reconnecting) goes
// through here.
void WhenNoHostCall(QObject* context, std::function<void()> job);

// The events a host call lets through between the slices of its wait: timers, posted events,
// painting and the window system's other events. Operator input (keys, mouse, closing a window)
// is held back by the toolkit and delivered in order once the call has ended, at most one link
// timeout later: an operator action is then neither refused because a read of the host was
// slow, nor run underneath a call that is still waiting.
void PumpHostWaitEvents();
