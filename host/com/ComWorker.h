#pragma once

#include <functional>
#include <memory>

namespace comhost {

// A thread of its own in the multithreaded apartment, on which one host session makes every
// COM call. The calling thread hands a task over and waits for it at most a timeout, so a host
// that stopped answering can never hold the caller (the user-interface thread) longer than
// that. A task that overruns keeps running on the worker to its end; tasks run one at a time
// in the order they were handed over.
//
// Tasks must own what they use: after a timeout the caller has gone on, so a task may not
// refer to the caller's stack.
class ComWorker final
{
public:
    ComWorker();
    // Lets the queued tasks run and waits for the thread at most `lingerMs` (see SetLinger);
    // a thread still busy then is left to finish by itself.
    ~ComWorker();
    ComWorker(const ComWorker&) = delete;
    ComWorker& operator=(const ComWorker&) = delete;

    // Runs `task` on the worker. Returns true when it completed within `timeoutMs` (an
    // exception it raised is raised here), false when the wait timed out. With a `pump`, the
    // wait is cut into slices of at most WaitSliceMs and the pump runs between them on the
    // calling thread (the program lets its events through there); the deadline stays.
    bool Run(std::function<void()> task, int timeoutMs,
             const std::function<void()>& pump = {});

    static constexpr int WaitSliceMs = 20;

    // Queues `task` without waiting for it.
    void Post(std::function<void()> task);

    // How long the destructor waits for the thread to end.
    void SetLinger(int ms) { m_lingerMs = ms; }

    // Worker threads of this process that have not ended yet (for leak checks).
    static int LiveThreads();

private:
    struct Shared;
    static void Loop(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    int m_lingerMs = 2000;
};

}  // namespace comhost
