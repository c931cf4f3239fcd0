#include "host/com/ComVariant.h"

#include "host/com/ComError.h"

#include <utility>
#include <vector>

namespace comhost {

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        VariantClear(&m_value);
        m_value = other.m_value;
        VariantInit(&other.m_value);
    }
    return *this;
}

Variant Variant::Int16(short value)
{
    Variant v;
    v.m_value.vt = VT_I2;
    v.m_value.iVal = value;
    return v;
}

Variant Variant::Double(double value)
{
    Variant v;
    v.m_value.vt = VT_R8;
    v.m_value.dblVal = value;
    return v;
}

Variant Variant::Text(std::wstring_view text)
{
    Variant v;
    BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (bstr == nullptr)
        throw ComError(L"Out of memory for a text of " + std::to_wstring(text.size())
                           + L" characters",
                       E_OUTOFMEMORY);
    v.m_value.vt = VT_BSTR;
    v.m_value.bstrVal = bstr;
    return v;
}

Variant Variant::Boolean(bool value)
{
    Variant v;
    v.m_value.vt = VT_BOOL;
    v.m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT* Variant::Reset()
{
    VariantClear(&m_value);
    return &m_value;
}

namespace {

HRESULT Convert(const VARIANT& value, VARTYPE type, Variant& out)
{
    return VariantChangeTypeEx(out.Reset(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, type);
}

}  // namespace

HRESULT ReadBoolean(const VARIANT& value, bool& out)
{
    Variant converted;
    const HRESULT hr = Convert(value, VT_BOOL, converted);
    if (SUCCEEDED(hr))
        out = converted.value().boolVal != VARIANT_FALSE;
    return hr;
}

HRESULT ReadInt16(const VARIANT& value, short& out)
{
    Variant converted;
    const HRESULT hr = Convert(value, VT_I2, converted);
    if (SUCCEEDED(hr))
        out = converted.value().iVal;
    return hr;
}

HRESULT ReadDouble(const VARIANT& value, double& out)
{
    Variant converted;
    const HRESULT hr = Convert(value, VT_R8, converted);
    if (SUCCEEDED(hr))
        out = converted.value().dblVal;
    return hr;
}

HRESULT ReadText(const VARIANT& value, std::wstring& out)
{
    Variant converted;
    const HRESULT hr = Convert(value, VT_BSTR, converted);
    if (SUCCEEDED(hr)) {
        const BSTR text = converted.value().bstrVal;
        out.assign(text == nullptr ? L"" : text, SysStringLen(text));
    }
    return hr;
}

std::wstring VariantTypeName(VARTYPE type)
{
    switch (type & VT_TYPEMASK) {
    case VT_EMPTY: return L"Empty";
    case VT_NULL: return L"Null";
    case VT_I2: return L"Int16";
    case VT_I4: return L"Int32";
    case VT_R4: return L"Single";
    case VT_R8: return L"Double";
    case VT_CY: return L"Currency";
    case VT_DATE: return L"Date";
    case VT_BSTR: return L"Text";
    case VT_DISPATCH: return L"Dispatch";
    case VT_ERROR: return L"Error";
    case VT_BOOL: return L"Boolean";
    case VT_VARIANT: return L"Variant";
    case VT_UNKNOWN: return L"Unknown";
    default: return L"variant type " + std::to_wstring(type);
    }
}

InvokeOutcome InvokeMethod(IDispatch* target, DISPID id, Variant* args, UINT argCount,
                           Variant* result)
{
    // Dispatch calls take their positional arguments last to first. The VARIANTs are lent,
    // not copied: the caller's Variants free them.
    std::vector<VARIANT> reversed(argCount);
    for (UINT i = 0; i < argCount; ++i)
        reversed[argCount - 1 - i] = *args[i].get();
    DISPPARAMS params{};
    params.rgvarg = argCount > 0 ? reversed.data() : nullptr;
    params.cArgs = argCount;

    // Callers that want a result also allow a property read: hosts implement parameterless
    // results either way.
    const WORD flags = result != nullptr ? DISPATCH_METHOD | DISPATCH_PROPERTYGET : DISPATCH_METHOD;
    EXCEPINFO info{};
    InvokeOutcome outcome;
    outcome.hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                result != nullptr ? result->Reset() : nullptr, &info,
                                &outcome.argumentError);
    if (outcome.hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn != nullptr)
            info.pfnDeferredFillIn(&info);
        if (info.bstrDescription != nullptr)
            outcome.hostText.assign(info.bstrDescription, SysStringLen(info.bstrDescription));
        while (!outcome.hostText.empty()
               && (outcome.hostText.back() == L'\n' || outcome.hostText.back() == L'\r'))
            outcome.hostText.pop_back();
        outcome.hostCode = info.scode != 0 ? info.scode : info.wCode;
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return outcome;
}

std::wstring InvokeOutcome::Describe(std::wstring_view operation) const
{
    return DescribeFailure(hr, operation, hostText, hostCode);
}

GUID GuidFromText(const char* text)
{
    std::wstring wide;
    for (const char* c = text; *c != '\0'; ++c)
        wide.push_back(static_cast<wchar_t>(*c));
    GUID guid{};
    if (FAILED(IIDFromString(wide.c_str(), &guid)))
        throw ComError(L"Malformed identifier " + wide, E_INVALIDARG);
    return guid;
}

}  // namespace comhost
