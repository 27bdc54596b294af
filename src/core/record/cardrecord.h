#pragma once

#include "core/common/safefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <array>
#include <bitset>
#include <set>
#include <vector>

class RosterTable;

// The card record: every numbered card given from a roster (printed or dealt to a phone), cell by
// cell, so that a card can be checked when someone calls "ビンゴ！". One file a roster
// ("カード記録_<roster>.csv"; the format is in docs/record-formats.md). It only grows: a run
// appends its cards before it prints any of them, a phone's card is appended before it is dealt.
// A number once written is never given again, and a record that cannot be read exactly gives no
// number at all.

struct RecordedCell {
    qint16 Row = 0; // the participant's registration row; 0: the mark or an empty cell
    QString Name;   // as printed
    bool Centre = false;
    bool IsMark() const { return Centre && Row == 0 && Name == QStringLiteral("★"); }
    bool operator==(const RecordedCell&) const = default;
};

// What became of a numbered card after it was recorded.
enum class CardStatus {
    Given,      // printed, or dealt to a phone
    NotPrinted, // "未印刷": its run was stopped with 中止 before its sheet was made
    Void,       // "無効": its lines were given up by hand; it cannot be checked
};

struct RecordedCard {
    int Number = 0;
    QDateTime Issued;
    QString RosterPath;
    QString Fingerprint;
    QString Layout;                  // the paper and layout as the card screen names it
    int Side = 0;                    // cells per side; 0 for a number whose cells were given up
    std::vector<RecordedCell> Cells; // Side × Side, row by row from the top left
    QString Token;                   // the key of the card's page for phones; empty when it has none
    QString PhoneAddress;            // "address:port" its QR code points at; empty when it has none
    CardStatus Status = CardStatus::Given;
};

// The highest number a card can carry: a record line with a larger one is not read.
constexpr int kLastCardNumber = 9'999'999;

// The record file of a roster, in a folder.
QString CardRecordPath(const QString& folder, const QString& rosterPath);

// The lines of cards (no header): one line a cell, the cells of each card in reading order.
QByteArray CardRecordLines(const std::vector<RecordedCard>& cards);
// A whole record holding the cards, header first.
QByteArray WriteCardRecord(const std::vector<RecordedCard>& cards);

// One place of a record that cannot be read exactly.
struct RecordDamage {
    qint64 Line = 0; // counted from 1, the header being line 1
    int Number = 0;  // the card it concerns; 0 when the line does not say
    QString What;
};

// The cards of a record file, read exactly and kept up to date: each refresh reads only the lines
// appended since the last one (the whole file the first time, or when it is no longer the file
// read before), so that a check of a card in a record of ten thousand cards takes no longer than
// one of ten. Not tied to a thread: one thread at a time may use it.
class CardRecordIndex {
public:
    // Brings the index up to the file; no file is a record without cards. False when the file
    // cannot be read (error: the system's), or holds what cannot be read exactly (error.Text
    // names the lines, error.Code is 0).
    bool Refresh(const QString& path, FileError& error);
    // Reads a whole record's bytes, forgetting what was read before. False when they hold damage.
    bool ReadAll(const QByteArray& bytes);

    // Every card of the record, given or not, in the order the record holds them.
    const std::vector<RecordedCard>& Cards() const { return m_cards; }
    const RecordedCard* Find(int number) const;
    // The number the next card takes: after the highest one recorded (kLastCardNumber + 1 when
    // there is none left).
    int NextNumber() const { return m_highest + 1; }

    bool Damaged() const { return !m_lineDamage.empty() || !m_openDamage.empty(); }
    // The places that cannot be read, in line order.
    std::vector<RecordDamage> Damage() const;
    // The first few places named for the organiser, one to a line.
    QString DamageText() const;

private:
    struct Entry {
        std::array<QByteArray, 7> Key; // the card's own columns, as written on its first line
        std::bitset<81> Filled;
        int Count = 0;
        qint64 FirstLine = 0;
        bool HasCells = false;
    };

    void Reset();
    void ReadLines(QByteArrayView bytes);
    void ReadLine(QByteArrayView line, qint64 number);
    void Damage(qint64 line, int number, const QString& what);
    void CheckOpenEnds(qsizetype unfinishedBytes);
    QString Interned(QByteArrayView bytes);
    RecordedCard& CardOf(int number, qint64 line);

    std::vector<RecordedCard> m_cards;
    std::vector<Entry> m_entries; // beside m_cards
    QHash<int, size_t> m_byNumber;
    QHash<QByteArray, QString> m_names;
    std::vector<RecordDamage> m_lineDamage; // of whole lines: stays until the file changes
    qint64 m_lineDamageCount = 0;
    std::vector<RecordDamage> m_openDamage; // a line cut short, cards without all their cells
    int m_highest = 0;
    qint64 m_nextLine = 1;
    qint64 m_offset = 0;   // bytes read as whole lines
    QByteArray m_lastRead; // the bytes just before m_offset: tells the same file from another
    std::vector<QByteArrayView> m_fields;
    std::vector<QByteArray> m_scratch;
};

// The number the next card takes: after the highest one among cards.
int NextCardNumber(const std::vector<RecordedCard>& cards);

// The cards of a record file, exactly; none when there is no file yet. False when the file is
// there but cannot be read exactly: the error names the lines (numbers taken after it could be
// given twice, and cards checked against it could be wrong).
bool LoadCardRecord(const QString& path, std::vector<RecordedCard>& cards, FileError& error);

// Appends the cards' lines to the record file (see AppendRecordLines: one write, synced, cut back
// on a failure). Safe on any thread: it touches only the file.
bool AddCardsToRecord(const QString& path, const std::vector<RecordedCard>& cards, FileError& error);

// Marks recorded cards as not printed (a run stopped with 中止) with one line each.
bool MarkCardsNotPrinted(const QString& path, const std::vector<RecordedCard>& cards, const QDateTime& when,
                         FileError& error);

// Whether the participant a row names now is the one printed on a card: the same name, or one
// corrected by a single character (blanks and character width aside). A row given to someone
// else since the card was printed is not.
bool SamePerson(const QString& printed, const QString& now);

// How a card stands against the participants drawn: a line is a row, a column or a diagonal
// whose cells are all marked; a reach lacks one. The mark in the centre counts as marked; a
// participant in the centre counts once drawn. With a roster, a cell counts only while its row
// still names the participant printed (SamePerson).
struct CardVerdict {
    std::vector<bool> Marked; // per cell, as the card's cells
    int MarkedCount = 0;
    int Lines = 0;
    int Reaches = 0;
    int Renamed = 0; // drawn cells whose row names someone else now
    QString Words;   // "ビンゴ！（2 列）", "リーチ（3 列）" or how many cells are marked
    QString Note;    // for the organiser: the cells not counted because their row names someone else
};
CardVerdict CheckCard(const RecordedCard& card, const std::set<qint16>& drawn,
                      const RosterTable* roster = nullptr);

// The card of a number, or why it cannot be checked (no such card, not printed, given up).
struct CardLookup {
    const RecordedCard* Card = nullptr;
    QString Refusal;
};
CardLookup FindCard(const CardRecordIndex& record, int number);
CardLookup FindCard(const std::vector<RecordedCard>& cards, int number);

// The cards of a whole record's bytes, as far as they can be read.
std::vector<RecordedCard> ReadCardRecord(const QByteArray& bytes);

// A card number as the organiser types it ("12", "No.0012", "１２"): the number, or the message
// that answers it (digits that name no card are not in the record; anything else is no number).
struct TypedCardNumber {
    int Number = 0;
    QString Refusal;
};
TypedCardNumber ReadTypedCardNumber(const QString& typed);
