#pragma once

#include "core/common/safefile.h"

#include <QString>

struct ProgramState;

// What the card issue screen keeps between its openings and between starts of the program: whether
// the cards are numbered (numbered cards are always normal cards) and carry QR codes. Mrda.ini
// keeps its fixed lines; these are kept in a small file of their own beside it ("MrdaCards.ini",
// lines "Numbered=1" and "Qr=1"), written safely. With numbering off the screen opens as it
// always has.
struct CardScreenChoices {
    bool Numbered = false;
    bool Qr = false;
    bool operator==(const CardScreenChoices&) const = default;
};

// The file, beside Mrda.ini.
QString CardScreenChoicesPath(const ProgramState& state);

// The choices of the file; none set when it is missing or cannot be read.
CardScreenChoices LoadCardScreenChoices(const QString& path);

// Writes the choices through a SafeFile.
bool SaveCardScreenChoices(const QString& path, const CardScreenChoices& choices, FileError& error);
