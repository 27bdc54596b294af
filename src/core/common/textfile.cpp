#include "core/common/textfile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

namespace {

const char* const kCp932 = "windows-31j";

bool isPlainAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

QString DecodeText(const QByteArray& bytes, TextEncoding* encoding) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (encoding) {
            *encoding = TextEncoding::Utf8Bom;
        }
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    }
    if (!isPlainAscii(bytes) && isValidUtf8(bytes)) {
        if (encoding) {
            *encoding = TextEncoding::Utf8;
        }
        return QString::fromUtf8(bytes);
    }
    if (encoding) {
        *encoding = TextEncoding::Cp932;
    }
    QStringDecoder decoder(kCp932);
    if (!decoder.isValid()) {
        decoder = QStringDecoder("Shift_JIS");
    }
    return decoder.decode(bytes);
}

bool EncodeText(const QString& text, TextEncoding encoding, QByteArray& out) {
    out.clear();
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom) {
        if (encoding == TextEncoding::Utf8Bom) {
            out = QByteArrayLiteral("\xEF\xBB\xBF");
        }
        out += text.toUtf8();
        return true;
    }
    if (!FitsCp932(text)) {
        return false;
    }
    QStringEncoder encoder(kCp932);
    out = encoder.encode(text);
    return true;
}

bool FitsCp932(const QString& text) {
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return true;
    }
    // A round trip is the only reliable test: the encoder replaces what it cannot map.
    QStringEncoder encoder(kCp932);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return false;
    }
    QStringDecoder decoder(kCp932);
    const QString back = decoder.decode(bytes);
    return !decoder.hasError() && back == text;
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

int LastFileErrorCode(int qtFileError) {
    const int e = errno;
    if (e != 0) {
        return e;
    }
    return qtFileError != 0 ? qtFileError : -1;
}
