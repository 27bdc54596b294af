#include "core/common/cp932.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <vector>

namespace {

constexpr char16_t kEscapeBase = 0xF700; // + the byte, for a byte that is not part of a character
constexpr char16_t kNoCharacter = 0;

bool IsLeadByte(quint8 b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool IsTrailByte(quint8 b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The single bytes Windows maps to private characters.
char16_t WindowsSingleByte(quint8 b) {
    switch (b) {
    case 0x80:
        return 0x0080;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
        return 0xF8F1;
    case 0xFE:
        return 0xF8F2;
    case 0xFF:
        return 0xF8F3;
    default:
        return kNoCharacter;
    }
}

int WindowsSingleByteOf(char16_t c) {
    switch (c) {
    case 0x0080:
        return 0x80;
    case 0xF8F0:
        return 0xA0;
    case 0xF8F1:
        return 0xFD;
    case 0xF8F2:
        return 0xFE;
    case 0xF8F3:
        return 0xFF;
    default:
        return -1;
    }
}

// The two-byte codes, read once from the platform's converter: a table from code to character,
// and from character to the code Windows writes for it. Immutable once built.
struct DoubleByteTable {
    std::array<char16_t, 0x10000> ToChar{};
    QHash<char16_t, quint16> ToCode;
    QMultiHash<char16_t, quint16> Codes; // every code of the characters that have more than one

    DoubleByteTable() {
        // Every lead byte with every byte that may follow it, one pair per line, decoded in one
        // pass: each pair gives one character, which is its mapping or a replacement.
        std::vector<quint16> codes;
        QByteArray pairs;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (IsLeadByte(static_cast<quint8>(lead)) && IsTrailByte(static_cast<quint8>(trail))) {
                    codes.push_back(static_cast<quint16>(lead << 8 | trail));
                    pairs.append(static_cast<char>(lead)).append(static_cast<char>(trail)).append('\n');
                }
            }
        }
        QStringDecoder decoder("windows-31j", QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(pairs);
        if (decoded.size() != static_cast<qsizetype>(codes.size()) * 2) {
            return; // an unexpected converter: no two-byte characters rather than wrong ones
        }
        QString characters;
        for (size_t k = 0; k < codes.size(); ++k) {
            const QChar c = decoded.at(static_cast<qsizetype>(2 * k));
            if (c.unicode() >= 0x80 && c != QChar::ReplacementCharacter && !c.isSurrogate()) {
                ToChar[codes[k]] = c.unicode();
                characters.append(c).append(u'\n');
            }
        }
        // Of two codes for one character, write the one the platform's converter writes.
        QStringEncoder encoder("windows-31j", QStringEncoder::Flag::Stateless);
        const QByteArray encoded = encoder.encode(characters);
        const bool aligned = encoded.size() == characters.size() / 2 * 3;
        for (qsizetype k = 0; k < characters.size() / 2; ++k) {
            const char16_t c = characters.at(2 * k).unicode();
            if (ToCode.contains(c)) {
                continue;
            }
            quint16 written = 0;
            if (aligned) {
                written = static_cast<quint16>(static_cast<quint8>(encoded[3 * k]) << 8 |
                                               static_cast<quint8>(encoded[3 * k + 1]));
            }
            if (ToChar[written] != c) {
                // The converter gave no code of its own: the first code of the character.
                for (const quint16 code : codes) {
                    if (ToChar[code] == c) {
                        written = code;
                        break;
                    }
                }
            }
            ToCode.insert(c, written);
        }
        for (const quint16 code : codes) {
            const char16_t c = ToChar[code];
            if (c != kNoCharacter && ToCode.value(c) != code) {
                Codes.insert(c, code);
                if (!Codes.contains(c, ToCode.value(c))) {
                    Codes.insert(c, ToCode.value(c));
                }
            }
        }
    }
};

const DoubleByteTable& SharedDoubleByteTable() {
    static const DoubleByteTable table;
    return table;
}

// An escaped byte that is a lead byte of a two-byte code.
bool IsLoneLead(char16_t c) {
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
           IsLeadByte(static_cast<quint8>(c - kEscapeBase));
}

bool IsPlainAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<quint8>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

QString DecodeCp932(QByteArrayView bytes, qsizetype* undecodable) {
    qsizetype bad = 0;
    QString out;
    if (IsPlainAscii(bytes)) {
        out = QString::fromLatin1(bytes);
    } else {
        const DoubleByteTable& table = SharedDoubleByteTable();
        out.reserve(bytes.size());
        const qsizetype n = bytes.size();
        for (qsizetype i = 0; i < n; ++i) {
            const quint8 b = static_cast<quint8>(bytes[i]);
            if (b < 0x80) {
                out.append(QChar(char16_t(b)));
            } else if (b >= 0xA1 && b <= 0xDF) {
                out.append(QChar(char16_t(0xFF61 + (b - 0xA1)))); // half-width katakana
            } else if (const char16_t single = WindowsSingleByte(b); single != kNoCharacter) {
                out.append(QChar(single)); // a private character, not text
                ++bad;
            } else if (i + 1 < n && IsTrailByte(static_cast<quint8>(bytes[i + 1])) &&
                       table.ToChar[static_cast<size_t>(b << 8 | static_cast<quint8>(bytes[i + 1]))] !=
                           kNoCharacter) {
                out.append(
                    QChar(table.ToChar[static_cast<size_t>(b << 8 | static_cast<quint8>(bytes[i + 1]))]));
                ++i;
            } else {
                // Not part of a character: kept as itself. The byte after it is read on its own.
                out.append(QChar(char16_t(kEscapeBase + b)));
                ++bad;
            }
        }
    }
    if (undecodable) {
        *undecodable = bad;
    }
    return out;
}

bool EncodeCp932(QStringView text, QByteArray& out, qsizetype* badIndex) {
    out.clear();
    out.reserve(text.size() * 2);
    const DoubleByteTable* table = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
            continue;
        }
        if (c >= 0xFF61 && c <= 0xFF9F) {
            out.append(static_cast<char>(0xA1 + (c - 0xFF61)));
            continue;
        }
        if (const int single = WindowsSingleByteOf(c); single >= 0) {
            out.append(static_cast<char>(single));
            continue;
        }
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            out.append(static_cast<char>(c - kEscapeBase));
            continue;
        }
        if (!table) {
            table = &SharedDoubleByteTable();
        }
        const auto found = table->ToCode.constFind(c);
        if (found == table->ToCode.constEnd()) {
            if (badIndex) {
                *badIndex = i;
            }
            out.clear();
            return false;
        }
        quint16 code = *found;
        // A lone lead byte just written must not pair with this character's first byte: of a
        // character's codes, take one that leaves it alone (the file it came from had one).
        const auto pairs = [&](quint16 candidate) {
            return i > 0 && IsLoneLead(text[i - 1].unicode()) &&
                   table->ToChar[static_cast<size_t>((text[i - 1].unicode() - kEscapeBase) << 8 |
                                                     candidate >> 8)] != kNoCharacter;
        };
        if (pairs(code)) {
            for (const quint16 other : table->Codes.values(c)) {
                if (!pairs(other)) {
                    code = other;
                    break;
                }
            }
        }
        out.append(static_cast<char>(code >> 8));
        out.append(static_cast<char>(code & 0xFF));
    }
    return true;
}

qsizetype FirstNonCp932Character(QStringView text) {
    QByteArray bytes;
    qsizetype bad = -1;
    return EncodeCp932(text, bytes, &bad) ? -1 : bad;
}
