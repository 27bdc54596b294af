#pragma once

#include "core/roster/roster.h"
#include "core/transfer/texttable.h"

#include <QStringList>
#include <array>

// For each of the roster's 14 columns, the source column it takes its cells from, or kNoSource.
// Birth year, month and day may all take the same source column: a date there is split into its
// parts (see ParseBirthDate).
inline constexpr int kNoSource = -1;
struct ColumnMapping {
    std::array<int, RosterTable::kColumns> Source{};

    int& operator[](RosterColumn column) { return Source[static_cast<size_t>(column)]; }
    int operator[](RosterColumn column) const { return Source[static_cast<size_t>(column)]; }
    bool operator==(const ColumnMapping&) const = default;
};

// Source column i to roster column i, for the first columns of a table without a header row.
ColumnMapping IdentityMapping(int sourceColumns);

// True when a header row holds the roster's fixed captions in place, as a roster file or an
// exported roster does (the two renameable captions may differ).
bool IsRosterHeader(const QStringList& header);

// Guesses the mapping from a header row: 氏名/名前/お名前/Name/フルネーム → 氏名, a 生年月日/誕生日/
// Birthday column → 生年, 月 and 日 where there is no column of their own, 血液型/Blood, 出身地/出身/
// Birthplace, 所属/部署/会社/Department/Company, 好きな言葉, 一言/コメント/Comment, 曲/Song, 写真/Photo,
// 除外, and the roster's own captions (its renamed ones included). Exact names win over names that
// merely contain a key; each source column serves one roster column (the birth date parts aside).
ColumnMapping GuessMapping(const QStringList& header, const RosterTable& roster);

// The row (1-based number in the file) among the first rows of the table that reads most like a
// header: the one whose guess finds a name column and the most others; the first of equals. A
// title above the header and a blank line are passed over. 0 when no row names a known column.
qsizetype FindHeaderRow(const SourceTable& table, const RosterTable& roster, int rows = 30);
