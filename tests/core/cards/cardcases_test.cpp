// The cards' rules as tables under tests/data/cards.
#include "core/cards/cardcontents.h"
#include "core/cards/cardgeometry.h"
#include "core/cards/cardsettings.h"
#include "core/common/platform.h"
#include "core/roster/roster.h"
#include "support/fakes.h"
#include "support/ruletables.h"

#include <tuple>

namespace {

// A normal card filled over the rows named ("a-b" for a to b) but one excluded, at one random
// fraction: its rows line by line, ★ where no participant was drawn, a run of one row as row×count.
QString filled(const QStringList& f) {
    RosterTable roster;
    roster.Clear();
    for (const QString& rows : f[0].split(u' ', Qt::SkipEmptyParts)) {
        for (int row = rows.section(u'-', 0, 0).toInt(); row <= rows.section(u'-', -1).toInt(); ++row) {
            roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
        }
    }
    roster.SetCell(RosterColumn::Excluded, f[1].toInt(), QStringLiteral("1"));
    const int n = f[2].toInt();
    QStringList cells(n * n, QStringLiteral("★"));
    ScriptedFractions random{f[4].toDouble()};
    const bool any = FillNormalCard(
        roster, QStringLiteral("pics"), random, n, qint16(f[3].toInt()),
        [&](int i, int j, const CellContent& content) { cells[(i - 1) * n + j - 1] = content.Text.mid(3); });
    QStringList lines;
    for (int i = 0; i < n; ++i) {
        lines << cells.mid(i * n, n).join(u' ');
    }
    const QString all = lines.join(QStringLiteral(" / "));
    return !any                                 ? QStringLiteral("nothing")
           : cells.count(cells[0]) == n * n - 1 ? cells[0] + QStringLiteral("×%1").arg(n * n - 1)
                                                : all;
}

Rules CardRules() {
    return {
        {QStringLiteral("fill"), filled},
        // The centre of a card for a row: its name and photo, nothing for a row out of the table.
        {QStringLiteral("centre"),
         [](const QStringList& f) {
             RosterTable roster;
             roster.Clear();
             roster.SetCell(RosterColumn::Name, 7, QStringLiteral(" 山田　太郎 "));
             roster.SetCell(RosterColumn::Photo, 7, QStringLiteral("P07.JPG"));
             roster.SetCell(RosterColumn::Photo, 8, QStringLiteral("P08.JPG")); // a photo without a name
             roster.SetCell(RosterColumn::Name, 9, QStringLiteral("写真なし"));
             roster.SetCell(RosterColumn::Name, 300, QStringLiteral("最後"));
             const CellContent c = CentreContent(roster, QStringLiteral("pics"), qint16(f[0].toInt()));
             return QStringLiteral("[%1] [%2]").arg(c.Text, c.PhotoPath);
         }},
        {QStringLiteral("origins"),
         [](const QStringList& f) {
             const PaperLayout& layout = PaperLayouts().at(f[0].toUInt());
             const MmPoint page = PageSize(layout);
             QStringList out{Num(ToMillimetres(page.X)) + u'x' + Num(ToMillimetres(page.Y))};
             for (const MmPoint& o : CardOrigins(layout)) {
                 out << Num(ToMillimetres(o.X)) + u',' + Num(ToMillimetres(o.Y));
             }
             return out.join(u' ');
         }},
        {QStringLiteral("centre_row"),
         [](const QStringList& f) {
             RosterTable roster;
             roster.Clear();
             for (const QString& row : f[1].split(u' ', Qt::SkipEmptyParts)) {
                 roster.SetCell(RosterColumn::Name, row.toInt(), QStringLiteral("参加者") + row);
             }
             const qint16 designated = static_cast<qint16>(f[2].toInt());
             qint16 counter = StartCounter(designated);
             QStringList centres;
             for (int card = 0; card < f[3].toInt(); ++card) {
                 centres << QString::number(
                     ChooseCentreRow(CentreOption(f[0].toInt()), designated, roster, counter));
             }
             return centres.join(u' ') + QStringLiteral(" / ") + QString::number(counter);
         }},
        {QStringLiteral("run_values"),
         [](const QStringList& f) {
             CardControlTexts controls;
             controls.SheetsText = f[0];
             controls.DesignatedRowText = f[1];
             for (int i = 0; i < 3; ++i) {
                 controls.CentreSelected[static_cast<size_t>(i)] = f[2].at(i) == u'1';
             }
             CardRunValues v;
             QString error;
             const bool read = ReadRunValues(controls, v, error);
             const QString centre = QString::number(static_cast<int>(v.Centre));
             // A refusal is said, and nothing else read; a run read says nothing.
             return read ? QStringLiteral("%1 %2 %3%4").arg(v.Sheets).arg(v.DesignatedRow).arg(centre, error)
                         : error + u' ' + centre;
         }},
        {QStringLiteral("frames"),
         [](const QStringList& f) { return QString::number(ReadFramesPerSide(f[0])); }},
        {QStringLiteral("layout"),
         [](const QStringList& f) { return QString::number(ReadPaperLayout(f[0])); }},
        {QStringLiteral("text_colour"), [](const QStringList& f) { return ReadTextColour(f[0]).name(); }},
        {QStringLiteral("divide"),
         [](const QStringList& f) {
             return QString::number(DivideUnits(f[0].toLongLong(), f[1].toLongLong()));
         }},
        {QStringLiteral("cell_photo"),
         [](const QStringList& f) {
             const MmRect r = PlacePhoto(1000, 2000, 80000, f[0].toDouble(), f[1].toDouble());
             return QStringLiteral("%1 %2 %3 %4").arg(r.X).arg(r.Y).arg(r.Width).arg(r.Height);
         }},
    };
}

class CardRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(CardRule, GivesWhatTheTableSays) {
    CheckRuleCase(CardRules(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Data, CardRule,
                         ::testing::ValuesIn(RuleCases(QStringLiteral(MIRDA_TEST_DATA "/cards"),
                                                       CardRules())),
                         [](const auto& info) { return info.param.Name; });

// Told by row, a fill draws the same participants into the same cells with the same random
// draws: a numbered card is the card an unnumbered run would print.
TEST(CardContents, FillByRowsGivesTheCellsOfTheFill) {
    const struct {
        int named;
        int n;
        qint16 centre;
        std::uint32_t seed;
    } cases[] = {{30, 5, 0, 1}, {10, 5, 3, 2}, {300, 9, 150, 3}, {5, 7, 0, 4}, {1, 3, 1, 5}, {0, 3, 0, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.named << " named, " << c.n << " × " << c.n << ", seed " << c.seed);
        RosterTable roster;
        roster.Clear();
        for (int row = 1; row <= c.named; ++row) {
            roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
        }
        roster.SetCell(RosterColumn::Photo, 2, QStringLiteral("two.jpg"));
        ClockSeededFractions drawn(c.seed);
        ClockSeededFractions told(c.seed);
        std::vector<std::tuple<int, int, CellContent>> cells;
        const bool filled = FillNormalCard(
            roster, QStringLiteral("pics"), drawn, c.n, c.centre,
            [&](int i, int j, const CellContent& content) { cells.emplace_back(i, j, content); });
        std::vector<std::tuple<int, int, CellContent>> byRows;
        EXPECT_EQ(FillNormalCardRows(roster, told, c.n, c.centre,
                                     [&](int i, int j, qint16 row) {
                                         byRows.emplace_back(i, j,
                                                             RowContent(roster, QStringLiteral("pics"), row));
                                     }),
                  filled);
        EXPECT_EQ(byRows, cells);
        EXPECT_EQ(drawn.NextFraction(), told.NextFraction()); // as many draws taken
    }
}

} // namespace
