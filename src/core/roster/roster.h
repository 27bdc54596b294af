#pragma once

#include "core/common/blank.h"
#include "core/common/textfile.h"

#include <QString>
#include <array>
#include <vector>

class QIODevice;

// The roster's 14 columns, in file order. Slot 0 of each holds its caption.
enum class RosterColumn : int {
    Name = 0,
    BirthYear = 1,
    BirthMonth = 2,
    BirthDay = 3,
    BloodType = 4,
    Birthplace = 5,
    Affiliation = 6,
    FavouriteWords = 7, // caption renamable
    Comment = 8,        // caption renamable
    Song = 9,
    SongStart = 10,
    SongSeconds = 11,
    Photo = 12,
    Excluded = 13,
};

// The participant table: 14 text columns, slots 0 to 300. Slot 0 of each column holds the
// column's caption, slots 1 to 300 the participants; the slot number is the registration number.
class RosterTable {
public:
    static constexpr int kColumns = 14;
    static constexpr int kCapacity = 300;
    static constexpr int kSlots = kCapacity + 1;

    // The fixed caption of a column.
    static QString DefaultCaption(RosterColumn column);

    const QString& Cell(RosterColumn column, int row) const { return m_cells[row][static_cast<int>(column)]; }
    void SetCell(RosterColumn column, int row, const QString& text) {
        m_cells[row][static_cast<int>(column)] = text;
    }

    // A row is in use when its name is not blank (only ASCII spaces count as blank).
    bool IsInUse(int row) const { return !IsBlank(Cell(RosterColumn::Name, row)); }

    // Slot 0 := the fixed captions; every participant cell := empty.
    void Clear();

    // Replaces the table with the content of a roster file. Line 1 goes to slot 0, line n + 1 to
    // row n; lines beyond row 300 and fields beyond the 14th are ignored. Returns how many of the
    // ignored lines name a participant.
    int Parse(const QString& text);

    // The file text of the table: every row in use (slot 0 included once captions are set), one
    // line each, TAB-separated, CR LF ended. A TAB or CR inside a cell is written as a space.
    QString Serialize() const;

    // A cell of a row in use holding a character the encoding cannot store.
    struct UnencodableCell {
        int Row;
        RosterColumn Column;
        QString Character; // the first such character (two code units for one beyond U+FFFF)
    };
    // Every such cell, in file order; empty when all fit.
    std::vector<UnencodableCell> UnencodableCells(TextEncoding encoding) const;
    // Replaces every character the encoding cannot store, in rows in use, by replacement.
    void ReplaceUnencodable(TextEncoding encoding, const QString& replacement);

private:
    std::array<std::array<QString, kColumns>, kSlots> m_cells;
};
