#include "core/programstate.h"
#include "core/transfer/importplan.h"

#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

// A header and the given number of participants, all in 総務.
SourceTable participants(int count) {
    SourceTable table;
    TableBuilder builder(table);
    for (int i = 0; i <= count; ++i) {
        builder.AddCell(0, i == 0 ? QStringLiteral("氏名") : QStringLiteral("参加者%1").arg(i));
        builder.AddCell(1, i == 0 ? QStringLiteral("所属") : QStringLiteral("総務"));
        builder.EndRow(i + 1);
    }
    return table;
}

ImportOptions options(const SourceTable& table, ImportMode mode) {
    ImportOptions o;
    o.HeaderRow = 1;
    o.Mapping = GuessMapping(table.Rows.first().Cells, R());
    o.Mode = mode;
    return o;
}

ProgramState stateWithRows(const std::vector<int>& rows) {
    ProgramState state;
    state.Roster.Clear();
    for (const int r : rows) {
        state.Roster.SetCell(C::Name, r, QStringLiteral("既存%1").arg(r));
    }
    state.Settings.RosterFilePath = QStringLiteral("/data/roster.txt");
    return state;
}

// New rows go after the last row in use (a gap stays) and never beyond row 300.
TEST(ImportPlan, NeverBeyondRow300) {
    const struct {
        ImportMode mode;
        std::vector<int> used; // rows in use before the import
        int first, fitting, notFitting;
    } cases[] = {{ImportMode::Append, {}, 1, 300, 1},
                 {ImportMode::Append, {1, 2, 3, 5}, 6, 295, 6},
                 {ImportMode::Append, {300}, 301, 0, 301},
                 {ImportMode::Replace, {1, 2, 300}, 1, 300, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.used.size() << " rows in use, first " << c.first);
        ProgramState state = stateWithRows(c.used);
        const SourceTable source = participants(301);
        const ImportPlan plan(source, options(source, c.mode), state.Roster, state.RosterEncoding);
        EXPECT_EQ(plan.Offered(), 301);
        EXPECT_EQ(plan.FirstRosterRow(), c.first);
        EXPECT_EQ(plan.Fitting(), c.fitting);
        EXPECT_EQ(plan.NotFitting(), c.notFitting);
        EXPECT_EQ(plan.CanApply(), c.fitting > 0);

        const RosterTable before = state.Roster;
        plan.Apply(state);
        EXPECT_TRUE(state.RosterModified);
        for (int r = 1; r < c.first; ++r) {
            EXPECT_EQ(state.Roster.Cell(C::Name, r), before.Cell(C::Name, r)) << "row " << r;
        }
        for (int i = 0; i < c.fitting; ++i) {
            EXPECT_EQ(state.Roster.Cell(C::Name, c.first + i), QStringLiteral("参加者%1").arg(i + 1));
            EXPECT_EQ(state.Roster.Cell(C::Affiliation, c.first + i), QStringLiteral("総務"));
        }
        EXPECT_TRUE(state.Roster.IsInUse(R::kCapacity)); // filled to the last row, or full before
    }
}

TEST(ImportPlan, ReplacingMakesANewRoster) {
    ProgramState state = stateWithRows({1, 2, 3, 4});
    state.Roster.SetCell(C::Comment, 0, QStringLiteral("抱負"));
    state.RosterEncoding = TextEncoding::Utf8;
    const SourceTable source = participants(2);
    const ImportPlan plan(source, options(source, ImportMode::Replace), state.Roster, state.RosterEncoding);
    plan.Apply(state);
    EXPECT_EQ(state.Roster.Cell(C::Name, 2), QStringLiteral("参加者2"));
    EXPECT_FALSE(state.Roster.IsInUse(3));
    EXPECT_FALSE(state.Roster.IsInUse(4));
    EXPECT_EQ(state.Roster.Cell(C::Comment, 0), QStringLiteral("一言"));
    EXPECT_TRUE(state.Settings.RosterFilePath.isEmpty()); // saved only under a name the user gives
    EXPECT_EQ(state.RosterEncoding, TextEncoding::Cp932);
    EXPECT_TRUE(state.RosterModified);
}

TEST(ImportPlan, ARosterNeverLoadedGetsItsCaptionLine) {
    const SourceTable source = participants(1);
    ProgramState state;
    const ImportPlan plan(source, options(source, ImportMode::Append), state.Roster, state.RosterEncoding);
    plan.Apply(state);
    EXPECT_EQ(state.Roster.Cell(C::Name, 1), QStringLiteral("参加者1"));
    EXPECT_EQ(state.Roster.Cell(C::Name, 0), QStringLiteral("氏名"));
    EXPECT_EQ(state.Roster.Cell(C::Excluded, 0), QStringLiteral("除外"));
}

} // namespace
