#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/phones/phoneserver.h"
#include "phonetesting.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QWebSocket>
#include <gtest/gtest.h>

using namespace phonetesting;

namespace {

// Limits loose enough that a test meets only the one it is about.
PhoneLimits looseLimits() {
    PhoneLimits limits;
    limits.ConnectionsPerAddress = 50;
    limits.Guesses = 1000;
    limits.ClaimIntervalMs = 60 * 1000;
    return limits;
}

class PhoneServerTest : public ::testing::Test {
protected:
    PhoneServerTest() : roster(SecretRoster(40, {39})) {
        const QString pictures = dir.path();
        QImage big(2000, 1500, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        big.save(QDir(pictures).filePath(QStringLiteral("big.jpg")));
        roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("big.jpg"));
        roster.SetCell(RosterColumn::Photo, 2, QStringLiteral("missing.jpg"));
        options.PicturesFolder = pictures;
        cards = {CardOf(roster, 1, 5, 1), CardOf(roster, 2, 3, 30)};
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
    EXPECT_TRUE(HeaderOf(page, "Content-Security-Policy").contains("script-src 'sha256-"));
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
    EXPECT_EQ(Send(port, Get("/new")).Status, 404); // no recorder: no fresh cards
    EXPECT_EQ(Send(port, Post(PathOf(cards[0]))).Status, 404);
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
        TrickPath{"Favicon", [](auto, auto) { return QByteArray("/favicon.ico"); }, false},
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

// Too much sent: refused with a status while it is small enough to read, dropped unread beyond.
struct Oversize {
    const char* Name;
    QByteArray Request;
    int Status; // 0: the connection is dropped without an answer
};

class PhoneServerOversize : public PhoneServerTest, public ::testing::WithParamInterface<Oversize> {};

TEST_P(PhoneServerOversize, IsRefused) {
    Start();
    const QByteArray request = QByteArray(GetParam().Request).replace("TOKEN", cards[0].Token.toLatin1());
    const Reply reply = Send(port, request);
    EXPECT_EQ(reply.Status, GetParam().Status);
    if (GetParam().Status == 0) {
        EXPECT_TRUE(reply.Closed);
        EXPECT_GE(server->DroppedCount(), 1);
    }
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/card.json"))).Status, 200); // others are served on
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PhoneServerOversize,
    ::testing::Values(
        Oversize{"BodyOverLimit", Post("/c/TOKEN/bingo", QByteArray(5000, 'x')), 413},
        Oversize{"HugeBody", Post("/c/TOKEN/bingo", QByteArray(2 * 1024 * 1024, 'x')), 0},
        Oversize{"HugeDeclaredBody",
                 "POST /c/TOKEN/bingo HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\n" +
                     QByteArray(64 * 1024, 'x'),
                 0},
        Oversize{"HeadersOverLimit",
                 "GET /c/TOKEN HTTP/1.1\r\nHost: x\r\nX-Pad: " + QByteArray(5000, 'x') + "\r\n\r\n", 431},
        Oversize{"HugeHeaders",
                 "GET /c/TOKEN HTTP/1.1\r\nHost: x\r\nX-Pad: " + QByteArray(100000, 'x') + "\r\n\r\n", 0}),
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

TEST_F(PhoneServerTest, APhoneThatNeverReadsIsDroppedAndTheOthersStay) {
    // A long name makes every message large, so that the buffers fill within a few panels.
    roster.SetCell(RosterColumn::Name, 40, QString(3000, QChar(0x540D)));
    Start([](PhoneLimits& l) {
        l.UnsentBytes = 16 * 1024;
        l.SendBufferBytes = 4096;
    });
    QStringList read;
    auto reader = Follow(cards[0], read);
    QTcpSocket deaf;
    deaf.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] { return deaf.state() == QAbstractSocket::ConnectedState; }));
    deaf.setReadBufferSize(16);
    deaf.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    deaf.write("GET " + PathOf(cards[0], "/live") +
               " HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    ASSERT_TRUE(WaitFor([&] { return server->LiveCount() == 2; }));
    for (int panel = 0; panel < 200 && server->LiveCount() == 2; ++panel) {
        server->PanelOpened(40, panel, false);
        Pause(5);
    }
    EXPECT_EQ(server->LiveCount(), 1);
    const qsizetype before = read.size();
    server->PanelOpened(3, 500, false);
    EXPECT_TRUE(WaitFor([&] { return read.size() > before; }));
    EXPECT_EQ(reader->state(), QAbstractSocket::ConnectedState);
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
    Start([](PhoneLimits& l) { l.FreshCardsPerAddress = 2; });
    EXPECT_EQ(server->Cards().size(), 2u);
    EXPECT_EQ(Send(port, Get(PathOf(older, "/card.json"))).Status, 404);
    std::vector<RecordedCard> recorded;
    bool recordWorks = true;
    server->SetCardRecorder([&](const RecordedCard& card) {
        if (recordWorks) {
            recorded.push_back(card);
        }
        return recordWorks;
    });
    std::vector<int> dealt;
    QObject::connect(server.get(), &PhoneServer::FreshCardDealt,
                     [&](int number) { dealt.push_back(number); });

    const Reply reply = Send(port, Get("/new"));
    ASSERT_EQ(reply.Status, 303);
    ASSERT_EQ(recorded.size(), 1u);
    const RecordedCard& card = recorded[0];
    EXPECT_EQ(HeaderOf(reply, "Location"), "/c/" + card.Token.toLatin1());
    EXPECT_EQ(card.Number, 6); // after every card given
    EXPECT_EQ(dealt, std::vector<int>({6}));
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
    recordWorks = true;
    EXPECT_EQ(Send(port, Get("/new")).Status, 303);
    const Reply refused = Send(port, Get("/new")); // two for this address
    EXPECT_EQ(refused.Status, 429);
    EXPECT_TRUE(QString::fromUtf8(refused.Body).contains(QStringLiteral("申し訳ありません")));
    EXPECT_EQ(recorded.size(), 2u);
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
