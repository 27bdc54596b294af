#include "core/programstate.h"
#include "core/transfer/importplan.h"

#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

SourceTable tableOf(const QList<QStringList>& rows) {
    SourceTable table;
    TableBuilder builder(table);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
            builder.AddCell(c, rows.at(r).at(c));
        }
        builder.EndRow(r + 1);
    }
    return table;
}

SourceTable participants(int count) {
    QList<QStringList> rows{QStringList{QStringLiteral("氏名"), QStringLiteral("所属")}};
    for (int i = 1; i <= count; ++i) {
        rows.append(QStringList{QStringLiteral("参加者%1").arg(i), QStringLiteral("総務")});
    }
    return tableOf(rows);
}

ImportOptions options(const SourceTable& table, ImportMode mode) {
    ImportOptions o;
    o.HeaderRow = 1;
    o.Mapping = GuessMapping(table.Rows.first().Cells, R());
    o.Mode = mode;
    return o;
}

ProgramState stateWithRows(std::initializer_list<int> rows) {
    ProgramState state;
    state.Roster.Clear();
    for (const int r : rows) {
        state.Roster.SetCell(C::Name, r, QStringLiteral("既存%1").arg(r));
    }
    state.Settings.RosterFilePath = QStringLiteral("/data/roster.txt");
    return state;
}

struct CapacityCase {
    const char* what;
    ImportMode mode;
    std::vector<int> used; // rows in use before the import
    int first, fitting, notFitting;
};

class ImportCapacityTest : public testing::TestWithParam<CapacityCase> {};

TEST_P(ImportCapacityTest, NeverBeyondRow300) {
    const CapacityCase& c = GetParam();
    ProgramState state = stateWithRows({});
    for (const int r : c.used) {
        state.Roster.SetCell(C::Name, r, QStringLiteral("既存%1").arg(r));
    }
    const SourceTable source = participants(301);
    const ImportPlan plan(source, options(source, c.mode), state.Roster, state.RosterEncoding);
    EXPECT_EQ(plan.Offered(), 301) << c.what;
    EXPECT_EQ(plan.FirstRosterRow(), c.first) << c.what;
    EXPECT_EQ(plan.Fitting(), c.fitting) << c.what;
    EXPECT_EQ(plan.NotFitting(), c.notFitting) << c.what;
    EXPECT_EQ(plan.SkippedNoName(), 0) << c.what;
    EXPECT_EQ(plan.CanApply(), c.fitting > 0) << c.what;

    const RosterTable before = state.Roster;
    plan.Apply(state);
    EXPECT_TRUE(state.RosterModified);
    for (int r = 1; r < c.first; ++r) {
        EXPECT_EQ(state.Roster.Cell(C::Name, r), before.Cell(C::Name, r)) << c.what << " row " << r;
    }
    for (int i = 0; i < c.fitting; ++i) {
        EXPECT_EQ(state.Roster.Cell(C::Name, c.first + i), QStringLiteral("参加者%1").arg(i + 1)) << c.what;
        EXPECT_EQ(state.Roster.Cell(C::Affiliation, c.first + i), QStringLiteral("総務")) << c.what;
    }
    if (c.fitting > 0) {
        EXPECT_TRUE(state.Roster.IsInUse(R::kCapacity)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImportCapacityTest,
    testing::Values(CapacityCase{"into an empty roster", ImportMode::Append, {}, 1, 300, 1},
                    // New rows go after the last row in use; the gap at row 4 stays.
                    CapacityCase{"after rows 1-3 and 5", ImportMode::Append, {1, 2, 3, 5}, 6, 295, 6},
                    CapacityCase{"into a full roster", ImportMode::Append, {300}, 301, 0, 301},
                    CapacityCase{"replacing a roster", ImportMode::Replace, {1, 2, 300}, 1, 300, 1}));

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

TEST(ImportPlan, SkipsRowsWithoutAName) {
    const SourceTable source = tableOf({
        {QStringLiteral("氏名"), QStringLiteral("所属")},
        {QStringLiteral("山田"), QStringLiteral("総務")},
        {QStringLiteral("   "), QStringLiteral("営業")},    // spaces only
        {QStringLiteral("\t\r\n"), QStringLiteral("人事")}, // becomes spaces
        {QStringLiteral("　"), QStringLiteral("経理")}, // an ideographic space is a name, as in the roster
        {QString(), QString()},                         // an empty line counts for nothing
        {},
        {QString(), QStringLiteral("広報")},
        {QStringLiteral(" 川口 "), QString()},
    });
    ProgramState state = stateWithRows({});
    const ImportPlan plan(source, options(source, ImportMode::Append), state.Roster, state.RosterEncoding);
    EXPECT_EQ(plan.Offered(), 3);
    EXPECT_EQ(plan.SkippedNoName(), 3);
    plan.Apply(state);
    EXPECT_TRUE(state.Roster.IsInUse(2));
    EXPECT_EQ(state.Roster.Cell(C::Name, 3), QStringLiteral(" 川口 ")); // kept as it is
    EXPECT_FALSE(state.Roster.IsInUse(4));

    // Without a name column nothing can be imported: every row with a cell is skipped.
    ImportOptions noName = options(source, ImportMode::Append);
    noName.Mapping[C::Name] = kNoSource;
    const ImportPlan none(source, noName, state.Roster, state.RosterEncoding);
    EXPECT_EQ(none.Offered(), 0);
    EXPECT_EQ(none.SkippedNoName(), 6);
    EXPECT_FALSE(none.CanApply());
}

TEST(ImportPlan, WithoutAHeaderRowTheFirstRowIsData) {
    const SourceTable source =
        tableOf({{QStringLiteral("山田"), QStringLiteral("1990")}, {QStringLiteral("川口")}});
    ImportOptions o;
    o.Mapping = IdentityMapping(2);
    ProgramState state; // a roster never loaded: no captions yet
    const ImportPlan plan(source, o, state.Roster, state.RosterEncoding);
    EXPECT_EQ(plan.Fitting(), 2);
    plan.Apply(state);
    EXPECT_EQ(state.Roster.Cell(C::Name, 1), QStringLiteral("山田"));
    EXPECT_EQ(state.Roster.Cell(C::BirthYear, 1), QStringLiteral("1990"));
    EXPECT_EQ(state.Roster.Cell(C::Name, 0), QStringLiteral("氏名")); // the file gets its caption line
    EXPECT_EQ(state.Roster.Cell(C::Excluded, 0), QStringLiteral("除外"));
}

struct UnstorableCase {
    const char* what;
    ImportMode mode;
    TextEncoding rosterEncoding;
    bool listed;
};

class UnstorableTest : public testing::TestWithParam<UnstorableCase> {};

TEST_P(UnstorableTest, ListsThenReplaces) {
    const UnstorableCase& c = GetParam();
    const SourceTable source = tableOf({
        {QStringLiteral("氏名"), QStringLiteral("一言")},
        {QStringLiteral("𠮷田"), QStringLiteral("よろしく〜")},
        {QStringLiteral("髙橋"), QStringLiteral("か\u3099んはる①")}, // が spelt with a combining mark
        {QStringLiteral("x"), QStringLiteral("👍🏽")},           // one character of two code points
    });
    ProgramState state = stateWithRows({});
    state.RosterEncoding = c.rosterEncoding;
    ImportOptions o = options(source, c.mode);
    const ImportPlan listing(source, o, state.Roster, state.RosterEncoding);
    if (!c.listed) {
        EXPECT_TRUE(listing.Unstorable().isEmpty()) << c.what;
        EXPECT_TRUE(listing.CanApply()) << c.what;
        return;
    }
    ASSERT_EQ(listing.Unstorable().size(), 3) << c.what;
    const UnstorableCharacter& yoshi = listing.Unstorable().at(0);
    EXPECT_EQ(yoshi.Character, QStringLiteral("𠮷"));
    EXPECT_EQ(yoshi.Replacement, QStringLiteral("〓"));
    EXPECT_EQ(yoshi.SourceRow, 2);
    EXPECT_EQ(yoshi.RosterColumn, C::Name);
    const UnstorableCharacter& wave = listing.Unstorable().at(1);
    EXPECT_EQ(wave.Character, QStringLiteral("〜"));
    EXPECT_EQ(wave.Replacement, QStringLiteral("～"));
    EXPECT_EQ(wave.RosterColumn, C::Comment);
    EXPECT_EQ(listing.Unstorable().at(2).Character, QStringLiteral("👍🏽"));
    EXPECT_EQ(listing.Unstorable().at(2).SourceRow, 4);
    EXPECT_FALSE(listing.CanApply()) << c.what;

    o.ReplaceUnstorable = true;
    const ImportPlan replacing(source, o, state.Roster, state.RosterEncoding);
    ASSERT_TRUE(replacing.CanApply());
    EXPECT_EQ(replacing.Rows().at(0)[C::Name], QStringLiteral("〓田"));
    EXPECT_EQ(replacing.Rows().at(0)[C::Comment], QStringLiteral("よろしく～"));
    EXPECT_EQ(replacing.Rows().at(1)[C::Comment], QStringLiteral("がんはる①"));
    EXPECT_EQ(replacing.Rows().at(2)[C::Comment], QStringLiteral("〓"));
    replacing.Apply(state);
    EXPECT_TRUE(state.Roster.UnencodableCells(state.RosterEncoding).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, UnstorableTest,
    testing::Values(UnstorableCase{"CP932 roster", ImportMode::Append, TextEncoding::Cp932, true},
                    UnstorableCase{"UTF-8 roster, appending", ImportMode::Append, TextEncoding::Utf8, false},
                    UnstorableCase{"UTF-8 roster replaced by a new CP932 one", ImportMode::Replace,
                                   TextEncoding::Utf8, true}));

TEST(ImportPlan, LookAlikesFitCp932) {
    for (const char16_t c :
         {u'\u301C', u'\u2016', u'\u2212', u'\u2014', u'\u00A2', u'\u00A3', u'\u00AC', u'\u00A0'}) {
        const QString character(QChar{c});
        EXPECT_FALSE(FitsCp932(character)) << int(c);
        const QString twin = ImportPlan::Cp932Replacement(character);
        EXPECT_NE(twin, QStringLiteral("〓")) << int(c);
        EXPECT_TRUE(FitsCp932(twin)) << int(c);
    }
}

} // namespace
