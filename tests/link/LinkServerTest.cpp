#include "host/link/LinkProtocol.h"
#include "sim/MachineModel.h"
#include "sim/app/HostDispatcher.h"
#include "sim/app/Journal.h"
#include "sim/app/LinkServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The simulator's server in this process, so that the test decides when it runs: a client that
// sends without reading its replies must find its sends held up once the simulator has taken
// a bounded amount, and every request it managed to send is still answered, in order, once it
// reads.

using namespace hostlink;

namespace {

class QuietWindow final : public hostsim::IHostWindowControl
{
public:
    QString Caption() const override { return QStringLiteral("Mach3 CNC Controller "); }
    void SetShown(bool) override {}
};

int ConnectNonBlocking(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sequence numbers of the whole reply frames at the head of `in`, which keeps the rest.
void TakeReplies(QByteArray& in, std::vector<quint32>& seqs)
{
    quint32 size = 0;
    while (PeekFrame(in.constData(), in.size(), &size) == FrameState::Complete) {
        LinkReply reply;
        QString error;
        EXPECT_TRUE(DecodeReply(in.constData() + LinkFrameHeaderBytes, size, WireType::String,
                                reply, error))
            << error.toStdString();
        seqs.push_back(reply.seq);
        in.remove(0, LinkFrameHeaderBytes + size);
    }
}

void ReadWhatIsThere(int fd, QByteArray& in)
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0)
            return;
        in.append(chunk, got);
    }
}

}  // namespace

TEST(LinkServer, AClientThatDoesNotReadItsRepliesIsHeldUpNotBuffered)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    hostsim::ManualClock clock;
    hostsim::MachineModel model(clock, folder.path(), QStringLiteral("Mach3Mill"));
    hostsim::Journal journal{QString()};
    QuietWindow window;
    hostsim::HostDispatcher dispatcher(model, journal, window);
    hostsim::LinkServer server(dispatcher);
    const QString path = folder.filePath(QStringLiteral("link.sock"));
    QString error;
    ASSERT_EQ(server.Listen(path, &error), hostsim::LinkServer::ListenResult::Listening)
        << error.toStdString();

    // FileName requests: 11 bytes each, answered with four times as many.
    constexpr qsizetype Offered = 8 * 1024 * 1024;
    QByteArray requests;
    for (quint32 seq = 0; requests.size() < Offered; ++seq)
        ASSERT_TRUE(EncodeRequest(requests, seq, LinkOp::FileName, nullptr, 0));
    const qsizetype frameBytes = requests.size() / (requests.size() / 11);
    ASSERT_EQ(frameBytes, 11);

    const int flooder = ConnectNonBlocking(path);
    ASSERT_GE(flooder, 0);
    qsizetype sent = 0;
    for (int idle = 0; sent < requests.size() && idle < 50;) {
        const ssize_t n = ::send(flooder, requests.constData() + sent,
                                 size_t(qMin<qsizetype>(65536, requests.size() - sent)), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            idle = 0;
            continue;
        }
        ASSERT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK) << std::strerror(errno);
        ++idle;
        QCoreApplication::processEvents();
    }
    EXPECT_LT(sent, 2 * 1024 * 1024) << "the simulator kept taking requests nobody reads the answers to";

    // Another client is served meanwhile.
    const int other = ConnectNonBlocking(path);
    ASSERT_GE(other, 0);
    QByteArray one;
    EncodeRequest(one, 77, LinkOp::FileName, nullptr, 0);
    ASSERT_EQ(::send(other, one.constData(), size_t(one.size()), MSG_NOSIGNAL), one.size());
    QByteArray otherIn;
    std::vector<quint32> otherSeqs;
    QElapsedTimer t;
    t.start();
    while (otherSeqs.empty() && t.elapsed() < 5000) {
        QCoreApplication::processEvents();
        ReadWhatIsThere(other, otherIn);
        TakeReplies(otherIn, otherSeqs);
    }
    EXPECT_EQ(otherSeqs, std::vector<quint32>{77});
    ::close(other);

    // Reading the replies lets the rest through; every request sent is answered, in order.
    const qsizetype whole = (sent + frameBytes - 1) / frameBytes * frameBytes;
    QByteArray in;
    std::vector<quint32> seqs;
    t.restart();
    while (qsizetype(seqs.size()) < whole / frameBytes && t.elapsed() < 20000) {
        if (sent < whole) {
            const ssize_t n = ::send(flooder, requests.constData() + sent, size_t(whole - sent), MSG_NOSIGNAL);
            if (n > 0)
                sent += n;
        }
        QCoreApplication::processEvents();
        ReadWhatIsThere(flooder, in);
        TakeReplies(in, seqs);
    }
    ::close(flooder);
    ASSERT_EQ(qsizetype(seqs.size()), whole / frameBytes);
    for (size_t i = 0; i < seqs.size(); ++i)
        ASSERT_EQ(seqs[i], quint32(i));
}

// The handler hears of each client that goes, once, whether it left after requests or without
// a word, and the server goes on serving the others.
TEST(LinkServer, TheHandlerHearsOfEveryClientThatGoes)
{
    class CountingHandler final : public hostsim::ILinkRequestHandler
    {
    public:
        int gone = 0;
        void Handle(const LinkRequest& request, LinkReply& reply) override
        {
            reply.seq = request.seq;
            reply.ok = true;
            reply.result = WireValue::OfString(QStringLiteral("x"));
        }
        void ClientDisconnected() override { ++gone; }
    };
    QTemporaryDir folder;
    CountingHandler handler;
    hostsim::LinkServer server(handler);
    const QString path = folder.filePath(QStringLiteral("link.sock"));
    QString error;
    ASSERT_EQ(server.Listen(path, &error), hostsim::LinkServer::ListenResult::Listening);

    const int silent = ConnectNonBlocking(path);
    const int talker = ConnectNonBlocking(path);
    const int stayer = ConnectNonBlocking(path);
    ASSERT_TRUE(silent >= 0 && talker >= 0 && stayer >= 0);
    QByteArray request;
    EncodeRequest(request, 1, LinkOp::FileName, nullptr, 0);
    ASSERT_EQ(::send(talker, request.constData(), size_t(request.size()), MSG_NOSIGNAL), request.size());
    QElapsedTimer t;
    t.start();
    QByteArray in;
    std::vector<quint32> seqs;
    while (seqs.empty() && t.elapsed() < 5000) {
        QCoreApplication::processEvents();
        ReadWhatIsThere(talker, in);
        TakeReplies(in, seqs);
    }
    ASSERT_EQ(seqs, std::vector<quint32>{1});
    ::close(silent);
    ::close(talker);
    t.restart();
    while (handler.gone < 2 && t.elapsed() < 5000)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(handler.gone, 2);
    ::close(stayer);
}
