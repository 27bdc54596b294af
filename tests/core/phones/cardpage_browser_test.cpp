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
// protocol. Skipped when Chromium is not installed. MIRDA_PHONE_SCREENSHOT names a PNG file to
// keep a phone-sized picture of the page in.
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
            {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
             QStringLiteral("--disable-quic"), QStringLiteral("--no-first-run"),
             QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
             QStringLiteral("--disable-sync"), QStringLiteral("--user-data-dir=") + profile,
             QStringLiteral("--remote-debugging-port=0"), QStringLiteral("--window-size=390,844"),
             QStringLiteral("about:blank")});
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
            if (address.isEmpty() && target.toObject().value(u"type").toString() == QStringLiteral("page")) {
                address = target.toObject().value(u"webSocketDebuggerUrl").toString();
            }
        }
        if (address.isEmpty()) {
            return false;
        }
        QObject::connect(&m_page, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(u"id")) {
                m_answers.insert(message.value(u"id").toInt(), message.value(u"result").toObject());
            } else if (message.value(u"method").toString() == QStringLiteral("Log.entryAdded")) {
                const QJsonObject entry = message.value(u"params").toObject().value(u"entry").toObject();
                if (entry.value(u"level").toString() == QStringLiteral("error")) {
                    Errors << entry.value(u"text").toString();
                }
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

    // What the page's console reported as errors (a policy the page breaks, a failed load).
    QStringList Errors;

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
    browser.Call(QStringLiteral("Log.enable"));
    browser.Call(QStringLiteral("Page.navigate"),
                 {{QStringLiteral("url"), server.CardUrl(card.Token).toString()}});

    // What the page shows once it has the card, its photos and its live connection.
    for (const char* shown : {
             "document.querySelectorAll('#grid .cell').length === 25",
             "document.getElementById('number').textContent === 'No.0012'",
             "document.querySelectorAll('#grid .cell')[2].textContent === '長い名前の参加者さんです'",
             "document.querySelectorAll('#grid .cell')[12].textContent === '★'",
             // Squares, side by side: the grid is laid out, not a column of names.
             "(function(){var c=document.querySelectorAll('#grid .cell');"
             "var a=c[0].getBoundingClientRect(),b=c[1].getBoundingClientRect();return a.width>40"
             "&&Math.abs(a.width-a.height)<2&&Math.abs(a.top-b.top)<1&&b.left>a.right-1;})()",
             "document.querySelectorAll('#grid .cell')[6].classList.contains('marked')",
             "document.getElementById('latest').textContent === '参加者07'",
             "(function(){var i=document.querySelector('#grid .cell img');"
             "return !!i&&i.complete&&i.naturalWidth===320;})()",
             "document.getElementById('status').textContent === 'つながっています'",
         }) {
        ASSERT_TRUE(browser.Until(QString::fromUtf8(shown))) << shown;
    }

    // A panel opens on the big screen: the phone marks it.
    server.PanelOpened(3, 1, false);
    EXPECT_TRUE(browser.Until(
        QStringLiteral("document.querySelectorAll('#grid .cell')[2].classList.contains('marked')"), 1000));
    EXPECT_TRUE(browser.Until(QStringLiteral("document.getElementById('latest').textContent === "
                                             "'長い名前の参加者さんです'")));

    const QByteArray screenshot = qgetenv("MIRDA_PHONE_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QFile file(QString::fromLocal8Bit(screenshot));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromBase64(
            browser.Call(QStringLiteral("Page.captureScreenshot")).value(u"data").toString().toLatin1()));
    }

    // The guest presses ビンゴ！: the organiser hears of it, the phone is thanked.
    browser.Evaluate(QStringLiteral("document.getElementById('bingo').click()"));
    EXPECT_TRUE(WaitFor([&] { return !claims.empty(); }));
    EXPECT_EQ(claims, std::vector<int>({12}));
    EXPECT_TRUE(
        browser.Until(QStringLiteral("document.getElementById('note').textContent === '受け付けました'")));
    // The page keeps its own policy: nothing it asks for is refused.
    EXPECT_TRUE(browser.Errors.isEmpty()) << browser.Errors.join(QLatin1Char('\n')).toStdString();
}

} // namespace
