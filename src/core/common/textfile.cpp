#include "core/common/textfile.h"

#include "core/common/cp932.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

bool IsPlainAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Valid UTF-8, decoded; false when any sequence is malformed.
bool DecodeStrictUtf8(const QByteArray& bytes, QString& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool IsJapanese(char32_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || // punctuation, hiragana, katakana
           (c >= 0x3400 && c <= 0x9FFF) || // kanji
           (c >= 0xF900 && c <= 0xFAFF) || // compatibility kanji
           (c >= 0xFF00 && c <= 0xFFEF) || // full-width and half-width forms
           (c >= 0x20000 && c <= 0x3FFFF); // kanji beyond the basic plane
}

// Text that is plainly Japanese: some Japanese, and nothing between U+0100 and U+07FF, the
// range two half-width katakana of CP932 become when read as one UTF-8 character (ﾕｷ, D5 B7,
// reads as Armenian).
bool PlainlyJapanese(const QString& text) {
    bool japanese = false;
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x100 && c < 0x800) {
            return false;
        }
        japanese = japanese || IsJapanese(c);
    }
    return japanese;
}

QString DecodeAsCp932(const QByteArray& bytes, DecodeReport& report) {
    report.Encoding = TextEncoding::Cp932;
    return DecodeCp932(bytes, &report.Undecodable);
}

} // namespace

QString DecodeOwnText(const QByteArray& bytes, DecodeReport* report) {
    DecodeReport local;
    DecodeReport& r = report ? *report : local;
    r = DecodeReport{};
    r.HasNul = bytes.contains('\0');
    if (bytes.startsWith(kUtf8Mark)) {
        r.Encoding = TextEncoding::Utf8Bom;
        return QString::fromUtf8(bytes.mid(kUtf8Mark.size()));
    }
    return DecodeAsCp932(bytes, r);
}

QString DecodeForeignText(const QByteArray& bytes, DecodeReport* report) {
    DecodeReport local;
    DecodeReport& r = report ? *report : local;
    r = DecodeReport{};
    r.HasNul = bytes.contains('\0');
    if (bytes.startsWith(kUtf8Mark)) {
        r.Encoding = TextEncoding::Utf8Bom;
        return QString::fromUtf8(bytes.mid(kUtf8Mark.size()));
    }
    QString utf8;
    if (!IsPlainAscii(bytes) && DecodeStrictUtf8(bytes, utf8) && PlainlyJapanese(utf8)) {
        r.Encoding = TextEncoding::Utf8;
        return utf8;
    }
    return DecodeAsCp932(bytes, r);
}

bool EncodeText(const QString& text, TextEncoding encoding, QByteArray& out) {
    out.clear();
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom) {
        // Only whole characters: a lone surrogate has no UTF-8 form.
        QString check;
        const QByteArray utf8 = text.toUtf8();
        if (!DecodeStrictUtf8(utf8, check) || check != text) {
            return false;
        }
        if (encoding == TextEncoding::Utf8Bom) {
            out = kUtf8Mark;
        }
        out += utf8;
        return true;
    }
    return EncodeCp932(text, out);
}

bool FitsCp932(const QString& text) {
    return FirstNonCp932Character(text) < 0;
}

QString TakeOutUnencodable(QString& text, TextEncoding encoding, int* cursor) {
    QString first;
    QString kept;
    kept.reserve(text.size());
    const qsizetype oldCursor = cursor ? *cursor : 0;
    qsizetype newCursor = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const QString c = text.mid(i, length);
        const bool storable =
            (pair || !c.at(0).isSurrogate()) && (encoding != TextEncoding::Cp932 || FitsCp932(c));
        if (storable) {
            kept += c;
            newCursor += std::clamp<qsizetype>(oldCursor - i, 0, length);
        } else if (first.isEmpty()) {
            first = c;
        }
        i += length;
    }
    if (!first.isEmpty()) {
        text = kept;
        if (cursor) {
            *cursor = static_cast<int>(newCursor);
        }
    }
    return first;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) == u'\r') {
            lines.append(text.mid(start, i - start));
            if (i + 1 < n && text.at(i + 1) == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < n) {
        lines.append(text.mid(start));
    }
    return lines;
}
