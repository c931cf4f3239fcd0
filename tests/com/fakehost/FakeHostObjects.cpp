#include "FakeHostObjects.h"

#include "FakeHostControl.h"

#include "host/Mach4Ids.h"

#include <olectl.h>

#include <array>
#include <cstdio>

namespace fakehost {

namespace {

const IID& ScriptIid()
{
    static const IID iid = comhost::GuidFromText(Mach4::IID_IMyScriptObject);
    return iid;
}

// The script operations as the host declares them.
struct Operation
{
    DISPID id;
    const wchar_t* name;
    UINT argCount;
    std::array<VARTYPE, 2> args;
    const wchar_t* resultKey;  // null: no result; a key ending in ':' takes the first argument
};

constexpr Operation Operations[] = {
    {Mach4::DISPID_DeActivateSignal, L"DeActivateSignal", 1, {VT_I2}, nullptr},
    {Mach4::DISPID_GetVar, L"GetVar", 1, {VT_I2}, L"var:"},
    {Mach4::DISPID_Code, L"Code", 1, {VT_BSTR}, nullptr},
    {Mach4::DISPID_IsMoving, L"IsMoving", 0, {}, L"IsMoving"},
    {Mach4::DISPID_DoOEMButton, L"DoOEMButton", 1, {VT_I2}, nullptr},
    {Mach4::DISPID_DoButton, L"DoButton", 1, {VT_I2}, nullptr},
    {Mach4::DISPID_GetOEMLed, L"GetOEMLed", 1, {VT_I2}, L"led:"},
    {Mach4::DISPID_GetOEMDRO, L"GetOEMDRO", 1, {VT_I2}, L"dro:"},
    {Mach4::DISPID_SetOEMDRO, L"SetOEMDRO", 2, {VT_I2, VT_R8}, nullptr},
    {Mach4::DISPID_IsLoading, L"IsLoading", 0, {}, L"IsLoading"},
    {Mach4::DISPID_SetButtonText, L"SetButtonText", 1, {VT_BSTR}, nullptr},
    {Mach4::DISPID_Message, L"Message", 1, {VT_BSTR}, nullptr},
    {Mach4::DISPID_FileName, L"FileName", 0, {}, L"FileName"},
    {Mach4::DISPID_LoadFile, L"LoadFile", 1, {VT_BSTR}, nullptr},
};

constexpr short ResetButton = 1021;
constexpr wchar_t ResetLedKey[] = L"led:800";

// Argument `i` in declared order (dispatch calls carry them last to first).
const VARIANT& Arg(const DISPPARAMS& params, UINT i) { return params.rgvarg[params.cArgs - 1 - i]; }

std::wstring Text(const VARIANT& v) { return std::wstring(v.bstrVal, SysStringLen(v.bstrVal)); }

std::wstring Format(const VARIANT& v)
{
    switch (v.vt) {
    case VT_I2: return std::to_wstring(v.iVal);
    case VT_R8: {
        wchar_t buffer[40];
        std::swprintf(buffer, std::size(buffer), L"%.17g", v.dblVal);
        return buffer;
    }
    case VT_BSTR: {
        std::wstring out = L"\"";
        for (wchar_t c : Text(v)) {
            if (c == L'"' || c == L'\\')
                out += L'\\';
            out += c == L'\n' ? std::wstring(L"\\n") : c == L'\r' ? std::wstring(L"\\r") : std::wstring(1, c);
        }
        return out + L"\"";
    }
    default: return L"?";
    }
}

comhost::Variant DefaultValue(const std::wstring& key)
{
    if (key.rfind(L"led:", 0) == 0 || key == L"IsMoving")
        return comhost::Variant::Boolean(false);
    if (key == L"IsLoading")
        return comhost::Variant::Int16(0);
    if (key == L"FileName")
        return comhost::Variant::Text(L"No File Loaded.");
    return comhost::Variant::Double(0);
}

HRESULT CopyOut(const VARIANT& value, VARIANT* result)
{
    if (result == nullptr)
        return S_OK;
    VariantInit(result);
    return VariantCopy(result, const_cast<VARIANT*>(&value));
}

// Reads a control argument as a number or a text, whatever integer type the caller used.
long IntArg(const DISPPARAMS& params, UINT i)
{
    comhost::Variant v;
    VariantChangeType(v.get(), const_cast<VARIANT*>(&Arg(params, i)), 0, VT_I4);
    return v.value().lVal;
}

std::wstring TextArg(const DISPPARAMS& params, UINT i)
{
    comhost::Variant v;
    VariantChangeType(v.get(), const_cast<VARIANT*>(&Arg(params, i)), 0, VT_BSTR);
    return v.value().vt == VT_BSTR ? Text(v.value()) : std::wstring();
}

HRESULT RaiseHostException(EXCEPINFO* info, const std::wstring& text)
{
    if (info != nullptr) {
        *info = EXCEPINFO{};
        info->bstrSource = SysAllocString(L"FakeMachHost");
        info->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        info->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT STDMETHODCALLTYPE StaticDispatch::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StaticDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE StaticDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE ScriptObject::QueryInterface(REFIID iid, void** object)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, ScriptIid())) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ScriptObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                               VARIANT* result, EXCEPINFO* info, UINT* argumentError)
{
    const Operation* op = nullptr;
    for (const Operation& candidate : Operations)
        if (candidate.id == id)
            op = &candidate;
    if (op == nullptr || (flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (params->cArgs != op->argCount)
        return DISP_E_BADPARAMCOUNT;
    std::wstring entry = std::wstring(op->name) + L"(";
    for (UINT i = 0; i < op->argCount; ++i) {
        if (Arg(*params, i).vt != op->args[i]) {
            if (argumentError != nullptr)
                *argumentError = params->cArgs - 1 - i;
            return DISP_E_TYPEMISMATCH;
        }
        entry += (i > 0 ? L", " : L"") + Format(Arg(*params, i));
    }
    entry += L")";

    int hang = 0;
    std::wstring failure;
    bool fail = false;
    HRESULT hr = S_OK;
    {
        std::lock_guard lock(m_state.mutex);
        m_state.journal.push_back(entry);
        for (UINT i = 0; i < op->argCount; ++i)
            if (op->args[i] == VT_BSTR)
                m_state.lastText = Text(Arg(*params, i));
        if (auto it = m_state.hangNext.find(id); it != m_state.hangNext.end()) {
            hang = it->second;
            m_state.hangNext.erase(it);
        }
        if (auto it = m_state.failNext.find(id); it != m_state.failNext.end()) {
            fail = true;
            failure = it->second;
            m_state.failNext.erase(it);
        }
        if (!fail) {
            if (id == Mach4::DISPID_SetOEMDRO)
                m_state.values[L"dro:" + std::to_wstring(Arg(*params, 0).iVal)] =
                    comhost::Variant::Double(Arg(*params, 1).dblVal);
            if (id == Mach4::DISPID_DoOEMButton && Arg(*params, 0).iVal == ResetButton) {
                // The reset button toggles the reset lamp, as on the real controller.
                auto found = m_state.values.find(ResetLedKey);
                bool lit = false;
                if (found != m_state.values.end())
                    comhost::ReadBoolean(found->second.value(), lit);
                m_state.values[ResetLedKey] = comhost::Variant::Boolean(!lit);
            }
            if (op->resultKey != nullptr) {
                std::wstring key = op->resultKey;
                if (key.back() == L':')
                    key += std::to_wstring(Arg(*params, 0).iVal);
                auto found = m_state.values.find(key);
                hr = CopyOut(found != m_state.values.end() ? found->second.value()
                                                           : DefaultValue(key).value(),
                             result);
            }
        }
    }
    if (hang > 0)
        Sleep(static_cast<DWORD>(hang));
    return fail ? RaiseHostException(info, failure) : hr;
}

HRESULT STDMETHODCALLTYPE EventPoint::QueryInterface(REFIID iid, void** object)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventPoint::GetConnectionInterface(IID* iid)
{
    *iid = ScriptIid();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    *container = &m_container;
    m_container.AddRef();
    return S_OK;
}

// Like a connection point generated from a type library, it takes only sinks that answer for
// the event interface.
HRESULT STDMETHODCALLTYPE EventPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    IUnknown* events = nullptr;
    if (sink == nullptr || FAILED(sink->QueryInterface(ScriptIid(), reinterpret_cast<void**>(&events)))) {
        std::lock_guard lock(m_state.mutex);
        m_state.journal.push_back(L"Advise refused: the sink does not take the script events");
        return CONNECT_E_CANNOTCONNECT;
    }
    std::lock_guard lock(m_state.mutex);
    *cookie = m_state.nextCookie++;
    m_state.sinks[*cookie] = events;
    m_state.journal.push_back(L"Advise");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventPoint::Unadvise(DWORD cookie)
{
    IUnknown* sink = nullptr;
    {
        std::lock_guard lock(m_state.mutex);
        auto found = m_state.sinks.find(cookie);
        if (found == m_state.sinks.end())
            return CONNECT_E_NOCONNECTION;
        sink = found->second;
        m_state.sinks.erase(found);
        m_state.journal.push_back(L"Unadvise");
    }
    sink->Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventPoint::EnumConnections(IEnumConnections** connections)
{
    *connections = nullptr;
    return E_NOTIMPL;
}

Document::Document(State& state, bool offerEvents)
    : m_state(state), m_script(state), m_point(state, *this), m_offerEvents(offerEvents)
{
}

HRESULT STDMETHODCALLTYPE Document::QueryInterface(REFIID iid, void** object)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
    } else if (m_offerEvents && IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Document::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Document::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!IsEqualIID(iid, ScriptIid())) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = &m_point;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Document::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                           VARIANT* result, EXCEPINFO*, UINT*)
{
    if ((flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
    std::lock_guard lock(m_state.mutex);
    switch (id) {
    case Mach4::DISPID_Doc_GetScriptDispatch:
        if (params->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        m_state.journal.push_back(L"Document(3)");
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_DISPATCH;
            result->pdispVal = &m_script;
            m_script.AddRef();
        }
        return S_OK;
    case Mach4::DISPID_Doc_Release:
        if (params->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        m_state.journal.push_back(L"Document(4)");
        return S_OK;
    case Control_Set:
        m_state.values[TextArg(*params, 0)] = [&] {
            comhost::Variant copy;
            VariantCopy(copy.get(), const_cast<VARIANT*>(&Arg(*params, 1)));
            return copy;
        }();
        return S_OK;
    case Control_Journal: {
        std::wstring all;
        for (const std::wstring& line : m_state.journal)
            all += line + L"\n";
        return CopyOut(comhost::Variant::Text(all).value(), result);
    }
    case Control_ClearJournal:
        m_state.journal.clear();
        return S_OK;
    case Control_FailNext:
        m_state.failNext[IntArg(*params, 0)] = TextArg(*params, 1);
        return S_OK;
    case Control_HangNext:
        m_state.hangNext[IntArg(*params, 0)] = static_cast<int>(IntArg(*params, 1));
        return S_OK;
    case Control_AdvisedSinks:
    case Control_ScriptReferences:
    case Control_ProcessId:
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = id == Control_AdvisedSinks        ? static_cast<long>(m_state.sinks.size())
                           : id == Control_ScriptReferences ? m_script.OutsideReferences()
                                                            : static_cast<long>(GetCurrentProcessId());
        }
        return S_OK;
    case Control_Quit:
        PostThreadMessageW(m_state.mainThread, WM_QUIT, 0, 0);
        return S_OK;
    case Control_LastText:
        return CopyOut(comhost::Variant::Text(m_state.lastText).value(), result);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace fakehost
