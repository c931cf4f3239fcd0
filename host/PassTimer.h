#pragma once

#include <functional>
#include <memory>

// The single-shot timer that paces a repeating job on the thread that owns it: armed for a
// pause, it runs its job once after the pause. Arming it again replaces the pending pause;
// stopping it drops it. The program uses a Qt timer; tests use a manual one that runs when
// they move its clock, so pacing is checked without waiting.
class IPassTimer
{
public:
    virtual ~IPassTimer() = default;
    virtual void SetJob(std::function<void()> job) = 0;
    // Arms the timer: the job runs once, `ms` (at least 0) milliseconds from now.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

// A precise single-shot Qt timer on the calling thread's event loop.
std::unique_ptr<IPassTimer> MakeQtPassTimer();

// Makes the pass timer of each new update thread.
using PassTimerFactory = std::function<std::unique_ptr<IPassTimer>()>;
