#include "host/com/ComSession.h"

#include "host/Mach4Ids.h"
#include "host/com/ComError.h"
#include "host/com/ComEventSink.h"
#include "host/com/ComVariant.h"
#include "host/com/ComWorker.h"

#include <ocidl.h>

#include <array>

namespace comhost {

namespace {

constexpr wchar_t GetScriptName[] = L"GetScriptDispatch";
constexpr wchar_t ReleaseName[] = L"Release";

std::wstring NeverConnectedReason() { return L"There is no connection to Mach3: connect first"; }
std::wstring ReleasedReason() { return L"The connection to Mach3 has been released"; }

const IID& ScriptObjectIid()
{
    static const IID iid = GuidFromText(Mach4::IID_IMyScriptObject);
    return iid;
}

template <typename T>
void ReleaseAndClear(T*& object)
{
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

// A failure reading a result: the value came back, but not as something the operation gives.
[[noreturn]] void ThrowBadResult(HRESULT hr, const VARIANT& value, std::wstring_view operation,
                                 const wchar_t* expected)
{
    throw ComError(L"Mach3 returned " + VariantTypeName(value.vt) + L" from "
                       + std::wstring(operation) + L", which does not read as " + expected,
                   hr);
}

}  // namespace

// The COM references of one session. Only the worker thread touches them.
struct DocumentSession::Objects
{
    IDispatch* document = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    EventSink* sink = nullptr;
    IDispatch* script = nullptr;

    // Subscribes a new sink for the script object's events. Returns false when the document
    // offers no such connection point or refuses the sink.
    bool Subscribe()
    {
        IConnectionPointContainer* container = nullptr;
        if (FAILED(document->QueryInterface(IID_IConnectionPointContainer,
                                            reinterpret_cast<void**>(&container))))
            return false;
        const HRESULT found = container->FindConnectionPoint(ScriptObjectIid(), &point);
        container->Release();
        if (FAILED(found)) {
            point = nullptr;
            return false;
        }
        sink = new EventSink();
        if (FAILED(point->Advise(sink, &cookie))) {
            cookie = 0;
            Unsubscribe();
            return false;
        }
        return true;
    }

    void Unsubscribe()
    {
        if (point != nullptr && cookie != 0)
            point->Unadvise(cookie);
        cookie = 0;
        ReleaseAndClear(point);
        if (sink != nullptr) {
            // A host that died still "holds" the sink through our side's stub: cut every
            // outside reference so the sink goes now, not when the system notices.
            CoDisconnectObject(sink, 0);
            ReleaseAndClear(sink);
        }
    }

    void Teardown()
    {
        Unsubscribe();
        ReleaseAndClear(script);
        ReleaseAndClear(document);
    }
};

DocumentSession::DocumentSession(int timeoutMs)
    : m_timeoutMs(timeoutMs), m_closedReason(NeverConnectedReason())
{
}

DocumentSession::~DocumentSession() { RetireWorker(); }

// Hands the session's objects to the worker for their teardown and lets the worker go; waits
// for it at most one call timeout, not at all when it is inside a call that overran.
void DocumentSession::RetireWorker()
{
    if (!m_worker)
        return;
    if (m_objects)
        m_worker->Post([objects = std::move(m_objects)] { objects->Teardown(); });
    m_objects.reset();
    m_worker->SetLinger(m_workerStuck ? 0 : m_timeoutMs);
    m_worker.reset();
    m_workerStuck = false;
}

void DocumentSession::Close(std::wstring reason)
{
    m_connected = false;
    m_subscribed = false;
    m_hasScript = false;
    m_closedReason = std::move(reason);
    if (m_worker && m_objects)
        m_worker->Post([objects = m_objects] { objects->Teardown(); });
}

void DocumentSession::FailClosed() const { throw ComError(m_closedReason, RPC_E_DISCONNECTED); }

template <typename Task>
void DocumentSession::RunOnWorker(std::wstring_view operation, Task task)
{
    bool completed = false;
    try {
        completed = m_worker->Run([objects = m_objects, task = std::move(task)] { task(*objects); },
                                  m_timeoutMs, m_pump);
    } catch (const ComError& e) {
        if (ClassifyFailure(e.Code()) == FailureKind::ConnectionLost)
            Close(e.Message());
        throw;
    }
    if (!completed) {
        m_workerStuck = true;
        std::wstring message = DescribeTimeout(operation, m_timeoutMs);
        Close(message);
        throw ComError(std::move(message), RPC_E_TIMEOUT);
    }
}

void DocumentSession::Connect()
{
    if (m_connected)
        return;
    RetireWorker();
    m_worker = std::make_unique<ComWorker>();
    m_objects = std::make_shared<Objects>();
    auto subscribed = std::make_shared<bool>(false);
    try {
        RunOnWorker(L"Attaching to Mach3", [subscribed](Objects& objects) {
            IUnknown* running = nullptr;
            HRESULT hr = GetActiveObject(GuidFromText(Mach4::CLASS_CMach4Doc), nullptr, &running);
            if (SUCCEEDED(hr)) {
                hr = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&objects.document));
                running->Release();
            }
            if (FAILED(hr)) {
                objects.document = nullptr;
                // A registration left behind by a host that died reads as no host at all.
                if (hr == MK_E_UNAVAILABLE || ClassifyFailure(hr) == FailureKind::ConnectionLost)
                    throw ComError(NotRunningMessage(), hr);
                throw ComError(DescribeFailure(hr, L"Attaching to Mach3"), hr);
            }
            *subscribed = objects.Subscribe();
        });
    } catch (const ComError& e) {
        m_closedReason = e.Message();
        RetireWorker();
        throw;
    }
    m_connected = true;
    m_subscribed = *subscribed;
    m_closedReason.clear();
}

void DocumentSession::ObtainScriptObject()
{
    if (!m_connected)
        FailClosed();
    RunOnWorker(GetScriptName, [](Objects& objects) {
        Variant result;
        const InvokeOutcome outcome =
            InvokeMethod(objects.document, Mach4::DISPID_Doc_GetScriptDispatch, nullptr, 0, &result);
        if (FAILED(outcome.hr))
            throw ComError(outcome.Describe(GetScriptName), outcome.hr);
        const VARIANT& value = result.value();
        IUnknown* given = value.vt == VT_DISPATCH ? value.pdispVal
                          : value.vt == VT_UNKNOWN ? value.punkVal
                                                   : nullptr;
        if (given == nullptr)
            throw ComError(L"Mach3 gave no script object (" + std::wstring(GetScriptName)
                               + L" returned " + VariantTypeName(value.vt) + L")",
                           E_NOINTERFACE);
        IDispatch* script = nullptr;
        const HRESULT hr = given->QueryInterface(ScriptObjectIid(), reinterpret_cast<void**>(&script));
        if (FAILED(hr)) {
            if (ClassifyFailure(hr) == FailureKind::ConnectionLost)
                throw ComError(DescribeFailure(hr, GetScriptName), hr);
            throw ComError(L"Mach3's script object does not offer the IMyScriptObject interface",
                           hr);
        }
        ReleaseAndClear(objects.script);
        objects.script = script;
    });
    m_hasScript = true;
}

Result DocumentSession::CallScript(long dispId, std::wstring_view name, std::vector<Argument> args,
                                   ResultKind kind)
{
    if (!m_connected)
        FailClosed();
    if (!m_hasScript)
        throw ComError(L"Mach3's script object has not been obtained", E_POINTER);
    auto result = std::make_shared<Result>();
    RunOnWorker(name, [result, dispId, kind, name = std::wstring(name),
                       args = std::move(args)](Objects& objects) {
        std::array<Variant, 2> values;
        const UINT count = static_cast<UINT>(std::min(args.size(), values.size()));
        for (UINT i = 0; i < count; ++i) {
            if (const short* code = std::get_if<short>(&args[i]))
                values[i] = Variant::Int16(*code);
            else if (const double* number = std::get_if<double>(&args[i]))
                values[i] = Variant::Double(*number);
            else
                values[i] = Variant::Text(std::get<std::wstring>(args[i]));
        }
        Variant value;
        const InvokeOutcome outcome = InvokeMethod(objects.script, dispId, values.data(), count,
                                                   kind == ResultKind::None ? nullptr : &value);
        if (FAILED(outcome.hr))
            throw ComError(outcome.Describe(name), outcome.hr);
        HRESULT hr = S_OK;
        switch (kind) {
        case ResultKind::None:
            break;
        case ResultKind::Boolean: {
            bool b = false;
            if (FAILED(hr = ReadBoolean(value.value(), b)))
                ThrowBadResult(hr, value.value(), name, L"a boolean");
            *result = b;
            break;
        }
        case ResultKind::Int16: {
            short s = 0;
            if (FAILED(hr = ReadInt16(value.value(), s)))
                ThrowBadResult(hr, value.value(), name, L"a 16-bit number");
            *result = s;
            break;
        }
        case ResultKind::Double: {
            double d = 0;
            if (FAILED(hr = ReadDouble(value.value(), d)))
                ThrowBadResult(hr, value.value(), name, L"a number");
            *result = d;
            break;
        }
        case ResultKind::Text: {
            std::wstring text;
            if (FAILED(hr = ReadText(value.value(), text)))
                ThrowBadResult(hr, value.value(), name, L"a text");
            *result = std::move(text);
            break;
        }
        }
    });
    return std::move(*result);
}

void DocumentSession::Release()
{
    if (!m_connected)
        return;
    try {
        RunOnWorker(ReleaseName, [](Objects& objects) {
            objects.Unsubscribe();
            const InvokeOutcome outcome =
                InvokeMethod(objects.document, Mach4::DISPID_Doc_Release, nullptr, 0, nullptr);
            objects.Teardown();
            if (FAILED(outcome.hr))
                throw ComError(outcome.Describe(ReleaseName), outcome.hr);
        });
    } catch (const ComError&) {
        if (m_connected)
            Close(ReleasedReason());
        throw;
    }
    Close(ReleasedReason());
}

}  // namespace comhost
