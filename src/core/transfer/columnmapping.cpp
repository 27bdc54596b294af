#include "core/transfer/columnmapping.h"

#include "core/common/blank.h"

#include <vector>

namespace {

using R = RosterTable;
using C = RosterColumn;

constexpr int index(RosterColumn column) {
    return static_cast<int>(column);
}

// A birth date in one column, to be split into 生年, 月 and 日.
constexpr int kBirthDate = R::kColumns;
constexpr int kTargets = R::kColumns + 1;

struct Keys {
    int target;                            // a roster column, or kBirthDate
    std::vector<const char16_t*> exact;    // the whole header, normalised
    std::vector<const char16_t*> contains; // a part of it
};

// In the order a header that contains several keys is claimed: the specific before the general,
// so that 会社名 is an affiliation and 好きな曲名 a song rather than a name.
const std::vector<Keys>& keyTable() {
    static const std::vector<Keys> table = {
        {kBirthDate,
         {u"生年月日", u"誕生日", u"birthday", u"birthdate", u"dateofbirth", u"dob"},
         {u"生年月日", u"誕生日", u"birthday", u"birthdate"}},
        {index(C::BirthYear), {u"生年", u"誕生年", u"生まれ年", u"年", u"birthyear", u"year"}, {}},
        {index(C::BirthMonth), {u"月", u"誕生月", u"生まれ月", u"birthmonth", u"month"}, {}},
        {index(C::BirthDay), {u"日", u"day"}, {}},
        {index(C::SongStart), {u"再生開始位置", u"開始位置", u"再生開始", u"start"}, {u"開始位置"}},
        {index(C::SongSeconds), {u"再生時間", u"playtime", u"duration"}, {u"再生時間"}},
        {index(C::FavouriteWords),
         {u"好きな言葉", u"座右の銘", u"favoritewords", u"favouritewords", u"motto"},
         {u"言葉", u"座右"}},
        {index(C::Comment),
         {u"一言", u"ひとこと", u"コメント", u"comment", u"comments", u"メッセージ", u"message"},
         {u"一言", u"ひとこと", u"コメント", u"comment"}},
        {index(C::Song), {u"好きな曲", u"曲", u"曲名", u"テーマ曲", u"song", u"music"}, {u"曲", u"song"}},
        {index(C::Photo), {u"写真", u"画像", u"photo", u"picture", u"image"}, {u"写真", u"photo", u"画像"}},
        {index(C::Excluded), {u"除外", u"抽選除外", u"exclude", u"excluded"}, {u"除外"}},
        {index(C::BloodType), {u"血液型", u"血液", u"blood", u"bloodtype"}, {u"血液", u"blood"}},
        {index(C::Birthplace),
         {u"出身地", u"出身", u"出身県", u"出身都道府県", u"birthplace", u"hometown"},
         {u"出身", u"birthplace", u"hometown"}},
        {index(C::Affiliation),
         {u"所属", u"所属先", u"所属部署", u"部署", u"部署名", u"会社", u"会社名", u"組織", u"department",
          u"dept", u"company", u"affiliation", u"organization"},
         {u"所属", u"部署", u"会社", u"department", u"company", u"affiliation"}},
        {index(C::Name),
         {u"氏名", u"名前", u"お名前", u"name", u"フルネーム", u"fullname", u"参加者名"},
         {u"氏名", u"名前", u"name"}},
    };
    return table;
}

// Marks of a reading (furigana) column, which is never the name itself.
bool isReading(const QString& key) {
    for (const char16_t* mark : {u"ふりがな", u"フリガナ", u"よみ", u"ヨミ", u"かな", u"カナ", u"kana",
                                 u"yomi", u"furigana", u"reading"}) {
        if (key.contains(QStringView(mark))) {
            return true;
        }
    }
    return false;
}

// A header as compared with the keys: compatibility forms folded (full-width letters, ㈱),
// lower case, without spaces, punctuation and remarks in brackets such as (必須).
QString normalise(const QString& header) {
    QString t = header.normalized(QString::NormalizationForm_KC).toLower();
    QString out;
    int depth = 0;
    for (const QChar c : t) {
        if (c == u'(' || c == u'[' || c == u'【' || c == u'「') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'】' || c == u'」') {
            depth = std::max(depth - 1, 0);
        } else if (depth == 0 && !c.isSpace() && !c.isPunct() && c != u'*') {
            out.append(c);
        }
    }
    return out;
}

} // namespace

ColumnMapping IdentityMapping(int sourceColumns) {
    ColumnMapping mapping;
    for (int c = 0; c < R::kColumns; ++c) {
        mapping.Source[c] = c < sourceColumns ? c : kNoSource;
    }
    return mapping;
}

bool IsRosterHeader(const QStringList& header) {
    if (header.size() < R::kColumns) {
        return false;
    }
    for (int c = 0; c < R::kColumns; ++c) {
        const C column = C(c);
        if (column != C::FavouriteWords && column != C::Comment &&
            TrimSpaces(header.at(c)) != R::DefaultCaption(column)) {
            return false;
        }
    }
    return true;
}

ColumnMapping GuessMapping(const QStringList& header, const RosterTable& roster) {
    if (IsRosterHeader(header)) {
        return IdentityMapping(R::kColumns);
    }
    std::array<int, kTargets> found;
    found.fill(kNoSource);
    std::vector<bool> claimed(header.size(), false);
    QStringList keys;
    std::vector<bool> readings; // judged with the remarks in brackets: 氏名（ふりがな）
    for (const QString& h : header) {
        keys.append(normalise(h));
        readings.push_back(isReading(h.normalized(QString::NormalizationForm_KC).toLower()));
    }
    const auto usable = [&](int target, qsizetype source) {
        return !claimed[source] && !keys.at(source).isEmpty() &&
               !(target == index(C::Name) && readings[source]);
    };
    const auto claim = [&](int target, int source) {
        found[target] = source;
        claimed[source] = true;
    };
    // The roster's own captions first: a file exported from a roster whose columns 7 and 8 were
    // renamed comes back into the same columns.
    for (int c = 0; c < R::kColumns; ++c) {
        const QString caption = normalise(roster.Cell(C(c), 0));
        for (qsizetype s = 0; s < keys.size() && !caption.isEmpty() && found[c] == kNoSource; ++s) {
            if (usable(c, s) && keys.at(s) == caption) {
                claim(c, static_cast<int>(s));
            }
        }
    }
    for (const bool exact : {true, false}) {
        for (const Keys& k : keyTable()) {
            for (qsizetype s = 0; s < keys.size() && found[k.target] == kNoSource; ++s) {
                const QString& key = keys.at(s);
                if (!usable(k.target, s)) {
                    continue;
                }
                for (const char16_t* word : exact ? k.exact : k.contains) {
                    if (exact ? key == QStringView(word) : key.contains(QStringView(word))) {
                        claim(k.target, static_cast<int>(s));
                        break;
                    }
                }
            }
        }
    }
    ColumnMapping mapping;
    for (int c = 0; c < R::kColumns; ++c) {
        mapping.Source[c] = found[c];
    }
    for (const C part : {C::BirthYear, C::BirthMonth, C::BirthDay}) {
        if (mapping[part] == kNoSource) {
            mapping[part] = found[kBirthDate];
        }
    }
    return mapping;
}

qsizetype FindHeaderRow(const SourceTable& table, const RosterTable& roster, int rows) {
    qsizetype best = 0;
    int bestScore = 0;
    for (qsizetype i = 0; i < table.Rows.size() && i < rows; ++i) {
        const ColumnMapping mapping = GuessMapping(table.Rows.at(i).Cells, roster);
        int score = mapping[C::Name] == kNoSource ? 0 : R::kColumns;
        for (const int source : mapping.Source) {
            score += source == kNoSource ? 0 : 1;
        }
        if (score > bestScore) {
            best = table.Rows.at(i).Number;
            bestScore = score;
        }
    }
    return best;
}
