#pragma once

#include "host/com/ComVariant.h"

#include <string>
#include <string_view>
#include <vector>

// Starts the fake automation server as a separate process for one test, talks to its control
// operations from the test's thread, and ends it. Every wait is bounded.
class FakeHostProcess final
{
public:
    struct Options
    {
        std::wstring windowCaption;  // empty: no window
        bool offerEvents = true;
    };

    // Starts the server beside the test program and waits until its document is registered.
    // Fails the test (and throws) when it does not come up.
    explicit FakeHostProcess(const Options& options);
    FakeHostProcess() : FakeHostProcess(Options{}) {}
    // Asks the server to quit, kills it when it does not, and waits until its document has
    // left the running object table.
    ~FakeHostProcess();
    FakeHostProcess(const FakeHostProcess&) = delete;
    FakeHostProcess& operator=(const FakeHostProcess&) = delete;

    // Ends the server at once, as a crash would, and waits until it has gone.
    void Kill();

    unsigned long ProcessId() const { return m_processId; }

    void Set(std::wstring_view key, comhost::Variant value);
    std::vector<std::wstring> Journal();
    void ClearJournal();
    void FailNext(long dispId, std::wstring_view text);
    void HangNext(long dispId, int ms);
    long AdvisedSinks();
    long ScriptReferences();
    std::wstring LastText();

    // Whether any controller document is registered at all.
    static bool DocumentRegistered();

private:
    comhost::Variant Control(long id, std::vector<comhost::Variant> args);
    void WaitUntilGone();

    HANDLE m_process = nullptr;
    unsigned long m_processId = 0;
    IDispatch* m_control = nullptr;
};

// Path of a file beside the test program.
std::wstring BesideTestProgram(std::wstring_view name);

// Polls `condition` every 20 ms for at most `ms`; true when it came true.
template <typename F>
bool WaitFor(F condition, int ms)
{
    for (int waited = 0;; waited += 20) {
        if (condition())
            return true;
        if (waited >= ms)
            return false;
        Sleep(20);
    }
}
