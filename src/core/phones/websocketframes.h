#pragma once

#include <QByteArray>
#include <QtGlobal>

// The server's side of the WebSocket protocol (RFC 6455) as phones use it: the handshake's
// answer key, the frames the server sends (never masked, never fragmented) and a reader of the
// frames a phone sends, which must be masked.
namespace websocket {

enum class Opcode : quint8 {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

// Close codes the server sends.
constexpr quint16 kGoingAway = 1001;
constexpr quint16 kProtocolError = 1002;
constexpr quint16 kPolicyViolation = 1008;
constexpr quint16 kTooBig = 1009;

// The Sec-WebSocket-Accept of a Sec-WebSocket-Key; empty when the key is not 16 bytes in base64.
QByteArray AcceptKey(const QByteArray& key);

// A whole frame with its payload.
QByteArray Frame(Opcode opcode, const QByteArray& payload);
QByteArray CloseFrame(quint16 code);

struct Incoming {
    Opcode Kind = Opcode::Text;
    bool Final = true;
    QByteArray Payload; // unmasked; for data frames only what fits within the message limit
};

// Reads whole frames off the front of what a phone sent. Control frames are whole by
// themselves; data frames are checked against the message limit as their headers arrive, so a
// frame that claims to be large is refused before its bytes are awaited.
class FrameReader {
public:
    enum class Result {
        Incomplete,
        Frame, // Current() holds it, its bytes taken off the buffer
        Error, // close with ErrorCode()
    };

    explicit FrameReader(int messageBytes) : m_messageBytes(messageBytes) {}

    Result Read(QByteArray& buffer);
    const Incoming& Current() const { return m_frame; }
    quint16 ErrorCode() const { return m_error; }

private:
    Result Fail(quint16 code);

    int m_messageBytes;
    qint64 m_message = 0;      // bytes of the data message being received
    bool m_fragmented = false; // a data message waits for its continuation
    Incoming m_frame;
    quint16 m_error = 0;
};

} // namespace websocket
