#include "host/link/LinkProtocol.h"

#include <QLocale>
#include <QtEndian>

#include <cstring>

namespace hostlink {

namespace {

constexpr WireType N = WireType::None;
constexpr WireType I = WireType::Int16;
constexpr WireType D = WireType::Double;
constexpr WireType B = WireType::Bool;
constexpr WireType S = WireType::String;

constexpr LinkOpSignature Signatures[] = {
    {LinkOp::DeActivateSignal, "DeActivateSignal", 1, {I, N}, N},
    {LinkOp::GetVar, "GetVar", 1, {I, N}, D},
    {LinkOp::Code, "Code", 1, {S, N}, N},
    {LinkOp::IsMoving, "IsMoving", 0, {N, N}, B},
    {LinkOp::DoOEMButton, "DoOEMButton", 1, {I, N}, N},
    {LinkOp::DoButton, "DoButton", 1, {I, N}, N},
    {LinkOp::GetOEMLed, "GetOEMLed", 1, {I, N}, B},
    {LinkOp::GetOEMDRO, "GetOEMDRO", 1, {I, N}, D},
    {LinkOp::SetOEMDRO, "SetOEMDRO", 2, {I, D}, N},
    {LinkOp::IsLoading, "IsLoading", 0, {N, N}, I},
    {LinkOp::SetButtonText, "SetButtonText", 1, {S, N}, N},
    {LinkOp::Message, "Message", 1, {S, N}, N},
    {LinkOp::FileName, "FileName", 0, {N, N}, S},
    {LinkOp::LoadFile, "LoadFile", 1, {S, N}, N},
    {LinkOp::DocGetScriptObject, "GetScriptObject", 0, {N, N}, N},
    {LinkOp::DocRelease, "Release", 0, {N, N}, N},
    {LinkOp::Hello, "Hello", 1, {I, N}, I},
    {LinkOp::WindowCaption, "WindowCaption", 0, {N, N}, S},
    {LinkOp::SetWindowVisible, "SetWindowVisible", 1, {B, N}, N},
};

const char* TypeName(WireType type)
{
    switch (type) {
    case WireType::None: return "none";
    case WireType::Int16: return "int16";
    case WireType::Double: return "double";
    case WireType::Bool: return "bool";
    case WireType::String: return "string";
    }
    return "unknown";
}

// Appends to a frame under construction; the frame header is patched by Finish().
class FrameWriter
{
public:
    explicit FrameWriter(QByteArray& out) : m_out(out), m_start(out.size())
    {
        m_out.append(LinkFrameHeaderBytes, '\0');
    }

    template <typename T>
    void Put(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian<T>(value, bytes);
        m_out.append(bytes, sizeof(T));
    }

    void PutDouble(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        Put<quint64>(bits);
    }

    void PutValue(const WireValue& value)
    {
        Put<quint8>(static_cast<quint8>(value.type));
        switch (value.type) {
        case WireType::None: break;
        case WireType::Int16: Put<qint16>(value.int16); break;
        case WireType::Double: PutDouble(value.number); break;
        case WireType::Bool: Put<quint8>(value.boolean ? 1 : 0); break;
        case WireType::String: {
            const qsizetype units = value.text.size();
            // Refuse before copying: a text this long can never fit a frame.
            if (units > LinkMaxPayloadBytes) {
                m_overflow = true;
                return;
            }
            Put<quint32>(static_cast<quint32>(units));
            const qsizetype at = m_out.size();
            m_out.resize(at + units * 2);
            qToLittleEndian<quint16>(value.text.utf16(), units, m_out.data() + at);
            break;
        }
        }
    }

    // Patches the header. Returns false, and removes the partial frame, when the payload is
    // longer than a frame may carry.
    bool Finish()
    {
        const qsizetype payload = m_out.size() - m_start - LinkFrameHeaderBytes;
        if (m_overflow || payload > LinkMaxPayloadBytes) {
            m_out.resize(m_start);
            return false;
        }
        qToLittleEndian<quint32>(static_cast<quint32>(payload), m_out.data() + m_start);
        return true;
    }

private:
    QByteArray& m_out;
    qsizetype m_start;
    bool m_overflow = false;
};

// Reads a payload front to back; every read checks the bytes left first.
class PayloadReader
{
public:
    PayloadReader(const char* data, qsizetype size) : m_data(data), m_left(size) {}

    qsizetype Left() const { return m_left; }

    template <typename T>
    bool Get(T& value)
    {
        if (m_left < qsizetype(sizeof(T)))
            return false;
        value = qFromLittleEndian<T>(m_data);
        m_data += sizeof(T);
        m_left -= sizeof(T);
        return true;
    }

    // Reads a typed value; `error` names what was wrong.
    bool GetValue(WireValue& value, QString& error)
    {
        quint8 tag = 0;
        if (!Get(tag)) {
            error = QStringLiteral("truncated value");
            return false;
        }
        value.type = static_cast<WireType>(tag);
        switch (value.type) {
        case WireType::None: return true;
        case WireType::Int16:
            if (Get(value.int16))
                return true;
            break;
        case WireType::Double: {
            quint64 bits = 0;
            if (Get(bits)) {
                std::memcpy(&value.number, &bits, sizeof bits);
                return true;
            }
            break;
        }
        case WireType::Bool: {
            quint8 b = 0;
            if (!Get(b))
                break;
            if (b > 1) {
                error = QStringLiteral("bad boolean %1").arg(b);
                return false;
            }
            value.boolean = b != 0;
            return true;
        }
        case WireType::String: {
            quint32 units = 0;
            if (!Get(units))
                break;
            if (qsizetype(units) > m_left / 2)
                break;
            value.text.resize(qsizetype(units));
            qFromLittleEndian<quint16>(m_data, units, value.text.data());
            m_data += qsizetype(units) * 2;
            m_left -= qsizetype(units) * 2;
            return true;
        }
        default:
            error = QStringLiteral("unknown value type %1").arg(tag);
            return false;
        }
        error = QStringLiteral("truncated %1 value").arg(QLatin1String(TypeName(value.type)));
        return false;
    }

private:
    const char* m_data;
    qsizetype m_left;
};

QString EscapedText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

}  // namespace

const LinkOpSignature* FindLinkOp(quint16 op)
{
    for (const LinkOpSignature& s : Signatures) {
        if (static_cast<quint16>(s.op) == op)
            return &s;
    }
    return nullptr;
}

FrameState PeekFrame(const char* data, qsizetype size, quint32* payloadBytes)
{
    if (size < LinkFrameHeaderBytes)
        return FrameState::Incomplete;
    const quint32 length = qFromLittleEndian<quint32>(data);
    if (length > quint32(LinkMaxPayloadBytes))
        return FrameState::Oversized;
    if (size - LinkFrameHeaderBytes < qsizetype(length))
        return FrameState::Incomplete;
    *payloadBytes = length;
    return FrameState::Complete;
}

bool EncodeRequest(QByteArray& out, quint32 seq, LinkOp op, const WireValue* args, int argCount)
{
    FrameWriter w(out);
    w.Put<quint32>(seq);
    w.Put<quint16>(static_cast<quint16>(op));
    w.Put<quint8>(static_cast<quint8>(argCount));
    for (int i = 0; i < argCount; ++i)
        w.PutValue(args[i]);
    return w.Finish();
}

bool EncodeReply(QByteArray& out, const LinkReply& reply)
{
    FrameWriter w(out);
    w.Put<quint32>(reply.seq);
    w.Put<quint8>(reply.ok ? 0 : 1);
    if (reply.ok)
        w.PutValue(reply.result);
    else
        w.PutValue(WireValue::OfString(reply.error.left(LinkMaxTextUnits)));
    return w.Finish();
}

bool DecodeRequest(const char* payload, qsizetype size, LinkRequest& out, QString& error)
{
    PayloadReader r(payload, size);
    out.seq = 0;
    quint32 seq = 0;
    quint16 op = 0;
    quint8 argCount = 0;
    if (!r.Get(seq)) {
        error = QStringLiteral("Malformed request: truncated header");
        return false;
    }
    out.seq = seq;
    if (!r.Get(op) || !r.Get(argCount)) {
        error = QStringLiteral("Malformed request: truncated header");
        return false;
    }
    const LinkOpSignature* sig = FindLinkOp(op);
    if (!sig) {
        error = QStringLiteral("Malformed request: unknown operation %1").arg(op);
        return false;
    }
    out.op = sig->op;
    if (argCount != sig->argCount) {
        error = QStringLiteral("Malformed request: %1 takes %2 argument(s), got %3")
                    .arg(QLatin1String(sig->name))
                    .arg(sig->argCount)
                    .arg(argCount);
        return false;
    }
    out.argCount = argCount;
    for (int i = 0; i < argCount; ++i) {
        QString why;
        if (!r.GetValue(out.args[i], why)) {
            error = QStringLiteral("Malformed request: %1 argument %2: %3")
                        .arg(QLatin1String(sig->name))
                        .arg(i + 1)
                        .arg(why);
            return false;
        }
        if (out.args[i].type != sig->args[i]) {
            error = QStringLiteral("Malformed request: %1 argument %2 must be %3, got %4")
                        .arg(QLatin1String(sig->name))
                        .arg(i + 1)
                        .arg(QLatin1String(TypeName(sig->args[i])),
                             QLatin1String(TypeName(out.args[i].type)));
            return false;
        }
    }
    if (r.Left() != 0) {
        error = QStringLiteral("Malformed request: %1 trailing byte(s) after %2")
                    .arg(r.Left())
                    .arg(QLatin1String(sig->name));
        return false;
    }
    return true;
}

bool DecodeReply(const char* payload, qsizetype size, WireType expected, LinkReply& out,
                 QString& error)
{
    PayloadReader r(payload, size);
    quint8 status = 0;
    if (!r.Get(out.seq) || !r.Get(status)) {
        error = QStringLiteral("truncated reply header");
        return false;
    }
    if (status > 1) {
        error = QStringLiteral("bad reply status %1").arg(status);
        return false;
    }
    out.ok = status == 0;
    WireValue value;
    if (!r.GetValue(value, error))
        return false;
    if (r.Left() != 0) {
        error = QStringLiteral("trailing bytes in reply");
        return false;
    }
    if (!out.ok) {
        if (value.type != WireType::String) {
            error = QStringLiteral("error reply without text");
            return false;
        }
        out.error = std::move(value.text);
        return true;
    }
    if (value.type != expected) {
        error = QStringLiteral("reply carries %1 where %2 was expected")
                    .arg(QLatin1String(TypeName(value.type)), QLatin1String(TypeName(expected)));
        return false;
    }
    out.result = std::move(value);
    return true;
}

QString FormatWireValue(const WireValue& value)
{
    switch (value.type) {
    case WireType::None: return QString();
    case WireType::Int16: return QString::number(value.int16);
    case WireType::Double:
        return QString::number(value.number, 'g', QLocale::FloatingPointShortest);
    case WireType::Bool: return value.boolean ? QStringLiteral("true") : QStringLiteral("false");
    case WireType::String: return EscapedText(value.text);
    }
    return QString();
}

QString FormatRequest(const LinkRequest& request)
{
    const LinkOpSignature* sig = FindLinkOp(static_cast<quint16>(request.op));
    QString out = sig ? QLatin1String(sig->name) : QString::number(quint16(request.op));
    out += QLatin1Char('(');
    for (int i = 0; i < request.argCount; ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        out += FormatWireValue(request.args[i]);
    }
    out += QLatin1Char(')');
    return out;
}

}  // namespace hostlink
