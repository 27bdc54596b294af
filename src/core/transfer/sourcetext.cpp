#include "core/transfer/sourcetext.h"

#include "core/common/cp932.h"

#include <cstring>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool isAsciiLetter(quint8 b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

bool isContinuation(quint8 b) {
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at i, or 0.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<quint8>(bytes[k]); };
    const quint8 lead = at(i);
    qsizetype length = 0;
    quint8 low = 0x80;
    quint8 high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (qsizetype k = 2; k < length; ++k) {
        if (!isContinuation(at(i + k))) {
            return 0;
        }
    }
    return length;
}

bool startsWithMark(QByteArrayView bytes) {
    return bytes.size() >= 3 && std::memcmp(bytes.data(), kByteOrderMark, 3) == 0;
}

} // namespace

EncodingGuess GuessSourceEncoding(QByteArrayView bytes) {
    EncodingGuess guess;
    guess.HasNul = std::memchr(bytes.data(), 0, static_cast<size_t>(bytes.size())) != nullptr;
    if (startsWithMark(bytes)) {
        guess.Encoding = TextEncoding::Utf8Bom;
        return guess;
    }
    bool unexplained = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        // ASCII eight bytes at a time.
        quint64 word = 0;
        if (i + 8 <= n && (std::memcpy(&word, bytes.data() + i, 8), (word & 0x8080808080808080ULL) == 0)) {
            i += 8;
            continue;
        }
        const quint8 b = static_cast<quint8>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const qsizetype length = sequenceLength(bytes, i);
        if (length == 0) {
            return guess; // not UTF-8
        }
        if (!unexplained) {
            const bool kanaPair = length == 2 && static_cast<quint8>(bytes[i + 1]) >= 0xA1;
            const quint8 before = i > 0 ? static_cast<quint8>(bytes[i - 1]) : 0;
            const quint8 after = i + 2 < n ? static_cast<quint8>(bytes[i + 2]) : 0;
            unexplained = !kanaPair || isAsciiLetter(before) || isAsciiLetter(after);
        }
        i += length;
    }
    if (unexplained) {
        guess.Encoding = TextEncoding::Utf8;
    }
    return guess;
}

TextEncoding ChosenEncoding(EncodingChoice choice, QByteArrayView bytes, const EncodingGuess& guess) {
    switch (choice) {
    case EncodingChoice::Utf8:
        return startsWithMark(bytes) ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    case EncodingChoice::Cp932:
        return TextEncoding::Cp932;
    case EncodingChoice::Auto:
        break;
    }
    return guess.Encoding;
}

ChunkDecoder::ChunkDecoder(QByteArrayView bytes, TextEncoding encoding)
    : m_bytes(bytes), m_encoding(encoding) {
    if (encoding == TextEncoding::Utf8Bom && startsWithMark(bytes)) {
        m_position = 3;
    }
}

QString ChunkDecoder::Next(qsizetype maxBytes) {
    const qsizetype n = m_bytes.size();
    qsizetype end = std::min(n, m_position + std::max<qsizetype>(maxBytes, 16));
    if (end < n) {
        if (m_encoding == TextEncoding::Cp932) {
            // A byte below 0x40 is never the second byte of a character: end after the last one.
            const qsizetype floor = std::max(m_position, end - 4096);
            qsizetype cut = end;
            while (cut > floor && static_cast<quint8>(m_bytes[cut - 1]) >= 0x40) {
                --cut;
            }
            if (cut > floor) {
                end = cut;
            } else {
                // None near its end: walk the piece character by character from its start.
                qsizetype i = m_position;
                while (i < end) {
                    const quint8 b = static_cast<quint8>(m_bytes[i]);
                    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
                    i += lead && i + 1 < n ? 2 : 1;
                }
                end = i;
            }
        } else {
            while (end > m_position && isContinuation(static_cast<quint8>(m_bytes[end]))) {
                --end;
            }
            if (end == m_position) {
                end = std::min(n, m_position + maxBytes);
            }
        }
    }
    const QByteArrayView piece = m_bytes.sliced(m_position, end - m_position);
    m_position = end;
    return m_encoding == TextEncoding::Cp932 ? DecodeCp932(piece) : QString::fromUtf8(piece);
}
