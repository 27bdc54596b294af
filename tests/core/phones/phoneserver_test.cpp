#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/phones/phoneserver.h"
#include "phonetesting.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <QWebSocket>
#include <gtest/gtest.h>
#include <set>

using namespace phonetesting;

namespace {

// Limits loose enough that a test meets only the one it is about.
PhoneLimits looseLimits() {
    PhoneLimits limits;
    limits.ConnectionsPerAddress = 50;
    limits.Guesses = 1000;
    limits.ClaimIntervalMs = 60 * 1000;
    limits.RequestBurst = 100000;
    return limits;
}

class PhoneServerTest : public ::testing::Test {
protected:
    PhoneServerTest() : roster(SecretRoster(40, {39})) {
        const QString pictures = dir.path();
        QImage big(2000, 1500, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        big.setText(QStringLiteral("Description"), QStringLiteral("secret-comment"));
        big.save(QDir(pictures).filePath(QStringLiteral("big.jpg")));
        roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("big.jpg"));
        roster.SetCell(RosterColumn::Photo, 2, QStringLiteral("missing.jpg"));
        options.PicturesFolder = pictures;
        cards = {CardOf(roster, 1, 5, 1), CardOf(roster, 2, 3, 30)};
        cards[1].Token = QStringLiteral("abcdefghijklmnopqrstuv-_"); // as cards were printed before
    }

    // Starts on the loose limits, tightened where a test is about one of them.
    void Start(const std::function<void(PhoneLimits&)>& tighten = {}) {
        options.Limits = looseLimits();
        if (tighten) {
            tighten(options.Limits);
        }
        server = std::make_unique<PhoneServer>(roster, clock, random, options);
        server->SetCards(cards);
        ASSERT_TRUE(server->Start(QHostAddress::LocalHost, 0)) << server->ErrorText().toStdString();
        port = server->Port();
        ASSERT_NE(port, 0);
    }

    QByteArray PathOf(const RecordedCard& card, const char* rest = "") const {
        return "/c/" + card.Token.toLatin1() + rest;
    }

    // Opens a live connection to a card and waits for its first message.
    std::unique_ptr<QWebSocket> Follow(const RecordedCard& card, QStringList& messages,
                                       int timeoutMs = 3000) {
        auto socket = std::make_unique<QWebSocket>();
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived,
                         [&messages](const QString& text) { messages.append(text); });
        socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/c/%2/live").arg(port).arg(card.Token)));
        WaitFor([&] { return !messages.isEmpty() || socket->state() == QAbstractSocket::UnconnectedState; },
                timeoutMs);
        return socket;
    }

    LoopApplication app;
    QTemporaryDir dir;
    QtClock clock;
    ClockSeededFractions random{7};
    RosterTable roster;
    PhoneServerOptions options;
    std::vector<RecordedCard> cards;
    std::unique_ptr<PhoneServer> server;
    quint16 port = 0;
};

TEST_F(PhoneServerTest, ServesTheCardPageOnlyToItsToken) {
    Start();
    const Reply page = Send(port, Get(PathOf(cards[0])));
    EXPECT_EQ(page.Status, 200);
    EXPECT_TRUE(HeaderOf(page, "Content-Type").startsWith("text/html"));
    EXPECT_TRUE(page.Body.contains("ビンゴ！"));
    const QByteArray policy = HeaderOf(page, "Content-Security-Policy");
    EXPECT_TRUE(policy.contains("script-src 'sha256-"));
    EXPECT_TRUE(policy.contains("connect-src 'self' ws://" + HostOf(port) + ";")) << policy.toStdString();
    for (const auto& [name, value] : {std::pair{"X-Frame-Options", "DENY"},
                                      {"Referrer-Policy", "no-referrer"},
                                      {"Cache-Control", "no-store"},
                                      {"X-Content-Type-Options", "nosniff"}}) {
        EXPECT_EQ(HeaderOf(page, name), value) << name;
    }

    QString wrong = cards[0].Token;
    wrong[5] = wrong[5] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    EXPECT_EQ(Send(port, Get("/c/" + wrong.toLatin1())).Status, 404);
    EXPECT_EQ(Send(port, Get("/c/")).Status, 404);
    EXPECT_EQ(HeaderOf(Send(port, Get("/favicon.ico")), "Content-Type"), "image/png");
    EXPECT_EQ(Send(port, Get("/new")).Status, 404); // no recorder: no fresh cards
    EXPECT_EQ(Send(port, Post(PathOf(cards[0]))).Status, 404);
}

// A card whose run was stopped before it was printed has no page; a row given to someone else
// since the card was printed does not mark its cell, as the card check does not count it.
TEST_F(PhoneServerTest, OnlyCardsGivenOutAreServedAndMarkedAsTheCardCheckMarksThem) {
    RecordedCard stopped = CardOf(roster, 3, 5, 1);
    stopped.Status = CardStatus::NotPrinted;
    cards.push_back(stopped);
    Start();
    EXPECT_EQ(Send(port, Get(PathOf(stopped))).Status, 404);
    roster.SetCell(RosterColumn::Name, 4, QStringLiteral("まったくの別人"));
    server->PanelOpened(4, 0, false);
    server->PanelOpened(5, 1, false);
    WaitFor([] { return false; }, 50);
    const QJsonArray cells = QJsonDocument::fromJson(Send(port, Get(PathOf(cards[0], "/card.json"))).Body)
                                 .object()
                                 .value(u"cells")
                                 .toArray();
    ASSERT_EQ(cells.size(), 25);
    EXPECT_FALSE(cells[3].toObject().value(u"marked").toBool());
    EXPECT_TRUE(cells[4].toObject().value(u"marked").toBool());
}

// Each path is refused; those that look like a way to a card count as a guess, which with a
// limit of one guess blocks the address for the next, honest request.
struct TrickPath {
    const char* Name;
    std::function<QByteArray(const QByteArray& token, const QByteArray& other)> Path;
    bool Guess;
};

class PhoneServerTricks : public PhoneServerTest, public ::testing::WithParamInterface<TrickPath> {};

TEST_P(PhoneServerTricks, AreNotFoundAndCountAsGuesses) {
    Start([](PhoneLimits& l) { l.Guesses = 1; });
    const QByteArray token = cards[0].Token.toLatin1();
    const QByteArray other = cards[1].Token.toLatin1();
    const Reply trick = Send(port, Get(GetParam().Path(token, other)));
    EXPECT_EQ(trick.Status, 404) << trick.Head.toStdString();
    EXPECT_FALSE(trick.Body.contains("参加者"));
    const Reply honest = Send(port, Get("/c/" + token + "/card.json"));
    EXPECT_EQ(honest.Status, GetParam().Guess ? 429 : 200);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PhoneServerTricks,
    ::testing::Values(
        TrickPath{"DotDot", [](auto t, auto o) { return "/c/" + t + "/../" + o + "/card.json"; }, true},
        TrickPath{"EncodedDots", [](auto t, auto) { return "/c/" + t + "/%2e%2e/%2e%2e/etc/passwd"; }, true},
        TrickPath{"EncodedSlash", [](auto t, auto) { return "/c/" + t + "%2Fcard.json"; }, true},
        TrickPath{"DoubleSlash", [](auto t, auto) { return "/c//" + t + "/card.json"; }, true},
        TrickPath{"LeadingDoubleSlash", [](auto t, auto) { return "//c/" + t + "/card.json"; }, true},
        TrickPath{"LongToken", [](auto t, auto) { return "/c/" + t + "AAAA/card.json"; }, true},
        TrickPath{"ShortToken", [](auto t, auto) { return "/c/" + t.left(20) + "/card.json"; }, true},
        TrickPath{"WrongCharacters", [](auto t, auto) { return "/c/" + t.left(23) + "!/card.json"; }, true},
        TrickPath{"Backslash", [](auto t, auto) { return "/c/" + t + "\\card.json"; }, true},
        TrickPath{"NoSuchPart", [](auto t, auto) { return "/c/" + t + "/roster.txt"; }, true},
        TrickPath{"CellOutOfCard", [](auto t, auto) { return "/c/" + t + "/photo/99"; }, true},
        TrickPath{"CellWithZero", [](auto t, auto) { return "/c/" + t + "/photo/01"; }, true},
        TrickPath{"EncodedDigit", [](auto t, auto) { return "/c/" + t + "/photo/%30"; }, true},
        TrickPath{"EncodedLetter", [](auto t, auto) { return "/c/" + t + "/card.jso%6E"; }, true},
        TrickPath{"Query", [](auto t, auto) { return "/c/" + t + "?x=1"; }, true},
        TrickPath{"Root", [](auto, auto) { return QByteArray("/"); }, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PhoneServerTest, GuessingIsBlockedForAWhile) {
    Start([](PhoneLimits& l) {
        l.Guesses = 3;
        l.GuessBlockMs = 600;
    });
    const QByteArray good = PathOf(cards[0], "/card.json");
    const QByteArray wrong = "/c/" + NewCardToken().toLatin1() + "/card.json";
    EXPECT_EQ(Send(port, Get(wrong)).Status, 404);
    EXPECT_EQ(Send(port, Get(wrong)).Status, 404);
    EXPECT_EQ(Send(port, Get(good)).Status, 200);
    EXPECT_EQ(Send(port, Get(wrong)).Status, 404); // the third guess blocks
    EXPECT_EQ(Send(port, Get(good)).Status, 429);
    EXPECT_EQ(Send(port, Get(wrong)).Status, 429);
    // A live connection is refused as well.
    QStringList messages;
    auto socket = Follow(cards[0], messages);
    EXPECT_TRUE(messages.isEmpty());
    Pause(700);
    EXPECT_EQ(Send(port, Get(good)).Status, 200);
}

// What a request may be: refused with a status while it is small enough to read (0: the
// connection is dropped unread), and the connection closed at once after a refusal or when the
// client asks for it; kept open otherwise.
struct RequestCase {
    const char* Name;
    QByteArray Request; // TOKEN stands for a card's token, {HOST} for the server's host
    int Status;
    bool Closed;
};

class PhoneServerRequests : public PhoneServerTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(PhoneServerRequests, AreAnsweredAsTheyStand) {
    Start();
    const QByteArray request = QByteArray(GetParam().Request).replace("TOKEN", cards[0].Token.toLatin1());
    const Reply reply = Send(port, request, 3000, GetParam().Closed ? 1000 : 300);
    EXPECT_EQ(reply.Status, GetParam().Status) << reply.Head.toStdString();
    EXPECT_EQ(reply.Closed, GetParam().Closed);
    if (GetParam().Status == 0) {
        EXPECT_GE(server->DroppedCount(), 1);
    }
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/card.json"))).Status, 200); // others are served on
}

QByteArray claimWith(const QByteArray& headers) {
    return "POST /c/TOKEN/bingo HTTP/1.1\r\nHost: {HOST}\r\n" + headers + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PhoneServerRequests,
    ::testing::Values(
        RequestCase{"KeptAlive", Get("/c/TOKEN/card.json"), 200, false},
        RequestCase{"ConnectionClose",
                    "GET /c/TOKEN/card.json HTTP/1.1\r\nHost: {HOST}\r\nConnection: close\r\n\r\n", 200,
                    true},
        RequestCase{"Http10", "GET /c/TOKEN/card.json HTTP/1.0\r\nHost: {HOST}\r\n\r\n", 200, true},
        RequestCase{"NegativeLength", claimWith("Content-Length: -5\r\n"), 400, true},
        RequestCase{"OversizedLength", claimWith("Content-Length: 99999999999999999999\r\n"), 400, true},
        RequestCase{"LengthAndChunked",
                    claimWith("Content-Length: 3\r\nTransfer-Encoding: chunked\r\n") + "abc", 400, true},
        RequestCase{"TwoLengths", claimWith("Content-Length: 1\r\nContent-Length: 2\r\n") + "ab", 400, true},
        RequestCase{"OtherHost", "GET /c/TOKEN HTTP/1.1\r\nHost: rebound.example:50080\r\n\r\n", 421, true},
        RequestCase{"HostWithoutPort", "GET /c/TOKEN HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 421, true},
        RequestCase{"NoHost", "GET /c/TOKEN HTTP/1.1\r\n\r\n", 400, true},
        RequestCase{"TwoHosts", "GET /c/TOKEN HTTP/1.1\r\nHost: {HOST}\r\nHost: {HOST}\r\n\r\n", 400, true},
        RequestCase{"FoldedHeader", "GET /c/TOKEN HTTP/1.1\r\nHost: {HOST}\r\nX: a\r\n b\r\n\r\n", 400, true},
        RequestCase{"AbsoluteTarget", "GET http://{HOST}/c/TOKEN HTTP/1.1\r\nHost: {HOST}\r\n\r\n", 400,
                    true},
        RequestCase{"BodyOverLimit", Post("/c/TOKEN/bingo", QByteArray(5000, 'x')), 413, true},
        RequestCase{"HugeDeclaredBody", claimWith("Content-Length: 100000000\r\n"), 413, true},
        RequestCase{"HeadersOverLimit",
                    "GET /c/TOKEN HTTP/1.1\r\nHost: {HOST}\r\nX-Pad: " + QByteArray(5000, 'x') + "\r\n\r\n",
                    431, true},
        RequestCase{"HugeHeaders",
                    "GET /c/TOKEN HTTP/1.1\r\nHost: {HOST}\r\nX-Pad: " + QByteArray(100000, 'x') + "\r\n\r\n",
                    0, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PhoneServerTest, SlowAndIdleClientsAreDropped) {
    Start([](PhoneLimits& l) {
        l.RequestMs = 300;
        l.IdleMs = 500;
    });
    QTcpSocket slow;
    QTcpSocket idle;
    slow.connectToHost(QHostAddress::LocalHost, port);
    idle.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] {
        return slow.state() == QAbstractSocket::ConnectedState &&
               idle.state() == QAbstractSocket::ConnectedState;
    }));
    slow.write("GET " + PathOf(cards[0]) + " HTTP/1.1\r\nHost: x\r\n"); // never finished
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(WaitFor([&] { return slow.state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_LT(elapsed.elapsed(), 450);
    EXPECT_EQ(idle.state(), QAbstractSocket::ConnectedState);
    ASSERT_TRUE(WaitFor([&] { return idle.state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_EQ(slow.readAll(), QByteArray());
}

TEST_F(PhoneServerTest, ConnectionsOfOneAddressAreBounded) {
    Start([](PhoneLimits& l) { l.ConnectionsPerAddress = 3; });
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int k = 0; k < 6; ++k) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    Pause(300);
    const auto open = std::count_if(sockets.begin(), sockets.end(), [](const auto& s) {
        return s->state() == QAbstractSocket::ConnectedState;
    });
    EXPECT_EQ(open, 3);
    sockets.clear();
    // The freed places are taken again.
    EXPECT_TRUE(WaitFor([&] { return Send(port, Get(PathOf(cards[0], "/card.json"))).Status == 200; }));
}

TEST_F(PhoneServerTest, CardJsonHoldsTheCardAndNothingElseOfTheRoster) {
    Start();
    server->PanelOpened(3, 0, false);  // on card 1
    server->PanelOpened(35, 1, false); // on card 2, drawn last
    WaitFor([] { return false; }, 50);
    const Reply reply = Send(port, Get(PathOf(cards[0], "/card.json")));
    ASSERT_EQ(reply.Status, 200);
    const QJsonObject card = QJsonDocument::fromJson(reply.Body).object();
    QStringList keys = card.keys();
    keys.sort();
    EXPECT_EQ(keys, QString::fromLatin1("cells label latest number side type").split(QLatin1Char(' ')));
    EXPECT_EQ(card.value(u"number").toInt(), 1);
    EXPECT_EQ(card.value(u"side").toInt(), 5);
    EXPECT_EQ(card.value(u"latest").toString(), QStringLiteral("参加者35"));
    const QJsonArray cells = card.value(u"cells").toArray();
    ASSERT_EQ(cells.size(), 25);
    for (int k = 0; k < 25; ++k) {
        const QJsonObject cell = cells[k].toObject();
        QStringList cellKeys = cell.keys();
        cellKeys.sort();
        EXPECT_EQ(cellKeys, QString::fromLatin1("marked name photo").split(QLatin1Char(' ')));
        EXPECT_EQ(cell.value(u"name").toString(), cards[0].Cells[static_cast<size_t>(k)].Name);
        EXPECT_EQ(cell.value(u"photo").toBool(), k == 0) << k; // row 2's photo file is missing
        EXPECT_EQ(cell.value(u"marked").toBool(), k == 2 || k == 12) << k;
    }
    // Nothing else of anyone leaves: the other fields, the other rows, the row numbers.
    for (const QByteArray& body : {reply.Body, Send(port, Get(PathOf(cards[0]))).Body}) {
        const QString text = QString::fromUtf8(body);
        EXPECT_FALSE(text.contains(QStringLiteral("秘密"))) << body.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("secret")));
        EXPECT_FALSE(text.contains(QStringLiteral("1987")));
        EXPECT_FALSE(text.contains(QStringLiteral("参加者30")));
        EXPECT_FALSE(text.contains(QStringLiteral("\"row\"")));
    }
}

TEST_F(PhoneServerTest, PhotosAreFittedForThePhoneAndOnlyThoseOfTheCard) {
    Start();
    const Reply photo = Send(port, Get(PathOf(cards[0], "/photo/0")), 10000);
    ASSERT_EQ(photo.Status, 200);
    EXPECT_EQ(HeaderOf(photo, "Content-Type"), "image/jpeg");
    const QImage image = QImage::fromData(photo.Body, "JPEG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 240));
    // The pixels only: no comment of the original (a COM segment), kept no more than the page.
    EXPECT_FALSE(photo.Body.contains("secret-comment"));
    EXPECT_FALSE(photo.Body.contains("\xFF\xFE"));
    EXPECT_EQ(HeaderOf(photo, "Cache-Control"), "no-store");
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/0"))).Body, photo.Body); // from the cache
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/1"))).Status, 404);      // file missing
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/3"))).Status, 404);      // no photo
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/25"))).Status, 404);     // beyond the card
    EXPECT_EQ(Send(port, Get(PathOf(cards[1], "/photo/0"))).Status, 404);      // row 30 has none
    // A row that holds someone else now shows nobody's face.
    roster.SetCell(RosterColumn::Name, 1, QStringLiteral("別の人"));
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/0"))).Status, 404);
}

TEST_F(PhoneServerTest, APanelReachesTheLivePhonesOfItsCardAndAReconnectGetsTheWhole) {
    Start();
    QStringList first;
    QStringList second;
    auto phone = Follow(cards[0], first);
    auto other = Follow(cards[1], second);
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(first[0].toUtf8()).object().value(u"type").toString(),
              QStringLiteral("card"));
    EXPECT_EQ(server->LiveCount(), 2);

    QElapsedTimer elapsed;
    elapsed.start();
    server->PanelOpened(5, 7, false);
    ASSERT_TRUE(WaitFor([&] { return first.size() == 2; }, 1000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    const QJsonObject state = QJsonDocument::fromJson(first[1].toUtf8()).object();
    EXPECT_EQ(state.value(u"type").toString(), QStringLiteral("state"));
    EXPECT_EQ(state.value(u"latest").toString(), QStringLiteral("参加者05"));
    const QJsonArray marked = state.value(u"marked").toArray();
    ASSERT_EQ(marked.size(), 25);
    EXPECT_TRUE(marked[4].toBool());
    EXPECT_TRUE(marked[12].toBool()); // the mark
    EXPECT_EQ(std::count(marked.begin(), marked.end(), QJsonValue(true)), 2);
    ASSERT_TRUE(WaitFor([&] { return second.size() == 2; }, 1000)); // the latest name changed for all

    server->PanelClosed(5, 7);
    ASSERT_TRUE(WaitFor([&] { return first.size() == 3; }, 1000));
    EXPECT_FALSE(QJsonDocument::fromJson(first[2].toUtf8()).object().value(u"marked").toArray()[4].toBool());

    // A reload or a lost connection: the new connection starts with everything so far.
    server->SetOpenPanels({{0, 6}, {1, 7}});
    phone->close();
    QStringList again;
    auto back = Follow(cards[0], again);
    ASSERT_EQ(again.size(), 1);
    const QJsonObject whole = QJsonDocument::fromJson(again[0].toUtf8()).object();
    EXPECT_EQ(whole.value(u"latest").toString(), QStringLiteral("参加者07"));
    const QJsonArray cells = whole.value(u"cells").toArray();
    EXPECT_TRUE(cells[5].toObject().value(u"marked").toBool());
    EXPECT_TRUE(cells[6].toObject().value(u"marked").toBool());
    EXPECT_FALSE(cells[4].toObject().value(u"marked").toBool());
}

TEST_F(PhoneServerTest, LiveConnectionsGiveTheirPlacesBack) {
    Start([](PhoneLimits& l) { l.ConnectionsPerAddress = 2; });
    for (int k = 0; k < 6; ++k) {
        QStringList messages;
        auto phone = Follow(cards[k % 2], messages);
        ASSERT_EQ(messages.size(), 1) << k;
        phone->close();
        ASSERT_TRUE(WaitFor([&] { return server->LiveCount() == 0; })) << k;
    }
}

// A phone that never reads is dropped at the write that would queue more than the limit for it,
// whatever the bytes are: marks pushed to it, or pongs it asked for with pings; or when all
// connections together hold more than theirs. The server never holds more; the others go on.
struct Backlog {
    const char* Name;
    bool Pings; // else the marks of many panels
    qint64 UnsentBytes;
    qint64 UnsentBytesInAll;
};

class PhoneServerBacklog : public PhoneServerTest, public ::testing::WithParamInterface<Backlog> {};

TEST_P(PhoneServerBacklog, DropsThePhoneThatNeverReads) {
    // A long name makes every message of marks large, so that the buffers fill within a few panels.
    roster.SetCell(RosterColumn::Name, 40, QString(3000, QChar(0x540D)));
    Start([](PhoneLimits& l) {
        l.UnsentBytes = GetParam().UnsentBytes;
        l.UnsentBytesInAll = GetParam().UnsentBytesInAll;
        l.SendBufferBytes = 4096;
        l.PeerFrames = 1000000;
    });
    QStringList read;
    auto reader = Follow(cards[0], read);
    RawPhone deaf(port, PathOf(cards[0], "/live"), true);
    ASSERT_TRUE(WaitFor([&] { return server->LiveCount() == 2; }));
    qint64 mostUnsent = 0;
    for (int k = 0; k < 3000 && server->LiveCount() == 2; ++k) {
        if (GetParam().Pings) {
            deaf.Send(0x89, QByteArray(125, 'p'));
        } else if (k % 10 == 0) {
            server->PanelOpened(40, k, false);
        }
        Pause(1);
        mostUnsent = std::max(mostUnsent, server->UnsentInAll());
    }
    EXPECT_EQ(server->LiveCount(), 1);
    // The limit, and what the reader has not taken yet.
    EXPECT_LE(mostUnsent, std::min(GetParam().UnsentBytes, GetParam().UnsentBytesInAll) + 16 * 1024);
    const qsizetype before = read.size();
    server->PanelOpened(3, 5000, false);
    EXPECT_TRUE(WaitFor([&] { return read.size() > before; }));
    EXPECT_EQ(reader->state(), QAbstractSocket::ConnectedState);
}

INSTANTIATE_TEST_SUITE_P(Phones, PhoneServerBacklog,
                         ::testing::Values(Backlog{"Marks", false, 16 * 1024, 1 << 30},
                                           Backlog{"Pongs", true, 16 * 1024, 1 << 30},
                                           Backlog{"AllTogether", true, 1 << 30, 24 * 1024}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Frames a phone must not send: the connection is closed with the code the protocol gives.
struct BadFrame {
    const char* Name;
    quint8 First;
    QByteArray Payload;
    bool Masked;
    quint16 Code;
    int Times = 1;
};

class PhoneServerFrames : public PhoneServerTest, public ::testing::WithParamInterface<BadFrame> {};

TEST_P(PhoneServerFrames, CloseTheConnection) {
    Start();
    RawPhone phone(port, PathOf(cards[0], "/live"));
    ASSERT_TRUE(phone.Upgraded());
    for (int k = 0; k < GetParam().Times; ++k) {
        phone.Send(GetParam().First, GetParam().Payload, GetParam().Masked);
    }
    EXPECT_TRUE(WaitFor([&] { return phone.CloseCode() != 0; }));
    EXPECT_EQ(phone.CloseCode(), GetParam().Code);
    EXPECT_TRUE(WaitFor([&] { return phone.Closed(); }));
    EXPECT_EQ(server->LiveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Frames, PhoneServerFrames,
                         ::testing::Values(BadFrame{"Unmasked", 0x81, "hello", false, 1002},
                                           BadFrame{"UnmaskedPing", 0x89, "", false, 1002},
                                           BadFrame{"ReservedBit", 0xC1, "hello", true, 1002},
                                           BadFrame{"UnknownOpcode", 0x83, "x", true, 1002},
                                           BadFrame{"FragmentedPing", 0x09, "x", true, 1002},
                                           BadFrame{"ContinuationOfNothing", 0x80, "x", true, 1002},
                                           BadFrame{"TooBig", 0x81, QByteArray(2000, 'x'), true, 1009},
                                           BadFrame{"Closing", 0x88, QByteArray("\x03\xe8", 2), true, 1000},
                                           BadFrame{"TooManyPings", 0x89, "p", true, 1008, 11}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The server pings every live phone; one that answers none of them is taken for gone, one that
// answers stays.
TEST_F(PhoneServerTest, APhoneThatAnswersNoPingIsLetGo) {
    Start([](PhoneLimits& l) {
        l.PingMs = 100;
        l.MissedPongs = 2;
    });
    QStringList messages;
    auto answering = Follow(cards[0], messages); // QWebSocket answers pings by itself
    RawPhone silent(port, PathOf(cards[1], "/live"));
    ASSERT_TRUE(silent.Upgraded());
    EXPECT_TRUE(WaitFor([&] { return silent.Closed(); }, 2000));
    EXPECT_GE(silent.Pings(), 2);
    EXPECT_EQ(answering->state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(server->LiveCount(), 1);
}

TEST_F(PhoneServerTest, AClaimReachesTheOrganiserAndThePhoneIsOnlyThanked) {
    Start();
    std::vector<int> claims;
    QObject::connect(server.get(), &PhoneServer::Claimed, [&](int number) { claims.push_back(number); });
    const Reply reply = Send(port, Post(PathOf(cards[1], "/bingo")));
    EXPECT_EQ(reply.Status, 200);
    EXPECT_EQ(QString::fromUtf8(reply.Body), QStringLiteral("受け付けました"));
    EXPECT_EQ(claims, std::vector<int>({2}));
    // Pressed again at once: thanked again, the organiser is not called twice.
    EXPECT_EQ(Send(port, Post(PathOf(cards[1], "/bingo"))).Status, 200);
    EXPECT_EQ(Send(port, Get(PathOf(cards[1], "/bingo"))).Status, 404);
    EXPECT_EQ(claims, std::vector<int>({2}));
    Send(port, Post(PathOf(cards[0], "/bingo")));
    EXPECT_EQ(claims, std::vector<int>({2, 1}));
}

TEST_F(PhoneServerTest, AGuestWithoutPaperGetsAFreshCardDealtByTheRulesAndRecorded) {
    options.FreshCards.Side = 5;
    options.FreshCards.Fingerprint = QStringLiteral("fp");
    for (RecordedCard& card : cards) {
        card.Fingerprint = QStringLiteral("fp");
    }
    // A card printed before the roster's rows changed has no page, but keeps its number.
    RecordedCard older = CardOf(roster, 5, 3, 1);
    older.Fingerprint = QStringLiteral("older");
    cards.push_back(older);
    // Fresh cards dealt before serving started again count: two today, one days ago.
    for (int k = 0; k < 3; ++k) {
        RecordedCard dealt = CardOf(roster, 10 + k, 3, 1);
        dealt.Layout = options.FreshCards.Layout;
        dealt.Issued = QDateTime::currentDateTime().addSecs(k == 2 ? -3 * 24 * 3600 : -3600);
        cards.push_back(dealt);
    }
    Start([](PhoneLimits& l) {
        l.FreshCardsPerAddress = 3;
        l.FreshCards = 4;
    });
    EXPECT_EQ(server->Cards().size(), 2u);
    EXPECT_EQ(Send(port, Get(PathOf(older, "/card.json"))).Status, 404);
    std::set<QThread*> recordedOn;
    std::vector<RecordedCard> recorded;
    bool recordWorks = true;
    server->SetCardRecorder([&](const RecordedCard& card, QString& failure) {
        recordedOn.insert(QThread::currentThread());
        if (recordWorks) {
            recorded.push_back(card);
        }
        failure = QStringLiteral("書けません");
        return recordWorks;
    });
    std::vector<int> dealt;
    QStringList refused;
    QObject::connect(server.get(), &PhoneServer::FreshCardDealt,
                     [&](const RecordedCard& card) { dealt.push_back(card.Number); });
    QObject::connect(server.get(), &PhoneServer::FreshCardRefused,
                     [&](const QString& failure) { refused.append(failure); });

    const Reply reply = Send(port, Get("/new"));
    ASSERT_EQ(reply.Status, 303);
    ASSERT_EQ(recorded.size(), 1u);
    const RecordedCard& card = recorded[0];
    EXPECT_EQ(HeaderOf(reply, "Location"), "/c/" + card.Token.toLatin1());
    EXPECT_EQ(card.Number, 13); // after every card given
    EXPECT_EQ(dealt, std::vector<int>({13}));
    // Recorded off the server's thread, which goes on serving meanwhile.
    EXPECT_FALSE(recordedOn.count(QThread::currentThread()));
    EXPECT_EQ(card.Side, 5);
    EXPECT_EQ(card.Fingerprint, QStringLiteral("fp"));
    ASSERT_EQ(card.Cells.size(), 25u);
    EXPECT_TRUE(card.Cells[12].IsMark());
    std::set<qint16> rows;
    for (size_t k = 0; k < 25; ++k) {
        if (k != 12) {
            const RecordedCell& cell = card.Cells[k];
            EXPECT_GE(cell.Row, 1);
            EXPECT_LE(cell.Row, 40);
            EXPECT_NE(cell.Row, 39); // excluded
            EXPECT_EQ(cell.Name, roster.Cell(RosterColumn::Name, cell.Row));
            rows.insert(cell.Row);
        }
    }
    EXPECT_EQ(rows.size(), 24u); // nobody twice
    EXPECT_EQ(Send(port, Get(HeaderOf(reply, "Location") + "/card.json")).Status, 200);

    recordWorks = false; // a card that cannot be recorded is not dealt
    EXPECT_EQ(Send(port, Get("/new")).Status, 503);
    EXPECT_EQ(server->Cards().size(), 3u);
    EXPECT_EQ(refused, QStringList{QStringLiteral("書けません")});
    recordWorks = true;
    EXPECT_EQ(Send(port, Get("/new")).Status, 303);
    const Reply spent = Send(port, Get("/new")); // four in all, two of them before the restart
    EXPECT_EQ(spent.Status, 429);
    EXPECT_TRUE(QString::fromUtf8(spent.Body).contains(QStringLiteral("申し訳ありません")));
    EXPECT_EQ(recorded.size(), 2u);
}

// Requests with a good token too: a burst, then so many a second.
TEST_F(PhoneServerTest, RequestsOfAnAddressAreLimited) {
    Start([](PhoneLimits& l) {
        l.RequestBurst = 5;
        l.RequestsPerSecond = 4;
    });
    std::vector<int> statuses;
    for (int k = 0; k < 7; ++k) {
        statuses.push_back(Send(port, Get(PathOf(cards[0], "/card.json"))).Status);
    }
    EXPECT_EQ(statuses, std::vector<int>({200, 200, 200, 200, 200, 429, 429}));
    Pause(600);
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/card.json"))).Status, 200);
}

TEST_F(PhoneServerTest, StoppedNothingListensAndThePhonesAreLetGo) {
    Start();
    QStringList messages;
    auto phone = Follow(cards[0], messages);
    ASSERT_EQ(server->LiveCount(), 1);
    server->Stop();
    EXPECT_FALSE(server->IsListening());
    EXPECT_EQ(server->LiveCount(), 0);
    EXPECT_TRUE(WaitFor([&] { return phone->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(phone->closeCode(), QWebSocketProtocol::CloseCodeGoingAway);
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(WaitFor([&] { return probe.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(probe.error(), QAbstractSocket::ConnectionRefusedError);

    // Started again and destroyed: the same.
    ASSERT_TRUE(server->Start(QHostAddress::LocalHost, port));
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/card.json"))).Status, 200);
    server.reset();
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(WaitFor([&] { return late.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(late.error(), QAbstractSocket::ConnectionRefusedError);
}

} // namespace
