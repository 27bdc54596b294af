#pragma once

#include "core/common/textfile.h"
#include "core/roster/roster.h"

#include <QString>

// The 16 input fields of the registration screen. From the name on, a field holds one roster
// column: field = column + 2. The row number and the hidden spare field have no column.
enum class Field : int {
    RowNumber = 0,
    Spare = 1, // hidden, never stored
    Name = 2,
    BirthYear = 3,
    BirthMonth = 4,
    BirthDay = 5,
    BloodType = 6,
    Birthplace = 7,
    Affiliation = 8,
    FavouriteWords = 9,
    Comment = 10,
    Song = 11,
    SongStart = 12,
    SongSeconds = 13,
    Photo = 14,
    Excluded = 15,
};

inline constexpr int kFieldCount = 16;

constexpr Field FieldOf(RosterColumn column) {
    return Field(static_cast<int>(column) + 2);
}
// Only for the fields that hold a column (Name … Excluded).
constexpr RosterColumn ColumnOf(Field field) {
    return RosterColumn(static_cast<int>(field) - 2);
}

// How many characters the user may type into a field; 0 when unlimited.
int MaxLength(Field field);

// The text a field was designed with. Never seen (opening the screen clears every field), it is
// what F5 brings back before the first apply.
QString DesignText(Field field);

// The text with every TAB, CR and LF turned into a space: the roster file cannot hold them.
QString WithoutLineBreaks(QString text);

// What the user is told when a character the roster file cannot hold was typed, pasted or named.
QString RefusedCharacterMessage(const QString& character);

// Makes what the user typed or pasted into a field (input, cursor at cursor) fit the field: TAB,
// CR and LF become spaces; characters the encoding cannot hold are taken out, the first of them
// returned in refused; and what goes beyond the maximum length is dropped just before the cursor.
// A text longer than the maximum (a roster cell put there by the program) may shrink but not grow:
// previousLength is the field's length before the edit. False when the edit cannot be made to fit.
bool FitTypedText(Field field, QString& input, int& cursor, qsizetype previousLength, TextEncoding encoding,
                  QString& refused);
