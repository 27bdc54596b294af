#pragma once

#include "core/record/cardrecord.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class DrawSequence;
class PhoneHost;
class QWidget;
struct ProgramState;
struct Services;

// Guests following their cards on their phones during a draw: the server of the card pages (on a
// thread of its own), fed with the numbered cards of the roster and the panels as they open, and
// the box that shows the room where to join. Nothing listens before the organiser starts it; it
// stops on request or when the draw screen goes (with this object).
class PhoneJoin : public QObject {
    Q_OBJECT
public:
    PhoneJoin(ProgramState& state, Services& services, DrawSequence& sequence, QObject* parent = nullptr);
    ~PhoneJoin() override;

    bool IsServing() const;
    // The addresses the organiser can choose from, and the one to start on: where the printed QR
    // codes point, else the first.
    std::vector<QHostAddress> Addresses() const;
    QHostAddress PreferredAddress() const;
    // Serves the roster's numbered cards on the address; false with the reason in ErrorText.
    bool Start(const QHostAddress& address);
    void Stop();
    QString ErrorText() const { return m_error; }
    // Where guests without paper take a card; empty while not serving.
    QString JoinUrl() const;
    int PhoneCount() const;
    // A card phones can follow, by its number; null when none has that number.
    const RecordedCard* ServedCard(int number) const;
    // Why a fresh card could not be recorded (and so was not dealt), once; empty when all went well.
    QString TakeFailure() { return std::exchange(m_failure, QString()); }

    // The box shown to the room: the address and the QR code to join, the address to choose.
    // Runs through the dialog seam; serving goes on when it is closed, unless ended from it.
    void ShowBox(QWidget* over);

signals:
    // A guest's phone called "ビンゴ！" for the card.
    void Claimed(int cardNumber);

private:
    std::optional<std::vector<RecordedCard>> ReadCards(QString& refusal) const;
    QString RecordPath() const;

    ProgramState& m_state;
    Services& m_services;
    DrawSequence& m_sequence;
    std::unique_ptr<PhoneHost> m_server;
    std::vector<RecordedCard> m_served; // the cards with pages, fresh ones added as they are dealt
    QString m_error;
    QString m_failure;
};
