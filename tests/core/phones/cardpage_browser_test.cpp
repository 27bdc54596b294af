#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/phones/phoneserver.h"
#include "phonetesting.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebSocket>
#include <gtest/gtest.h>

using namespace phonetesting;

// The card page in a real browser: headless Chromium from Debian, driven over its DevTools
// protocol. Skipped when Chromium is not installed.
namespace {

class Browser {
public:
    ~Browser() {
        m_page.close();
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool Start(const QString& program, const QString& profile) {
        m_process.setProgram(program);
        m_process.setArguments(
            QStringList{QStringLiteral("--user-data-dir=") + profile} +
            QStringLiteral("--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                           "--disable-background-networking --disable-component-update "
                           "--disable-sync --remote-debugging-port=0 --window-size=390,844 "
                           "about:blank")
                .split(u' '));
        m_process.start();
        // Chromium writes the port it took into the profile.
        QFile active(QDir(profile).filePath(QStringLiteral("DevToolsActivePort")));
        quint16 port = 0;
        WaitFor(
            [&] {
                if (active.open(QIODevice::ReadOnly)) {
                    port = static_cast<quint16>(active.readLine().trimmed().toUInt());
                    active.close();
                }
                return port != 0 || m_process.state() == QProcess::NotRunning;
            },
            20000);
        if (port == 0) {
            return false;
        }
        // The page that is open already, and its own debugging address.
        // It names the page's address after the Host header.
        const Reply list =
            Send(port, "GET /json/list HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n",
                 10000);
        const QJsonDocument targets = QJsonDocument::fromJson(list.Body);
        QString address;
        for (const QJsonValue target : targets.array()) {
            if (address.isEmpty() && target[u"type"].toString() == QStringLiteral("page")) {
                address = target[u"webSocketDebuggerUrl"].toString();
            }
        }
        if (address.isEmpty()) {
            return false;
        }
        QObject::connect(&m_page, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(u"id")) {
                m_answers.insert(message.value(u"id").toInt(), message.value(u"result").toObject());
            }
        });
        m_page.open(QUrl(address));
        return WaitFor([&] { return m_page.state() == QAbstractSocket::ConnectedState; }, 10000);
    }

    QJsonObject Call(const QString& method, const QJsonObject& params = {}) {
        const int id = ++m_lastId;
        m_page.sendTextMessage(
            QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("id"), id},
                                                        {QStringLiteral("method"), method},
                                                        {QStringLiteral("params"), params}})
                                  .toJson(QJsonDocument::Compact)));
        WaitFor([&] { return m_answers.contains(id); }, 15000);
        return m_answers.take(id);
    }

    QJsonValue Evaluate(const QString& expression) {
        return Call(QStringLiteral("Runtime.evaluate"),
                    {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), true}})
            .value(u"result")
            .toObject()
            .value(u"value");
    }

    // Waits until the expression is true in the page.
    bool Until(const QString& expression, int timeoutMs = 5000) {
        return WaitFor([&] { return Evaluate(expression).toBool(); }, timeoutMs);
    }

private:
    QProcess m_process;
    QWebSocket m_page;
    QHash<int, QJsonObject> m_answers;
    int m_lastId = 0;
};

TEST(CardPageInBrowser, ShowsTheCardMarksTheDrawnAndSendsTheClaim) {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed (Debian's chromium; scripts/setup installs it)";
    }
    LoopApplication app;
    QTemporaryDir dir;
    RosterTable roster = SecretRoster(30);
    QImage photo(1200, 900, QImage::Format_RGB32);
    photo.fill(QColor(70, 130, 180));
    photo.save(QDir(dir.path()).filePath(QStringLiteral("p.jpg")));
    for (int row : {1, 4, 8, 15}) {
        roster.SetCell(RosterColumn::Photo, row, QStringLiteral("p.jpg"));
    }
    roster.SetCell(RosterColumn::Name, 3, QStringLiteral("長い名前の参加者さんです"));
    QtClock clock;
    ClockSeededFractions random(3);
    PhoneServerOptions options;
    options.PicturesFolder = dir.path();
    PhoneServer server(roster, clock, random, options);
    const RecordedCard card = CardOf(roster, 12, 5, 1);
    server.SetCards({card});
    server.SetOpenPanels({{0, 7}});
    ASSERT_TRUE(server.Start(QHostAddress::LocalHost, 0));
    std::vector<int> claims;
    QObject::connect(&server, &PhoneServer::Claimed, [&](int number) { claims.push_back(number); });

    Browser browser;
    ASSERT_TRUE(browser.Start(chromium, dir.filePath(QStringLiteral("profile"))));
    browser.Call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
                 {{QStringLiteral("width"), 390},
                  {QStringLiteral("height"), 844},
                  {QStringLiteral("deviceScaleFactor"), 2},
                  {QStringLiteral("mobile"), true}});
    browser.Call(QStringLiteral("Page.navigate"),
                 {{QStringLiteral("url"), server.CardUrl(card.Token).toString()}});

    // What the page shows once it has the card, its photos and its live connection: each line of
    // tests/data/phones/cardpage.js comes true.
    QFile shown(QStringLiteral(MIRDA_TEST_DATA "/phones/cardpage.js"));
    ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(shown.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        ASSERT_TRUE(line.startsWith(u'/') || browser.Until(line)) << line.toStdString();
    }

    // A panel opens on the big screen: the phone marks it.
    server.PanelOpened(3, 1, false);
    EXPECT_TRUE(browser.Until(
        QStringLiteral("document.querySelectorAll('#grid .cell')[2].classList.contains('marked')"), 1000));
    EXPECT_TRUE(browser.Until(QStringLiteral("document.getElementById('latest').textContent === "
                                             "'長い名前の参加者さんです'")));

    // The guest presses ビンゴ！: the organiser hears of it, the phone is thanked.
    browser.Evaluate(QStringLiteral("document.getElementById('bingo').click()"));
    EXPECT_TRUE(WaitFor([&] { return !claims.empty(); }));
    EXPECT_EQ(claims, std::vector<int>({12}));
    EXPECT_TRUE(
        browser.Until(QStringLiteral("document.getElementById('note').textContent === '受け付けました'")));
}

} // namespace
