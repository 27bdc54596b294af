#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/phones/phoneserver.h"
#include "phonetesting.h"
#include "support/casefile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QWebSocket>
#include <gtest/gtest.h>
#include <set>

using namespace phonetesting;

namespace {

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

    // Starts on limits loose enough that a test meets only the one it tightens.
    void Start(const std::function<void(PhoneLimits&)>& tighten = {}) {
        options.Limits.ConnectionsPerAddress = 50;
        options.Limits.Guesses = 1000;
        options.Limits.ClaimIntervalMs = 60 * 1000;
        options.Limits.RequestBurst = 100000;
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

    int StatusOf(const QByteArray& path) { return Send(port, Get(path)).Status; }

    // Opens a live connection to a card and waits for its first message.
    std::unique_ptr<QWebSocket> Follow(const RecordedCard& card, QStringList& messages) {
        auto socket = std::make_unique<QWebSocket>();
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived,
                         [&messages](const QString& text) { messages.append(text); });
        socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/c/%2/live").arg(port).arg(card.Token)));
        WaitFor([&] { return !messages.isEmpty() || socket->state() == QAbstractSocket::UnconnectedState; });
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

// The cases of tests/data/phones/<file>, each its fields, named after the first.
std::vector<QStringList> casesOf(const char* file) {
    std::vector<QStringList> cases;
    ForEachCase(QStringLiteral("phones"), QString::fromLatin1(file),
                [&](const std::string&, const QStringList& fields) { cases.push_back(fields); });
    return cases;
}

std::string nameOf(const ::testing::TestParamInfo<QStringList>& info) {
    return info.param.value(0).toStdString();
}

// A field's bytes, {N*c} standing for c N times.
QByteArray bytesOf(QString field) {
    static const QRegularExpression repeat(QStringLiteral("\\{(\\d+)\\*(.)\\}"));
    for (QRegularExpressionMatch m = repeat.match(field); m.hasMatch(); m = repeat.match(field)) {
        field.replace(m.capturedStart(), m.capturedLength(),
                      QString(m.captured(1).toInt(), m.captured(2)[0]));
    }
    return UnescapeCase(field);
}

// tests/data/phones/requests.tsv: what a request may be, its answer, whether the connection is
// closed at once, and whether it counted as a guess (which with a limit of one blocks the address
// for the next, honest request).
class PhoneServerRequests : public PhoneServerTest, public ::testing::WithParamInterface<QStringList> {};

TEST_P(PhoneServerRequests, AreAnsweredAsTheyStand) {
    const QStringList& f = GetParam();
    ASSERT_GE(f.size(), 5);
    Start([](PhoneLimits& l) { l.Guesses = 1; });
    const QByteArray request =
        bytesOf(f[1]).replace("TOKEN", cards[0].Token.toLatin1()).replace("OTHER", cards[1].Token.toLatin1());
    const bool closed = f[3] == u'1';
    const Reply reply = Send(port, request, 3000, closed ? 1000 : 300);
    EXPECT_EQ(reply.Status, f[2].toInt()) << reply.Head.toStdString();
    EXPECT_EQ(reply.Closed, closed);
    if (reply.Status == 0) {
        EXPECT_GE(server->DroppedCount(), 1);
    }
    const QByteArray whole = reply.Head + "\r\n\r\n" + reply.Body;
    for (qsizetype k = 5; k < f.size(); ++k) {
        QByteArray text = bytesOf(f[k]).replace("{HOST}", HostOf(port));
        const bool absent = text.startsWith('!');
        EXPECT_EQ(whole.contains(absent ? text.mid(1) : text), !absent) << text.toStdString();
    }
    EXPECT_EQ(StatusOf(PathOf(cards[0], "/card.json")), f[4].toInt()); // others are served on
}

INSTANTIATE_TEST_SUITE_P(Requests, PhoneServerRequests, ::testing::ValuesIn(casesOf("requests.tsv")), nameOf);

// An address blocked for its guesses gets no live connection either, until the block is over.
TEST_F(PhoneServerTest, GuessingIsBlockedForAWhile) {
    Start([](PhoneLimits& l) {
        l.Guesses = 1;
        l.GuessBlockMs = 600;
    });
    EXPECT_EQ(StatusOf("/c/" + NewCardToken().toLatin1()), 404);
    QStringList messages;
    auto socket = Follow(cards[0], messages);
    EXPECT_TRUE(messages.isEmpty());
    Pause(700);
    EXPECT_EQ(StatusOf(PathOf(cards[0], "/card.json")), 200);
}

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

// A head that never ends is dropped once it outgrows the limits, however small its pieces.
TEST_F(PhoneServerTest, AHeadSentInPiecesIsDroppedAtTheLimit) {
    Start();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    socket.write("GET / HTTP/1.1\r\nHost: " + HostOf(port) + "\r\nX-Pad: ");
    for (int k = 0; k < 40 && socket.state() == QAbstractSocket::ConnectedState; ++k) {
        socket.write(QByteArray(500, 'x'));
        Pause(5);
    }
    EXPECT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 1000));
    EXPECT_EQ(server->DroppedCount(), 1);
}

// Connections of one address are bounded, and live ones give their places back when they end.
TEST_F(PhoneServerTest, ConnectionsOfOneAddressAreBounded) {
    Start([](PhoneLimits& l) { l.ConnectionsPerAddress = 3; });
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int k = 0; k < 6; ++k) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    Pause(300);
    EXPECT_EQ(std::count_if(sockets.begin(), sockets.end(),
                            [](const auto& s) { return s->state() == QAbstractSocket::ConnectedState; }),
              3);
    sockets.clear();
    EXPECT_TRUE(WaitFor([&] { return StatusOf(PathOf(cards[0], "/card.json")) == 200; }));
    for (int k = 0; k < 6; ++k) {
        QStringList messages;
        auto phone = Follow(cards[k % 2], messages);
        ASSERT_EQ(messages.size(), 1) << k;
        phone->close();
        ASSERT_TRUE(WaitFor([&] { return server->LiveCount() == 0; })) << k;
    }
}

// A card holds the names printed on it, marked as the card check marks them: a row given to
// someone else since it was printed is not counted. A card whose run was stopped before it was
// printed has no page. Nothing else of the roster leaves.
TEST_F(PhoneServerTest, CardJsonHoldsTheCardAsPrintedAndNothingElseOfTheRoster) {
    RecordedCard stopped = CardOf(roster, 3, 5, 1);
    stopped.Status = CardStatus::NotPrinted;
    cards.push_back(stopped);
    Start();
    EXPECT_EQ(StatusOf(PathOf(stopped)), 404);
    roster.SetCell(RosterColumn::Name, 4, QStringLiteral("まったくの別人"));
    server->PanelOpened(3, 0, false);  // on card 1
    server->PanelOpened(4, 1, false);  // someone else's now
    server->PanelOpened(35, 2, false); // on card 2, drawn last
    WaitFor([] { return false; }, 50);
    const Reply reply = Send(port, Get(PathOf(cards[0], "/card.json")));
    ASSERT_EQ(reply.Status, 200);
    const QJsonObject card = QJsonDocument::fromJson(reply.Body).object();
    EXPECT_EQ(card.keys().join(u' '), QStringLiteral("cells label latest number side type"));
    EXPECT_EQ(card.value(u"number").toInt(), 1);
    EXPECT_EQ(card.value(u"side").toInt(), 5);
    EXPECT_EQ(card.value(u"latest").toString(), QStringLiteral("参加者35"));
    const QJsonArray cells = card.value(u"cells").toArray();
    ASSERT_EQ(cells.size(), 25);
    for (int k = 0; k < 25; ++k) {
        const QJsonObject cell = cells[k].toObject();
        EXPECT_EQ(cell.keys().join(u' '), QStringLiteral("marked name photo"));
        EXPECT_EQ(cell.value(u"name").toString(), cards[0].Cells[static_cast<size_t>(k)].Name);
        EXPECT_EQ(cell.value(u"photo").toBool(), k == 0) << k; // row 2's photo file is missing
        EXPECT_EQ(cell.value(u"marked").toBool(), k == 2 || k == 12) << k;
    }
    // Nothing else of anyone leaves: the other fields, the other rows, the row numbers.
    for (const QByteArray& body : {reply.Body, Send(port, Get(PathOf(cards[0]))).Body}) {
        for (const char* secret : {"秘密", "secret", "1987", "参加者30", "\"row\""}) {
            EXPECT_FALSE(body.contains(secret)) << secret;
        }
    }
}

TEST_F(PhoneServerTest, PhotosAreFittedForThePhoneAndOnlyThoseOfTheCard) {
    Start();
    const Reply photo = Send(port, Get(PathOf(cards[0], "/photo/0")), 10000);
    ASSERT_EQ(photo.Status, 200);
    EXPECT_EQ(HeaderOf(photo, "Content-Type"), "image/jpeg");
    EXPECT_EQ(QImage::fromData(photo.Body, "JPEG").size(), QSize(320, 240));
    // The pixels only: no comment of the original (a COM segment), kept no more than the page.
    EXPECT_FALSE(photo.Body.contains("secret-comment"));
    EXPECT_FALSE(photo.Body.contains("\xFF\xFE"));
    EXPECT_EQ(Send(port, Get(PathOf(cards[0], "/photo/0"))).Body, photo.Body); // from the cache
    // A row that holds someone else now shows nobody's face.
    roster.SetCell(RosterColumn::Name, 1, QStringLiteral("別の人"));
    EXPECT_EQ(StatusOf(PathOf(cards[0], "/photo/0")), 404);
}

TEST_F(PhoneServerTest, APanelReachesTheLivePhonesOfItsCardAndAReconnectGetsTheWhole) {
    Start();
    QStringList first;
    QStringList second;
    auto phone = Follow(cards[0], first);
    auto other = Follow(cards[1], second);
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(first[0].toUtf8())[u"type"].toString(), QStringLiteral("card"));
    EXPECT_EQ(server->LiveCount(), 2);

    server->PanelOpened(5, 7, false);
    ASSERT_TRUE(WaitFor([&] { return first.size() == 2; }, 1000));
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
    EXPECT_FALSE(QJsonDocument::fromJson(first[2].toUtf8())[u"marked"][4].toBool());

    // A reload or a lost connection: the new connection starts with everything so far.
    server->SetOpenPanels({{0, 6}, {1, 7}});
    phone->close();
    QStringList again;
    auto back = Follow(cards[0], again);
    ASSERT_EQ(again.size(), 1);
    const QJsonDocument whole = QJsonDocument::fromJson(again[0].toUtf8());
    EXPECT_EQ(whole[u"latest"].toString(), QStringLiteral("参加者07"));
    for (int k : {4, 5, 6}) {
        EXPECT_EQ(whole[u"cells"][k][u"marked"].toBool(), k != 4) << k;
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

// tests/data/phones/frames.tsv: frames a phone must not send, and the close code they bring.
class PhoneServerFrames : public PhoneServerTest, public ::testing::WithParamInterface<QStringList> {};

TEST_P(PhoneServerFrames, CloseTheConnection) {
    const QStringList& f = GetParam();
    ASSERT_EQ(f.size(), 6);
    Start();
    RawPhone phone(port, PathOf(cards[0], "/live"));
    ASSERT_TRUE(phone.Upgraded());
    for (int k = 0; k < f[5].toInt(); ++k) {
        phone.Send(static_cast<quint8>(f[1].toUInt(nullptr, 16)), bytesOf(f[2]), f[3] == u'1');
    }
    EXPECT_TRUE(WaitFor([&] { return phone.CloseCode() != 0; }));
    EXPECT_EQ(phone.CloseCode(), f[4].toUInt());
    EXPECT_TRUE(WaitFor([&] { return phone.Closed(); }));
    EXPECT_EQ(server->LiveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Frames, PhoneServerFrames, ::testing::ValuesIn(casesOf("frames.tsv")), nameOf);

// The server pings every live phone; one that answers none of two pings is taken for gone, one
// that answers stays.
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
    EXPECT_TRUE(silent.Pings() >= 2 && silent.Pings() <= 3) << silent.Pings(); // gone after the second
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
    // Pressed again at once: thanked again, the organiser is not called twice.
    EXPECT_EQ(Send(port, Post(PathOf(cards[1], "/bingo"))).Status, 200);
    Send(port, Post(PathOf(cards[0], "/bingo")));
    EXPECT_EQ(claims, std::vector<int>({2, 1}));
}

TEST_F(PhoneServerTest, AGuestWithoutPaperGetsAFreshCardDealtAndRecorded) {
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
    EXPECT_EQ(StatusOf(PathOf(older, "/card.json")), 404);
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
    EXPECT_EQ(dealt, std::vector<int>({13})); // after every card given
    // Recorded off the server's thread, which goes on serving meanwhile.
    EXPECT_FALSE(recordedOn.count(QThread::currentThread()));
    EXPECT_EQ(card.Side, 5);
    EXPECT_EQ(card.Cells.size(), 25u);
    EXPECT_EQ(card.Fingerprint, QStringLiteral("fp"));
    EXPECT_EQ(StatusOf(HeaderOf(reply, "Location") + "/card.json"), 200);

    recordWorks = false; // a card that cannot be recorded is not dealt
    EXPECT_EQ(StatusOf("/new"), 503);
    EXPECT_EQ(server->Cards().size(), 3u);
    EXPECT_EQ(refused, QStringList{QStringLiteral("書けません")});
    recordWorks = true;
    EXPECT_EQ(StatusOf("/new"), 303);
    const Reply spent = Send(port, Get("/new")); // four in all, two of them before the restart
    EXPECT_EQ(spent.Status, 429);
    EXPECT_TRUE(QString::fromUtf8(spent.Body).contains(QStringLiteral("申し訳ありません")));
    EXPECT_EQ(recorded.size(), 2u);
}

// An address gets one fresh card; its requests, good ones too, a burst and then so many a second.
TEST_F(PhoneServerTest, RequestsOfAnAddressAreLimited) {
    Start([](PhoneLimits& l) {
        l.FreshCardsPerAddress = 1;
        l.RequestBurst = 5;
        l.RequestsPerSecond = 4;
    });
    server->SetCardRecorder([](const RecordedCard&, QString&) { return true; });
    std::vector<int> statuses = {StatusOf("/new"), StatusOf("/new")};
    for (int k = 0; k < 5; ++k) {
        statuses.push_back(StatusOf(PathOf(cards[0], "/card.json")));
    }
    EXPECT_EQ(statuses, std::vector<int>({303, 429, 200, 200, 200, 429, 429}));
    Pause(600);
    EXPECT_EQ(StatusOf(PathOf(cards[0], "/card.json")), 200);
}

} // namespace
