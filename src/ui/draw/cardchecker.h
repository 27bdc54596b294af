#pragma once

#include "core/record/cardrecord.h"

#include <QFuture>
#include <QString>
#include <functional>
#include <memory>
#include <set>

template <typename T> class QFutureWatcher;
class DrawSequence;
class ScreenBoxes;
struct ProgramState;
struct Services;

// カード確認 on the draw screen: a numbered card, by its number, shown large as printed with the
// participants drawn so far marked and the verdict in words. The card record is read once, on
// another thread, as the screen opens; each check then reads only the lines appended since (a
// phone's fresh card), so that a check takes milliseconds in a record of ten thousand cards. A
// record that cannot be read exactly checks no card: the check names its damaged lines.
class CardChecker {
public:
    CardChecker(ProgramState& state, Services& services, const DrawSequence& sequence, ScreenBoxes& boxes);
    ~CardChecker();

    // Asks for the number, then checks the card.
    void Ask();
    // Checks the card (as soon as the record has been read, when it is still being read).
    void Check(int number);

    // The rows on open panels.
    std::set<qint16> DrawnRows() const;
    // How a card stands now: its drawn cells whose row still names the person printed.
    CardVerdict Verdict(const RecordedCard& card) const;

    // The record brought up to the file; nullptr while it is being read, or when it cannot be read
    // exactly (refusal then says why).
    const CardRecordIndex* Record(QString& refusal);
    // Told once the record has been read as the screen opened.
    std::function<void()> RecordRead;

private:
    struct Reading {
        bool Ok = false;
        FileError Error;
    };
    void Read();

    ProgramState& m_state;
    Services& m_services;
    const DrawSequence& m_sequence;
    ScreenBoxes& m_boxes;
    QString m_path;
    std::shared_ptr<CardRecordIndex> m_record; // on the other thread until read
    QFuture<Reading> m_reading;
    std::unique_ptr<QFutureWatcher<Reading>> m_watcher;
    bool m_read = false;
    int m_pending = 0; // a number asked while the record was being read
};
