#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Failures of the COM transport's core. The core knows no toolkit, so it raises its own error
// type; the program's host adapter turns it into the program's one error type, keeping the
// message. Messages are written for the operator: what failed and what to do about it.

namespace comhost {

class ComError : public std::runtime_error
{
public:
    // `code` is the failing HRESULT, or 0 for failures found before any call (range checks).
    ComError(std::wstring message, long code);

    const std::wstring& Message() const noexcept { return m_message; }
    long Code() const noexcept { return m_code; }

private:
    std::wstring m_message;
    long m_code;
};

// What a failed call means for the connection.
enum class FailureKind {
    CallFailed,      // this call failed; the host is still there
    ConnectionLost,  // the host died, closed or left: every later call would fail too
};

// Classifies a failing HRESULT.
FailureKind ClassifyFailure(long hr);

// The operator's message for a failing HRESULT of `operation` (an operation name such as
// "GetOEMDRO"). For an exception the host raised, `hostText` is its description, quoted as
// the host gave it, and `hostCode` its error code (0 when it gave none).
std::wstring DescribeFailure(long hr, std::wstring_view operation, std::wstring_view hostText = {},
                             long hostCode = 0);

// The message of a call that got no reply within `timeoutMs`.
std::wstring DescribeTimeout(std::wstring_view operation, int timeoutMs);

// The message when no running controller document is registered.
std::wstring NotRunningMessage();

// Converts `value` to the 16-bit signed integer the host takes, or raises a ComError before
// any call when it lies outside -32768..32767.
short CheckedInt16(long long value, std::wstring_view operation);

// UTF-16 text to UTF-8 (for std::exception::what and logs).
std::string ToUtf8(std::wstring_view text);

}  // namespace comhost
