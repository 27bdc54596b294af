#include "core/phones/phonehost.h"
#include "phonetesting.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace phonetesting;

namespace {

// The server on its own thread: phones are served while the window's thread is busy with the
// draw, and the panels it posts reach them.
TEST(PhoneHost, ServesWhileTheWindowsThreadIsBusyAndTakesItsPanels) {
    LoopApplication app;
    const RosterTable roster = SecretRoster(10);
    const RecordedCard card = CardOf(roster, 1, 3, 1);
    PhoneHost host(roster, PhoneServerOptions());
    host.SetCards({card}, 1);
    ASSERT_TRUE(host.Start(QHostAddress::LocalHost, 0)) << host.ErrorText().toStdString();
    const quint16 port = host.Port();

    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> answeredAt{-1};
    std::thread phone([&] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(2000);
        socket.write("GET /c/" + card.Token.toLatin1() + "/card.json HTTP/1.1\r\nHost: " + HostOf(port) +
                     "\r\nConnection: close\r\n\r\n");
        QByteArray reply;
        while (socket.waitForReadyRead(2000)) {
            reply += socket.readAll();
        }
        if (reply.startsWith("HTTP/1.1 200")) {
            answeredAt = clock.elapsed();
        }
    });
    QThread::msleep(600); // the window's thread takes no event meanwhile
    const qint64 busyUntil = clock.elapsed();
    phone.join();
    EXPECT_GE(answeredAt, 0);
    EXPECT_LT(answeredAt, busyUntil);

    QStringList messages;
    QWebSocket follower;
    QObject::connect(&follower, &QWebSocket::textMessageReceived,
                     [&](const QString& text) { messages << text; });
    follower.open(
        QUrl(QStringLiteral("ws://%1/c/%2/live").arg(QString::fromLatin1(HostOf(port)), card.Token)));
    ASSERT_TRUE(WaitFor([&] { return messages.size() == 1; }));
    host.PanelOpened(2, 0, false);
    ASSERT_TRUE(WaitFor([&] { return messages.size() == 2; }));
    EXPECT_EQ(QJsonDocument::fromJson(messages[1].toUtf8()).object().value(u"latest").toString(),
              roster.Cell(RosterColumn::Name, 2));
    EXPECT_EQ(host.LiveCount(), 1);

    // Stopped: nothing listens, and the live phones hear that the server goes away.
    host.Stop();
    EXPECT_FALSE(host.IsListening());
    EXPECT_TRUE(WaitFor([&] { return follower.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(follower.closeCode(), QWebSocketProtocol::CloseCodeGoingAway);
    EXPECT_EQ(Send(port, Get("/")).Status, 0);
}

} // namespace
