#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// The wire protocol between the application and the simulated host.
//
// A connection carries frames: a 4-byte little-endian payload length, then the payload. Each
// request gets exactly one reply, in order.
//
//   request payload: u32 sequence, u16 operation, u8 argument count, typed arguments
//   reply payload:   u32 sequence, u8 status (0 ok, 1 error), then one typed value: the
//                    result (type None when the operation has none) or the error text (String)
//   typed value:     u8 type, then Int16 = 2 bytes, Double = 8 bytes (IEEE 754), Bool = 1 byte
//                    (0 or 1), String = u32 count of UTF-16 units and the units; None = nothing
//
// All integers are little-endian. A payload is never longer than LinkMaxPayloadBytes; a peer
// announcing a longer one has lost the framing and the connection is closed after an error
// reply. Every other malformed request gets an error reply and the connection stays usable.
//
// Decoding never trusts a length it has not checked against the bytes at hand, and never
// throws: failures come back as text.

namespace hostlink {

inline constexpr quint16 LinkProtocolVersion = 1;
inline constexpr qsizetype LinkFrameHeaderBytes = 4;
inline constexpr qsizetype LinkMaxPayloadBytes = 64 * 1024;
// The longest text argument that fits a request frame with room to spare.
inline constexpr qsizetype LinkMaxTextUnits = (LinkMaxPayloadBytes - 64) / 2;

// Operation identifiers. The fourteen script operations travel under the host's own dispatch
// identifiers; the document operations under 1000 + their identifier; the link's own
// questions (handshake, window) from 2000 on.
enum class LinkOp : quint16 {
    DeActivateSignal = 14,
    GetVar = 20,
    Code = 28,
    IsMoving = 34,
    DoOEMButton = 40,
    DoButton = 42,
    GetOEMLed = 44,
    GetOEMDRO = 45,
    SetOEMDRO = 48,
    IsLoading = 73,
    SetButtonText = 89,
    Message = 99,
    FileName = 124,
    LoadFile = 136,
    DocGetScriptObject = 1003,
    DocRelease = 1004,
    Hello = 2000,            // (Int16 client version) -> Int16 server version
    WindowCaption = 2001,    // () -> String caption of the host's main window
    SetWindowVisible = 2002, // (Bool visible): show without activating, or hide
};

enum class WireType : quint8 { None = 0, Int16 = 1, Double = 2, Bool = 3, String = 4 };

// One typed value. Only the member matching `type` is meaningful. Values without text do not
// allocate.
struct WireValue
{
    WireType type = WireType::None;
    qint16 int16 = 0;
    bool boolean = false;
    double number = 0.0;
    QString text;

    static WireValue None() { return {}; }
    static WireValue OfInt16(qint16 v) { WireValue w; w.type = WireType::Int16; w.int16 = v; return w; }
    static WireValue OfDouble(double v) { WireValue w; w.type = WireType::Double; w.number = v; return w; }
    static WireValue OfBool(bool v) { WireValue w; w.type = WireType::Bool; w.boolean = v; return w; }
    static WireValue OfString(const QString& v) { WireValue w; w.type = WireType::String; w.text = v; return w; }
};

inline constexpr int LinkMaxArgs = 2;

// What an operation takes and gives back.
struct LinkOpSignature
{
    LinkOp op;
    const char* name;  // as the host names it, e.g. "DoOEMButton"
    int argCount;
    std::array<WireType, LinkMaxArgs> args;
    WireType result;
};

// The signature of `op`, or null for an operation the protocol does not know.
const LinkOpSignature* FindLinkOp(quint16 op);

struct LinkRequest
{
    quint32 seq = 0;
    LinkOp op = LinkOp::Hello;
    int argCount = 0;
    std::array<WireValue, LinkMaxArgs> args;
};

struct LinkReply
{
    quint32 seq = 0;
    bool ok = true;
    WireValue result;  // when ok
    QString error;     // when not ok
};

// ---- Framing ----

enum class FrameState { Incomplete, Complete, Oversized };

// Examines the bytes at the head of a receive buffer. Complete: a whole frame is present and
// `payloadBytes` holds its payload length (the frame spans LinkFrameHeaderBytes + that).
// Oversized: the announced payload exceeds LinkMaxPayloadBytes.
FrameState PeekFrame(const char* data, qsizetype size, quint32* payloadBytes);

// ---- Encoding: each appends one whole frame to `out` ----

// Returns false, appending nothing, when the frame would exceed LinkMaxPayloadBytes.
bool EncodeRequest(QByteArray& out, quint32 seq, LinkOp op, const WireValue* args, int argCount);
bool EncodeReply(QByteArray& out, const LinkReply& reply);

// ---- Decoding of one payload (without the frame header) ----

// Decodes and checks a request against its operation's signature. On failure returns false
// and sets `error`; `out.seq` holds the request's sequence when the payload was long enough
// to carry one, otherwise 0.
bool DecodeRequest(const char* payload, qsizetype size, LinkRequest& out, QString& error);

// Decodes a reply. An ok reply must carry a value of type `expected`.
bool DecodeReply(const char* payload, qsizetype size, WireType expected, LinkReply& out,
                 QString& error);

// A readable form of a value for journals and messages: 12, 2.5, true, "text" (quotes,
// backslashes and line breaks escaped, so the result is always one line).
QString FormatWireValue(const WireValue& value);

// "Name(arg, arg)" for a request, e.g. DoOEMButton(1021) or Code("G0 X1").
QString FormatRequest(const LinkRequest& request);

}  // namespace hostlink
