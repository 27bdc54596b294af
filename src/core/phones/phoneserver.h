#pragma once

#include "core/draw/drawlistener.h"
#include "core/phones/freshcard.h"
#include "core/phones/phoneconnection.h"
#include "core/phones/phonelimits.h"
#include "core/record/cardrecord.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class Clock;
class FractionSource;
class GuessLimiter;
class PhonePhotos;
class QTcpServer;
class RequestLimiter;
class RosterTable;
class Timer;
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

// Whether a card has a page for phones: a token, a whole grid, and printed from the roster as it
// is (its fingerprint, when one is given).
bool HasPhonePage(const RecordedCard& card, const QString& fingerprint);

// Lets guests follow their bingo cards on their phones over the venue's own network: each card
// has a page at /c/<token> that shows the card as printed, marks the participants drawn as the
// panels open, and takes a claim of bingo to the organiser. It listens on the one address the
// organiser picked, only between Start and Stop, answers only requests addressed to that address
// and port, and tells nothing of the roster beyond the names and photos printed on the card asked
// for. The draw tells it about the panels (DrawListener). Everything runs on the thread it lives
// on (PhoneHost gives it one of its own); the counts can be read from any thread.
class PhoneServer : public QObject, public DrawListener, private PhoneConnection::Owner {
    Q_OBJECT

public:
    // Records a card dealt to a guest (the card record). Runs on a thread of its own, one card at a
    // time; false with the reason when the card could not be recorded, and it is not dealt.
    using CardRecorder = std::function<bool(const RecordedCard& card, QString& failure)>;

    PhoneServer(const RosterTable& roster, Clock& clock, FractionSource& random, PhoneServerOptions options,
                QObject* parent = nullptr);
    ~PhoneServer() override;

    // Listens on the address; port 0 takes any free one. False with ErrorText when it cannot.
    bool Start(const QHostAddress& address, quint16 port = 0);
    // Stops listening and closes every connection: live ones are told the server is going away.
    void Stop();
    bool IsListening() const;
    QHostAddress Address() const;
    quint16 Port() const;
    QString ErrorText() const { return m_error; }

    // The page of a card and the address that deals a fresh one, for the QR codes.
    QUrl CardUrl(const QString& token) const;
    QUrl FreshCardUrl() const;

    // The cards that have pages (HasPhonePage). Replaces the cards given before; a fresh card is
    // numbered after all of them, and those dealt within the last day count towards the limit.
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

    // Phones following their cards right now; open connections; connections dropped for a limit
    // since the server was made; bytes waiting to be sent on all connections.
    int LiveCount() const { return m_liveCount; }
    int ConnectionCount() const { return m_connectionCount; }
    int DroppedCount() const { return m_droppedCount; }
    qint64 UnsentInAll() const { return m_unsentInAll; }

signals:
    // A guest's phone called "ビンゴ！" for the card.
    void Claimed(int cardNumber);
    // A guest without paper took a card, already recorded.
    void FreshCardDealt(const RecordedCard& card);
    // A card for a guest could not be recorded and was not dealt; why.
    void FreshCardRefused(const QString& failure);

private:
    struct LiveClient {
        quint64 Connection = 0;
        size_t Card = 0;
    };
    struct Response {
        int Status = 404;
        QByteArray Type;
        QByteArray Body;
        std::vector<std::pair<QByteArray, QByteArray>> Headers;
    };

    void Requested(PhoneConnection& connection, const HttpRequest& request) override;
    void Refused(PhoneConnection& connection, int status) override;
    void UnsentChanged(PhoneConnection& connection, qint64 delta) override;
    void Ended(PhoneConnection& connection, bool dropped) override;

    void Accept();
    Response Answer(PhoneConnection& connection, const HttpRequest& request, bool close, bool& deferred);
    void Reply(PhoneConnection& connection, const Response& response, bool close);
    void ServePhoto(PhoneConnection& connection, const QString& path, bool close);
    Response GiveFreshCard(PhoneConnection& connection, bool close, bool& deferred);
    void FreshCardRecorded(quint64 connection, const QString& address, const RecordedCard& card, bool close,
                           bool recorded, const QString& failure);
    Response Follow(PhoneConnection& connection, const HttpRequest& request, const RecordedCard& card,
                    bool& deferred);
    PhoneConnection* Open(quint64 id) const;
    std::vector<PhoneConnection*> LiveConnections() const;
    void SchedulePush();
    void Push();
    void PingLive();

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

    std::unique_ptr<QTcpServer> m_listener;
    QByteArray m_host; // "address:port" as a Host header names this server
    std::unordered_map<quint64, std::unique_ptr<PhoneConnection>> m_connections;
    QHash<QString, int> m_perAddress;
    quint64 m_nextConnection = 1;
    std::unique_ptr<Timer> m_pingTimer;
    std::unique_ptr<GuessLimiter> m_guesses;
    std::unique_ptr<RequestLimiter> m_requests;
    std::unique_ptr<PhonePhotos> m_photos;
    QByteArray m_page;
    QByteArray m_pagePolicy;
    QByteArray m_icon;

    std::vector<RecordedCard> m_cards;
    int m_nextNumber = 1;                 // the number of the next fresh card
    QHash<QByteArray, size_t> m_byDigest; // a digest of the token: no early exit on the token itself
    CardRecorder m_recorder;
    QHash<QString, int> m_freshPerAddress;
    int m_freshDealt = 0;
    QHash<int, qint64> m_lastClaim;

    std::vector<std::pair<int, qint16>> m_open; // (panel, row), in the order they opened
    std::vector<LiveClient> m_live;
    bool m_pushDue = false;

    std::atomic<int> m_liveCount{0};
    std::atomic<int> m_connectionCount{0};
    std::atomic<int> m_droppedCount{0};
    std::atomic<qint64> m_unsentInAll{0};

    // Fresh cards are recorded here, one at a time, while the server serves on. Last: it waits for
    // a card being recorded before anything it uses goes.
    QThreadPool m_recording;
};
