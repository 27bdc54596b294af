// The draw's rules as tables under tests/data/draw.
#include "core/draw/effects.h"
#include "core/draw/panelgrid.h"
#include "core/draw/profile.h"
#include "core/roster/roster.h"
#include "support/fakes.h"
#include "support/ruletables.h"

namespace {

QString Rect(const QRectF& r) {
    return QStringList{Num(r.x()), Num(r.y()), Num(r.width()), Num(r.height())}.join(u' ');
}

Rules DrawRules() {
    return {
        {QStringLiteral("zodiac"), [](const QStringList& f) { return ZodiacSign(f[0], f[1]); }},
        {QStringLiteral("telop"),
         [](const QStringList& f) {
             RosterTable roster;
             roster.Clear();
             roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
             const RosterColumn columns[] = {RosterColumn::BirthYear, RosterColumn::BirthMonth,
                                             RosterColumn::BirthDay, RosterColumn::Birthplace,
                                             RosterColumn::BloodType};
             for (int i = 0; i < 5; ++i) {
                 roster.SetCell(columns[i], 1, f[i]);
             }
             return BuildTelopLine(roster, 1, f[5]);
         }},
        {QStringLiteral("grid"),
         [](const QStringList& f) {
             const GridSize grid = EffectiveGrid(f[0].toInt(), f[1].toInt());
             return QStringLiteral("%1 %2").arg(grid.Cols).arg(grid.Rows);
         }},
        {QStringLiteral("animation"),
         [](const QStringList& f) {
             const AnimationParams a =
                 ChooseAnimation(f[0].toInt(), f[1].toInt(), f[2] == QStringLiteral("1"));
             return QStringLiteral("%1 %2 %3 ").arg(a.Frames).arg(a.ColourStep).arg(a.IntervalMs) +
                    Num(a.AngleStep);
         }},
        {QStringLiteral("telop_plan"),
         [](const QStringList& f) {
             ScriptedFractions random{};
             for (const QString& pick : f[0].split(u' ')) {
                 random.Push((pick.toInt() - 1) / 1000000.0); // RandomIndex gives the pick
             }
             const TelopPlan plan = PlanTelop(random, f[1].toDouble(), 1000);
             return QStringList{Num(plan.Top), Num(plan.Step), QString::number(plan.IntervalMs)}.join(u' ');
         }},
        {QStringLiteral("panel_photo"),
         [](const QStringList& f) {
             return Rect(PanelPhotoPlacement(f[0].toDouble(), f[1].toDouble(), f[2].toDouble()));
         }},
        {QStringLiteral("effect_photo"),
         [](const QStringList& f) {
             return Rect(
                 EffectPhotoPlacement(f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[3].toDouble()));
         }},
    };
}

class DrawRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DrawRule, GivesWhatTheTableSays) {
    CheckRuleCase(DrawRules(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Data, DrawRule,
                         ::testing::ValuesIn(RuleCases(QStringLiteral(MIRDA_TEST_DATA "/draw"), DrawRules())),
                         [](const auto& info) { return info.param.Name; });

} // namespace
