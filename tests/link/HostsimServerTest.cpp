#include "HostsimProcess.h"
#include "ManualLinkTiming.h"

#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "host/link/LinkProtocol.h"
#include "platform/NativeShell.h"
#include "platform/ZentyrError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace hostlink;
using ::testing::HasSubstr;

namespace {

const QString Caption = QStringLiteral("Mach3 CNC Controller ");

// A client that speaks raw bytes, for requests the real client never sends.
class RawClient
{
public:
    explicit RawClient(const QString& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = QFile::encodeName(path);
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~RawClient() { ::close(m_fd); }

    bool Connected() const { return m_connected; }

    void Send(const QByteArray& bytes) { ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL); }

    void SendFrame(const QByteArray& payload)
    {
        char header[4];
        qToLittleEndian<quint32>(quint32(payload.size()), header);
        Send(QByteArray(header, 4) + payload);
    }

    // The next reply frame, decoded for a result of type `expected`; nothing within 2 s, or
    // the connection closed, gives no reply.
    std::optional<LinkReply> Reply(WireType expected = WireType::None)
    {
        QByteArray& in = m_in;
        for (;;) {
            quint32 n = 0;
            if (PeekFrame(in.constData(), in.size(), &n) == FrameState::Complete) {
                LinkReply reply;
                QString error;
                if (!DecodeReply(in.constData() + 4, n, expected, reply, error))
                    ADD_FAILURE() << "undecodable reply: " << error.toStdString();
                in.remove(0, 4 + n);
                return reply;
            }
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return std::nullopt;
            char chunk[4096];
            const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (got <= 0)
                return std::nullopt;
            in.append(chunk, got);
        }
    }

    // True when the server has closed this connection (within 2 s).
    bool ClosedByServer()
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        char c;
        return ::recv(m_fd, &c, 1, 0) == 0;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
    QByteArray m_in;
};

QByteArray Payload(quint32 seq, quint16 op, QByteArray args, quint8 argc)
{
    char head[7];
    qToLittleEndian<quint32>(seq, head);
    qToLittleEndian<quint16>(op, head + 4);
    head[6] = char(argc);
    return QByteArray(head, 7) + args;
}

QByteArray Int16Arg(qint16 v)
{
    char b[3] = {char(WireType::Int16), 0, 0};
    qToLittleEndian<qint16>(v, b + 1);
    return QByteArray(b, 3);
}

class HostsimServer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.Start()) << "hostsim did not start"; }

    HostsimProcess m_sim;
};

}  // namespace

// The link's own socket: owner-only, and a second simulator does not take it over.
TEST_F(HostsimServer, SocketIsPrivateAndNotStolen)
{
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(m_sim.SocketPath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << st.st_mode;
    EXPECT_EQ(st.st_uid, ::getuid());

    QProcess intruder;
    intruder.setProcessEnvironment(m_sim.Process().processEnvironment());
    intruder.start(HostsimProcess::ProgramPath(), {});
    ASSERT_TRUE(intruder.waitForFinished(5000));
    EXPECT_NE(intruder.exitCode(), 0);
    EXPECT_EQ(ServerPid(m_sim.SocketPath()), m_sim.Process().processId());
    auto doc = m_sim.Connect();
    EXPECT_TRUE(doc->GetScriptObject()->GetOEMLed(800));
}

// Bad requests get error replies carrying their sequence; the connection, and the simulator,
// go on serving.
TEST_F(HostsimServer, MalformedRequestsGetErrorRepliesAndServingGoesOn)
{
    RawClient raw(m_sim.SocketPath());
    ASSERT_TRUE(raw.Connected());
    struct Case
    {
        const char* what;
        QByteArray payload;
        quint32 seq;
        const char* error;
    };
    const Case cases[] = {
        {"empty frame", QByteArray(), 0, "truncated"},
        {"unknown operation", Payload(11, 777, QByteArray(), 0), 11, "unknown operation"},
        {"missing argument", Payload(12, quint16(LinkOp::GetOEMLed), QByteArray(), 0), 12, "takes 1"},
        {"truncated argument", Payload(13, quint16(LinkOp::GetOEMLed), Int16Arg(800).left(2), 1), 13, "truncated"},
        {"wrong type", Payload(14, quint16(LinkOp::Code), Int16Arg(5), 1), 14, "must be string"},
        {"string past the end",
         Payload(15, quint16(LinkOp::Message), QByteArray("\x04\xff\xff\xff\x7f" "ab", 7), 1), 15, "truncated"},
        {"trailing bytes", Payload(16, quint16(LinkOp::DoOEMButton), Int16Arg(1) + "zz", 1), 16, "trailing"},
    };
    for (const Case& c : cases) {
        raw.SendFrame(c.payload);
        const auto reply = raw.Reply();
        ASSERT_TRUE(reply.has_value()) << c.what;
        EXPECT_FALSE(reply->ok) << c.what;
        EXPECT_EQ(reply->seq, c.seq) << c.what;
        EXPECT_THAT(reply->error.toStdString(), HasSubstr(c.error)) << c.what;
    }
    // The same connection still answers a good request.
    raw.SendFrame(Payload(20, quint16(LinkOp::GetOEMLed), Int16Arg(800), 1));
    const auto good = raw.Reply(WireType::Bool);
    ASSERT_TRUE(good.has_value());
    EXPECT_TRUE(good->ok);
    EXPECT_EQ(good->seq, 20u);
    EXPECT_TRUE(good->result.boolean);

    // Two requests in one write are answered in order.
    QByteArray two;
    const WireValue led = WireValue::OfInt16(800);
    EncodeRequest(two, 21, LinkOp::GetOEMLed, &led, 1);
    EncodeRequest(two, 22, LinkOp::IsMoving, nullptr, 0);
    raw.Send(two);
    EXPECT_EQ(raw.Reply(WireType::Bool)->seq, 21u);
    EXPECT_EQ(raw.Reply(WireType::Bool)->seq, 22u);
}

// A frame announcing more than the protocol allows ends that connection after an error reply;
// a client that sends half a frame and goes away costs nothing. Other clients never notice.
TEST_F(HostsimServer, OversizedAndAbandonedFramesHarmNoOtherClient)
{
    auto bystander = m_sim.Connect();
    auto mach = bystander->GetScriptObject();

    {
        RawClient raw(m_sim.SocketPath());
        char header[4];
        qToLittleEndian<quint32>(0x7fffffffu, header);
        raw.Send(QByteArray(header, 4) + QByteArray(100, 'x'));
        const auto reply = raw.Reply();
        ASSERT_TRUE(reply.has_value());
        EXPECT_FALSE(reply->ok);
        EXPECT_THAT(reply->error.toStdString(), HasSubstr("too large"));
        EXPECT_TRUE(raw.ClosedByServer());
    }
    {
        RawClient raw(m_sim.SocketPath());
        QByteArray frame;
        const WireValue text = WireValue::OfString(QString(1000, QLatin1Char('G')));
        EncodeRequest(frame, 1, LinkOp::Code, &text, 1);
        raw.Send(frame.left(frame.size() / 2));
    }
    {
        // Garbage that happens to look like a frame header for a short frame.
        RawClient raw(m_sim.SocketPath());
        raw.Send(QByteArray("\x03\x00\x00\x00\xde\xad\xbe", 7));
        const auto reply = raw.Reply();
        ASSERT_TRUE(reply.has_value());
        EXPECT_FALSE(reply->ok);
    }
    EXPECT_TRUE(mach->GetOEMLed(800));
    auto fresh = m_sim.Connect();
    EXPECT_TRUE(fresh->GetScriptObject()->GetOEMLed(800));
    EXPECT_EQ(m_sim.Process().state(), QProcess::Running);
}

// The application holds two connections (its own and the poll pass's); each is answered on its
// own line, interleaved, and releasing one leaves the other working.
TEST_F(HostsimServer, TwoConnectionsAreServedSideBySide)
{
    auto main = m_sim.Connect();
    auto poll = m_sim.Connect();
    auto a = main->GetScriptObject();
    auto b = poll->GetScriptObject();
    for (int i = 0; i < 50; ++i) {
        a->SetOEMDRO(818, 100 + i);
        EXPECT_EQ(b->GetOEMDRO(818), 100 + i);
    }
    main->Release();
    EXPECT_THROW(a->GetOEMLed(800), ZentyrError);
    EXPECT_TRUE(b->GetOEMLed(800));
}

// A simulator that stops answering fails the next call when the link's timeout has passed on
// the connection's clock; one that is killed fails it without waiting; later calls fail at
// once. A new simulator starts over the socket file the killed one left behind.
TEST_F(HostsimServer, HostThatStopsOrDiesFailsTheNextCallQuickly)
{
    ManualLinkTiming timing;
    auto doc = m_sim.Connect(&timing);
    auto mach = doc->GetScriptObject();
    ASSERT_TRUE(mach->GetOEMLed(800));

    m_sim.Stop(true);
    try {
        mach->IsMoving();
        ADD_FAILURE() << "a stopped simulator answered";
    } catch (const ZentyrError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("The controller does not answer"));
    }
    EXPECT_EQ(timing.now, LinkDefaultTimeoutMs);
    m_sim.Stop(false);

    ManualLinkTiming timing2;
    auto again = m_sim.Connect(&timing2);
    auto mach2 = again->GetScriptObject();
    ASSERT_TRUE(mach2->GetOEMLed(800));
    m_sim.Kill();
    try {
        mach2->GetOEMDRO(800);
        ADD_FAILURE() << "a killed simulator answered";
    } catch (const ZentyrError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("The controller has closed the connection"));
    }
    EXPECT_EQ(timing2.now, 0) << "a closed connection is no reason to wait";
    const int waits = timing2.waits;
    EXPECT_THROW(mach2->GetOEMLed(800), ZentyrError);
    EXPECT_EQ(timing2.waits, waits) << "later calls fail at once";
    EXPECT_THROW(m_sim.Connect(), ZentyrError);

    ASSERT_TRUE(QFileInfo::exists(m_sim.SocketPath())) << "a killed simulator leaves its socket";
    ASSERT_TRUE(m_sim.Start());
    EXPECT_TRUE(m_sim.Connect()->GetScriptObject()->GetOEMLed(800));
}

// Started as the application starts the controller: a program path, `/p "Profile"` parsed as a
// command line would be, a working folder that does not exist here. The window is then found
// by its exact caption, hidden and shown, and the document attaches.
TEST(HostsimLaunch, StartedLikeTheControllerAndAttached)
{
    HostsimProcess sim;  // for its private folders; the shell starts the program itself
    qputenv("HOSTSIM_HOME", QFile::encodeName(sim.HomeFolder()));
    qputenv("HOSTSIM_JOURNAL", QFile::encodeName(sim.JournalPath()));
    qputenv("QT_QPA_PLATFORM", "offscreen");

    NativeShell shell;
    const QString program = HostsimProcess::ProgramPath();
    EXPECT_EQ(shell.OpenProgram(sim.HomeFolder() + QStringLiteral("/absent"), QString(), QString()), 2);
    const QString notExecutable = QDir(sim.HomeFolder()).filePath(QStringLiteral("plain.txt"));
    QFile(notExecutable).open(QIODevice::WriteOnly);
    EXPECT_EQ(shell.OpenProgram(notExecutable, QString(), QString()), 5);

    const int result = shell.OpenProgram(program, QStringLiteral("/p \"My Profile\""), QStringLiteral("C:\\mach3"));
    EXPECT_GT(result, ShellSuccessAbove);

    LinkHostWindows windows(sim.SocketPath(), LinkDefaultTimeoutMs);
    std::optional<IHostWindows::Handle> window;
    EXPECT_TRUE(WaitUntil([&] { return (window = windows.FindWindowByCaption(Caption)).has_value(); }, 4000));
    const qint64 pid = ServerPid(sim.SocketPath());
    ASSERT_GT(pid, 0);
    struct Killer
    {
        qint64 pid;
        ~Killer() { ::kill(pid_t(pid), SIGKILL); }
    } killer{pid};

    EXPECT_TRUE(QFileInfo(QDir(sim.HomeFolder()).filePath(QStringLiteral("Macros/My Profile"))).isDir());
    EXPECT_TRUE(QFileInfo(QDir(sim.HomeFolder()).filePath(QStringLiteral("GCode"))).isDir());
    EXPECT_FALSE(windows.FindWindowByCaption(Caption.trimmed()).has_value());

    windows.SetWindowVisible(*window, false);
    EXPECT_TRUE(windows.FindWindowByCaption(Caption).has_value()) << "a hidden window is still found";
    windows.SetWindowVisible(*window, true);

    auto doc = LinkDocumentFactory(sim.SocketPath(), LinkDefaultTimeoutMs).CreateDocument();
    doc->SetConnectKind(IMach4Document::ConnectKind::RunningInstance);
    doc->Connect();
    EXPECT_TRUE(doc->GetScriptObject()->GetOEMLed(800));
    doc->Release();

    const QStringList calls = sim.JournalCalls();
    EXPECT_THAT(calls, ::testing::IsSupersetOf({QStringLiteral("SetWindowVisible(false)"),
                                                QStringLiteral("SetWindowVisible(true)"),
                                                QStringLiteral("GetOEMLed(800)"),
                                                QStringLiteral("Release()")}));
}
