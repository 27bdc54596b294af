#pragma once

#include "core/common/textfile.h"
#include "core/roster/roster.h"

class QIODevice;
class MessageSink;
struct ProgramState;

// Reads a roster file from a device into the table (which is cleared first).
void ReadRoster(QIODevice& device, RosterTable& roster, TextEncoding& encoding);

// The message naming the first cell that the encoding cannot store; empty when all fit.
QString UnencodableCellMessage(const RosterTable& roster, TextEncoding encoding);

// Writes the table to a device. Returns false with a message text when a cell cannot be stored
// in the encoding or the device refuses the bytes; nothing is written in the first case.
bool WriteRoster(QIODevice& device, const RosterTable& roster, TextEncoding encoding, QString& error);

// Slot 0 := the fixed captions, rows 1 to 300 := empty. The file path and the modified flag stay.
void ClearRoster(ProgramState& state);

// Loads Settings.RosterFilePath. A file that cannot be opened is reported with its error number
// and leaves the table cleared. The modified flag becomes false.
void LoadRoster(ProgramState& state, MessageSink& messages);

// The message naming the first cell that the encoding cannot store; empty when all fit.
QString UnencodableCellMessage(const RosterTable& roster, TextEncoding encoding);

// Writes the table to Settings.RosterFilePath through a temporary file, so that a failed save
// leaves the previous file whole. On success the modified flag becomes false; on failure the
// failure is reported and the flag is set, as the table is not on disk.
bool SaveRoster(ProgramState& state, MessageSink& messages);
