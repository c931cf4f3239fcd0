// The COM core's pure parts: operator messages for failing calls, the 16-bit range check and
// the reading of results.

#include "host/com/ComError.h"
#include "host/com/ComVariant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using namespace comhost;
using ::testing::HasSubstr;

namespace {

std::string U8(const std::wstring& text) { return ToUtf8(text); }

}  // namespace

// Every failing HRESULT becomes a message that names the operation and what to do, and is
// classed as a lost connection exactly when later calls cannot succeed either.
TEST(ComFailure, MessagesNameTheOperationAndSayWhetherTheHostHasGone)
{
    struct Row
    {
        HRESULT hr;
        const wchar_t* hostText;
        FailureKind kind;
        const char* message;
    };
    const Row rows[] = {
        {DISP_E_EXCEPTION, L"Axis X not referenced \u00e4\u20ac", FailureKind::CallFailed,
         "Mach3 reported an error in GetOEMDRO: Axis X not referenced \xc3\xa4\xe2\x82\xac"},
        {DISP_E_EXCEPTION, L"", FailureKind::CallFailed, "error in GetOEMDRO without saying why"},
        {RPC_E_DISCONNECTED, L"", FailureKind::ConnectionLost, "Mach3 has closed the connection: GetOEMDRO"},
        {CO_E_OBJNOTCONNECTED, L"", FailureKind::ConnectionLost, "Mach3 has closed the connection"},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), L"", FailureKind::ConnectionLost,
         "Mach3 is no longer running: GetOEMDRO could not reach it"},
        {RPC_E_SERVER_DIED_DNE, L"", FailureKind::ConnectionLost, "Mach3 is no longer running"},
        {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), L"", FailureKind::ConnectionLost,
         "The connection to Mach3 broke during GetOEMDRO"},
        {RPC_E_TIMEOUT, L"", FailureKind::ConnectionLost, "GetOEMDRO failed"},
        {RPC_E_SERVERCALL_RETRYLATER, L"", FailureKind::CallFailed, "Mach3 is busy and refused GetOEMDRO"},
        {DISP_E_MEMBERNOTFOUND, L"", FailureKind::CallFailed, "This Mach3 does not offer GetOEMDRO"},
        {DISP_E_TYPEMISMATCH, L"", FailureKind::CallFailed, "Mach3 refused the arguments of GetOEMDRO"},
        {DISP_E_OVERFLOW, L"", FailureKind::CallFailed, "out of the range Mach3 accepts"},
        {E_FAIL, L"", FailureKind::CallFailed, "GetOEMDRO failed: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        EXPECT_EQ(ClassifyFailure(row.hr), row.kind);
        const std::string message = U8(DescribeFailure(row.hr, L"GetOEMDRO", row.hostText));
        EXPECT_THAT(message, HasSubstr(row.message));
        if (row.hr != DISP_E_EXCEPTION) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(row.hr));
            EXPECT_THAT(message, HasSubstr(code)) << "the code helps whoever looks into it";
        }
    }
    EXPECT_THAT(U8(DescribeTimeout(L"IsMoving", 1500)),
                HasSubstr("Mach3 does not answer: IsMoving got no reply within 1500 ms"));
    EXPECT_THAT(U8(NotRunningMessage()), HasSubstr("Mach not found"));
}

TEST(ComFailure, CodesOutsideTheSixteenBitRangeAreRefused)
{
    for (long long fits : {-32768LL, -1LL, 0LL, 32767LL})
        EXPECT_EQ(CheckedInt16(fits, L"DoOEMButton"), static_cast<short>(fits));
    for (long long outside : {-32769LL, 32768LL, 65535LL, -9223372036854775807LL - 1}) {
        try {
            CheckedInt16(outside, L"DoOEMButton");
            ADD_FAILURE() << outside << " was accepted";
        } catch (const ComError& e) {
            EXPECT_THAT(U8(e.Message()), HasSubstr("Range check error: " + std::to_string(outside)));
            EXPECT_THAT(U8(e.Message()), HasSubstr("DoOEMButton"));
            EXPECT_EQ(e.Code(), 0);
        }
    }
}

// Results are read as the operation gives them, whichever compatible type the host chose; a
// value that cannot be read so is a failure, never a silent default.
TEST(ComResults, ReadAsTheOperationsType)
{
    auto make = [](VARTYPE type, long long raw) {
        Variant v;
        v.get()->vt = type;
        if (type == VT_BOOL)
            v.get()->boolVal = static_cast<VARIANT_BOOL>(raw);
        else if (type == VT_I2)
            v.get()->iVal = static_cast<short>(raw);
        else if (type == VT_I4)
            v.get()->lVal = static_cast<long>(raw);
        return v;
    };
    struct BoolRow
    {
        VARTYPE type;
        long long raw;
        bool ok;
        bool value;
    };
    const BoolRow bools[] = {
        {VT_BOOL, VARIANT_TRUE, true, true}, {VT_BOOL, VARIANT_FALSE, true, false},
        {VT_BOOL, 1, true, true},  // a host that returns 1 for true still means lit
        {VT_I2, 0, true, false},   {VT_I4, 7, true, true},
        {VT_EMPTY, 0, true, false}, {VT_NULL, 0, false, false},
    };
    for (const BoolRow& row : bools) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " value " << row.raw);
        bool out = !row.value;
        const HRESULT hr = ReadBoolean(make(row.type, row.raw).value(), out);
        EXPECT_EQ(SUCCEEDED(hr), row.ok);
        if (row.ok) {
            EXPECT_EQ(out, row.value);
        }
    }

    double d = 0;
    EXPECT_EQ(ReadDouble(Variant::Double(-1.7976931348623157e308).value(), d), S_OK);
    EXPECT_EQ(d, -1.7976931348623157e308);
    EXPECT_EQ(ReadDouble(Variant::Int16(-32768).value(), d), S_OK);
    EXPECT_EQ(d, -32768.0);
    EXPECT_EQ(ReadDouble(Variant::Text(L"2.5").value(), d), S_OK) << "invariant decimal point";
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(FAILED(ReadDouble(make(VT_NULL, 0).value(), d)));

    short s = 0;
    EXPECT_EQ(ReadInt16(Variant::Int16(-32768).value(), s), S_OK);
    EXPECT_EQ(s, -32768);
    EXPECT_EQ(ReadInt16(make(VT_I4, 40000).value(), s), DISP_E_OVERFLOW);

    std::wstring text;
    const wchar_t withNul[] = L"a\0b\u20ac";
    EXPECT_EQ(ReadText(Variant::Text(std::wstring_view(withNul, 4)).value(), text), S_OK);
    EXPECT_EQ(text, std::wstring(withNul, 4)) << "length counts, not the first NUL";
    Variant nullText;
    nullText.get()->vt = VT_BSTR;
    nullText.get()->bstrVal = nullptr;
    EXPECT_EQ(ReadText(nullText.value(), text), S_OK);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(ReadText(make(VT_EMPTY, 0).value(), text), S_OK);
    EXPECT_EQ(text, L"");
    EXPECT_TRUE(FAILED(ReadText(make(VT_NULL, 0).value(), text)));
}
