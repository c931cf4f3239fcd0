#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace comhost {

class ComWorker;

// How long one call to the host may take before the host counts as gone. Kept well under two
// seconds so that an operator action never appears to hang.
inline constexpr int DefaultCallTimeoutMs = 1500;

// An argument as the host takes it: a 16-bit code, a double, or a UTF-16 text.
using Argument = std::variant<short, double, std::wstring>;
// A result as the caller reads it.
using Result = std::variant<std::monostate, bool, short, double, std::wstring>;
enum class ResultKind { None, Boolean, Int16, Double, Text };

// One connection to the running controller's document: the document taken from the running
// object table (never created here), the event subscription on its connection point, and the
// script object it hands out. Every COM call runs on a worker thread of the session in the
// multithreaded apartment; the caller waits at most the call timeout for each.
//
// A call that fails because the host has gone (it died, closed, or did not answer within the
// timeout) closes the session: its references are dropped and every later call fails at once
// with the same message. Any other failure fails only that call. All failures are raised as
// ComError. Use from one thread.
class DocumentSession final
{
public:
    explicit DocumentSession(int timeoutMs = DefaultCallTimeoutMs);
    // Drops the subscription and every reference without the document's release operation.
    // Waits for that at most one call timeout; never for a host that stopped answering.
    ~DocumentSession();
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    // Takes the running document and subscribes the (silent) event sink. Raises a "Mach not
    // found" error when no controller document is running. A document without a connection
    // point is still connected (no event is used); IsSubscribed then reads false. Does nothing
    // when connected. A closed session connects afresh.
    void Connect();
    bool IsConnected() const { return m_connected; }
    bool IsSubscribed() const { return m_subscribed; }

    // Document operation 3, its result queried for the script object, which the session then
    // holds (each call replaces it).
    void ObtainScriptObject();
    bool HasScriptObject() const { return m_hasScript; }

    // One script operation, late-bound by dispatch identifier, with positional arguments; the
    // result is read as `kind`. `name` names the operation in messages.
    Result CallScript(long dispId, std::wstring_view name, std::vector<Argument> args,
                      ResultKind kind);

    // Unsubscribes the sink, then calls document operation 4 as the last call, and closes the
    // session whatever the outcome: later calls fail with "released". Raises the operation's
    // failure. Does nothing when not connected.
    void Release();

    int TimeoutMs() const { return m_timeoutMs; }

    // Runs between the slices of every wait for the host (see ComWorker::Run); none by default.
    void SetWaitPump(std::function<void()> pump) { m_pump = std::move(pump); }

private:
    struct Objects;

    template <typename Task>
    void RunOnWorker(std::wstring_view operation, Task task);
    void Close(std::wstring reason);
    void RetireWorker();
    [[noreturn]] void FailClosed() const;

    int m_timeoutMs;
    std::function<void()> m_pump;
    std::unique_ptr<ComWorker> m_worker;
    std::shared_ptr<Objects> m_objects;  // touched on the worker only
    std::wstring m_closedReason;
    bool m_connected = false;
    bool m_subscribed = false;
    bool m_hasScript = false;
    bool m_workerStuck = false;  // a call overran: the worker may still be inside it
};

}  // namespace comhost
