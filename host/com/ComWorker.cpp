#include "host/com/ComWorker.h"

#include "host/com/ComError.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace comhost {

namespace {
std::atomic<int> g_liveThreads{0};
}  // namespace

namespace {

struct Completion
{
    bool done = false;
    std::exception_ptr error;
};

struct Job
{
    std::function<void()> task;
    std::shared_ptr<Completion> completion;  // null for posted tasks
};

}  // namespace

struct ComWorker::Shared
{

    std::mutex mutex;
    std::condition_variable wake;      // a job or the stop request arrived
    std::condition_variable finished;  // a job completed, or the thread ended
    std::deque<Job> jobs;
    bool stopping = false;
    bool ended = false;
};

ComWorker::ComWorker() : m_shared(std::make_shared<Shared>())
{
    ++g_liveThreads;
    try {
        std::thread(&ComWorker::Loop, m_shared).detach();
    } catch (...) {
        --g_liveThreads;
        throw ComError(L"Cannot start the thread that talks to Mach3", E_OUTOFMEMORY);
    }
}

ComWorker::~ComWorker()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_one();
    // The thread is detached from the start: it owns its share of the state, so one blocked in
    // a call to a silent host simply ends later by itself.
    m_shared->finished.wait_for(lock, std::chrono::milliseconds(m_lingerMs),
                                [&] { return m_shared->ended; });
}

bool ComWorker::Run(std::function<void()> task, int timeoutMs,
                    const std::function<void()>& pump)
{
    using Clock = std::chrono::steady_clock;
    // The state is held here, not through this object: what the pump runs must not be able to
    // pull it away from under the wait.
    const std::shared_ptr<Shared> shared = m_shared;
    auto completion = std::make_shared<Completion>();
    std::unique_lock lock(shared->mutex);
    shared->jobs.push_back({std::move(task), completion});
    shared->wake.notify_one();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const Clock::time_point until =
            pump ? std::min(deadline, Clock::now() + std::chrono::milliseconds(WaitSliceMs))
                 : deadline;
        if (shared->finished.wait_until(lock, until, [&] { return completion->done; }))
            break;
        if (Clock::now() >= deadline)
            return false;
        lock.unlock();
        pump();
        lock.lock();
    }
    if (completion->error)
        std::rethrow_exception(completion->error);
    return true;
}

void ComWorker::Post(std::function<void()> task)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->jobs.push_back({std::move(task), nullptr});
    m_shared->wake.notify_one();
}

int ComWorker::LiveThreads() { return g_liveThreads.load(); }

void ComWorker::Loop(std::shared_ptr<Shared> shared)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->stopping || !shared->jobs.empty(); });
            if (shared->jobs.empty())
                break;
            job = std::move(shared->jobs.front());
            shared->jobs.pop_front();
        }
        std::exception_ptr error;
        if (FAILED(init)) {
            error = std::make_exception_ptr(
                ComError(DescribeFailure(init, L"Starting the connection to Mach3"), init));
        } else {
            try {
                job.task();
            } catch (...) {
                error = std::current_exception();
            }
        }
        // The task's captures (interface pointers among them) are released here, on this
        // thread, inside the apartment.
        job.task = nullptr;
        if (job.completion) {
            std::lock_guard lock(shared->mutex);
            job.completion->done = true;
            job.completion->error = error;
            shared->finished.notify_all();
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    --g_liveThreads;
    std::lock_guard lock(shared->mutex);
    shared->ended = true;
    shared->finished.notify_all();
}

}  // namespace comhost
