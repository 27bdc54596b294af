#include "core/transfer/xlsxnumberformat.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace {

using Kind = XlsxNumberFormat::Kind;

XlsxNumberFormat fixed(int decimals, bool percent = false) {
    return {Kind::Fixed, decimals, percent, false};
}
XlsxNumberFormat of(Kind kind, bool seconds = false) {
    return {kind, 0, false, seconds};
}

XlsxNumberFormat builtIn(int id) {
    switch (id) {
    case 1:
    case 3:
    case 37:
    case 38:
        return fixed(0);
    case 2:
    case 4:
    case 39:
    case 40:
        return fixed(2);
    case 9:
        return fixed(0, true);
    case 10:
        return fixed(2, true);
    case 14: // m/d/yyyy (yyyy/m/d in Japan)
    case 15:
    case 16:
    case 17:
    case 27: // the Japanese built-ins: era dates, yyyy"年"m"月"d"日", yyyy"年"m"月", m"月"d"日"
    case 28:
    case 29:
    case 30:
    case 31:
    case 34:
    case 35:
    case 36:
    case 50:
    case 51:
    case 52:
    case 53:
    case 54:
    case 55:
    case 56:
    case 57:
    case 58:
        return of(Kind::Date);
    case 18: // h:mm AM/PM
    case 20: // h:mm
    case 32: // h"時"mm"分"
        return of(Kind::Time);
    case 19: // h:mm:ss AM/PM
    case 21: // h:mm:ss
    case 33: // h"時"mm"分"ss"秒"
    case 45: // mm:ss
    case 46: // [h]:mm:ss
    case 47: // mmss.0
        return of(Kind::Time, true);
    case 22: // m/d/yyyy h:mm
        return of(Kind::DateTime);
    default:
        return of(Kind::General);
    }
}

// The letters and placeholders of the first section of a format code, lower-cased, without quoted
// text, escaped characters, padding and bracketed colours or locales ([h], [mm] and [ss] stay).
QString essentials(const QString& code) {
    QString out;
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code.at(i);
        if (c == u';') {
            break;
        }
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? n : close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            const QString inside = code.mid(i + 1, (close < 0 ? n : close) - i - 1).toLower();
            bool elapsed = !inside.isEmpty();
            for (const QChar x : inside) {
                elapsed = elapsed && (x == u'h' || x == u'm' || x == u's');
            }
            if (elapsed) {
                out.append(inside);
            }
            i = close < 0 ? n : close;
        } else {
            out.append(c.toLower());
        }
    }
    return out;
}

XlsxNumberFormat custom(const QString& code) {
    const QString e = essentials(code).trimmed();
    if (e.isEmpty() || e == u"general" || e == u"@") {
        return of(Kind::General);
    }
    const bool date = e.contains(u'y') || e.contains(u'd') || e.contains(u'g');
    const bool time = e.contains(u'h') || e.contains(u's');
    const bool seconds = e.contains(u's');
    if (date && time) {
        return of(Kind::DateTime, seconds);
    }
    if (date || (e.contains(u'm') && !time)) {
        return of(Kind::Date);
    }
    if (time) {
        return of(Kind::Time, seconds);
    }
    if (e.contains(QStringLiteral("e+")) || e.contains(QStringLiteral("e-")) ||
        !(e.contains(u'0') || e.contains(u'#') || e.contains(u'?'))) {
        return of(Kind::General);
    }
    int decimals = 0;
    const qsizetype point = e.indexOf(u'.');
    if (point >= 0) {
        for (qsizetype i = point + 1; i < e.size() && (e[i] == u'0' || e[i] == u'#' || e[i] == u'?'); ++i) {
            ++decimals;
        }
    }
    return fixed(decimals, e.contains(u'%'));
}

QString general(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return QString::number(static_cast<qint64>(value));
    }
    return QString::number(value, 'g', 15);
}

QString dateText(int year, int month, int day) {
    return QString::asprintf("%04d/%02d/%02d", year, month, day);
}

QString timeText(int secondsOfDay, bool seconds) {
    const int h = secondsOfDay / 3600;
    const int m = secondsOfDay / 60 % 60;
    const int s = secondsOfDay % 60;
    return seconds ? QString::asprintf("%d:%02d:%02d", h, m, s) : QString::asprintf("%d:%02d", h, m);
}

QString dated(const QString& date, int secondsOfDay, const XlsxNumberFormat& format) {
    switch (format.kind) {
    case Kind::Time:
        return timeText(secondsOfDay, format.seconds);
    case Kind::DateTime:
        return date + u' ' + timeText(secondsOfDay, format.seconds);
    default:
        return date;
    }
}

} // namespace

XlsxNumberFormat ClassifyNumberFormat(int id, const QString& code) {
    return code.isEmpty() ? builtIn(id) : custom(code);
}

QString FormatXlsxNumber(double value, const XlsxNumberFormat& format, bool date1904) {
    if (!std::isfinite(value)) {
        return QString();
    }
    if (format.kind == Kind::General) {
        return general(value);
    }
    if (format.kind == Kind::Fixed) {
        QString text = QString::number(format.percent ? value * 100 : value, 'f', format.decimals);
        if (text.startsWith(u'-') && text.toDouble() == 0) {
            text.remove(0, 1); // a small negative number rounds to 0, not -0
        }
        return format.percent ? text + u'%' : text;
    }
    // Dates: Excel shows #### below 0 and after 9999-12-31; the plain number is more use here.
    constexpr double kLastSerial = 2958466;
    if (value < 0 || value >= kLastSerial) {
        return general(value);
    }
    const auto total = static_cast<qint64>(std::llround(value * 86400.0));
    const qint64 days = total / 86400;
    const int secondsOfDay = static_cast<int>(total % 86400);
    QString date;
    if (date1904) {
        const QDate d = QDate(1904, 1, 1).addDays(days);
        date = dateText(d.year(), d.month(), d.day());
    } else if (days == 0) {
        date = dateText(1900, 1, 0); // as Excel shows it
    } else if (days == 60) {
        date = dateText(1900, 2, 29); // the day Lotus believed in, kept by Excel
    } else {
        const QDate d = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days);
        date = dateText(d.year(), d.month(), d.day());
    }
    return dated(date, secondsOfDay, format);
}

QString FormatXlsxIsoDate(const QString& iso, const XlsxNumberFormat& format) {
    QDateTime when = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!when.isValid()) {
        when = QDateTime(QDate::fromString(iso.left(10), Qt::ISODate), QTime(0, 0));
    }
    if (!when.isValid()) {
        return iso;
    }
    const QDate d = when.date();
    const int secondsOfDay = when.time().msecsSinceStartOfDay() / 1000;
    XlsxNumberFormat shown = format;
    if (shown.kind == Kind::General || shown.kind == Kind::Fixed) {
        shown = of(secondsOfDay == 0 ? Kind::Date : Kind::DateTime, secondsOfDay % 60 != 0);
    }
    return dated(dateText(d.year(), d.month(), d.day()), secondsOfDay, shown);
}
