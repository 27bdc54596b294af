#pragma once

#include "core/common/safefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <set>
#include <vector>

// The card record: every numbered card printed from a roster, cell by cell, so that a card can be
// checked when someone calls "ビンゴ！". One file a roster in the working folder
// ("カード記録_<roster>.csv"; the format is in docs/record-formats.md), rewritten safely whole
// with the cards of each run added.

struct RecordedCell {
    qint16 Row = 0; // the participant's registration row; 0: the mark or an empty cell
    QString Name;   // as printed
    bool Centre = false;
    bool IsMark() const { return Centre && Row == 0 && Name == QStringLiteral("★"); }
};

struct RecordedCard {
    int Number = 0;
    QDateTime Issued;
    QString RosterPath;
    QString Fingerprint;
    QString Layout;                  // the paper and layout as the card screen names it
    int Side = 0;                    // cells per side
    std::vector<RecordedCell> Cells; // Side × Side, row by row from the top left
    QString Token;                   // the key of the card's page for phones; empty when it has none
    QString PhoneAddress;            // "address:port" its QR code points at; empty when it has none
};

// The record file of a roster, in a folder.
QString CardRecordPath(const QString& folder, const QString& rosterPath);

// The cards of a record's bytes; a card whose cells do not make a whole grid is left out.
std::vector<RecordedCard> ReadCardRecord(const QByteArray& bytes);
// The bytes of a record holding the cards.
QByteArray WriteCardRecord(const std::vector<RecordedCard>& cards);

// The number the next card takes: after the highest one recorded.
int NextCardNumber(const std::vector<RecordedCard>& cards);

// The cards of a record file; none when there is no file yet. False when the file is there but
// cannot be read: numbers taken after it would be given twice.
bool LoadCardRecord(const QString& path, std::vector<RecordedCard>& cards, FileError& error);

// Adds cards to the record file through a SafeFile: the old record stays whole on a failure.
bool AddCardsToRecord(const QString& path, const std::vector<RecordedCard>& cards, FileError& error);

// How a card stands against the participants drawn: a line is a row, a column or a diagonal
// whose cells are all marked; a reach lacks one. The mark in the centre counts as marked; a
// participant in the centre counts once drawn.
struct CardVerdict {
    std::vector<bool> Marked; // per cell, as the card's cells
    int MarkedCount = 0;
    int Lines = 0;
    int Reaches = 0;
    QString Words; // "ビンゴ！（2 列）", "リーチ（3 列）" or how many cells are marked
};
CardVerdict CheckCard(const RecordedCard& card, const std::set<qint16>& drawn);

// The card of a number, or why it cannot be checked (no such card, another roster).
struct CardLookup {
    const RecordedCard* Card = nullptr;
    QString Refusal;
};
CardLookup FindCard(const std::vector<RecordedCard>& cards, int number, const QString& fingerprint);
