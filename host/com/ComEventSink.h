#pragma once

#include <windows.h>
#include <oleauto.h>

// COM objects are released through their interfaces, never deleted through a base pointer:
// the interfaces' public non-virtual destructors are by design.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

namespace comhost {

// The event sink subscribed on the host document's connection point. It answers for the
// script object's event interface and ignores every event: the program reads the host by
// polling. Reference counting is thread-safe, as the host may call from any thread.
class EventSink final : public IDispatch
{
public:
    // Created with one reference, owned by the caller.
    EventSink();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                            LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                                     UINT* argumentError) override;

    // Sinks of this process not yet destroyed (for leak checks).
    static int LiveSinks();

private:
    ~EventSink();
    LONG m_references = 1;
};

}  // namespace comhost

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
