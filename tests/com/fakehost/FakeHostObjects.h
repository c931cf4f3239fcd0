#pragma once

#include "host/com/ComVariant.h"

#include <ocidl.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

// The objects of the fake automation server: a document with operations 3 and 4 and a
// connection point for the script object's events, and a script object that answers the
// fourteen operations from a settable state. It checks each call as strictly as a type
// library would (method call, no named arguments, count and type of every argument) and
// journals every call it accepts. Calls arrive on any thread of the server's multithreaded
// apartment; one lock guards the state.

// COM objects are released through their interfaces, never deleted through a base pointer:
// the interfaces' public non-virtual destructors are by design.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

namespace fakehost {

class State;

// Reference counting only: the objects live as long as the server process.
class StaticDispatch : public IDispatch
{
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_references)); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;

    // References beyond the server's own.
    long OutsideReferences() const { return m_references - 1; }

private:
    LONG m_references = 1;
};

class ScriptObject final : public StaticDispatch
{
public:
    explicit ScriptObject(State& state) : m_state(state) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* argumentError) override;

private:
    State& m_state;
};

class EventPoint final : public IConnectionPoint
{
public:
    EventPoint(State& state, IConnectionPointContainer& container)
        : m_state(state), m_container(container)
    {
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    State& m_state;
    IConnectionPointContainer& m_container;
};

class Document final : public StaticDispatch, public IConnectionPointContainer
{
public:
    // `offerEvents` false: the document has no connection point at all.
    Document(State& state, bool offerEvents);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return StaticDispatch::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return StaticDispatch::Release(); }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* argumentError) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    ScriptObject& Script() { return m_script; }

private:
    State& m_state;
    ScriptObject m_script;
    EventPoint m_point;
    bool m_offerEvents;
};

// What the server answers and what it was asked.
class State
{
public:
    std::mutex mutex;
    std::map<std::wstring, comhost::Variant> values;
    std::vector<std::wstring> journal;
    std::wstring lastText;
    std::map<long, std::wstring> failNext;
    std::map<long, int> hangNext;
    std::map<DWORD, IUnknown*> sinks;
    DWORD nextCookie = 1;
    DWORD mainThread = 0;
};

}  // namespace fakehost

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
