#pragma once

#include "core/common/textfile.h"
#include "core/roster/roster.h"

#include <vector>

class QIODevice;
class MessageSink;
struct ProgramState;

// What reading a roster file found besides the table.
struct RosterFileReport {
    TextEncoding Encoding = TextEncoding::Cp932;
    int RowsNotRead = 0;       // participants beyond the 300th, left out of the table
    qsizetype Undecodable = 0; // CP932 bytes that were not part of a character
    qsizetype NonAscii = 0;    // bytes that are not ASCII
    bool HasNul = false;

    // Plainly not a roster: a NUL byte (a binary file), or most of it not text.
    bool PlainlyNotText() const { return HasNul || (NonAscii > 0 && Undecodable * 2 > NonAscii); }
};

// Reads the bytes of a roster file into the table (which is cleared first).
RosterFileReport ReadRoster(const QByteArray& bytes, RosterTable& roster);
void ReadRoster(QIODevice& device, RosterTable& roster, TextEncoding& encoding);

// The cells that the encoding cannot store, and the question that offers to replace them.
std::vector<RosterTable::UnencodableCell> UnencodableCells(const RosterTable& roster, TextEncoding encoding);
QString ReplaceUnencodableQuestion(const RosterTable& roster,
                                   const std::vector<RosterTable::UnencodableCell>& cells);
// What stands for a character the roster file cannot hold once the user agrees to replace it.
inline QString UnencodableReplacement() {
    return QStringLiteral("〓");
}

// Writes the table to a device. Returns false with a message text when a cell cannot be stored
// in the encoding or the device refuses the bytes; nothing is written in the first case.
bool WriteRoster(QIODevice& device, const RosterTable& roster, TextEncoding encoding, QString& error);

// Slot 0 := the fixed captions, rows 1 to 300 := empty. The file path and the modified flag stay.
void ClearRoster(ProgramState& state);

// Loads Settings.RosterFilePath. A file that cannot be read is reported with the system's error
// number and leaves the table cleared; participants beyond the 300th are reported as not read.
// The modified flag becomes false.
void LoadRoster(ProgramState& state, MessageSink& messages);

// Writes the table to Settings.RosterFilePath safely: a failed save leaves the previous file
// whole and is reported with the system's error. On success the modified flag becomes false; on
// failure it is set, as the table is not on disk. A table holding characters the file cannot
// hold is refused before anything is written (the screens offer to replace them first).
bool SaveRoster(ProgramState& state, MessageSink& messages);
