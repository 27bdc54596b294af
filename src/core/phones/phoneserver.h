#pragma once

#include "core/draw/drawlistener.h"
#include "core/phones/freshcard.h"
#include "core/phones/phonelimits.h"
#include "core/phones/venueaddresses.h"
#include "core/record/cardrecord.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class Clock;
class ConnectionGuard;
class FractionSource;
class GuessLimiter;
class PhoneHttpFront;
class PhonePhotos;
class QHttpServerRequest;
class QTcpSocket;
class QWebSocket;
class RosterTable;
struct PhoneCardView;

// The port the card pages are served on. The QR codes printed on the cards point at it, so it
// stays the same from the card run to the party.
constexpr quint16 kPhonePort = 50080;

// What the phone server is started with besides the roster.
struct PhoneServerOptions {
    PhoneLimits Limits;
    QString PicturesFolder;
    // How a card dealt to a guest without paper is recorded.
    FreshCardOrigin FreshCards;
};

// Lets guests follow their bingo cards on their phones over the venue's own network: each card
// has a page at /c/<token> that shows the card as printed, marks the participants drawn as the
// panels open, and takes a claim of bingo to the organiser. It listens on the one address the
// organiser picked, only between Start and Stop, and tells nothing of the roster beyond the names
// and photos printed on the card asked for. The draw tells it about the panels (DrawListener).
class PhoneServer : public QObject, public DrawListener {
    Q_OBJECT

public:
    // Records a card dealt to a guest (the card record); false when it could not be written, and
    // the card is not dealt.
    using CardRecorder = std::function<bool(const RecordedCard& card)>;

    PhoneServer(const RosterTable& roster, Clock& clock, FractionSource& random, PhoneServerOptions options,
                QObject* parent = nullptr);
    ~PhoneServer() override;

    // Listens on the address; port 0 takes any free one. False with ErrorText when it cannot.
    bool Start(const QHostAddress& address, quint16 port = 0);
    // Closes every connection and stops listening.
    void Stop();
    bool IsListening() const;
    QHostAddress Address() const;
    quint16 Port() const;
    QString ErrorText() const { return m_error; }

    // The page of a card and the address that deals a fresh one, for the QR codes.
    QUrl CardUrl(const QString& token) const;
    QUrl FreshCardUrl() const;

    // The cards that have pages: those with a token, printed from the roster as it is (the
    // fingerprint of the fresh cards' origin, when given). Replaces the cards given before; a
    // fresh card is numbered after all of them.
    void SetCards(std::vector<RecordedCard> cards);
    void AddCard(RecordedCard card);
    // Fresh cards take numbers from this one on, at the least.
    void ReserveNumbersBelow(int number) { m_nextNumber = std::max(m_nextNumber, number); }
    const std::vector<RecordedCard>& Cards() const { return m_cards; }
    // Guests without paper may take a fresh card once a recorder is set.
    void SetCardRecorder(CardRecorder recorder);

    // The participants on open panels as (panel, row) in the order they opened, for a game that
    // goes on where it was left.
    void SetOpenPanels(const std::vector<std::pair<int, qint16>>& panels);
    void PanelOpened(qint16 row, int panel, bool byHand) override;
    void PanelClosed(qint16 row, int panel) override;

    // Phones following their cards right now.
    int LiveCount() const { return static_cast<int>(m_live.size()); }
    // Connections dropped for a limit since the start.
    int DroppedCount() const;

signals:
    // A guest's phone called "ビンゴ！" for the card.
    void Claimed(int cardNumber);
    // A guest without paper took a card, already recorded.
    void FreshCardDealt(int cardNumber);

private:
    friend class PhoneHttpFront;
    struct LiveClient;
    struct Response;

    static Response NotFound();
    bool Handle(const QHttpServerRequest& request, QTcpSocket* socket);
    Response Answer(const QHttpServerRequest& request, QTcpSocket* socket, bool& deferred);
    Response GiveFreshCard(const QString& address);
    void ServePhoto(const QHttpServerRequest& request, QTcpSocket* socket, const RecordedCard& card,
                    int cell);
    void TakeWebSockets();
    void CloseLive();
    void DropLive(quint64 id);
    void SchedulePush();
    void Push();

    const RecordedCard* FindCard(const QString& token) const;
    PhoneCardView ViewOf(const RecordedCard& card) const;
    std::vector<bool> MarksOf(const RecordedCard& card) const;
    QString PhotoOf(const RecordedCard& card, int cell) const;
    QString Latest() const;
    void IndexCard(size_t index);

    const RosterTable& m_roster;
    Clock& m_clock;
    FractionSource& m_random;
    PhoneServerOptions m_options;
    QString m_error;

    std::unique_ptr<PhoneHttpFront> m_http;
    ConnectionGuard* m_guard = nullptr; // owned by m_http
    std::unique_ptr<GuessLimiter> m_guesses;
    std::unique_ptr<PhonePhotos> m_photos;
    QByteArray m_page;
    QByteArray m_pagePolicy;

    std::vector<RecordedCard> m_cards;
    int m_nextNumber = 1;                 // the number of the next fresh card
    QHash<QByteArray, size_t> m_byDigest; // a digest of the token: no early exit on the token itself
    CardRecorder m_recorder;
    QHash<QString, int> m_freshPerAddress;
    int m_freshDealt = 0;
    QHash<int, qint64> m_lastClaim;

    std::vector<std::pair<int, qint16>> m_open; // (panel, row), in the order they opened
    std::vector<std::unique_ptr<LiveClient>> m_live;
    quint64 m_nextLiveId = 1;
    bool m_pushDue = false;
};
