#include "host/com/ComError.h"

#include <windows.h>

#include <cstdio>
#include <limits>

namespace comhost {

namespace {

std::wstring Hex(long hr)
{
    wchar_t buffer[16];
    std::swprintf(buffer, std::size(buffer), L"0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

// The system's text for an HRESULT, without its trailing line break; empty when it has none.
std::wstring SystemText(long hr)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring result;
    if (length > 0 && text != nullptr)
        result.assign(text, length);
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r'
                               || result.back() == L' ' || result.back() == L'.'))
        result.pop_back();
    return result;
}

std::wstring WithCode(std::wstring text, long hr) { return text + L" (" + Hex(hr) + L")"; }

}  // namespace

ComError::ComError(std::wstring message, long code)
    : std::runtime_error(ToUtf8(message)), m_message(std::move(message)), m_code(code)
{
}

FailureKind ClassifyFailure(long hr)
{
    switch (static_cast<HRESULT>(hr)) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE):
    case RPC_E_TIMEOUT:
        return FailureKind::ConnectionLost;
    default:
        return FailureKind::CallFailed;
    }
}

std::wstring DescribeFailure(long hr, std::wstring_view operation, std::wstring_view hostText,
                             long hostCode)
{
    const std::wstring op(operation);
    switch (static_cast<HRESULT>(hr)) {
    case DISP_E_EXCEPTION:
        if (!hostText.empty())
            return L"Mach3 reported an error in " + op + L": " + std::wstring(hostText);
        if (hostCode != 0)
            return WithCode(L"Mach3 reported an error in " + op + L" without saying why", hostCode);
        return L"Mach3 reported an error in " + op + L" without saying why";
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
        return WithCode(L"Mach3 is no longer running: " + op
                            + L" could not reach it. Start Mach3 again and reconnect",
                        hr);
    case RPC_E_DISCONNECTED:
    case CO_E_OBJNOTCONNECTED:
        return WithCode(L"Mach3 has closed the connection: " + op
                            + L" could not be made. Reconnect to Mach3",
                        hr);
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE):
        return WithCode(L"The connection to Mach3 broke during " + op
                            + L". Restart Mach3 and reconnect",
                        hr);
    case RPC_E_CALL_REJECTED:
    case RPC_E_SERVERCALL_RETRYLATER:
    case RPC_E_SERVERCALL_REJECTED:
        return WithCode(L"Mach3 is busy and refused " + op
                            + L"; close any dialog open in Mach3 and try again",
                        hr);
    case RPC_E_CALL_CANCELED:
        return WithCode(L"The call " + op + L" to Mach3 was cancelled", hr);
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
        return WithCode(L"This Mach3 does not offer " + op
                            + L"; its version does not match this program",
                        hr);
    case DISP_E_TYPEMISMATCH:
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTFOUND:
    case DISP_E_BADVARTYPE:
    case DISP_E_PARAMNOTOPTIONAL:
        return WithCode(L"Mach3 refused the arguments of " + op
                            + L"; its version does not match this program",
                        hr);
    case DISP_E_OVERFLOW:
        return WithCode(L"A value of " + op + L" is out of the range Mach3 accepts", hr);
    case E_OUTOFMEMORY:
        return WithCode(L"Out of memory while calling " + op, hr);
    default:
        break;
    }
    const std::wstring text = SystemText(hr);
    return WithCode(op + L" failed: " + (text.empty() ? L"unknown error" : text), hr);
}

std::wstring DescribeTimeout(std::wstring_view operation, int timeoutMs)
{
    return L"Mach3 does not answer: " + std::wstring(operation) + L" got no reply within "
           + std::to_wstring(timeoutMs)
           + L" ms. Close any dialog open in Mach3; restart it if it stays silent";
}

std::wstring NotRunningMessage()
{
    return L"Mach not found: Mach3 is not running (no running Mach3 document is registered). "
           L"Start Mach3 first";
}

short CheckedInt16(long long value, std::wstring_view operation)
{
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max()) {
        throw ComError(L"Range check error: " + std::to_wstring(value) + L" given to "
                           + std::wstring(operation)
                           + L" does not fit the host's 16-bit range (-32768..32767)",
                       0);
    }
    return static_cast<short>(value);
}

std::string ToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                            size, nullptr, nullptr);
    return result;
}

}  // namespace comhost
