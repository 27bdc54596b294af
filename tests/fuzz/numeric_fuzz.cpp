// NumericValue on any text: no crash and no undefined behaviour, and the properties a user relies
// on when typing numbers: the result is a finite number, separators (commas, spaces, tabs, line
// feeds) may stand anywhere, text after the number does not count, a sign in front negates, the
// &H and &O prefixes ignore letter case and give 16- or 32-bit integers, and a decimal text
// without an ASCII digit is 0.

#include "core/common/numeric.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// The text with separator put between every two characters and at both ends.
QString interleaved(const QString& text, QChar separator) {
    QString out(separator);
    for (const QChar c : text) {
        out.append(c);
        out.append(separator);
    }
    return out;
}

// The text without the characters NumericValue ignores.
QString withoutSeparators(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c != u',' && c != u' ' && c != u'\t' && c != u'\n') {
            out.append(c);
        }
    }
    return out;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

std::string show(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

void expectSame(const char* what, const QString& text, double value, const QString& variant) {
    const double other = NumericValue(variant);
    if (other != value) {
        fuzz::Fail(what, "text:    " + fuzz::Escaped(text) + " -> " + show(value) +
                             "\nvariant: " + fuzz::Escaped(variant) + " -> " + show(other));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = NumericValue(text);

    if (!std::isfinite(value)) {
        fuzz::Fail("NumericValue gave a number that is not finite",
                   "text: " + fuzz::Escaped(text) + " -> " + show(value));
    }
    expectSame("a comma between the characters changes NumericValue", text, value, interleaved(text, u','));
    expectSame("a space between the characters changes NumericValue", text, value, interleaved(text, u' '));
    expectSame("a line feed between the characters changes NumericValue", text, value,
               interleaved(text, u'\n'));
    expectSame("a tab between the characters changes NumericValue", text, value, interleaved(text, u'\t'));
    expectSame("text after the number changes NumericValue", text, value, text + QStringLiteral("x"));

    const QString bare = withoutSeparators(text);
    if (!bare.isEmpty() && (isAsciiDigit(bare.at(0)) || bare.at(0) == u'.')) {
        const double negated = NumericValue(QStringLiteral("-") + text);
        if (negated != -value) {
            fuzz::Fail("a minus sign in front does not negate NumericValue",
                       "text: " + fuzz::Escaped(text) + " -> " + show(value) + ", with '-' -> " +
                           show(negated));
        }
    }
    const bool radix = bare.size() >= 2 && bare.at(0) == u'&' &&
                       (bare.at(1).toUpper() == u'H' || bare.at(1).toUpper() == u'O');
    if (radix) {
        QString otherCase = bare;
        otherCase[1] = bare.at(1).isUpper() ? bare.at(1).toLower() : bare.at(1).toUpper();
        expectSame("the letter case of &H or &O changes NumericValue", text, value, otherCase);
        if (value != std::trunc(value) || value < std::numeric_limits<qint32>::min() ||
            value > std::numeric_limits<qint32>::max()) {
            fuzz::Fail("a &H or &O number is not a 32-bit integer",
                       "text: " + fuzz::Escaped(text) + " -> " + show(value));
        }
    }
    if (value != 0 && !radix && std::none_of(text.begin(), text.end(), isAsciiDigit)) {
        fuzz::Fail("a decimal text without an ASCII digit gives a number other than 0",
                   "text: " + fuzz::Escaped(text) + " -> " + show(value));
    }
    return 0;
}
