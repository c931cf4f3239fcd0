#include "FakeLinkServer.h"
#include "ManualLinkTiming.h"

#include "host/HostCallGate.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/ZentyrError.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace hostlink;
using ::testing::HasSubstr;

namespace {

constexpr int TimeoutMs = 400;

class LinkClient : public ::testing::Test
{
protected:
    QString SocketPath() const { return m_dir.filePath(QStringLiteral("fake.sock")); }

    std::unique_ptr<IMach4Document> Document()
    {
        return LinkDocumentFactory(SocketPath(), TimeoutMs, &m_timing).CreateDocument();
    }

    // Runs `call`, expecting a ZentyrError; returns its message and the milliseconds the call
    // spent waiting in vain on the connection's clock (0: it failed without waiting).
    template <typename F>
    std::pair<std::string, qint64> Failure(F call)
    {
        const qint64 before = m_timing.now;
        try {
            call();
        } catch (const ZentyrError& e) {
            return {e.message().toStdString(), m_timing.now - before};
        }
        ADD_FAILURE() << "the call did not fail";
        return {std::string(), m_timing.now - before};
    }

    QTemporaryDir m_dir;
    ManualLinkTiming m_timing;
};

FakeLinkServer::Script AnswerEverything()
{
    return [](const LinkRequest& r) {
        switch (r.op) {
        case LinkOp::GetVar: return FakeLinkServer::ReplyWith(WireValue::OfDouble(r.args[0].int16 + 0.5));
        case LinkOp::IsMoving: return FakeLinkServer::ReplyWith(WireValue::OfBool(true));
        case LinkOp::GetOEMLed: return FakeLinkServer::ReplyWith(WireValue::OfBool(r.args[0].int16 == 800));
        case LinkOp::GetOEMDRO: return FakeLinkServer::ReplyWith(WireValue::OfDouble(-r.args[0].int16));
        case LinkOp::IsLoading: return FakeLinkServer::ReplyWith(WireValue::OfInt16(-1));
        case LinkOp::FileName: return FakeLinkServer::ReplyWith(WireValue::OfString(QStringLiteral("No File Loaded.")));
        default: return FakeLinkServer::ReplyWith(WireValue::None());
        }
    };
}

}  // namespace

// Each operation leaves as its own request with its arguments typed as the host takes them,
// and its result comes back typed as the caller expects.
TEST_F(LinkClient, ScriptOperationsTravelAsTypedRequests)
{
    FakeLinkServer server(SocketPath(), AnswerEverything());
    auto doc = Document();
    doc->Connect();
    auto mach = doc->GetScriptObject();

    mach->DeActivateSignal(7);
    EXPECT_EQ(mach->GetVar(2000), 2000.5);
    mach->Code(QStringLiteral("G0 X1"));
    EXPECT_TRUE(mach->IsMoving());
    mach->DoOEMButton(1021);
    mach->DoButton(3);
    EXPECT_TRUE(mach->GetOEMLed(800));
    EXPECT_FALSE(mach->GetOEMLed(13));
    EXPECT_EQ(mach->GetOEMDRO(818), -818.0);
    mach->SetOEMDRO(818, 12.25);
    EXPECT_EQ(mach->IsLoading(), -1);
    mach->SetButtonText(QStringLiteral("txt"));
    mach->Message(QStringLiteral("hello"));
    EXPECT_EQ(mach->FileName(), QStringLiteral("No File Loaded."));
    mach->LoadFile(QStringLiteral("/g/a.tap"));
    doc->Release();

    QStringList seen;
    for (const LinkRequest& r : server.Requests())
        seen << FormatRequest(r);
    EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(),
              "Hello(1) GetScriptObject() DeActivateSignal(7) GetVar(2000) Code(\"G0 X1\") "
              "IsMoving() DoOEMButton(1021) DoButton(3) GetOEMLed(800) GetOEMLed(13) "
              "GetOEMDRO(818) SetOEMDRO(818, 12.25) IsLoading() SetButtonText(\"txt\") "
              "Message(\"hello\") FileName() LoadFile(\"/g/a.tap\") Release()");
}

TEST_F(LinkClient, NoHostMeansAClearErrorAtOnce)
{
    // Nothing at the path, and a stale socket file that nobody listens on.
    auto doc = Document();
    auto [msg, ms] = Failure([&] { doc->Connect(); });
    EXPECT_THAT(msg, HasSubstr("The controller is not running"));
    EXPECT_EQ(ms, 0);
    EXPECT_FALSE(doc->IsConnected());
    EXPECT_THAT(Failure([&] { doc->GetScriptObject(); }).first, HasSubstr("Not connected"));

    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = SocketPath().toLocal8Bit();
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    auto [staleMsg, staleMs] = Failure([&] { doc->Connect(); });
    EXPECT_THAT(staleMsg, HasSubstr("The controller is not running"));
    EXPECT_EQ(staleMs, 0);
    EXPECT_EQ(m_timing.waits + m_timing.pauses, 0) << "nothing to wait for";
}

// Connecting and the handshake share one timeout. A host whose accept queue is full, frees a
// place just before the deadline and then never answers still fails Open within that timeout.
TEST_F(LinkClient, OpenTakesNoLongerThanOneTimeout)
{
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = SocketPath().toLocal8Bit();
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    std::vector<int> queued;
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            break;
        }
        queued.push_back(fd);
    }
    ASSERT_FALSE(queued.empty());

    int accepted = -1;
    m_timing.onMove = [&](qint64 now) {
        if (accepted < 0 && now >= TimeoutMs * 3 / 4)
            accepted = ::accept(listener, nullptr, nullptr);
    };
    auto doc = Document();
    const auto [msg, ms] = Failure([&] { doc->Connect(); });
    EXPECT_THAT(msg, HasSubstr("does not answer"));
    ASSERT_GE(accepted, 0) << "the connect kept trying until the place was freed";
    EXPECT_EQ(ms, TimeoutMs) << "connect and handshake spent exactly one timeout together";

    ::close(accepted);
    for (const int fd : queued)
        ::close(fd);
    ::close(listener);
}

// A host that stops answering, hangs up or garbles its reply fails the call within the
// timeout; the connection is then dead and every later call fails at once with the same text.
TEST_F(LinkClient, TransportFailuresEndTheConnection)
{
    struct Case
    {
        const char* what;
        FakeLinkServer::Action onLed;
        const char* message;
        qint64 msInVain;  // the call's time spent waiting for an answer that never came
    };
    LinkReply wrongSeq;
    wrongSeq.seq = 999;
    wrongSeq.result = WireValue::OfBool(true);
    QByteArray wrongSeqFrame;
    EncodeReply(wrongSeqFrame, wrongSeq);
    QByteArray oversized(4, '\xff');
    FakeLinkServer::Action raw = FakeLinkServer::Of(FakeLinkServer::Action::Raw);

    const Case cases[] = {
        {"silent", FakeLinkServer::Of(FakeLinkServer::Action::Silent), "The controller does not answer", TimeoutMs},
        {"hangs up", FakeLinkServer::Of(FakeLinkServer::Action::Close), "The controller has closed the connection", 0},
        {"wrong type", FakeLinkServer::ReplyWith(WireValue::OfDouble(1)), "malformed reply", 0},
        {"wrong sequence", [&] { auto a = raw; a.raw = wrongSeqFrame; return a; }(), "malformed reply", 0},
        {"oversized", [&] { auto a = raw; a.raw = oversized; return a; }(), "malformed reply", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::unlink(SocketPath().toLocal8Bit().constData());
        FakeLinkServer server(SocketPath(), [&](const LinkRequest& r) {
            return r.op == LinkOp::GetOEMLed ? c.onLed : FakeLinkServer::ReplyWith(WireValue::None());
        });
        auto doc = Document();
        doc->Connect();
        auto mach = doc->GetScriptObject();
        auto [msg, ms] = Failure([&] { mach->GetOEMLed(800); });
        EXPECT_THAT(msg, HasSubstr(c.message));
        EXPECT_EQ(ms, c.msInVain);
        EXPECT_FALSE(doc->IsConnected());

        const int waits = m_timing.waits;
        auto [again, againMs] = Failure([&] { mach->DoOEMButton(1003); });
        EXPECT_EQ(again, msg);
        EXPECT_EQ(againMs, 0);
        EXPECT_EQ(m_timing.waits, waits) << "a dead connection fails without waiting";
    }
}

// A wait for a host that does not answer is cut into slices with the pump run between them;
// the call still fails after exactly one timeout. Without a pump it waits in one piece.
TEST_F(LinkClient, WaitsInSlicesAndRunsThePumpBetweenThem)
{
    struct Case
    {
        const char* what;
        bool pump;
        int longestWait;
        int pumpRuns;
    };
    const Case cases[] = {
        {"no pump", false, TimeoutMs, 0},
        {"pump", true, LinkWaitSliceMs, TimeoutMs / LinkWaitSliceMs - 1},
    };
    FakeLinkServer server(SocketPath(), [](const LinkRequest& r) {
        return r.op == LinkOp::GetOEMLed ? FakeLinkServer::Of(FakeLinkServer::Action::Silent)
                                         : FakeLinkServer::ReplyWith(WireValue::None());
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int pumpRuns = 0;
        qint64 lastPumpAt = -1;
        LinkConnection connection(SocketPath(), TimeoutMs, m_timing,
                                  c.pump ? LinkWaitPump([&] {
                                      ++pumpRuns;
                                      lastPumpAt = m_timing.now;
                                  })
                                         : LinkWaitPump());
        connection.Open();
        m_timing.longestWait = 0;
        const WireValue led = WireValue::OfInt16(800);
        const auto [msg, ms] = Failure([&] { connection.Call(LinkOp::GetOEMLed, &led, 1); });
        EXPECT_THAT(msg, HasSubstr("does not answer"));
        EXPECT_EQ(ms, TimeoutMs) << "the pump does not move the deadline";
        EXPECT_EQ(m_timing.longestWait, c.longestWait);
        EXPECT_EQ(pumpRuns, c.pumpRuns) << "not after the last slice";
        if (c.pump) {
            EXPECT_EQ(m_timing.now - lastPumpAt, LinkWaitSliceMs);
        }
        EXPECT_FALSE(HostCallInProgress());
    }
}

// While a call waits, whatever the pump runs can start no host call - on the same connection,
// another open one, or a new one - and none of them reaches a socket; a Close asked for meanwhile
// waits for the call, which still gets its answer.
TEST_F(LinkClient, CallsFromInsideAWaitAreRefusedWithoutTouchingTheLink)
{
    std::atomic<bool> answer{false};
    FakeLinkServer server(SocketPath(), [&](const LinkRequest& r) {
        if (r.op == LinkOp::GetOEMLed) {
            // Answers once the test's pump has tried everything, bounded for a broken test.
            for (int i = 0; i < 500 && !answer; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return FakeLinkServer::ReplyWith(WireValue::OfBool(true));
        }
        return FakeLinkServer::ReplyWith(WireValue::None());
    });
    const QString otherPath = m_dir.filePath(QStringLiteral("other.sock"));
    FakeLinkServer otherServer(otherPath, AnswerEverything());
    auto other = LinkDocumentFactory(otherPath, TimeoutMs, &m_timing).CreateDocument();
    other->Connect();

    std::vector<std::pair<std::string, std::string>> refused;  // what, message
    bool tried = false;
    LinkConnection connection(SocketPath(), TimeoutMs, m_timing, [&] {
        if (tried)
            return;
        tried = true;
        auto fresh = LinkDocumentFactory(otherPath, TimeoutMs, &m_timing).CreateDocument();
        const WireValue button = WireValue::OfInt16(1003);
        const std::pair<const char*, std::function<void()>> attempts[] = {
            {"same connection", [&] { connection.Call(LinkOp::DoOEMButton, &button, 1); }},
            {"same connection opened", [&] { connection.Open(); }},
            {"another connection", [&] { other->GetScriptObject(); }},
            {"a new connection", [&] { fresh->Connect(); }},
        };
        for (const auto& [what, attempt] : attempts) {
            try {
                attempt();
            } catch (const HostCallBusy& e) {
                refused.emplace_back(what, e.message().toStdString());
            }
        }
        connection.Close(QStringLiteral("Closed during the wait"));
        answer = true;
    });
    connection.Open();
    const WireValue led = WireValue::OfInt16(800);
    EXPECT_TRUE(connection.Call(LinkOp::GetOEMLed, &led, 1).boolean);
    ASSERT_TRUE(tried);
    ASSERT_EQ(refused.size(), 3u) << "opening an open connection asks nothing";
    for (const auto& [what, message] : refused)
        EXPECT_EQ(message, "The controller is still answering an earlier call") << what;
    EXPECT_FALSE(connection.IsOpen()) << "closed as the call ended";
    EXPECT_EQ(Failure([&] { connection.Call(LinkOp::IsMoving); }).first, "Closed during the wait");
    EXPECT_EQ(server.Requests().size(), 2u) << "Hello and the waiting call only";
    EXPECT_EQ(otherServer.Requests().size(), 1u) << "its Hello only";
    EXPECT_TRUE(other->IsConnected());
}

// The host refusing one call (an error reply) fails that call only.
TEST_F(LinkClient, ErrorReplyFailsOnlyThatCall)
{
    FakeLinkServer server(SocketPath(), [](const LinkRequest& r) {
        if (r.op == LinkOp::DoOEMButton)
            return FakeLinkServer::ErrorWith(QStringLiteral("Button 9999 is unknown"));
        return FakeLinkServer::ReplyWith(r.op == LinkOp::GetOEMLed ? WireValue::OfBool(true)
                                                                    : WireValue::None());
    });
    auto doc = Document();
    doc->Connect();
    auto mach = doc->GetScriptObject();
    EXPECT_EQ(Failure([&] { mach->DoOEMButton(9999); }).first, "Button 9999 is unknown");
    EXPECT_TRUE(mach->GetOEMLed(800));

    // Text too long for a frame is refused before anything is sent; the link stays usable.
    EXPECT_THAT(Failure([&] { mach->Code(QString(LinkMaxPayloadBytes, QLatin1Char('G'))); }).first,
                HasSubstr("too long"));
    EXPECT_TRUE(mach->GetOEMLed(800));
    EXPECT_TRUE(doc->IsConnected());
}

TEST_F(LinkClient, HandshakeMismatchRefusesToConnect)
{
    FakeLinkServer server(SocketPath(), [](const LinkRequest& r) {
        return FakeLinkServer::ReplyWith(
            r.op == LinkOp::Hello ? WireValue::OfInt16(qint16(LinkProtocolVersion + 1)) : WireValue::None());
    });
    auto doc = Document();
    EXPECT_THAT(Failure([&] { doc->Connect(); }).first, HasSubstr("link version"));
    EXPECT_FALSE(doc->IsConnected());
}

// After the release the script object, still held by its users, fails every call, and the
// document's connection is not reused.
TEST_F(LinkClient, ReleaseClosesTheConnectionForTheScriptObject)
{
    FakeLinkServer server(SocketPath(), AnswerEverything());
    std::shared_ptr<IMyScriptObject> mach;
    {
        auto doc = Document();
        doc->Connect();
        mach = doc->GetScriptObject();
        EXPECT_EQ(doc->GetScriptObject(), mach);
        doc->Release();
        EXPECT_FALSE(doc->IsConnected());
        doc->Release();  // releasing twice sends nothing more
    }
    EXPECT_THAT(Failure([&] { mach->IsMoving(); }).first, HasSubstr("released"));
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().op, LinkOp::DocRelease);
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const LinkRequest& r) { return r.op == LinkOp::DocRelease; }),
              1);
}

TEST_F(LinkClient, HostWindowIsFoundByExactCaptionOnly)
{
    const QString caption = QStringLiteral("Mach3 CNC Controller ");
    LinkHostWindows windows(SocketPath(), TimeoutMs);
    EXPECT_FALSE(windows.FindWindowByCaption(caption).has_value());
    windows.SetWindowVisible(LinkHostWindows::SimulatorWindow, false);  // no host: ignored

    FakeLinkServer server(SocketPath(), [&](const LinkRequest& r) {
        return FakeLinkServer::ReplyWith(r.op == LinkOp::WindowCaption ? WireValue::OfString(caption)
                                                                       : WireValue::None());
    });
    EXPECT_EQ(windows.FindWindowByCaption(caption), LinkHostWindows::SimulatorWindow);
    EXPECT_FALSE(windows.FindWindowByCaption(QStringLiteral("Mach3 CNC Controller")).has_value());
    windows.SetWindowVisible(LinkHostWindows::SimulatorWindow, false);
    windows.SetWindowVisible(LinkHostWindows::SimulatorWindow, true);

    QStringList visibility;
    for (const LinkRequest& r : server.Requests()) {
        if (r.op == LinkOp::SetWindowVisible)
            visibility << FormatRequest(r);
    }
    EXPECT_EQ(visibility, QStringList({QStringLiteral("SetWindowVisible(false)"),
                                       QStringLiteral("SetWindowVisible(true)")}));
}
