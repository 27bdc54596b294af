// The draw's rules as tables under tests/data/draw.
#include "core/draw/drawpools.h"
#include "core/draw/effects.h"
#include "core/draw/panelgrid.h"
#include "core/draw/profile.h"
#include "core/roster/roster.h"
#include "support/fakes.h"
#include "support/ruletables.h"

#include <algorithm>

namespace {

QString Rect(const QRectF& r) {
    return QStringList{Num(r.x()), Num(r.y()), Num(r.width()), Num(r.height())}.join(u' ');
}

RosterTable rosterOf(int rows) {
    RosterTable roster;
    roster.Clear();
    for (int r = 1; r <= rows; ++r) {
        roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
    }
    return roster;
}

QString listed(const RowPool& pool) {
    QStringList rows;
    for (int p = 1; p <= pool.Count; ++p) {
        rows << QString::number(pool.At(p));
    }
    return rows.join(u',');
}

// The pools of a draw told what to do, a letter an operation (see pools.tsv); what each gave.
QString poolsDo(const QStringList& f) {
    const QStringList people = f[2].split(u' ');
    RosterTable roster = rosterOf(people[0].toInt());
    for (const QString& edit : people.mid(1)) {
        const bool nameless = edit.endsWith(u'-');
        roster.SetCell(nameless ? RosterColumn::Name : RosterColumn::Excluded, edit.chopped(1).toInt(),
                       nameless ? QString() : QStringLiteral("1"));
    }
    DrawPools pools(roster, GameModeOf(f[0].toInt()), f[1].toInt());
    ScriptedFractions random{};
    for (const QString& fraction : f[3].split(u' ')) {
        random.Push(fraction.toDouble());
    }
    QStringList out;
    for (const QString& op : f[4].split(u' ')) {
        const QStringList a = op.mid(1).split(u':');
        const int x = a[0].toInt();
        const int y = a.value(1).toInt();
        const char what = op[0].toLatin1();
        if (what == 'r' || what == 'R') {
            QStringList rows{QString::number(pools.TakeRow(random))};
            while (what == 'R' && rows.last() != u"0") {
                rows << QString::number(pools.TakeRow(random));
            }
            out << rows.join(u',');
        } else if (what == 'd') {
            const qint16 row = pools.TakeRow(random);
            out << QStringLiteral("%1:%2").arg(row).arg(pools.TakePanel(random, x, row));
        } else if (what == 'p') {
            out << QString::number(pools.TakePanel(random, x, qint16(y)));
        } else if (what == 'o') {
            out << QString::number(pools.OpenByHand(random, x));
        } else if (what == 'c') {
            out << QString::fromLatin1(pools.CloseByHand(roster, x, qint16(y)) ? "y" : "n");
        } else if (what == 's') {
            out << QString::number(pools.MenuModeSwitch(x));
        } else if (what == 'f') {
            const QString refusal = pools.Refusal(x);
            out << (refusal.isEmpty()
                        ? QStringLiteral("-")
                        : QString(refusal).replace(QStringLiteral("\r\n"), QStringLiteral("⏎")));
        } else if (what == 'N') {
            out << QStringLiteral("%1/%2").arg(pools.Candidates().Count).arg(pools.Panels().Count);
        } else {
            out << listed(what == 'C' ? pools.Candidates() : pools.Panels());
        }
    }
    return out.join(u' ');
}

Rules DrawRules() {
    return {
        {QStringLiteral("pools"), poolsDo},
        {QStringLiteral("dflag"),
         [](const QStringList& f) { return QString::number(DflagOn(f[0], IntroItem(f[1].toInt()))); }},
        {QStringLiteral("profile"),
         [](const QStringList& f) {
             RosterTable roster;
             roster.Clear();
             const RosterColumn columns[] = {RosterColumn::FavouriteWords, RosterColumn::Comment,
                                             RosterColumn::Affiliation, RosterColumn::FavouriteWords,
                                             RosterColumn::Comment};
             for (int i = 0; i < 5; ++i) {
                 if (i > 1 || !f[i + 1].isEmpty()) {
                     roster.SetCell(columns[i], i < 2 ? 0 : 1, f[i + 1]);
                 }
             }
             QStringList lines;
             for (const ProfileLine& line : BuildProfileLines(roster, 1, f[0])) {
                 lines << line.Text + (line.BlankAfter ? QStringLiteral(" ¶") : QString());
             }
             return lines.join(QStringLiteral(" | "));
         }},
        {QStringLiteral("panel_grid"),
         [](const QStringList& f) {
             const std::vector<PanelRect> last(1, PanelRect{1, 2, 3, 4});
             std::vector<PanelRect> rects = last;
             if (!LayoutPanelGrid(f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[3].toInt(),
                                  f[4].toInt(), rects)) {
                 return QString::fromLatin1(rects == last ? "kept" : "changed");
             }
             QStringList out{QStringLiteral("%1×%2").arg(rects.size()).arg(rects[0].Width)};
             for (const size_t k : {size_t(0), size_t(f[4].toInt()), rects.size() - 1}) {
                 if (k < rects.size()) {
                     out << QStringLiteral("%1,%2").arg(rects[k].Left).arg(rects[k].Top);
                 }
             }
             const bool square = std::all_of(rects.begin(), rects.end(), [&](const PanelRect& r) {
                 return r.Width == rects[0].Width && r.Height == r.Width;
             });
             return out.join(u' ') + (square ? QString() : QStringLiteral(" not all square"));
         }},
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

// A game resumed from a record with a line that could not be read has a gap among its open panels:
// no draw lands on a panel that is open, in any mode, and every panel opens once.
TEST(DrawPools, NoDrawLandsOnAnOpenPanel) {
    const RosterTable roster = rosterOf(30);
    for (int mode = 1; mode <= 4; ++mode) {
        DrawPools pools(roster, GameModeOf(mode), 9);
        std::vector<bool> open(9, false);
        // Panels 1, 3 and 4 (from 1) were read back; the line of panel 2 was not.
        for (const int k : {0, 2, 3}) {
            pools.TakeOut(static_cast<qint16>(k + 1), k);
            open[static_cast<size_t>(k)] = true;
        }
        ScriptedFractions random{0.999};
        for (int drawCount = 4; pools.Refusal(drawCount - 1).isEmpty(); ++drawCount) {
            const qint16 row = pools.TakeRow(random);
            if (row == 0) {
                break;
            }
            const int k = pools.TakePanel(random, drawCount, row);
            ASSERT_GE(k, 0) << mode;
            EXPECT_FALSE(open[static_cast<size_t>(k)]) << "mode " << mode << " panel " << k;
            if (mode == 1 && drawCount == 4) {
                EXPECT_EQ(k, 1); // the gap first: panels open in order
            }
            open[static_cast<size_t>(k)] = true;
        }
        EXPECT_EQ(std::count(open.begin(), open.end(), true), 9) << mode;
    }
}

} // namespace
