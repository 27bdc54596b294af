#include "core/phones/phoneserver.h"

#include "core/cards/cardcontents.h"
#include "core/common/timing.h"
#include "core/phones/cardtoken.h"
#include "core/phones/connectionguard.h"
#include "core/phones/guesslimiter.h"
#include "core/phones/phonecard.h"
#include "core/phones/phonephotos.h"
#include "core/phones/phoneroute.h"
#include "core/roster/roster.h"

#include <QAbstractHttpServer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QWebSocket>
#include <algorithm>
#include <set>

// The page is a resource of the core library: a static library's resources are linked in only
// when asked for by name, outside any namespace.
static void loadPhonePage() {
    Q_INIT_RESOURCE(phones);
}

using Status = QHttpServerResponder::StatusCode;

// Qt's HTTP server, handing every whole request to the phone server.
class PhoneHttpFront : public QAbstractHttpServer {
public:
    explicit PhoneHttpFront(PhoneServer& server) : m_server(server) {}

protected:
    // A WebSocket upgrade that is handled (true, nothing written) becomes a WebSocket; one that is
    // not is dropped.
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        return m_server.Handle(request, socket);
    }
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        makeResponder(request, socket).write(Status::NotFound);
    }

public:
    using QAbstractHttpServer::makeResponder;

private:
    PhoneServer& m_server;
};

struct PhoneServer::LiveClient {
    quint64 Id = 0;
    std::unique_ptr<QWebSocket> Socket;
    size_t Card = 0;
};

struct PhoneServer::Response {
    Status Code = Status::NotFound;
    QByteArray Type;
    QByteArray Body;
    std::vector<std::pair<QByteArray, QByteArray>> Headers;
};

namespace {

constexpr QSize kPhotoBox(320, 240);

const QByteArray kHtml = QByteArrayLiteral("text/html; charset=utf-8");
const QByteArray kText = QByteArrayLiteral("text/plain; charset=utf-8");

// A short page of words for the phone, in the card page's colours.
QByteArray notePage(const QString& title, const QString& words) {
    return QStringLiteral("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                          "<title>%1</title></head>"
                          "<body style=\"background:#111;color:#eee;font:20px sans-serif;padding:24px;\">"
                          "<p>%2</p></body></html>")
        .arg(title.toHtmlEscaped(), words.toHtmlEscaped())
        .toUtf8();
}

bool IsUpgrade(const QHttpServerRequest& request) {
    return request.value(QByteArrayLiteral("Upgrade")).compare("websocket", Qt::CaseInsensitive) == 0;
}

QByteArray digestOf(const QString& token) {
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

QString addressOf(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

// The content security policy of the page: its own inline script and style, nothing else.
QByteArray pagePolicy(const QByteArray& page) {
    const auto hashOf = [&](const char* open, const char* close) {
        const qsizetype start = page.indexOf(open);
        const qsizetype end = page.indexOf(close, start);
        if (start < 0 || end < 0) {
            return QByteArray();
        }
        const qsizetype from = page.indexOf('>', start) + 1;
        return "'sha256-" +
               QCryptographicHash::hash(page.mid(from, end - from), QCryptographicHash::Sha256).toBase64() +
               "'";
    };
    return "default-src 'none'; script-src " + hashOf("<script", "</script>") + "; style-src " +
           hashOf("<style", "</style>") +
           "; img-src 'self'; connect-src 'self' ws: wss:; base-uri 'none'; form-action 'none'; "
           "frame-ancestors 'none'";
}

} // namespace

PhoneServer::Response PhoneServer::NotFound() {
    return {Status::NotFound, kText, QByteArrayLiteral("Not Found"), {}};
}

PhoneServer::PhoneServer(const RosterTable& roster, Clock& clock, FractionSource& random,
                         PhoneServerOptions options, QObject* parent)
    : QObject(parent), m_roster(roster), m_clock(clock), m_random(random), m_options(std::move(options)),
      m_guesses(std::make_unique<GuessLimiter>(
          clock, m_options.Limits.Guesses, m_options.Limits.GuessWindowMs, m_options.Limits.GuessBlockMs)),
      m_photos(std::make_unique<PhonePhotos>(kPhotoBox)) {
    loadPhonePage();
    QFile page(QStringLiteral(":/phones/cardpage.html"));
    if (page.open(QIODevice::ReadOnly)) {
        m_page = page.readAll();
    }
    m_pagePolicy = pagePolicy(m_page);
}

PhoneServer::~PhoneServer() {
    Stop();
}

bool PhoneServer::Start(const QHostAddress& address, quint16 port) {
    Stop();
    m_error.clear();
    auto http = std::make_unique<PhoneHttpFront>(*this);
    auto* guard = new ConnectionGuard(m_clock, m_options.Limits, http.get());
    if (!guard->listen(address, port)) {
        m_error = guard->errorString();
        return false;
    }
    connect(http.get(), &QAbstractHttpServer::newWebSocketConnection, this, &PhoneServer::TakeWebSockets);
    http->bind(guard);
    m_http = std::move(http);
    m_guard = guard;
    return true;
}

void PhoneServer::Stop() {
    // The live connections first: their sockets came from the guard.
    CloseLive();
    m_guard = nullptr;
    m_http.reset();
}

void PhoneServer::CloseLive() {
    std::vector<std::unique_ptr<LiveClient>> live = std::move(m_live);
    m_live.clear();
    for (auto& client : live) {
        client->Socket->disconnect(this);
        client->Socket->abort();
    }
}

bool PhoneServer::IsListening() const {
    return m_guard != nullptr && m_guard->isListening();
}

QHostAddress PhoneServer::Address() const {
    return IsListening() ? m_guard->serverAddress() : QHostAddress();
}

quint16 PhoneServer::Port() const {
    return IsListening() ? m_guard->serverPort() : 0;
}

int PhoneServer::DroppedCount() const {
    return m_guard != nullptr ? m_guard->Dropped() : 0;
}

QUrl PhoneServer::CardUrl(const QString& token) const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(Address().toString());
    url.setPort(Port());
    url.setPath(QStringLiteral("/c/") + token);
    return url;
}

QUrl PhoneServer::FreshCardUrl() const {
    QUrl url = CardUrl(QString());
    url.setPath(QStringLiteral("/new"));
    return url;
}

void PhoneServer::SetCards(std::vector<RecordedCard> cards) {
    // A phone following a card that is no longer given loses its page.
    CloseLive();
    m_cards.clear();
    m_byDigest.clear();
    // Cards printed without a page still hold their numbers: a fresh card goes on after them.
    m_nextNumber = NextCardNumber(cards);
    for (RecordedCard& card : cards) {
        AddCard(std::move(card));
    }
}

void PhoneServer::AddCard(RecordedCard card) {
    // A card printed from the roster as it was before its rows changed would mark other people.
    const QString& roster = m_options.FreshCards.Fingerprint;
    if (!IsTokenShaped(card.Token) || card.Side < 1 || (!roster.isEmpty() && card.Fingerprint != roster) ||
        card.Cells.size() != static_cast<size_t>(card.Side) * static_cast<size_t>(card.Side) ||
        m_byDigest.contains(digestOf(card.Token))) {
        return;
    }
    m_cards.push_back(std::move(card));
    IndexCard(m_cards.size() - 1);
}

void PhoneServer::IndexCard(size_t index) {
    m_byDigest.insert(digestOf(m_cards[index].Token), index);
}

void PhoneServer::SetCardRecorder(CardRecorder recorder) {
    m_recorder = std::move(recorder);
}

const RecordedCard* PhoneServer::FindCard(const QString& token) const {
    const auto it = m_byDigest.constFind(digestOf(token));
    if (it == m_byDigest.constEnd()) {
        return nullptr;
    }
    const RecordedCard& card = m_cards[*it];
    return SameToken(card.Token, token) ? &card : nullptr;
}

void PhoneServer::SetOpenPanels(const std::vector<std::pair<int, qint16>>& panels) {
    m_open = panels;
    SchedulePush();
}

void PhoneServer::PanelOpened(qint16 row, int panel, bool byHand) {
    Q_UNUSED(byHand);
    std::erase_if(m_open, [&](const auto& open) { return open.first == panel; });
    m_open.emplace_back(panel, row);
    SchedulePush();
}

void PhoneServer::PanelClosed(qint16 row, int panel) {
    Q_UNUSED(row);
    std::erase_if(m_open, [&](const auto& open) { return open.first == panel; });
    SchedulePush();
}

QString PhoneServer::Latest() const {
    if (m_open.empty()) {
        return {};
    }
    const qint16 row = m_open.back().second;
    return row >= 1 && row <= RosterTable::kCapacity ? m_roster.Cell(RosterColumn::Name, row) : QString();
}

std::vector<bool> PhoneServer::MarksOf(const RecordedCard& card) const {
    std::set<qint16> drawn;
    for (const auto& open : m_open) {
        drawn.insert(open.second);
    }
    return CheckCard(card, drawn).Marked;
}

QString PhoneServer::PhotoOf(const RecordedCard& card, int cell) const {
    if (cell < 0 || static_cast<size_t>(cell) >= card.Cells.size()) {
        return {};
    }
    const RecordedCell& printed = card.Cells[static_cast<size_t>(cell)];
    // The photo of the row as the roster names it now, only while the row still holds the name
    // printed: a row given to someone else since must not show their face on this card.
    if (printed.Row < 1 || printed.Row > RosterTable::kCapacity ||
        m_roster.Cell(RosterColumn::Name, printed.Row) != printed.Name) {
        return {};
    }
    return RowContent(m_roster, m_options.PicturesFolder, printed.Row).PhotoPath;
}

PhoneCardView PhoneServer::ViewOf(const RecordedCard& card) const {
    PhoneCardView view;
    view.Number = card.Number;
    view.Side = card.Side;
    for (size_t k = 0; k < card.Cells.size(); ++k) {
        view.Names.push_back(card.Cells[k].Name);
        const QString photo = PhotoOf(card, static_cast<int>(k));
        view.Photos.push_back(!photo.isEmpty() && QFileInfo::exists(photo));
    }
    view.Marked = MarksOf(card);
    view.Latest = Latest();
    return view;
}

bool PhoneServer::Handle(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (m_guard != nullptr) {
        m_guard->RequestDone(socket);
    }
    bool deferred = false;
    const Response response = Answer(request, socket, deferred);
    if (deferred) {
        return true;
    }
    if (response.Code == Status::SwitchingProtocols) {
        return true; // Qt makes it a WebSocket (TakeWebSockets)
    }
    if (IsUpgrade(request)) {
        return false; // refused: Qt drops the connection
    }
    QHttpServerResponder responder = PhoneHttpFront::makeResponder(request, socket);
    responder.writeStatusLine(response.Code);
    responder.writeHeader(QByteArrayLiteral("Content-Type"), response.Type);
    responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(response.Body.size()));
    responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    responder.writeHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
    responder.writeHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
    for (const auto& [name, value] : response.Headers) {
        responder.writeHeader(name, value);
    }
    responder.writeBody(response.Body);
    return true;
}

PhoneServer::Response PhoneServer::Answer(const QHttpServerRequest& request, QTcpSocket* socket,
                                          bool& deferred) {
    const QString address = addressOf(request.remoteAddress());
    if (m_guesses->IsBlocked(address)) {
        return {
            Status::TooManyRequests,
            kText,
            QByteArrayLiteral("Too Many Requests"),
            {{QByteArrayLiteral("Retry-After"), QByteArray::number(m_options.Limits.GuessBlockMs / 1000)}}};
    }
    qsizetype headerBytes = request.url().toEncoded().size();
    for (const auto& [name, value] : request.headers()) {
        headerBytes += name.size() + value.size() + 4;
    }
    if (headerBytes > m_options.Limits.HeaderBytes) {
        return {Status::RequestHeaderFieldsTooLarge,
                kText,
                QByteArrayLiteral("Request Header Fields Too Large"),
                {}};
    }
    if (request.body().size() > m_options.Limits.BodyBytes) {
        return {Status::PayloadTooLarge, kText, QByteArrayLiteral("Payload Too Large"), {}};
    }
    const PhoneRoute route = RouteOf(request.url().path(QUrl::FullyEncoded));
    const bool get = request.method() == QHttpServerRequest::Method::Get;
    const bool post = request.method() == QHttpServerRequest::Method::Post;
    if (route.What == PhoneRoute::Kind::FreshCard && get && m_recorder) {
        return GiveFreshCard(address);
    }
    const RecordedCard* card = route.Token.isEmpty() ? nullptr : FindCard(route.Token);
    if (card == nullptr) {
        if (route.Guess || !route.Token.isEmpty()) {
            m_guesses->CountGuess(address);
        }
        return NotFound();
    }
    switch (route.What) {
    case PhoneRoute::Kind::CardPage:
        if (get) {
            return {Status::Ok,
                    kHtml,
                    m_page,
                    {{QByteArrayLiteral("Content-Security-Policy"), m_pagePolicy},
                     {QByteArrayLiteral("X-Frame-Options"), QByteArrayLiteral("DENY")}}};
        }
        break;
    case PhoneRoute::Kind::CardJson:
        if (get) {
            return {Status::Ok, QByteArrayLiteral("application/json"), CardDocument(ViewOf(*card)), {}};
        }
        break;
    case PhoneRoute::Kind::Photo:
        if (get && !PhotoOf(*card, route.Cell).isEmpty()) {
            deferred = true;
            ServePhoto(request, socket, *card, route.Cell);
            return {};
        }
        break;
    case PhoneRoute::Kind::Claim:
        if (post) {
            const qint64 now = m_clock.NowMs();
            const auto last = m_lastClaim.constFind(card->Number);
            if (last == m_lastClaim.constEnd() || now - *last >= m_options.Limits.ClaimIntervalMs) {
                m_lastClaim.insert(card->Number, now);
                emit Claimed(card->Number);
            }
            return {Status::Ok, kText, QStringLiteral("受け付けました").toUtf8(), {}};
        }
        break;
    case PhoneRoute::Kind::Live:
        if (get && IsUpgrade(request)) {
            return {Status::SwitchingProtocols, {}, {}, {}};
        }
        return {Status::UpgradeRequired,
                kText,
                QByteArrayLiteral("Upgrade Required"),
                {{QByteArrayLiteral("Upgrade"), QByteArrayLiteral("websocket")}}};
    case PhoneRoute::Kind::None:
    case PhoneRoute::Kind::FreshCard:
        break;
    }
    return NotFound();
}

void PhoneServer::ServePhoto(const QHttpServerRequest& request, QTcpSocket* socket, const RecordedCard& card,
                             int cell) {
    auto responder = std::make_shared<QHttpServerResponder>(PhoneHttpFront::makeResponder(request, socket));
    const QPointer<QTcpSocket> alive(socket);
    m_photos->Fetch(PhotoOf(card, cell), [responder, alive](const QByteArray& jpeg) {
        if (alive.isNull() || alive->state() != QAbstractSocket::ConnectedState) {
            return; // the phone went away meanwhile
        }
        responder->writeStatusLine(jpeg.isEmpty() ? Status::NotFound : Status::Ok);
        responder->writeHeader(QByteArrayLiteral("Content-Type"),
                               jpeg.isEmpty() ? kText : QByteArrayLiteral("image/jpeg"));
        responder->writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(jpeg.size()));
        responder->writeHeader(QByteArrayLiteral("Cache-Control"),
                               QByteArrayLiteral("private, max-age=3600"));
        responder->writeHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
        responder->writeBody(jpeg);
    });
}

PhoneServer::Response PhoneServer::GiveFreshCard(const QString& address) {
    const PhoneLimits& limits = m_options.Limits;
    if (m_freshDealt >= limits.FreshCards ||
        m_freshPerAddress.value(address) >= limits.FreshCardsPerAddress) {
        return {Status::TooManyRequests,
                kHtml,
                notePage(QStringLiteral("カード"),
                         QStringLiteral("申し訳ありません。お渡しできるカードはここまでです。"
                                        "係の者にお声がけください。")),
                {}};
    }
    QString token = NewCardToken();
    while (m_byDigest.contains(digestOf(token))) {
        token = NewCardToken();
    }
    const std::optional<RecordedCard> card = ::DealFreshCard(
        m_roster, m_random, m_options.FreshCards, std::max(m_nextNumber, NextCardNumber(m_cards)),
        QDateTime::fromMSecsSinceEpoch(m_clock.NowMs()), token);
    if (!card || !m_recorder(*card)) {
        return {Status::ServiceUnavailable,
                kHtml,
                notePage(QStringLiteral("カード"),
                         QStringLiteral("申し訳ありません。いまはカードをお渡しできません。"
                                        "係の者にお声がけください。")),
                {}};
    }
    ++m_freshDealt;
    ++m_freshPerAddress[address];
    const int number = card->Number;
    m_nextNumber = number + 1;
    m_cards.push_back(*card);
    IndexCard(m_cards.size() - 1);
    emit FreshCardDealt(number);
    return {
        Status::SeeOther, kHtml, QByteArray(), {{QByteArrayLiteral("Location"), "/c/" + token.toLatin1()}}};
}

void PhoneServer::TakeWebSockets() {
    while (m_http && m_http->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = m_http->nextPendingWebSocketConnection();
        if (!socket) {
            break;
        }
        if (m_guard != nullptr) {
            m_guard->HandedOver(socket->peerAddress(), socket->peerPort());
        }
        const QString address = addressOf(socket->peerAddress());
        const PhoneRoute route = RouteOf(socket->requestUrl().path(QUrl::FullyEncoded));
        const RecordedCard* card = nullptr;
        if (!m_guesses->IsBlocked(address)) {
            card = route.What == PhoneRoute::Kind::Live ? FindCard(route.Token) : nullptr;
            if (card == nullptr) {
                m_guesses->CountGuess(address);
            }
        }
        if (card == nullptr) {
            // Still under the signal of its socket's first message: it goes once that is over.
            socket->abort();
            socket.release()->deleteLater();
            continue;
        }
        // A phone only listens: what it sends is kept small and thrown away.
        socket->setMaxAllowedIncomingFrameSize(1024);
        socket->setMaxAllowedIncomingMessageSize(1024);
        socket->setReadBufferSize(4096);
        auto client = std::make_unique<LiveClient>();
        client->Id = m_nextLiveId++;
        client->Card = static_cast<size_t>(card - m_cards.data());
        client->Socket = std::move(socket);
        const quint64 id = client->Id;
        connect(client->Socket.get(), &QWebSocket::disconnected, this, [this, id] {
            // Not under the socket's own signal: it goes once the signal is over.
            QMetaObject::invokeMethod(
                this, [this, id] { DropLive(id); }, Qt::QueuedConnection);
        });
        client->Socket->sendTextMessage(QString::fromUtf8(CardDocument(ViewOf(*card))));
        m_live.push_back(std::move(client));
    }
}

void PhoneServer::DropLive(quint64 id) {
    const auto it =
        std::find_if(m_live.begin(), m_live.end(), [&](const auto& client) { return client->Id == id; });
    if (it != m_live.end()) {
        (*it)->Socket->disconnect(this);
        (*it)->Socket->abort();
        m_live.erase(it);
    }
}

void PhoneServer::SchedulePush() {
    if (m_pushDue) {
        return;
    }
    m_pushDue = true;
    // Several panels changed in one go reach the phones as one message.
    QMetaObject::invokeMethod(this, &PhoneServer::Push, Qt::QueuedConnection);
}

void PhoneServer::Push() {
    m_pushDue = false;
    const QString latest = Latest();
    std::set<qint16> drawn;
    for (const auto& open : m_open) {
        drawn.insert(open.second);
    }
    QHash<size_t, QString> messages; // one per card, however many phones follow it
    std::vector<quint64> stuck;
    for (const auto& client : m_live) {
        auto message = messages.find(client->Card);
        if (message == messages.end()) {
            message = messages.insert(
                client->Card,
                QString::fromUtf8(StateDocument(CheckCard(m_cards[client->Card], drawn).Marked, latest)));
        }
        client->Socket->sendTextMessage(*message);
        if (client->Socket->bytesToWrite() > m_options.Limits.UnsentBytes) {
            stuck.push_back(client->Id); // a phone that does not read
        }
    }
    for (quint64 id : stuck) {
        DropLive(id);
    }
}
