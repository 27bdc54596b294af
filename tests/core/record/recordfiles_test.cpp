// The records as files: each case under tests/data/record is a record with what reading it must
// give beside it (<case>.expected), so that a new case is a file, not code.
//   cards/: "cards n", "next n", "status <number> <word|given>", "refused <line> …" (exactly the
//           lines named), "says <text>" (in what the organiser is told), "written" (the cards
//           read are written back as the very same bytes)
//   draws/: "now mode=<m>" (the game mode the screen opens with; 1 otherwise), "drawn n",
//           "draws n", "panels <panel>:<row> …" (from 1, in opening order), "unreadable <line> …",
//           "refusal <text>", "ended" (by the organiser), "none" (no game to go on with), "written"
//           (the lines read, appended one by one to a new record, give the very same bytes)
#include "core/record/cardrecord.h"
#include "core/record/drawrecord.h"
#include "support/ruletables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

QString dataFolder(const char* kind) {
    return QStringLiteral(MIRDA_TEST_DATA "/record/") + QString::fromLatin1(kind);
}

std::vector<std::string> casesIn(const char* kind) {
    std::vector<std::string> names;
    for (const QString& file : QDir(dataFolder(kind)).entryList({QStringLiteral("*.csv")}, QDir::Files)) {
        names.push_back(file.chopped(4).toStdString());
    }
    return names;
}

// The expected file as key → the rest of each line (a key may come more than once).
std::multimap<QString, QString> expected(const QString& csv) {
    QFile file(csv.chopped(4) + QStringLiteral(".expected"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << csv.toStdString();
    std::multimap<QString, QString> out;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        out.emplace(line.section(u' ', 0, 0), line.section(u' ', 1));
    }
    return out;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString one(const std::multimap<QString, QString>& e, const char* key) {
    const auto found = e.find(QString::fromLatin1(key));
    return found == e.end() ? QString() : found->second;
}

QString joined(const std::vector<qint64>& lines) {
    QStringList out;
    for (const qint64 line : lines) {
        out << QString::number(line);
    }
    return out.join(u' ');
}

class CardRecordFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CardRecordFile, ReadsAsExpected) {
    const QString path =
        dataFolder("cards") + u'/' + QString::fromStdString(GetParam()) + QStringLiteral(".csv");
    const auto e = expected(path);
    CardRecordIndex record;
    FileError error;
    const bool read = record.Refresh(path, error);
    std::vector<RecordedCard> loaded;
    FileError loadError;
    EXPECT_EQ(LoadCardRecord(path, loaded, loadError), read);

    std::vector<qint64> named;
    for (const RecordDamage& damage : record.Damage()) {
        if (named.empty() || named.back() != damage.Line) {
            named.push_back(damage.Line);
        }
    }
    EXPECT_EQ(joined(named), one(e, "refused"));
    EXPECT_EQ(read, !e.count(QStringLiteral("refused")));
    if (!read) {
        EXPECT_EQ(error.Code, 0);
        EXPECT_EQ(loadError.Text, error.Text);
    }
    for (auto [it, end] = e.equal_range(QStringLiteral("says")); it != end; ++it) {
        EXPECT_TRUE(error.Text.contains(it->second)) << error.Text.toStdString();
    }
    if (e.count(QStringLiteral("cards"))) {
        EXPECT_EQ(QString::number(record.Cards().size()), one(e, "cards"));
        EXPECT_EQ(loaded.size(), record.Cards().size());
        for (const RecordedCard& card : record.Cards()) {
            EXPECT_EQ(static_cast<int>(card.Cells.size()), card.Side * card.Side) << card.Number;
        }
    }
    if (e.count(QStringLiteral("next"))) {
        EXPECT_EQ(QString::number(record.NextNumber()), one(e, "next"));
        EXPECT_EQ(NextCardNumber(loaded), record.NextNumber());
    }
    if (e.count(QStringLiteral("written"))) {
        EXPECT_EQ(WriteCardRecord(record.Cards()), bytesOf(path));
    }
    for (auto [it, end] = e.equal_range(QStringLiteral("status")); it != end; ++it) {
        const RecordedCard* card = record.Find(it->second.section(u' ', 0, 0).toInt());
        ASSERT_NE(card, nullptr) << it->second.toStdString();
        const QString word = it->second.section(u' ', 1);
        const CardStatus status = word == QStringLiteral("未印刷") ? CardStatus::NotPrinted
                                  : word == QStringLiteral("無効") ? CardStatus::Void
                                                                   : CardStatus::Given;
        EXPECT_EQ(card->Status, status) << it->second.toStdString();
        EXPECT_EQ(FindCard(record, card->Number).Card != nullptr, status == CardStatus::Given);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CardRecordFile, ::testing::ValuesIn(casesIn("cards")),
                         [](const auto& info) { return info.param; });

class DrawRecordFile : public ::testing::TestWithParam<std::string> {};

TEST_P(DrawRecordFile, OffersTheGameExpected) {
    const QString path =
        dataFolder("draws") + u'/' + QString::fromStdString(GetParam()) + QStringLiteral(".csv");
    const auto e = expected(path);
    std::vector<qint64> unreadable;
    const std::vector<DrawRecordLine> lines = ReadDrawRecord(bytesOf(path), &unreadable);
    if (e.count(QStringLiteral("written"))) {
        QTemporaryDir dir;
        const QString again = DrawRecordPath(dir.path(), QDate(2026, 12, 7));
        EXPECT_TRUE(again.endsWith(QStringLiteral("抽選記録_20261207.csv")));
        FileError error;
        for (const DrawRecordLine& line : lines) {
            ASSERT_TRUE(AppendDrawRecord(again, line, error)) << error.Text.toStdString();
        }
        EXPECT_EQ(bytesOf(again), bytesOf(path));
    }
    const int mode = e.count(QStringLiteral("now")) ? one(e, "now").section(u'=', 1).toInt() : 1;
    const std::optional<ResumableDraw> offer = FindResumableDraw(
        lines, QStringLiteral("/rosters/Sample01.txt"), QStringLiteral("f00d"), mode, 5, 5, unreadable);
    if (e.count(QStringLiteral("none"))) {
        EXPECT_FALSE(offer);
        return;
    }
    ASSERT_TRUE(offer);
    EXPECT_EQ(QString::number(offer->Drawn), one(e, "drawn"));
    if (e.count(QStringLiteral("draws"))) {
        EXPECT_EQ(QString::number(offer->DrawCount), one(e, "draws"));
    }
    if (e.count(QStringLiteral("panels"))) {
        QStringList panels;
        for (const auto& [panel, row] : offer->Panels) {
            panels << QStringLiteral("%1:%2").arg(panel + 1).arg(row);
        }
        EXPECT_EQ(panels.join(u' '), one(e, "panels"));
    }
    EXPECT_EQ(joined(offer->UnreadableLines), one(e, "unreadable"));
    EXPECT_EQ(offer->Refusal, one(e, "refusal"));
    EXPECT_TRUE(ResumeRefusal(*offer).contains(offer->Refusal));
    EXPECT_EQ(offer->EndedByOrganiser, e.count(QStringLiteral("ended")) == 1);
    // The organiser is told which lines the game could not read.
    for (const qint64 line : offer->UnreadableLines) {
        EXPECT_TRUE(ResumeQuestion(*offer).contains(QString::number(line)));
        EXPECT_TRUE(FreshGameQuestion(*offer).contains(QString::number(line)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawRecordFile, ::testing::ValuesIn(casesIn("draws")),
                         [](const auto& info) { return info.param; });

// The card check's rules, as tables beside the records.
Rules CheckRules() {
    return {
        {QStringLiteral("same_person"),
         [](const QStringList& f) { return QString::number(SamePerson(f[0], f[1]) ? 1 : 0); }},
        {QStringLiteral("typed_number"),
         [](const QStringList& f) {
             const TypedCardNumber read = ReadTypedCardNumber(f[0]);
             return read.Refusal.isEmpty()
                        ? QString::number(read.Number)
                        : read.Refusal + (read.Number != 0 ? QStringLiteral(" and a number") : QString());
         }},
        {QStringLiteral("verdict"),
         [](const QStringList& f) {
             RecordedCard card;
             card.Side = f[0].toInt();
             for (int k = 0; k < card.Side * card.Side; ++k) {
                 const bool centre = k == card.Side * card.Side / 2;
                 card.Cells.push_back(
                     centre && f[1] == QStringLiteral("1")
                         ? RecordedCell{0, QStringLiteral("★"), true}
                         : RecordedCell{static_cast<qint16>(k + 1), QString::number(k + 1), centre});
             }
             std::set<qint16> drawn;
             for (const QString& row : f[2].split(u' ', Qt::SkipEmptyParts)) {
                 drawn.insert(static_cast<qint16>(row.toInt()));
             }
             const CardVerdict v = CheckCard(card, drawn);
             return QStringLiteral("%1 %2 ").arg(v.Lines).arg(v.Reaches) + v.Words;
         }},
    };
}

class CheckRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(CheckRule, GivesWhatTheTableSays) {
    CheckRuleCase(CheckRules(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Data, CheckRule,
                         ::testing::ValuesIn(RuleCases(QStringLiteral(MIRDA_TEST_DATA "/record"),
                                                       CheckRules())),
                         [](const auto& info) { return info.param.Name; });

} // namespace
