#include "host/link/LinkProtocol.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace hostlink;

namespace {

// Splits one encoded frame into its payload, checking the header agrees with the bytes.
QByteArray PayloadOf(const QByteArray& frame)
{
    quint32 n = 0;
    EXPECT_EQ(PeekFrame(frame.constData(), frame.size(), &n), FrameState::Complete);
    EXPECT_EQ(qsizetype(n) + LinkFrameHeaderBytes, frame.size());
    return frame.mid(LinkFrameHeaderBytes);
}

// A hand-built request payload, for shapes the encoder never produces.
struct RawPayload
{
    QByteArray bytes;
    RawPayload& U8(quint8 v) { bytes.append(char(v)); return *this; }
    RawPayload& U16(quint16 v) { char b[2]; qToLittleEndian(v, b); bytes.append(b, 2); return *this; }
    RawPayload& U32(quint32 v) { char b[4]; qToLittleEndian(v, b); bytes.append(b, 4); return *this; }
    RawPayload& Header(quint32 seq, LinkOp op, quint8 argc)
    {
        return U32(seq).U16(quint16(op)).U8(argc);
    }
};

}  // namespace

// Every operation's arguments survive the trip unchanged, including the edges of each type.
TEST(LinkProtocol, RequestsRoundTripWithTheirArguments)
{
    const QString wide = QStringLiteral("G0 X1 (Ä \U0001F600 \"q\")\nline2");
    struct Case
    {
        LinkOp op;
        std::vector<WireValue> args;
    } cases[] = {
        {LinkOp::DeActivateSignal, {WireValue::OfInt16(7)}},
        {LinkOp::GetVar, {WireValue::OfInt16(std::numeric_limits<qint16>::min())}},
        {LinkOp::Code, {WireValue::OfString(wide)}},
        {LinkOp::Code, {WireValue::OfString(QString())}},
        {LinkOp::IsMoving, {}},
        {LinkOp::DoOEMButton, {WireValue::OfInt16(std::numeric_limits<qint16>::max())}},
        {LinkOp::SetOEMDRO, {WireValue::OfInt16(818), WireValue::OfDouble(-0.0001)}},
        {LinkOp::SetOEMDRO, {WireValue::OfInt16(1), WireValue::OfDouble(1e300)}},
        {LinkOp::LoadFile, {WireValue::OfString(QStringLiteral("/tmp/a b/c.tap"))}},
        {LinkOp::SetWindowVisible, {WireValue::OfBool(false)}},
        {LinkOp::Hello, {WireValue::OfInt16(1)}},
    };
    quint32 seq = 0xfffffff0u;
    for (const Case& c : cases) {
        QByteArray frame;
        ASSERT_TRUE(EncodeRequest(frame, seq, c.op, c.args.data(), int(c.args.size())));
        const QByteArray payload = PayloadOf(frame);
        LinkRequest req;
        QString error;
        ASSERT_TRUE(DecodeRequest(payload.constData(), payload.size(), req, error))
            << FindLinkOp(quint16(c.op))->name << ": " << error.toStdString();
        EXPECT_EQ(req.seq, seq);
        EXPECT_EQ(req.op, c.op);
        ASSERT_EQ(req.argCount, int(c.args.size()));
        for (int i = 0; i < req.argCount; ++i) {
            const WireValue& a = req.args[i];
            const WireValue& b = c.args[i];
            EXPECT_EQ(a.type, b.type);
            EXPECT_EQ(a.int16, b.int16);
            EXPECT_EQ(a.boolean, b.boolean);
            EXPECT_EQ(std::signbit(a.number), std::signbit(b.number));
            EXPECT_EQ(a.number, b.number);
            EXPECT_EQ(a.text, b.text);
        }
        ++seq;
    }
}

// A NaN travels bit for bit (a double is never reinterpreted on the way).
TEST(LinkProtocol, RepliesRoundTripValuesAndErrors)
{
    const std::vector<std::pair<WireType, LinkReply>> cases = [] {
        std::vector<std::pair<WireType, LinkReply>> v;
        LinkReply r;
        r.seq = 1; r.result = WireValue::OfDouble(std::numeric_limits<double>::quiet_NaN());
        v.push_back({WireType::Double, r});
        r.seq = 2; r.result = WireValue::OfBool(true);
        v.push_back({WireType::Bool, r});
        r.seq = 3; r.result = WireValue::OfString(QStringLiteral("No File Loaded."));
        v.push_back({WireType::String, r});
        r.seq = 4; r.result = WireValue::None();
        v.push_back({WireType::None, r});
        r.seq = 5; r.result = WireValue::OfInt16(-1);
        v.push_back({WireType::Int16, r});
        LinkReply e;
        e.seq = 6; e.ok = false; e.error = QStringLiteral("Unknown OEM code");
        v.push_back({WireType::Double, e});
        return v;
    }();
    for (const auto& [expected, reply] : cases) {
        QByteArray frame;
        ASSERT_TRUE(EncodeReply(frame, reply));
        const QByteArray payload = PayloadOf(frame);
        LinkReply out;
        QString error;
        ASSERT_TRUE(DecodeReply(payload.constData(), payload.size(), expected, out, error))
            << error.toStdString();
        EXPECT_EQ(out.seq, reply.seq);
        EXPECT_EQ(out.ok, reply.ok);
        EXPECT_EQ(out.error, reply.error);
        EXPECT_EQ(out.result.type, reply.ok ? expected : WireType::None);
        EXPECT_EQ(out.result.int16, reply.result.int16);
        EXPECT_EQ(out.result.boolean, reply.result.boolean);
        EXPECT_EQ(out.result.text, reply.result.text);
        if (expected == WireType::Double && reply.ok) {
            EXPECT_TRUE(std::isnan(out.result.number));
        }
    }
}

// A reply of the wrong type is a protocol fault, not a value to misread.
TEST(LinkProtocol, ReplyOfTheWrongTypeIsRejected)
{
    LinkReply r;
    r.result = WireValue::OfInt16(1);
    QByteArray frame;
    ASSERT_TRUE(EncodeReply(frame, r));
    const QByteArray payload = PayloadOf(frame);
    LinkReply out;
    QString error;
    EXPECT_FALSE(DecodeReply(payload.constData(), payload.size(), WireType::Bool, out, error));
    EXPECT_FALSE(error.isEmpty());
    // Cut short anywhere, it is refused as well.
    for (qsizetype n = 0; n < payload.size(); ++n)
        EXPECT_FALSE(DecodeReply(payload.constData(), n, WireType::Int16, out, error)) << n;
}

TEST(LinkProtocol, MalformedRequestsAreRefusedWithTheirSequence)
{
    struct Case
    {
        const char* what;
        QByteArray payload;
        quint32 seq;  // what the error reply must carry
    };
    const QByteArray tooLongString =
        RawPayload().Header(9, LinkOp::Code, 1).U8(quint8(WireType::String)).U32(1000).U16('G').bytes;
    const Case cases[] = {
        {"empty", QByteArray(), 0},
        {"sequence cut", QByteArray("\x01\x02", 2), 0},
        {"header cut", RawPayload().U32(5).U8(40).bytes, 5},
        {"unknown operation", RawPayload().Header(6, LinkOp(999), 0).bytes, 6},
        {"missing argument", RawPayload().Header(7, LinkOp::GetOEMLed, 0).bytes, 7},
        {"extra argument", RawPayload().Header(8, LinkOp::IsMoving, 1).U8(0).bytes, 8},
        {"string longer than payload", tooLongString, 9},
        {"wrong argument type",
         RawPayload().Header(10, LinkOp::DoOEMButton, 1).U8(quint8(WireType::Double)).U32(0).U32(0).bytes,
         10},
        {"value cut", RawPayload().Header(11, LinkOp::DoOEMButton, 1).U8(quint8(WireType::Int16)).U8(1).bytes,
         11},
        {"unknown type tag", RawPayload().Header(12, LinkOp::DoOEMButton, 1).U8(77).U16(1).bytes, 12},
        {"bad boolean", RawPayload().Header(13, LinkOp::SetWindowVisible, 1).U8(quint8(WireType::Bool)).U8(2).bytes,
         13},
        {"trailing bytes",
         RawPayload().Header(14, LinkOp::DoOEMButton, 1).U8(quint8(WireType::Int16)).U16(1).U8(0).bytes,
         14},
        {"second argument wrong",
         RawPayload().Header(15, LinkOp::SetOEMDRO, 2).U8(quint8(WireType::Int16)).U16(818)
             .U8(quint8(WireType::Int16)).U16(3).bytes,
         15},
    };
    for (const Case& c : cases) {
        LinkRequest req;
        QString error;
        EXPECT_FALSE(DecodeRequest(c.payload.constData(), c.payload.size(), req, error)) << c.what;
        EXPECT_TRUE(error.startsWith(QLatin1String("Malformed request"))) << c.what;
        EXPECT_EQ(req.seq, c.seq) << c.what;
    }
}

TEST(LinkProtocol, FramingFindsWholeFramesAndRefusesOversizedOnes)
{
    QByteArray two;
    const WireValue arg = WireValue::OfInt16(800);
    ASSERT_TRUE(EncodeRequest(two, 1, LinkOp::GetOEMLed, &arg, 1));
    const qsizetype first = two.size();
    ASSERT_TRUE(EncodeRequest(two, 2, LinkOp::IsMoving, nullptr, 0));

    quint32 n = 0;
    for (qsizetype have = 0; have < first; ++have)
        EXPECT_EQ(PeekFrame(two.constData(), have, &n), FrameState::Incomplete) << have;
    EXPECT_EQ(PeekFrame(two.constData(), two.size(), &n), FrameState::Complete);
    EXPECT_EQ(qsizetype(n), first - LinkFrameHeaderBytes);  // only the first frame

    char header[4];
    qToLittleEndian<quint32>(quint32(LinkMaxPayloadBytes), header);
    EXPECT_EQ(PeekFrame(header, 4, &n), FrameState::Incomplete);  // at the limit: allowed
    qToLittleEndian<quint32>(quint32(LinkMaxPayloadBytes) + 1, header);
    EXPECT_EQ(PeekFrame(header, 4, &n), FrameState::Oversized);
    qToLittleEndian<quint32>(0xffffffffu, header);
    EXPECT_EQ(PeekFrame(header, 4, &n), FrameState::Oversized);
}

// Text longer than a frame can carry is refused whole; the buffer keeps what it had.
TEST(LinkProtocol, EncoderRefusesTextThatDoesNotFitAFrame)
{
    QByteArray out("keep");
    const WireValue fits = WireValue::OfString(QString(LinkMaxTextUnits, QLatin1Char('x')));
    EXPECT_TRUE(EncodeRequest(out, 1, LinkOp::Code, &fits, 1));
    const qsizetype afterFirst = out.size();
    for (qsizetype units : {LinkMaxPayloadBytes / 2, LinkMaxPayloadBytes + 1, 4 * LinkMaxPayloadBytes}) {
        const WireValue tooLong = WireValue::OfString(QString(units, QLatin1Char('x')));
        EXPECT_FALSE(EncodeRequest(out, 2, LinkOp::Code, &tooLong, 1)) << units;
        EXPECT_EQ(out.size(), afterFirst);
    }
    EXPECT_TRUE(out.startsWith("keep"));

    LinkReply longError;
    longError.ok = false;
    longError.error = QString(LinkMaxPayloadBytes, QLatin1Char('e'));
    QByteArray reply;
    EXPECT_TRUE(EncodeReply(reply, longError));  // error texts are cut to fit, never lost
}

TEST(LinkProtocol, RequestsFormatAsOneReadableLine)
{
    const struct
    {
        LinkOp op;
        std::vector<WireValue> args;
        const char* expected;
    } cases[] = {
        {LinkOp::DoOEMButton, {WireValue::OfInt16(1021)}, "DoOEMButton(1021)"},
        {LinkOp::IsMoving, {}, "IsMoving()"},
        {LinkOp::SetOEMDRO, {WireValue::OfInt16(818), WireValue::OfDouble(25)}, "SetOEMDRO(818, 25)"},
        {LinkOp::SetOEMDRO, {WireValue::OfInt16(1), WireValue::OfDouble(0.1)}, "SetOEMDRO(1, 0.1)"},
        {LinkOp::Code, {WireValue::OfString(QStringLiteral("G0 X1"))}, "Code(\"G0 X1\")"},
        {LinkOp::Message,
         {WireValue::OfString(QStringLiteral("a\"b\\c\nd\x01"))},
         "Message(\"a\\\"b\\\\c\\nd\\x01\")"},
        {LinkOp::SetWindowVisible, {WireValue::OfBool(true)}, "SetWindowVisible(true)"},
    };
    for (const auto& c : cases) {
        LinkRequest req;
        req.op = c.op;
        req.argCount = int(c.args.size());
        for (int i = 0; i < req.argCount; ++i)
            req.args[i] = c.args[i];
        EXPECT_EQ(FormatRequest(req).toStdString(), c.expected);
    }
}
