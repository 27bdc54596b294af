#include "core/transfer/birthdate.h"

#include <QRegularExpression>

namespace {

// The year before the first year of each era, by the era's name or initial.
int eraBase(const QString& era) {
    static const struct {
        const char16_t* name;
        char16_t initial;
        int base;
    } eras[] = {
        {u"明治", u'm', 1867}, {u"大正", u't', 1911}, {u"昭和", u's', 1925},
        {u"平成", u'h', 1988}, {u"令和", u'r', 2018},
    };
    for (const auto& e : eras) {
        if (era == QStringView(e.name) || (era.size() == 1 && era.at(0).toLower() == QChar(e.initial))) {
            return e.base;
        }
    }
    return -1;
}

std::optional<BirthDate> checked(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0 || year > 9999) {
        return std::nullopt;
    }
    return BirthDate{year, month, day};
}

} // namespace

std::optional<BirthDate> ParseBirthDate(const QString& text) {
    static const QRegularExpression western(
        QStringLiteral(R"(^(\d{4})\s*[/\-.年]\s*(\d{1,2})\s*[/\-.月]\s*(\d{1,2})\s*日?(?:[T\s].*)?$)"));
    static const QRegularExpression era(QStringLiteral(
        R"(^(明治|大正|昭和|平成|令和|[MTSHRmtshr])\s*(\d{1,2}|元)\s*[/\-.年]\s*(\d{1,2})\s*[/\-.月]\s*(\d{1,2})\s*日?$)"));
    static const QRegularExpression compact(QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})$)"));
    static const QRegularExpression monthDay(QStringLiteral(R"(^(\d{1,2})\s*月\s*(\d{1,2})\s*日$)"));

    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.isEmpty()) {
        return std::nullopt;
    }
    if (const auto m = western.match(t); m.hasMatch()) {
        return checked(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    if (const auto m = era.match(t); m.hasMatch()) {
        const int base = eraBase(m.captured(1));
        const int year = m.captured(2) == u"元" ? 1 : m.captured(2).toInt();
        if (base < 0 || year < 1) {
            return std::nullopt;
        }
        return checked(base + year, m.captured(3).toInt(), m.captured(4).toInt());
    }
    if (const auto m = compact.match(t); m.hasMatch()) {
        const int year = m.captured(1).toInt();
        if (year < 1800 || year > 2200) {
            return std::nullopt; // eight digits that are more likely a number than a date
        }
        return checked(year, m.captured(2).toInt(), m.captured(3).toInt());
    }
    if (const auto m = monthDay.match(t); m.hasMatch()) {
        return checked(0, m.captured(1).toInt(), m.captured(2).toInt());
    }
    return std::nullopt;
}

QString FourDigitYear(const QString& text) {
    static const QRegularExpression year(QStringLiteral(R"((?<!\d)(\d{4})(?!\d))"));
    const QString t = text.normalized(QString::NormalizationForm_KC);
    for (auto it = year.globalMatch(t); it.hasNext();) {
        const QString digits = it.next().captured(1);
        const int value = digits.toInt();
        if (value >= 1800 && value <= 2200) {
            return digits;
        }
    }
    return QString();
}

bool IsYearOnly(const QString& text) {
    static const QRegularExpression year(QStringLiteral(R"(^\s*\d{4}\s*年?\s*$)"));
    return year.match(text.normalized(QString::NormalizationForm_KC)).hasMatch() &&
           !FourDigitYear(text).isEmpty();
}
