#include "core/common/linebreak.h"

#include <vector>

namespace {

bool IsSpace(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}

bool IsClosing(QChar c) {
    return QStringView(u"、。，．,.!?！？」』）)】〕〉》］]｝}").contains(c);
}

bool IsOpening(QChar c) {
    return QStringView(u"「『（(【〔〈《［[｛{").contains(c);
}

// Characters a line must not start with.
bool NeverStartsALine(QChar c) {
    return IsClosing(c) ||
           QStringView(u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶーゝゞヽヾ々・：；:;").contains(c) ||
           (c >= QChar(0xFF67) && c <= QChar(0xFF70)); // half-width small kana and ｰ
}

bool IsHiragana(QChar c) {
    return c >= QChar(0x3041) && c <= QChar(0x309F);
}

bool IsKatakana(QChar c) {
    return (c >= QChar(0x30A0) && c <= QChar(0x30FF)) || (c >= QChar(0xFF66) && c <= QChar(0xFF9F));
}

bool IsKanji(QChar c) {
    return (c >= QChar(0x4E00) && c <= QChar(0x9FFF)) || (c >= QChar(0x3400) && c <= QChar(0x4DBF)) ||
           c == QChar(0x3005);
}

// Letters, digits and the signs between them in Latin text: "No.0031", "José", "192.168.1.20:50080".
bool IsLatin(QChar c) {
    return (c > QChar(0x20) && c < QChar(0x7F)) || (c >= QChar(0xA1) && c < QChar(0x2E80)) ||
           (c >= QChar(0xFF10) && c <= QChar(0xFF5A));
}

// Whether a line may break between text[i - 1] and text[i] at all.
bool MayBreak(const QString& text, qsizetype i) {
    const QChar before = text.at(i - 1);
    const QChar after = text.at(i);
    if (IsSpace(after) || NeverStartsALine(after) || IsOpening(before)) {
        return false;
    }
    if (before.isSurrogate() && after.isLowSurrogate()) {
        return false;
    }
    return !(IsLatin(before) && IsLatin(after));
}

// Whether a phrase ends between text[i - 1] and text[i].
bool EndsAPhrase(const QString& text, qsizetype i) {
    if (!MayBreak(text, i)) {
        return false;
    }
    const QChar before = text.at(i - 1);
    const QChar after = text.at(i);
    return IsSpace(before) || IsClosing(before) || IsOpening(after) ||
           (IsHiragana(before) && (IsKanji(after) || IsKatakana(after)));
}

// The phrases of a line, each with its trailing spaces.
QStringList Phrases(const QString& line) {
    QStringList phrases;
    qsizetype start = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (EndsAPhrase(line, i)) {
            phrases.append(line.mid(start, i - start));
            start = i;
        }
    }
    phrases.append(line.mid(start));
    return phrases;
}

QString TrimmedEnd(QString text) {
    while (!text.isEmpty() && IsSpace(text.back())) {
        text.chop(1);
    }
    return text;
}

// Breaks a piece wider than the box where the rules allow, as late as fits; appends the whole
// lines to out and returns what is left.
QString BreakInside(QString piece, double maxWidth, const std::function<double(const QString&)>& width,
                    QStringList& out) {
    while (width(TrimmedEnd(piece)) > maxWidth) {
        qsizetype cut = 0;
        for (qsizetype i = 1; i < piece.size(); ++i) {
            if (!MayBreak(piece, i)) {
                continue;
            }
            if (width(piece.left(i)) > maxWidth) {
                break;
            }
            cut = i;
        }
        if (cut == 0) {
            // Nothing fits before the first place it may break: that much stands on its own.
            for (qsizetype i = 1; i < piece.size() && cut == 0; ++i) {
                if (MayBreak(piece, i)) {
                    cut = i;
                }
            }
            if (cut == 0) {
                return piece;
            }
        }
        out.append(TrimmedEnd(piece.left(cut)));
        piece = piece.mid(cut);
    }
    return piece;
}

} // namespace

QStringList BreakIntoLines(const QString& text, double maxWidth,
                           const std::function<double(const QString&)>& width) {
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines;
    for (const QString& paragraph : normalised.split(u'\n')) {
        if (width(paragraph) <= maxWidth) {
            lines.append(paragraph);
            continue;
        }
        QString line;
        for (const QString& phrase : Phrases(paragraph)) {
            if (width(TrimmedEnd(line + phrase)) <= maxWidth) {
                line += phrase;
                continue;
            }
            if (!TrimmedEnd(line).isEmpty()) {
                lines.append(TrimmedEnd(line));
            }
            line = BreakInside(phrase, maxWidth, width, lines);
        }
        lines.append(TrimmedEnd(line));
    }
    return lines;
}
