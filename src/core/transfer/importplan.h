#pragma once

#include "core/common/textfile.h"
#include "core/roster/roster.h"
#include "core/transfer/columnmapping.h"
#include "core/transfer/texttable.h"

#include <QList>
#include <QString>
#include <array>
#include <vector>

struct ProgramState;

// Where imported participants go.
enum class ImportMode {
    Append,  // new rows after the last row in use
    Replace, // a new roster, like 新規作成, holding only the imported rows
};

// What the user chose in the import dialog.
struct ImportOptions {
    qsizetype HeaderRow = 0; // the file's row (1-based) that holds the column names; 0: none
    ColumnMapping Mapping = IdentityMapping(0);
    ImportMode Mode = ImportMode::Append;
    bool ReplaceUnstorable = false; // replace characters the roster file cannot hold
};

// A character of an imported cell that the roster file cannot hold.
struct UnstorableCharacter {
    QString Character;   // one user-perceived character (it may be several code units)
    QString Replacement; // its look-alike in the file's encoding, or "〓"
    qsizetype SourceRow; // 1-based row of the source file
    ::RosterColumn RosterColumn;
};

// An imported cell that is not what the roster column takes as it is.
struct ImportProblem {
    qsizetype SourceRow; // 1-based row of the source file
    ::RosterColumn RosterColumn;
    QString Text; // the cell as the file has it (cut)
};

// The import worked out before anything changes: which source rows become which roster rows,
// how many do not fit, how many are skipped, and what cannot be stored. Apply carries it out.
// Only the rows after the header row are imported.
class ImportPlan {
public:
    // The 14 roster cells of an imported row.
    struct Row {
        std::array<QString, RosterTable::kColumns> Cells;

        QString& operator[](RosterColumn column) { return Cells[static_cast<size_t>(column)]; }
        const QString& operator[](RosterColumn column) const { return Cells[static_cast<size_t>(column)]; }
    };

    ImportPlan(const SourceTable& source, const ImportOptions& options, const RosterTable& roster,
               TextEncoding rosterEncoding);

    ImportMode Mode() const { return m_options.Mode; }
    qsizetype Offered() const { return m_offered; }                 // source rows with a name
    int Fitting() const { return static_cast<int>(m_rows.size()); } // rows that will be imported
    qsizetype NotFitting() const { return m_offered - Fitting(); }  // rows beyond row 300
    qsizetype SkippedNoName() const { return m_skippedNoName; }     // rows with cells but no name
    int FirstRosterRow() const { return m_firstRow; }               // roster row of the first import
    // Rows with a name that would still fit but lie beyond what was read of a very large file.
    qsizetype NotRead() const { return m_notRead; }
    TextEncoding TargetEncoding() const { return m_encoding; }
    const QList<UnstorableCharacter>& Unstorable() const { return m_unstorable; }
    // Birth dates that are not a date: 生年 keeps a four-digit year found in them, 月 and 日 stay
    // empty. One per row, in row order.
    const QList<ImportProblem>& UnreadDates() const { return m_unreadDates; }
    // Imported cells that were cut to kMaxCellLength when the file was read.
    const QList<ImportProblem>& CutCells() const { return m_cutCells; }
    // The roster cells of the fitting rows, unstorable characters replaced when the options say so.
    const std::vector<Row>& Rows() const { return m_rows; }

    // Something to import, and nothing left that the roster file cannot hold.
    bool CanApply() const;

    // Carries the plan out on the program state: appends the rows, or replaces the roster with
    // them (the roster then has no file yet, as after 新規作成, and the captions of columns 7 and 8
    // come from a header that is the roster's own). The roster is unsaved afterwards.
    void Apply(ProgramState& state) const;

    // The look-alike in CP932 of a character that CP932 cannot hold, or "〓".
    static QString Cp932Replacement(const QString& character);

private:
    QString storable(const QString& cell, qsizetype sourceRow, RosterColumn column);

    ImportOptions m_options;
    TextEncoding m_encoding;
    qsizetype m_offered = 0;
    qsizetype m_skippedNoName = 0;
    qsizetype m_notRead = 0;
    int m_firstRow = 1;
    std::vector<Row> m_rows;
    QList<UnstorableCharacter> m_unstorable;
    QList<ImportProblem> m_unreadDates;
    QList<ImportProblem> m_cutCells;
    QStringList m_header;
};

// A source cell as a roster cell: line breaks (CR LF as one) and tabs become spaces, so that the
// cell fits the roster file's lines and fields.
QString ToRosterCell(const QString& cell);
