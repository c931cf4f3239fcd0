// The COM transport against the fake automation server, a separate process under the same
// system: attaching, the event subscription, every operation's arguments and results, the
// disconnect, and a host that dies or stops answering.

#include "FakeHostProcess.h"

#include "host/Mach4Ids.h"
#include "host/com/ComError.h"
#include "host/com/ComEventSink.h"
#include "host/com/ComScriptCalls.h"
#include "host/com/ComSession.h"
#include "host/com/ComWorker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>

using namespace comhost;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Generous, so that a loaded machine never fails a call by time; the timeout has a test of its
// own.
constexpr int GenerousMs = 10000;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

// Runs `call`, expecting a ComError; returns it.
ComError Failure(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ComError& e) {
        return e;
    }
    ADD_FAILURE() << "the call did not fail";
    return ComError(L"", 0);
}

// Every session, sink and worker thread of a test has gone once the test has let go of them.
void ExpectNothingLeft()
{
    EXPECT_TRUE(WaitFor([] { return ComWorker::LiveThreads() == 0; }, 5000))
        << ComWorker::LiveThreads() << " worker threads left";
    EXPECT_EQ(EventSink::LiveSinks(), 0);
}

class ComSession : public ::testing::Test
{
protected:
    // A session attached to the fake server with the script object obtained.
    void Attach(int timeoutMs = GenerousMs)
    {
        m_session = std::make_shared<DocumentSession>(timeoutMs);
        m_session->Connect();
        m_session->ObtainScriptObject();
        m_calls = std::make_unique<ScriptCalls>(m_session);
        m_host.ClearJournal();
    }

    void TearDown() override
    {
        m_calls.reset();
        m_session.reset();
        ExpectNothingLeft();
    }

    FakeHostProcess m_host;
    std::shared_ptr<DocumentSession> m_session;
    std::unique_ptr<ScriptCalls> m_calls;
};

}  // namespace

TEST(ComAttach, WithoutARunningHostTheFailureSaysMachNotFound)
{
    ASSERT_FALSE(FakeHostProcess::DocumentRegistered());
    DocumentSession session(GenerousMs);
    const ComError e = Failure([&] { session.Connect(); });
    EXPECT_THAT(U8(e.Message()), HasSubstr("Mach not found: Mach3 is not running"));
    EXPECT_FALSE(session.IsConnected());
    EXPECT_THAT(U8(Failure([&] { session.ObtainScriptObject(); }).Message()), HasSubstr("Mach not found"));
    ExpectNothingLeft();
}

// Attaching takes the running document (never a new one) and subscribes a sink for the script
// object's events; leaving without the release operation still unsubscribes it and lets go of
// every reference on both sides.
TEST(ComAttach, SubscribesTheEventSinkAndReleasesEverythingWhenDestroyed)
{
    FakeHostProcess host;
    {
        DocumentSession session(GenerousMs);
        session.Connect();
        EXPECT_TRUE(session.IsConnected());
        EXPECT_TRUE(session.IsSubscribed());
        EXPECT_EQ(host.AdvisedSinks(), 1);
        EXPECT_EQ(EventSink::LiveSinks(), 1);
        session.ObtainScriptObject();
        EXPECT_GE(host.ScriptReferences(), 1);
        EXPECT_THAT(host.Journal(), ElementsAre(L"Advise", L"Document(3)"));
    }
    EXPECT_THAT(host.Journal(), ElementsAre(L"Advise", L"Document(3)", L"Unadvise"));
    EXPECT_EQ(host.AdvisedSinks(), 0);
    EXPECT_TRUE(WaitFor([&] { return host.ScriptReferences() == 0; }, 2000));
    ExpectNothingLeft();
}

TEST(ComAttach, ADocumentWithoutEventsStillConnects)
{
    FakeHostProcess host({L"", false});
    auto session = std::make_shared<DocumentSession>(GenerousMs);
    session->Connect();
    EXPECT_TRUE(session->IsConnected());
    EXPECT_FALSE(session->IsSubscribed());
    session->ObtainScriptObject();
    ScriptCalls(session).DoButton(3);
    EXPECT_THAT(host.Journal(), ElementsAre(L"Document(3)", L"DoButton(3)"));
}

// Each operation leaves under its dispatch identifier with its arguments in order and typed as
// the host takes them (the fake refuses anything else), at the edges of their ranges.
TEST_F(ComSession, EveryOperationTravelsWithTheHostsTypes)
{
    Attach();
    m_calls->DeActivateSignal(-32768);
    m_calls->DeActivateSignal(32767);
    m_calls->GetVar(32767);
    m_calls->Code(L"G0 X1 (\u00e4\u20ac)");
    m_calls->IsMoving();
    m_calls->DoOEMButton(-32768);
    m_calls->DoButton(32767);
    m_calls->GetOEMLed(800);
    m_calls->GetOEMDRO(-1);
    m_calls->SetOEMDRO(32767, -1.7976931348623157e308);
    m_calls->SetOEMDRO(-32768, 4.9406564584124654e-324);
    m_calls->IsLoading();
    m_calls->SetButtonText(L"\"quoted\" \\ \u20ac");
    m_calls->Message(L"line\r\nbreak");
    m_calls->FileName();
    m_calls->LoadFile(L"C:\\G-Code\\Fr\u00e4se \u20ac.tap");
    EXPECT_THAT(m_host.Journal(),
                ElementsAre(L"DeActivateSignal(-32768)", L"DeActivateSignal(32767)", L"GetVar(32767)",
                            L"Code(\"G0 X1 (\u00e4\u20ac)\")", L"IsMoving()", L"DoOEMButton(-32768)",
                            L"DoButton(32767)", L"GetOEMLed(800)", L"GetOEMDRO(-1)",
                            L"SetOEMDRO(32767, -1.7976931348623157e+308)",
                            L"SetOEMDRO(-32768, 4.9406564584124654e-324)", L"IsLoading()",
                            L"SetButtonText(\"\\\"quoted\\\" \\\\ \u20ac\")",
                            L"Message(\"line\\r\\nbreak\")", L"FileName()",
                            L"LoadFile(\"C:\\\\G-Code\\\\Fr\u00e4se \u20ac.tap\")"));
}

TEST_F(ComSession, CodesOutsideTheRangeAreRefusedBeforeAnyCall)
{
    Attach();
    const std::function<void(long long)> calls[] = {
        [&](long long v) { m_calls->DeActivateSignal(v); }, [&](long long v) { m_calls->GetVar(v); },
        [&](long long v) { m_calls->DoOEMButton(v); },      [&](long long v) { m_calls->DoButton(v); },
        [&](long long v) { m_calls->GetOEMLed(v); },        [&](long long v) { m_calls->GetOEMDRO(v); },
        [&](long long v) { m_calls->SetOEMDRO(v, 1.0); },
    };
    for (const auto& call : calls)
        for (long long outside : {32768LL, -32769LL})
            EXPECT_THAT(U8(Failure([&] { call(outside); }).Message()), HasSubstr("Range check error"));
    EXPECT_TRUE(m_host.Journal().empty());
    EXPECT_TRUE(m_session->IsConnected());
}

// Texts arrive whole and unchanged: characters outside Latin-1 and outside the basic plane,
// line breaks, an embedded NUL, an empty text and one of 10,000 characters.
TEST_F(ComSession, TextsArriveWhole)
{
    Attach();
    std::wstring longText;
    while (longText.size() < 10000)
        longText += L"G1 X\u00e4\u20ac\U0001D11E ";
    longText.resize(10000);
    const std::wstring texts[] = {L"\u00e4", L"\u20ac", L"\U0001D11E", L"a\r\nb",
                                  std::wstring(L"nul\0inside", 10), L"", longText};
    const std::function<void(const std::wstring&)> calls[] = {
        [&](const std::wstring& t) { m_calls->Code(t); },
        [&](const std::wstring& t) { m_calls->SetButtonText(t); },
        [&](const std::wstring& t) { m_calls->Message(t); },
        [&](const std::wstring& t) { m_calls->LoadFile(t); },
    };
    for (const auto& call : calls) {
        for (const std::wstring& text : texts) {
            call(text);
            EXPECT_EQ(m_host.LastText(), text) << "length " << text.size();
        }
    }
    EXPECT_EQ(m_host.Journal().size(), std::size(calls) * std::size(texts));
}

// Results come back as each operation gives them, whichever compatible type the host used.
TEST_F(ComSession, ResultsReadAsTheirTypes)
{
    Attach();
    EXPECT_EQ(m_calls->GetOEMDRO(800), 0.0);
    EXPECT_FALSE(m_calls->GetOEMLed(13));
    EXPECT_FALSE(m_calls->IsMoving());
    EXPECT_EQ(m_calls->IsLoading(), 0);
    EXPECT_EQ(m_calls->FileName(), L"No File Loaded.");

    for (double value : {-1.7976931348623157e308, 1.7976931348623157e308, -0.5, 1e-300}) {
        m_calls->SetOEMDRO(802, value);
        EXPECT_EQ(m_calls->GetOEMDRO(802), value);
    }
    m_host.Set(L"dro:-32768", Variant::Double(-12345.678));
    EXPECT_EQ(m_calls->GetOEMDRO(-32768), -12345.678);
    m_host.Set(L"var:1", Variant::Int16(7));
    EXPECT_EQ(m_calls->GetVar(1), 7.0);

    struct BoolRow
    {
        const wchar_t* key;
        Variant value;
        bool expected;
    };
    auto raw = [](VARTYPE type, long value) {
        Variant v;
        v.get()->vt = type;
        v.get()->lVal = 0;
        if (type == VT_BOOL)
            v.get()->boolVal = static_cast<VARIANT_BOOL>(value);
        else if (type == VT_I4)
            v.get()->lVal = value;
        return v;
    };
    BoolRow bools[] = {
        {L"led:13", Variant::Boolean(true), true},  {L"led:13", raw(VT_BOOL, 1), true},
        {L"led:13", Variant::Boolean(false), false}, {L"IsMoving", Variant::Boolean(true), true},
        {L"IsMoving", raw(VT_I4, 1), true},          {L"IsMoving", raw(VT_EMPTY, 0), false},
        {L"IsMoving", Variant::Int16(0), false},
    };
    for (BoolRow& row : bools) {
        m_host.Set(row.key, std::move(row.value));
        const bool read = std::wstring(row.key) == L"IsMoving" ? m_calls->IsMoving() : m_calls->GetOEMLed(13);
        EXPECT_EQ(read, row.expected) << U8(row.key);
    }
    for (short loading : {short(-32768), short(1), short(32767)}) {
        m_host.Set(L"IsLoading", Variant::Int16(loading));
        EXPECT_EQ(m_calls->IsLoading(), loading);
    }
    m_host.Set(L"FileName", Variant::Text(L"C:\\G-Code\\Fr\u00e4se \u20ac.tap"));
    EXPECT_EQ(m_calls->FileName(), L"C:\\G-Code\\Fr\u00e4se \u20ac.tap");

    // A result that does not read as the operation's type fails that call only.
    m_host.Set(L"IsMoving", raw(VT_NULL, 0));
    EXPECT_THAT(U8(Failure([&] { m_calls->IsMoving(); }).Message()),
                HasSubstr("Mach3 returned Null from IsMoving, which does not read as a boolean"));
    m_host.Set(L"IsLoading", raw(VT_I4, 40000));
    EXPECT_THAT(U8(Failure([&] { m_calls->IsLoading(); }).Message()), HasSubstr("16-bit number"));
    EXPECT_TRUE(m_session->IsConnected());
    EXPECT_EQ(m_calls->GetOEMDRO(-32768), -12345.678);
}

TEST_F(ComSession, AHostExceptionFailsThatCallWithTheHostsText)
{
    Attach();
    m_host.FailNext(Mach4::DISPID_GetOEMDRO, L"Axis \u00e4 not referenced");
    EXPECT_THAT(U8(Failure([&] { m_calls->GetOEMDRO(800); }).Message()),
                HasSubstr("Mach3 reported an error in GetOEMDRO: Axis \xc3\xa4 not referenced"));
    m_host.FailNext(Mach4::DISPID_Code, L"");
    EXPECT_THAT(U8(Failure([&] { m_calls->Code(L"G0"); }).Message()),
                HasSubstr("Mach3 reported an error in Code without saying why (0x80004005)"));
    EXPECT_TRUE(m_session->IsConnected());
    m_calls->DoOEMButton(1000);
    EXPECT_THAT(m_host.Journal(), ElementsAre(L"GetOEMDRO(800)", L"Code(\"G0\")", L"DoOEMButton(1000)"));
}

// Leaving the host as the host connection does: output signals 7 to 10 off and reset pressed
// while the machine is out of reset, the reset lamp read again, then the subscription dropped
// and document operation 4 as the very last call. Afterwards calls fail, and a new connection
// can be made.
TEST_F(ComSession, DisconnectEndsWithTheReleaseOperation)
{
    Attach();
    if (!m_calls->GetOEMLed(800)) {
        for (int signal = 7; signal <= 10; ++signal)
            m_calls->DeActivateSignal(signal);
        m_calls->DoOEMButton(1021);
    }
    if (!m_calls->GetOEMLed(800))
        m_calls->DoOEMButton(1021);
    m_session->Release();
    EXPECT_THAT(m_host.Journal(),
                ElementsAre(L"GetOEMLed(800)", L"DeActivateSignal(7)", L"DeActivateSignal(8)",
                            L"DeActivateSignal(9)", L"DeActivateSignal(10)", L"DoOEMButton(1021)",
                            L"GetOEMLed(800)", L"Unadvise", L"Document(4)"));
    EXPECT_FALSE(m_session->IsConnected());
    EXPECT_EQ(m_host.AdvisedSinks(), 0);
    EXPECT_TRUE(WaitFor([&] { return m_host.ScriptReferences() == 0; }, 2000));
    EXPECT_EQ(EventSink::LiveSinks(), 0);

    EXPECT_THAT(U8(Failure([&] { m_calls->GetOEMDRO(800); }).Message()),
                HasSubstr("The connection to Mach3 has been released"));
    m_session->Release();
    EXPECT_EQ(m_host.Journal().size(), 9u) << "a second release calls nothing";

    m_session->Connect();
    m_session->ObtainScriptObject();
    EXPECT_TRUE(m_calls->GetOEMLed(800));
}

// A host that dies mid-session fails the very next call with the system's report of the lost
// connection, not by running out the (here generous) call timeout, and every later call with
// the same message; nothing of the session stays behind.
TEST_F(ComSession, AKilledHostFailsTheNextCallPromptly)
{
    Attach();
    m_host.Set(L"dro:800", Variant::Double(1.5));
    EXPECT_EQ(m_calls->GetOEMDRO(800), 1.5);
    m_host.Kill();

    const auto start = std::chrono::steady_clock::now();
    const ComError first = Failure([&] { m_calls->GetOEMDRO(800); });
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "[          ] call after the host died failed after " << ms.count() << " ms\n";
    EXPECT_EQ(ClassifyFailure(first.Code()), FailureKind::ConnectionLost) << U8(first.Message());
    EXPECT_NE(first.Code(), RPC_E_TIMEOUT) << "the loss was reported, not waited out";
    EXPECT_THAT(U8(first.Message()), HasSubstr("GetOEMDRO"));
    EXPECT_FALSE(m_session->IsConnected());

    EXPECT_EQ(U8(Failure([&] { m_calls->IsMoving(); }).Message()), U8(first.Message()));
    m_session->Release();  // nothing to release any more
    EXPECT_TRUE(WaitFor([] { return EventSink::LiveSinks() == 0; }, 2000));
}

// A host that stops answering holds a call no longer than the timeout; the session is then
// closed, so later calls do not wait again.
TEST_F(ComSession, ASilentHostTimesOutAndLaterCallsFailAtOnce)
{
    Attach(300);
    m_host.HangNext(Mach4::DISPID_GetOEMDRO, 3000);
    const ComError e = Failure([&] { m_calls->GetOEMDRO(800); });
    EXPECT_EQ(e.Code(), RPC_E_TIMEOUT);
    EXPECT_THAT(U8(e.Message()), HasSubstr("Mach3 does not answer: GetOEMDRO got no reply within 300 ms"));
    EXPECT_FALSE(m_session->IsConnected());
    EXPECT_EQ(U8(Failure([&] { m_calls->GetOEMLed(800); }).Message()), U8(e.Message()));
    EXPECT_THAT(m_host.Journal(), ElementsAre(L"GetOEMDRO(800)")) << "the later call never left";
}

// With a pump, a wait for the worker is cut into slices with the pump run between them on the
// waiting thread: a task that needs the pump completes, and a task that overruns still fails
// the wait at its deadline.
TEST(ComWorkerPump, ThePumpRunsBetweenSlicesAndTheDeadlineStays)
{
    struct Case
    {
        const char* what;
        int timeoutMs;
        int taskNeedsPumps;  // the task ends once the pump has run this often (0: it overruns)
        bool completes;
    };
    const Case cases[] = {
        {"completes once the pump ran", GenerousMs, 3, true},
        {"overruns", 300, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto pumps = std::make_shared<std::atomic<int>>(0);
        {
            ComWorker worker;
            worker.SetLinger(5000);
            const int needs = c.taskNeedsPumps;
            const bool completed = worker.Run(
                [pumps, needs] {
                    for (int i = 0; i < 1000 && (needs == 0 || *pumps < needs); ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                },
                c.timeoutMs, [pumps] { ++*pumps; });
            EXPECT_EQ(completed, c.completes);
            EXPECT_GE(*pumps, c.completes ? c.taskNeedsPumps : 1);
        }
    }
    ExpectNothingLeft();
}

// The session waits for the host through the pump it was given.
TEST_F(ComSession, ASlowAnswerIsAwaitedThroughThePump)
{
    Attach();
    int pumps = 0;
    m_session->SetWaitPump([&] { ++pumps; });
    m_host.HangNext(Mach4::DISPID_GetOEMDRO, 200);
    m_calls->GetOEMDRO(800);
    EXPECT_GT(pumps, 0);
    EXPECT_TRUE(m_session->IsConnected());
}
