#include "core/phones/phoneserver.h"

#include "core/cards/cardcontents.h"
#include "core/common/timing.h"
#include "core/phones/cardtoken.h"
#include "core/phones/guesslimiter.h"
#include "core/phones/phonecard.h"
#include "core/phones/phonephotos.h"
#include "core/phones/phoneroute.h"
#include "core/phones/requestlimiter.h"
#include "core/roster/roster.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QImage>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtConcurrent/QtConcurrentRun>
#include <set>

// The page is a resource of the core library: a static library's resources are linked in only
// when asked for by name, outside any namespace.
static void loadPhonePage() {
    Q_INIT_RESOURCE(phones);
}

namespace {

constexpr QSize kPhotoBox(320, 240);
constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

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

QByteArray digestOf(const QString& token) {
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

// The content security policy of the page: its own inline script and style, its photos, and a
// live connection to this server; nothing else.
QByteArray pagePolicy(const QByteArray& page, const QByteArray& host) {
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
           hashOf("<style", "</style>") + "; img-src 'self'; connect-src 'self' ws://" + host +
           "; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

// The page's icon: the amber of its ビンゴ！ button, round. Asked for by every browser; without it
// the page's console would report the missing icon as an error.
QByteArray pageIcon() {
    QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xff, 0xb3, 0x00));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG");
    return png;
}

QByteArray hostOf(const QHostAddress& address, quint16 port) {
    const QString text = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return text.toLatin1() + ':' + QByteArray::number(port);
}

} // namespace

bool HasPhonePage(const RecordedCard& card, const QString& fingerprint) {
    return card.Status == CardStatus::Given && IsTokenShaped(card.Token) && card.Side >= 1 &&
           (fingerprint.isEmpty() || card.Fingerprint == fingerprint) &&
           card.Cells.size() == static_cast<size_t>(card.Side) * static_cast<size_t>(card.Side);
}

PhoneServer::PhoneServer(const RosterTable& roster, Clock& clock, FractionSource& random,
                         PhoneServerOptions options, QObject* parent)
    : QObject(parent), m_roster(roster), m_clock(clock), m_random(random), m_options(std::move(options)),
      m_pingTimer(clock.CreateTimer()),
      m_guesses(std::make_unique<GuessLimiter>(
          clock, m_options.Limits.Guesses, m_options.Limits.GuessWindowMs, m_options.Limits.GuessBlockMs)),
      m_requests(std::make_unique<RequestLimiter>(clock, m_options.Limits.RequestsPerSecond,
                                                  m_options.Limits.RequestBurst)),
      m_photos(std::make_unique<PhonePhotos>(kPhotoBox)) {
    loadPhonePage();
    QFile page(QStringLiteral(":/phones/cardpage.html"));
    if (page.open(QIODevice::ReadOnly)) {
        m_page = page.readAll();
    }
    m_icon = pageIcon();
    m_pingTimer->SetInterval(m_options.Limits.PingMs);
    m_pingTimer->SetCallback([this] { PingLive(); });
    m_recording.setMaxThreadCount(1);
}

PhoneServer::~PhoneServer() {
    m_pingTimer->Stop();
    m_listener.reset();
    m_recording.waitForDone();
    // Every connection goes at once; none reports back any more.
    m_live.clear();
    m_connections.clear();
}

bool PhoneServer::Start(const QHostAddress& address, quint16 port) {
    Stop();
    m_error.clear();
    auto listener = std::make_unique<QTcpServer>();
    // A room full of phones may connect at once when the organiser shows the code.
    listener->setMaxPendingConnections(std::max(m_options.Limits.Connections, 30));
    listener->setListenBacklogSize(std::max(m_options.Limits.Connections, 50));
    if (!listener->listen(address, port)) {
        m_error = listener->errorString();
        return false;
    }
    connect(listener.get(), &QTcpServer::newConnection, this, &PhoneServer::Accept);
    m_host = hostOf(listener->serverAddress(), listener->serverPort());
    m_pagePolicy = pagePolicy(m_page, m_host);
    m_listener = std::move(listener);
    m_pingTimer->Start();
    return true;
}

void PhoneServer::Stop() {
    m_pingTimer->Stop();
    m_listener.reset();
    m_host.clear();
    // Live phones hear that the server is going away; every connection closes once its last bytes
    // are sent (or the grace is over) and nothing new is read.
    std::vector<PhoneConnection*> open;
    for (const auto& [id, connection] : m_connections) {
        open.push_back(connection.get());
    }
    for (PhoneConnection* connection : open) {
        connection->Close(connection->IsLive() ? websocket::kGoingAway : 0);
    }
    m_live.clear();
    m_liveCount = 0;
}

bool PhoneServer::IsListening() const {
    return m_listener && m_listener->isListening();
}

QHostAddress PhoneServer::Address() const {
    return IsListening() ? m_listener->serverAddress() : QHostAddress();
}

quint16 PhoneServer::Port() const {
    return IsListening() ? m_listener->serverPort() : 0;
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

// ---- Connections -------------------------------------------------------------------------------

void PhoneServer::Accept() {
    while (m_listener && m_listener->hasPendingConnections()) {
        std::unique_ptr<QTcpSocket> socket(m_listener->nextPendingConnection());
        if (!socket) {
            break;
        }
        const QString address = PeerAddressKey(socket->peerAddress());
        if (m_connectionCount >= m_options.Limits.Connections ||
            m_perAddress.value(address) >= m_options.Limits.ConnectionsPerAddress) {
            ++m_droppedCount;
            socket->abort();
            continue;
        }
        ++m_perAddress[address];
        ++m_connectionCount;
        const quint64 id = m_nextConnection++;
        Owner& owner = *this;
        m_connections.emplace(
            id, std::make_unique<PhoneConnection>(id, std::move(socket), m_clock, m_options.Limits, owner));
    }
}

void PhoneServer::Ended(PhoneConnection& connection, bool dropped) {
    if (dropped) {
        ++m_droppedCount;
    }
    --m_connectionCount;
    if (--m_perAddress[connection.Address()] <= 0) {
        m_perAddress.remove(connection.Address());
    }
    const quint64 id = connection.Id();
    std::erase_if(m_live, [id](const LiveClient& client) { return client.Connection == id; });
    m_liveCount = static_cast<int>(m_live.size());
    // Not under the connection's own call: it goes on the next turn of the event loop.
    QMetaObject::invokeMethod(
        this, [this, id] { m_connections.erase(id); }, Qt::QueuedConnection);
}

void PhoneServer::UnsentChanged(PhoneConnection& connection, qint64 delta) {
    Q_UNUSED(connection);
    m_unsentInAll += delta;
    if (delta <= 0 || m_unsentInAll <= m_options.Limits.UnsentBytesInAll) {
        return;
    }
    // Too much waits to be sent in all: the connection holding the most of it goes.
    PhoneConnection* most = nullptr;
    for (const auto& [id, open] : m_connections) {
        if (!open->IsEnded() && (most == nullptr || open->Unsent() > most->Unsent())) {
            most = open.get();
        }
    }
    if (most != nullptr) {
        most->Drop();
    }
}

PhoneConnection* PhoneServer::Open(quint64 id) const {
    const auto it = m_connections.find(id);
    return it == m_connections.end() || it->second->IsEnded() ? nullptr : it->second.get();
}

std::vector<PhoneConnection*> PhoneServer::LiveConnections() const {
    std::vector<PhoneConnection*> live;
    live.reserve(m_live.size());
    for (const LiveClient& client : m_live) {
        if (PhoneConnection* connection = Open(client.Connection)) {
            live.push_back(connection);
        }
    }
    return live;
}

void PhoneServer::PingLive() {
    // Ended connections leave m_live as they go: the list is taken first.
    for (PhoneConnection* connection : LiveConnections()) {
        if (connection->Unanswered() >= m_options.Limits.MissedPongs) {
            connection->Drop(); // a phone gone without a word
        } else {
            connection->Ping();
        }
    }
}

// ---- Cards -------------------------------------------------------------------------------------

void PhoneServer::SetCards(std::vector<RecordedCard> cards) {
    // A phone following a card that is no longer given loses its page.
    for (PhoneConnection* connection : LiveConnections()) {
        connection->Close(websocket::kGoingAway);
    }
    m_live.clear();
    m_liveCount = 0;
    m_cards.clear();
    m_byDigest.clear();
    // Cards printed without a page still hold their numbers: a fresh card goes on after them.
    m_nextNumber = NextCardNumber(cards);
    // Fresh cards dealt today count, though serving started again since.
    const qint64 since = m_clock.NowMs() - kDayMs;
    m_freshDealt = static_cast<int>(std::count_if(cards.begin(), cards.end(), [&](const RecordedCard& card) {
        return card.Layout == m_options.FreshCards.Layout && card.Issued.isValid() &&
               card.Issued.toMSecsSinceEpoch() > since;
    }));
    for (RecordedCard& card : cards) {
        AddCard(std::move(card));
    }
}

void PhoneServer::AddCard(RecordedCard card) {
    // A card printed from the roster as it was before its rows changed would mark other people.
    if (!HasPhonePage(card, m_options.FreshCards.Fingerprint) || m_byDigest.contains(digestOf(card.Token))) {
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
    return CheckCard(card, drawn, &m_roster).Marked;
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

// ---- Requests ----------------------------------------------------------------------------------

void PhoneServer::Refused(PhoneConnection& connection, int status) {
    Reply(connection, {status, kText, HttpReason(status), {}}, true);
}

void PhoneServer::Requested(PhoneConnection& connection, const HttpRequest& request) {
    const bool close = !request.KeepAlive();
    bool deferred = false;
    const Response response = Answer(connection, request, close, deferred);
    if (!deferred) {
        // A request the server cannot take for what it is ends the connection.
        Reply(connection, response, close || response.Status == 400 || response.Status == 421);
    }
}

void PhoneServer::Reply(PhoneConnection& connection, const Response& response, bool close) {
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' + HttpReason(response.Status) +
                       "\r\nContent-Type: " + response.Type +
                       "\r\nContent-Length: " + QByteArray::number(response.Body.size()) +
                       "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff"
                       "\r\nReferrer-Policy: no-referrer\r\n";
    for (const auto& [name, value] : response.Headers) {
        bytes += name + ": " + value + "\r\n";
    }
    if (close) {
        bytes += "Connection: close\r\n";
    }
    bytes += "\r\n" + response.Body;
    connection.Answer(bytes, close);
}

PhoneServer::Response PhoneServer::Answer(PhoneConnection& connection, const HttpRequest& request, bool close,
                                          bool& deferred) {
    const QString& address = connection.Address();
    if (m_guesses->IsBlocked(address)) {
        return {429,
                kText,
                HttpReason(429),
                {{"Retry-After", QByteArray::number(m_options.Limits.GuessBlockMs / 1000)}}};
    }
    if (!m_requests->Take(address)) {
        return {429, kText, HttpReason(429), {{"Retry-After", "1"}}};
    }
    // Only requests meant for this address and port: a page elsewhere whose name was pointed at this
    // address (DNS rebinding) names itself in the Host header.
    if (request.Count("host") != 1) {
        return {400, kText, HttpReason(400), {}};
    }
    if (request.Header("host").compare(m_host, Qt::CaseInsensitive) != 0) {
        return {421, kText, HttpReason(421), {}};
    }
    const PhoneRoute route = RouteOf(QString::fromLatin1(request.Target));
    const bool get = request.Method == "GET";
    const bool post = request.Method == "POST";
    if (route.What == PhoneRoute::Kind::FreshCard && get && m_recorder) {
        return GiveFreshCard(connection, close, deferred);
    }
    if (route.What == PhoneRoute::Kind::Icon && get) {
        return {200, "image/png", m_icon, {}};
    }
    const RecordedCard* card = route.Token.isEmpty() ? nullptr : FindCard(route.Token);
    if (card == nullptr) {
        if (route.Guess || !route.Token.isEmpty()) {
            m_guesses->CountGuess(address);
        }
        return {404, kText, HttpReason(404), {}};
    }
    switch (route.What) {
    case PhoneRoute::Kind::CardPage:
        if (get) {
            return {
                200, kHtml, m_page, {{"Content-Security-Policy", m_pagePolicy}, {"X-Frame-Options", "DENY"}}};
        }
        break;
    case PhoneRoute::Kind::CardJson:
        if (get) {
            return {200, "application/json", CardDocument(ViewOf(*card)), {}};
        }
        break;
    case PhoneRoute::Kind::Photo:
        if (const QString photo = PhotoOf(*card, route.Cell); get && !photo.isEmpty()) {
            deferred = true;
            ServePhoto(connection, photo, close);
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
            return {200, kText, QStringLiteral("受け付けました").toUtf8(), {}};
        }
        break;
    case PhoneRoute::Kind::Live:
        if (get) {
            return Follow(connection, request, *card, deferred);
        }
        break;
    case PhoneRoute::Kind::None:
    case PhoneRoute::Kind::FreshCard:
    case PhoneRoute::Kind::Icon:
        break;
    }
    return {404, kText, HttpReason(404), {}};
}

PhoneServer::Response PhoneServer::Follow(PhoneConnection& connection, const HttpRequest& request,
                                          const RecordedCard& card, bool& deferred) {
    if (!request.Lists("upgrade", "websocket")) {
        return {426, kText, HttpReason(426), {{"Upgrade", "websocket"}, {"Connection", "Upgrade"}}};
    }
    const QByteArray accept = websocket::AcceptKey(request.Header("sec-websocket-key"));
    if (!request.Lists("connection", "upgrade") || request.Header("sec-websocket-version") != "13" ||
        request.Count("sec-websocket-key") != 1 || accept.isEmpty()) {
        return {400, kText, HttpReason(400), {}};
    }
    deferred = true;
    connection.Upgrade(accept);
    if (connection.IsLive()) {
        m_live.push_back({connection.Id(), static_cast<size_t>(&card - m_cards.data())});
        m_liveCount = static_cast<int>(m_live.size());
        connection.SendText(CardDocument(ViewOf(card)));
    }
    return {};
}

void PhoneServer::ServePhoto(PhoneConnection& connection, const QString& path, bool close) {
    const quint64 id = connection.Id();
    m_photos->Fetch(path, [this, id, close](const QByteArray& jpeg) {
        PhoneConnection* waiting = Open(id);
        if (waiting == nullptr) {
            return; // the phone went away meanwhile
        }
        Reply(*waiting,
              jpeg.isEmpty() ? Response{404, kText, HttpReason(404), {}}
                             : Response{200, "image/jpeg", jpeg, {}},
              close);
    });
}

PhoneServer::Response PhoneServer::GiveFreshCard(PhoneConnection& connection, bool close, bool& deferred) {
    const PhoneLimits& limits = m_options.Limits;
    const QString& address = connection.Address();
    if (m_freshDealt >= limits.FreshCards ||
        m_freshPerAddress.value(address) >= limits.FreshCardsPerAddress) {
        return {429,
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
    const int number = std::max(m_nextNumber, NextCardNumber(m_cards));
    const std::optional<RecordedCard> card =
        ::DealFreshCard(m_roster, m_random, m_options.FreshCards, number,
                        QDateTime::fromMSecsSinceEpoch(m_clock.NowMs()), token);
    if (!card) {
        return {503,
                kHtml,
                notePage(QStringLiteral("カード"),
                         QStringLiteral("申し訳ありません。いまはカードをお渡しできません。"
                                        "係の者にお声がけください。")),
                {}};
    }
    // The number and the guest's share are taken now: cards asked for meanwhile take the next ones.
    m_nextNumber = number + 1;
    ++m_freshDealt;
    ++m_freshPerAddress[address];
    deferred = true;
    using Outcome = std::pair<bool, QString>; // recorded, or why not
    auto* watcher = new QFutureWatcher<Outcome>(this);
    const quint64 id = connection.Id();
    connect(watcher, &QFutureWatcher<Outcome>::finished, this, [=, this, dealt = *card] {
        watcher->deleteLater();
        const Outcome outcome = watcher->result();
        FreshCardRecorded(id, address, dealt, close, outcome.first, outcome.second);
    });
    watcher->setFuture(QtConcurrent::run(&m_recording, [recorder = m_recorder, dealt = *card] {
        QString failure;
        const bool recorded = recorder(dealt, failure);
        return Outcome{recorded, failure};
    }));
    return {};
}

void PhoneServer::FreshCardRecorded(quint64 connection, const QString& address, const RecordedCard& card,
                                    bool close, bool recorded, const QString& failure) {
    PhoneConnection* waiting = Open(connection);
    if (!recorded) {
        --m_freshDealt;
        --m_freshPerAddress[address];
        emit FreshCardRefused(failure);
        if (waiting != nullptr) {
            Reply(*waiting,
                  {503,
                   kHtml,
                   notePage(QStringLiteral("カード"),
                            QStringLiteral("申し訳ありません。いまはカードをお渡しできません。"
                                           "係の者にお声がけください。")),
                   {}},
                  close);
        }
        return;
    }
    m_cards.push_back(card);
    IndexCard(m_cards.size() - 1);
    emit FreshCardDealt(card);
    if (waiting != nullptr) {
        Reply(*waiting, {303, kHtml, QByteArray(), {{"Location", "/c/" + card.Token.toLatin1()}}}, close);
    }
}

// ---- Live marks --------------------------------------------------------------------------------

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
    QHash<size_t, QByteArray> messages;          // one per card, however many phones follow it
    const std::vector<LiveClient> live = m_live; // a phone dropped for its backlog leaves m_live
    for (const LiveClient& client : live) {
        PhoneConnection* connection = Open(client.Connection);
        if (connection == nullptr) {
            continue;
        }
        auto message = messages.find(client.Card);
        if (message == messages.end()) {
            message = messages.insert(
                client.Card, StateDocument(CheckCard(m_cards[client.Card], drawn, &m_roster).Marked, latest));
        }
        connection->SendText(*message);
    }
}
