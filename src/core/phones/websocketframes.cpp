#include "core/phones/websocketframes.h"

#include <QCryptographicHash>

namespace websocket {

namespace {

constexpr quint8 kFinal = 0x80;
constexpr quint8 kReserved = 0x70;
constexpr quint8 kMasked = 0x80;
constexpr int kLargestControl = 125;

bool isKnown(quint8 opcode) {
    return opcode <= 0x2 || (opcode >= 0x8 && opcode <= 0xA);
}

} // namespace

QByteArray AcceptKey(const QByteArray& key) {
    const QByteArray nonce = QByteArray::fromBase64(key, QByteArray::AbortOnBase64DecodingErrors);
    if (nonce.size() != 16 || key.size() != 24) {
        return {};
    }
    return QCryptographicHash::hash(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11", QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray Frame(Opcode opcode, const QByteArray& payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 10);
    frame.append(static_cast<char>(kFinal | static_cast<quint8>(opcode)));
    const qsizetype size = payload.size();
    if (size <= kLargestControl) {
        frame.append(static_cast<char>(size));
    } else if (size <= 0xFFFF) {
        frame.append(static_cast<char>(126));
        frame.append(static_cast<char>(size >> 8));
        frame.append(static_cast<char>(size & 0xFF));
    } else {
        frame.append(static_cast<char>(127));
        for (int shift = 56; shift >= 0; shift -= 8) {
            frame.append(static_cast<char>((static_cast<quint64>(size) >> shift) & 0xFF));
        }
    }
    frame.append(payload);
    return frame;
}

QByteArray CloseFrame(quint16 code) {
    QByteArray payload;
    payload.append(static_cast<char>(code >> 8));
    payload.append(static_cast<char>(code & 0xFF));
    return Frame(Opcode::Close, payload);
}

FrameReader::Result FrameReader::Fail(quint16 code) {
    m_error = code;
    return Result::Error;
}

FrameReader::Result FrameReader::Read(QByteArray& buffer) {
    if (buffer.size() < 2) {
        return Result::Incomplete;
    }
    const auto first = static_cast<quint8>(buffer[0]);
    const auto second = static_cast<quint8>(buffer[1]);
    const quint8 opcode = first & 0x0F;
    const bool final = (first & kFinal) != 0;
    const bool control = (opcode & 0x8) != 0;
    // Every frame from a client is masked (RFC 6455, 5.1); no extension was agreed, so no
    // reserved bit is set.
    if ((first & kReserved) != 0 || !isKnown(opcode) || (second & kMasked) == 0) {
        return Fail(kProtocolError);
    }
    qint64 length = second & 0x7F;
    if (control && (!final || length > kLargestControl)) {
        return Fail(kProtocolError);
    }
    int header = 2;
    if (length == 126 || length == 127) {
        const int bytes = length == 126 ? 2 : 8;
        if (buffer.size() < 2 + bytes) {
            return Result::Incomplete;
        }
        length = 0;
        for (int k = 0; k < bytes; ++k) {
            length = (length << 8) | static_cast<quint8>(buffer[2 + k]);
            if (length > (qint64{1} << 40)) {
                break; // beyond any limit; no overflow
            }
        }
        header += bytes;
    }
    if (!control) {
        if ((opcode == 0x0) != m_fragmented) {
            return Fail(kProtocolError); // a continuation of nothing, or a message inside another
        }
        if (m_message + length > m_messageBytes) {
            return Fail(kTooBig);
        }
    }
    if (opcode == 0x8 && length == 1) {
        return Fail(kProtocolError); // a close code has two bytes
    }
    header += 4;
    if (buffer.size() < header + length) {
        return Result::Incomplete;
    }
    const QByteArray mask = buffer.mid(header - 4, 4);
    QByteArray payload = buffer.mid(header, length);
    for (qsizetype k = 0; k < payload.size(); ++k) {
        payload[k] = static_cast<char>(payload[k] ^ mask[k % 4]);
    }
    buffer.remove(0, header + length);
    if (!control) {
        m_fragmented = !final;
        m_message = final ? 0 : m_message + length;
    }
    m_frame = Incoming{static_cast<Opcode>(opcode), final, std::move(payload)};
    return Result::Frame;
}

} // namespace websocket
