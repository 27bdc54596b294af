#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The most of a file that an import keeps, whatever the file holds. A roster holds 300 rows of
// 14 short fields; the rest of a large file is only counted.
inline constexpr int kMaxSourceColumns = 256;       // columns offered; the rest are not read
inline constexpr int kMaxCellLength = 256;          // characters of a cell; the rest are cut
inline constexpr int kMaxKeptRows = 5000;           // rows with a cell, from the top
inline constexpr qint64 kMaxKeptBytes = 64LL << 20; // their memory, roughly
inline constexpr int kListedCuts = 100;             // cut cells remembered by place

// A table of text cells read from a spreadsheet or a delimited text file, bounded: the first rows
// that hold a cell, at most kMaxSourceColumns wide, each cell at most kMaxCellLength long. Rows
// after the kept ones are counted per column, so that an import can say how many rows of the
// file it leaves out. Rows without any cell that is not blank (blank: nothing but spaces, tabs
// and line breaks) are not kept and not counted.
struct SourceTable {
    struct Row {
        qsizetype Number = 0; // 1-based row of the file
        QStringList Cells;    // may be shorter than the table: missing cells read as empty
    };
    struct CutCell {
        qsizetype Row = 0; // 1-based row of the file
        int Column = 0;
    };

    QList<Row> Rows;
    int Width = 0;           // columns offered: the widest row, at most kMaxSourceColumns
    qsizetype FileWidth = 0; // the widest row of the file
    // Rows with a cell after the kept ones: how many, where the first is, and per column (of the
    // first Width) how many have a cell there that is not blank.
    qsizetype LaterRows = 0;
    qsizetype FirstLaterRow = 0;
    std::vector<qsizetype> LaterCells;
    QList<CutCell> Cut; // cells cut to kMaxCellLength, the first kListedCuts of them
    qsizetype CutCount = 0;

    // The cell at (index into Rows, column), or empty text.
    QString Cell(qsizetype index, int column) const;
    bool IsCut(qsizetype rowNumber, int column) const;
    qsizetype LaterCellsIn(int column) const;
};

// True when the text holds nothing but spaces, tabs and line breaks: as a roster cell (line
// breaks and tabs become spaces there) it is blank.
bool IsBlankCell(QStringView text);

// Builds a SourceTable row by row as a reader goes through a file, keeping what the bounds allow.
// A cell is taken as the roster's export wrote it: a leading apostrophe that keeps a spreadsheet
// from reading a formula is taken away (see StripFormulaGuard).
class TableBuilder {
public:
    explicit TableBuilder(SourceTable& table);

    // False once rows are only counted: a reader may then give AddLaterCell the blankness of a
    // cell instead of its text.
    bool Keeping() const { return !m_stopped; }

    // A cell of the row being read (columns from 0, in any order; a later one replaces an
    // earlier one in the same column).
    void AddCell(qsizetype column, QStringView text);
    // The same for a row that is only counted.
    void AddLaterCell(qsizetype column, bool blank);
    // Ends the row being read, the number-th of the file (1-based, increasing).
    void EndRow(qsizetype number);

private:
    SourceTable& m_table;
    QStringList m_row;
    std::vector<int> m_filled; // columns < kMaxSourceColumns of the current row with a cell
    std::vector<int> m_cut;    // columns of the current row whose cell was cut
    qsizetype m_rowWidth = 0;
    qint64 m_weight = 0;
    bool m_stopped = false;
};
