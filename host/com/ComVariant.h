#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

// VARIANT ownership and the conversions of the host's results. Internal to the COM transport
// (and its tests): every VARIANT made or received here is cleared exactly once.

namespace comhost {

// Owns one VARIANT; clears it when destroyed or reset.
class Variant final
{
public:
    Variant() { VariantInit(&m_value); }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }
    Variant& operator=(Variant&& other) noexcept;

    static Variant Int16(short value);
    static Variant Double(double value);
    // A BSTR holding exactly `text`, embedded NULs and all. Raises a ComError when the system
    // cannot allocate it.
    static Variant Text(std::wstring_view text);
    static Variant Boolean(bool value);

    VARIANT* get() { return &m_value; }
    const VARIANT& value() const { return m_value; }
    // Clears the held value and returns the empty VARIANT for an out-parameter.
    VARIANT* Reset();

private:
    VARIANT m_value;
};

// Reading a result as the operation's type. Each returns S_OK and sets `out`, or the HRESULT
// of the failed conversion (DISP_E_TYPEMISMATCH for Null, DISP_E_OVERFLOW when out of range).
// Numbers and booleans convert among each other as COM converts them; a boolean is true when
// non-zero, Empty reads as false, 0 or "". Text converts with the invariant locale.
HRESULT ReadBoolean(const VARIANT& value, bool& out);
HRESULT ReadInt16(const VARIANT& value, short& out);
HRESULT ReadDouble(const VARIANT& value, double& out);
HRESULT ReadText(const VARIANT& value, std::wstring& out);

// "Empty", "Null", "Int16" ... for messages about a result of an unexpected type.
std::wstring VariantTypeName(VARTYPE type);

// The result of one dispatch call.
struct InvokeOutcome
{
    HRESULT hr = S_OK;
    std::wstring hostText;  // the host's description of an exception it raised
    long hostCode = 0;      // the host's error code for it
    UINT argumentError = 0;

    // The operator's message for a failed call of `operation`.
    std::wstring Describe(std::wstring_view operation) const;
};

// One late-bound method call by dispatch identifier. `args` are in the order the operation
// declares them (they travel reversed, as dispatch calls take them); no named arguments.
// `result` may be null when the operation returns nothing. The exception information is read
// and freed whatever the outcome.
InvokeOutcome InvokeMethod(IDispatch* target, DISPID id, Variant* args, UINT argCount,
                           Variant* result);

// A GUID from its registry text form ("{...}").
GUID GuidFromText(const char* text);

}  // namespace comhost
