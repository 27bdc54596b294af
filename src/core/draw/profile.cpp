#include "core/draw/profile.h"

#include "core/common/blank.h"
#include "core/common/numeric.h"
#include "core/roster/roster.h"

#include <algorithm>
#include <cmath>

bool DflagOn(const QString& dflag, IntroItem item) {
    const int k = static_cast<int>(item);
    return k >= 1 && k <= dflag.size() && dflag.at(k - 1) == u'1';
}

QString ZodiacSign(const QString& month, const QString& day) {
    qint16 k = 0;
    qint16 converted = 0;
    if (ToInt16(NumericValue(month) * 100 + NumericValue(day), converted)) {
        k = converted;
    }
    static const struct {
        int from;
        int to;
        const char16_t* sign;
    } table[] = {
        {321, 419, u"おひつじ座"},  {420, 520, u"おうし座"},   {521, 621, u"ふたご座"},
        {622, 722, u"かに座"},      {723, 822, u"しし座"},     {823, 922, u"おとめ座"},
        {923, 1023, u"てんびん座"}, {1024, 1121, u"さそり座"}, {1122, 1221, u"いて座"},
        {1222, 1231, u"やぎ座"},    {101, 119, u"やぎ座"},     {120, 218, u"みずがめ座"},
        {219, 320, u"うお座"},
    };
    for (const auto& range : table) {
        if (k >= range.from && k <= range.to) {
            return QString::fromUtf16(range.sign);
        }
    }
    return {};
}

QString BuildTelopLine(const RosterTable& roster, int r, const QString& dflag) {
    const QString year = TrimSpaces(roster.Cell(RosterColumn::BirthYear, r));
    const QString month = TrimSpaces(roster.Cell(RosterColumn::BirthMonth, r));
    const QString day = TrimSpaces(roster.Cell(RosterColumn::BirthDay, r));
    QString s;
    if (DflagOn(dflag, IntroItem::BirthDate) && (!year.isEmpty() || !month.isEmpty() || !day.isEmpty())) {
        s += year + u'.' + month + u'.' + day + QStringLiteral("生 ");
    }
    const QString place = TrimSpaces(roster.Cell(RosterColumn::Birthplace, r));
    if (DflagOn(dflag, IntroItem::Birthplace) && !place.isEmpty()) {
        s += place + QStringLiteral(" 出身  ");
    }
    bool bloodShown = false;
    if (DflagOn(dflag, IntroItem::BloodType) && !IsBlank(roster.Cell(RosterColumn::BloodType, r))) {
        s += roster.Cell(RosterColumn::BloodType, r) + QStringLiteral("型 ");
        bloodShown = true;
    }
    const QString sign = ZodiacSign(month, day);
    if (!sign.isEmpty() && !s.isEmpty()) {
        s += bloodShown ? QStringLiteral("の ") + sign : sign;
    }
    return s;
}

std::vector<ProfileLine> BuildProfileLines(const RosterTable& roster, int r, const QString& dflag) {
    std::vector<ProfileLine> lines;
    const QString affiliation = TrimSpaces(roster.Cell(RosterColumn::Affiliation, r));
    if (DflagOn(dflag, IntroItem::Affiliation) && !affiliation.isEmpty()) {
        lines.push_back({affiliation + QStringLiteral(" 所属"), true});
    }
    const QString words = TrimSpaces(roster.Cell(RosterColumn::FavouriteWords, r));
    if (DflagOn(dflag, IntroItem::FavouriteWords) && !words.isEmpty()) {
        lines.push_back(
            {u'[' + TrimSpaces(roster.Cell(RosterColumn::FavouriteWords, 0)) + QStringLiteral("]:") + words,
             true});
    }
    const QString comment = TrimSpaces(roster.Cell(RosterColumn::Comment, r));
    if (DflagOn(dflag, IntroItem::Comment) && !comment.isEmpty()) {
        lines.push_back(
            {u'[' + TrimSpaces(roster.Cell(RosterColumn::Comment, 0)) + QStringLiteral("]:") + comment,
             false});
    }
    return lines;
}

double RelativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool TextIsWhiteOn(const QColor& background) {
    return ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background);
}
