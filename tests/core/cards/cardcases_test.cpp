// The cards' rules as tables under tests/data/cards.
#include "core/cards/cardcontents.h"
#include "core/cards/cardgeometry.h"
#include "core/cards/cardsettings.h"
#include "core/roster/roster.h"
#include "support/ruletables.h"

namespace {

Rules CardRules() {
    return {
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

} // namespace
