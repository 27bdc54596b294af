#include "core/common/numeric.h"

#include <QDir>
#include <cmath>
#include <limits>

namespace {

bool IsIgnorable(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

double ReadRadix(const QString& s, int pos, int radix) {
    quint64 value = 0;
    int digits = 0;
    for (; pos < s.size(); ++pos) {
        const int d = QStringView(s).mid(pos, 1).toInt(nullptr, 16);
        const QChar c = s.at(pos);
        bool isDigit = false;
        if (radix == 16) {
            isDigit = (c >= u'0' && c <= u'9') || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
        } else {
            isDigit = c >= u'0' && c <= u'7';
        }
        if (!isDigit) {
            break;
        }
        value = value * radix + static_cast<quint64>(d);
        ++digits;
        if (value > 0xFFFFFFFFull) {
            return 0; // overflow: no sensible value
        }
    }
    if (digits == 0) {
        return 0;
    }
    // Like typed integer literals: up to 16 bits they are 16-bit values, then 32-bit ones.
    if (value <= 0xFFFFull) {
        return static_cast<qint16>(static_cast<quint16>(value));
    }
    return static_cast<qint32>(static_cast<quint32>(value));
}

} // namespace

double NumericValue(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c != u',' && !IsIgnorable(c)) {
            s.append(c);
        }
    }
    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar p = s.at(1).toUpper();
        if (p == u'H') {
            return ReadRadix(s, 2, 16);
        }
        if (p == u'O') {
            return ReadRadix(s, 2, 8);
        }
        return 0;
    }
    int pos = 0;
    QString number;
    if (pos < s.size() && (s.at(pos) == u'+' || s.at(pos) == u'-')) {
        number.append(s.at(pos));
        ++pos;
    }
    int mantissaDigits = 0;
    while (pos < s.size() && s.at(pos).isDigit() && s.at(pos).unicode() < 128) {
        number.append(s.at(pos++));
        ++mantissaDigits;
    }
    if (pos < s.size() && s.at(pos) == u'.') {
        number.append(u'.');
        ++pos;
        while (pos < s.size() && s.at(pos).unicode() < 128 && s.at(pos).isDigit()) {
            number.append(s.at(pos++));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (pos < s.size() &&
        (s.at(pos) == u'e' || s.at(pos) == u'E' || s.at(pos) == u'd' || s.at(pos) == u'D')) {
        int p = pos + 1;
        QString exponent = QStringLiteral("e");
        if (p < s.size() && (s.at(p) == u'+' || s.at(p) == u'-')) {
            exponent.append(s.at(p++));
        }
        int expDigits = 0;
        while (p < s.size() && s.at(p).unicode() < 128 && s.at(p).isDigit()) {
            exponent.append(s.at(p++));
            ++expDigits;
        }
        if (expDigits > 0) {
            number.append(exponent);
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return 0;
    }
    return value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    return std::nearbyint(value); // default rounding mode: to nearest, ties to even
}

double RoundHalfAway(double value) {
    return std::round(value);
}

bool ToInt16(double value, qint16& out) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<qint16>::min() ||
        r > std::numeric_limits<qint16>::max()) {
        return false;
    }
    out = static_cast<qint16>(r);
    return true;
}

bool ToInt32(double value, qint32& out) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() ||
        r > std::numeric_limits<qint32>::max()) {
        return false;
    }
    out = static_cast<qint32>(r);
    return true;
}

bool ParseInt32(const QString& text, qint32& out) {
    const QString t = text.trimmed();
    int pos = 0;
    if (pos < t.size() && (t.at(pos) == u'+' || t.at(pos) == u'-')) {
        ++pos;
    }
    int digits = 0;
    bool point = false;
    for (; pos < t.size(); ++pos) {
        const QChar c = t.at(pos);
        if (c.unicode() < 128 && c.isDigit()) {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0) {
        return false;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && ToInt32(value, out);
}

QString SplitPath(const QString& path, QString& folder) {
    QString p = path;
#ifdef Q_OS_WIN
    p.replace(u'/', u'\\');
#endif
    const QChar sep = QDir::separator();
    const qsizetype last = p.lastIndexOf(sep);
    if (last < 0) {
        folder = p;
        return p;
    }
    folder = p.left(last);
    return p.mid(last + 1);
}

QString FormatNumber(double value, const QString& picture) {
    const int zeros = static_cast<int>(picture.count(u'0'));
    const double r = RoundHalfAway(value);
    if (!std::isfinite(r)) {
        return QString();
    }
    QString digits = QString::number(std::fabs(r), 'f', 0);
    if (digits == QStringLiteral("0") && zeros == 0) {
        digits.clear();
    }
    if (digits.size() < zeros) {
        digits = QString(zeros - digits.size(), u'0') + digits;
    }
    return (r < 0 ? QStringLiteral("-") : QString()) + digits;
}

QString FormatField(const QString& value, const QString& picture) {
    if (picture == QStringLiteral("yyyy/mm/dd")) {
        if (value.isEmpty()) {
            return QString();
        }
        return value.mid(0, 4) + u'/' + value.mid(4, 2) + u'/' + value.mid(6, 2);
    }
    if (picture == QStringLiteral("hh:nn:ss")) {
        return value.mid(0, 2) + u':' + value.mid(2, 2) + u':' + value.mid(4, 2);
    }
    return FormatField(NumericValue(value), picture);
}

QString FormatField(double value, const QString& picture) {
    const QString text = FormatNumber(value, picture);
    if (text.size() > picture.size()) {
        return QString(picture.size(), u' ');
    }
    return QString(picture.size() - text.size(), u' ') + text;
}
