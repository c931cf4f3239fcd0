#include "host/com/ComEventSink.h"

#include "host/Mach4Ids.h"
#include "host/com/ComVariant.h"

#include <atomic>

namespace comhost {

namespace {
std::atomic<int> g_liveSinks{0};
}  // namespace

EventSink::EventSink() { ++g_liveSinks; }

EventSink::~EventSink() { --g_liveSinks; }

int EventSink::LiveSinks() { return g_liveSinks.load(); }

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    static const IID scriptEvents = GuidFromText(Mach4::IID_IMyScriptObject);
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)
        || IsEqualIID(iid, scriptEvents)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG STDMETHODCALLTYPE EventSink::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

// Every event is accepted and ignored; a result the host asks for is left Empty.
HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                            VARIANT* result, EXCEPINFO*, UINT*)
{
    if (result != nullptr)
        VariantInit(result);
    return S_OK;
}

}  // namespace comhost
