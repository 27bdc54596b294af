// Guests following their cards from the draw screen: the box that serves the pages, the claims
// told to the organiser and checked in one key, the fresh cards numbered after the printed ones,
// and nothing served once the organiser ends it or the screen goes. The server itself is tested in
// core; here it runs on the loopback, on the port the cards are printed with.
#include "core/phones/cardtoken.h"
#include "core/phones/phoneserver.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "support/drawbench.h"
#include "ui/draw/phonejoin.h"
#include "ui/draw/qrcodeview.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:%1").arg(kPhonePort);

// A 3 × 3 card of participants 1 to 8 around the mark.
RecordedCard Card(const DrawBench& b, int number, const QString& token) {
    RecordedCard card;
    card.Number = number;
    card.Fingerprint = RosterFingerprint(b.state.Roster);
    card.Side = 3;
    card.Token = token;
    for (int k = 0, row = 1; k < 9; ++k) {
        card.Cells.push_back(
            k == 4 ? RecordedCell{0, QStringLiteral("★"), true}
                   : RecordedCell{static_cast<qint16>(row), QStringLiteral("参加者%1").arg(row)});
        row += k == 4 ? 0 : 1;
    }
    return card;
}

struct Reply {
    int Status = 0;
    QByteArray Body;
    QString Location;
};

Reply Fetch(const QString& path, bool post = false) {
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(kBase + path));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = post ? net.post(request, QByteArray()) : net.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(5000);
    Reply out{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
              QString::fromLatin1(reply->rawHeader("Location"))};
    delete reply;
    return out;
}

} // namespace

class DrawPhonesTest : public QObject {
    Q_OBJECT

    // A draw screen over nine participants whose roster has printed cards 3 (for phones) and 7 (paper only).
    struct Bench : DrawBench {
        QString token = NewCardToken();
        Bench() : DrawBench(9, 3, 3, 3) {
            state.DrawKind = DrawKind::Simple;
            state.Settings.RosterFilePath = QStringLiteral("/rosters/sample.txt");
            ts.services.networkAddresses = [] { return std::vector<QHostAddress>{QHostAddress::LocalHost}; };
            FileError error;
            AddCardsToRecord(RecordPath(), {Card(*this, 3, token), Card(*this, 7, QString())}, error);
            Open();
        }
        QString RecordPath() const { return CardRecordPath(folder.path(), state.Settings.RosterFilePath); }
        // Opens the box with P; the box's address and whether it shows a code are noted, then it closes.
        QString Join(const char* button = nullptr) {
            QString address;
            ts.dialogs.Execs.push_back([&](QDialog& box) {
                address = box.findChild<QLabel*>(QStringLiteral("lblアドレス"))->text();
                if (box.findChild<QrCodeView*>(QStringLiteral("picQR"))->Modules() == 0) {
                    address = box.findChild<QLabel*>(QStringLiteral("lblスマホ参加できない理由"))->text();
                }
                if (button != nullptr) {
                    box.findChild<QPushButton*>(QString::fromUtf8(button))->click();
                }
                return box.result();
            });
            QTest::keyClick(screen, Qt::Key_P);
            return address;
        }
        // Panel k opened by hand: its participant is marked on the cards.
        void OpenByHand(int k) {
            Answer("Command1");
            QTest::mouseClick(Panel(k), Qt::RightButton);
        }
        QLabel* Notice() const { return screen->findChild<QLabel*>(QStringLiteral("lblスマホ申告")); }
    };

private slots:
    void servesFromTheBoxUntilEndedOrTheScreenGoes() {
        {
            Bench b;
            QCOMPARE(Fetch(QStringLiteral("/c/") + b.token).Status, 0); // nothing listens before
            QCOMPARE(b.Join(), kBase + QStringLiteral("/new"));
            QVERIFY(b.screen->Phones()->IsServing());
            QCOMPARE(Fetch(QStringLiteral("/c/") + b.token).Status, 200);
            b.Join("cmdスマホ参加終了");
            QVERIFY(!b.screen->Phones()->IsServing());
            QCOMPARE(Fetch(QStringLiteral("/c/") + b.token).Status, 0);
            b.Join();
            QVERIFY(b.screen->Phones()->IsServing());
        } // the screen closes
        QCOMPARE(Fetch(QStringLiteral("/new")).Status, 0);
    }

    // The room's code is read whole from a picture of the box as shown: nothing laid out around it
    // covers any of it or of its quiet zone.
    void theRoomsCodeIsReadFromThePictureOfTheBox() {
        if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
            QSKIP("zbarimg (zbar-tools) is needed to read the code back");
        }
        Bench b;
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("box.png"));
        bool apart = false;
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            box.show();
            if (!QTest::qWaitForWindowExposed(&box)) {
                return 0;
            }
            const QWidget* code = box.findChild<QWidget*>(QStringLiteral("picQR"));
            apart = true;
            for (const QWidget* other : box.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                apart = apart && (other == code || !other->isVisible() ||
                                  !other->geometry().intersects(code->geometry()));
            }
            box.grab().save(png);
            return 0;
        });
        QTest::keyClick(b.screen, Qt::Key_P);
        QVERIFY(apart);
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        QVERIFY(zbar.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), kBase + QStringLiteral("/new"));
    }

    // The address the printed QR codes point at is where serving starts, when the computer has it.
    void startsWhereThePrintedCodesPoint() {
        Bench b;
        b.ts.services.networkAddresses = [] {
            return std::vector<QHostAddress>{QHostAddress::LocalHost,
                                             QHostAddress(QStringLiteral("127.0.0.2"))};
        };
        RecordedCard card = Card(b, 9, NewCardToken());
        card.PhoneAddress = QStringLiteral("127.0.0.2:%1").arg(kPhonePort);
        FileError error;
        QVERIFY(AddCardsToRecord(b.RecordPath(), {card}, error));
        QCOMPARE(b.Join(), QStringLiteral("http://127.0.0.2:%1/new").arg(kPhonePort));
    }

    // Nothing is served, and the box says why: no network, or a card record that cannot be read
    // (fresh cards would take numbers printed cards already carry).
    void whyNothingIsServedIsSaidInTheBox_data() {
        QTest::addColumn<bool>("network");
        QTest::addColumn<QString>("said");
        QTest::newRow("no network") << false << QStringLiteral("ネットワークにつながっていない");
        QTest::newRow("unreadable record") << true << QStringLiteral("カード記録を読み込めなかったため");
    }
    void whyNothingIsServedIsSaidInTheBox() {
        QFETCH(bool, network);
        QFETCH(QString, said);
        Bench b;
        if (network) {
            QVERIFY(QFile::remove(b.RecordPath()) && QDir().mkpath(b.RecordPath()));
        } else {
            b.ts.services.networkAddresses = [] { return std::vector<QHostAddress>{}; };
        }
        QVERIFY(b.Join().contains(said));
        QVERIFY(!b.screen->Phones()->IsServing());
        QCOMPARE(Fetch(QStringLiteral("/new")).Status, 0);
    }

    void panelsMarkTheCardPages() {
        Bench b;
        b.OpenByHand(4); // before serving: the latest is the panel opened last, not the last panel
        b.OpenByHand(1);
        b.Join();
        const QJsonDocument before =
            QJsonDocument::fromJson(Fetch(QStringLiteral("/c/%1/card.json").arg(b.token)).Body);
        QCOMPARE(before[QStringLiteral("latest")].toString(), b.Panel(1)->ShownName());
        b.OpenByHand(0); // while serving: pushed
        const QStringList open{b.Panel(0)->ShownName(), b.Panel(1)->ShownName(), b.Panel(4)->ShownName()};
        const QJsonArray cells =
            QJsonDocument::fromJson(
                Fetch(QStringLiteral("/c/%1/card.json").arg(b.token)).Body)[QStringLiteral("cells")]
                .toArray();
        QCOMPARE(cells.size(), 9);
        int marked = 0;
        for (int i = 0; i < 9; ++i) {
            const QJsonObject cell = cells[i].toObject();
            const bool drawn = i == 4 || open.contains(cell[QStringLiteral("name")].toString());
            QCOMPARE(cell[QStringLiteral("marked")].toBool(), drawn);
            marked += drawn ? 1 : 0;
        }
        QCOMPARE(marked, 4); // three participants and the mark
    }

    // A claim is told small, with whether the card holds a line; K checks the oldest one.
    void claimsAreToldAndCheckedInOneKey_data() {
        QTest::addColumn<QList<int>>("opened");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("no line")
            << QList<int>{0}
            << QStringLiteral(
                   "スマホから No.0003 がビンゴを申告しましたが、まだ列はそろっていません（K キーで確認）")
            << QStringLiteral("リーチ（1 列）");
        // Rows 1 to 3 fill the card's top line.
        QTest::newRow("a line") << QList<int>{0, 1, 2}
                                << QStringLiteral("スマホから No.0003 がビンゴを申告しました（K キーで確認）")
                                << QStringLiteral("ビンゴ！（1 列）");
    }
    void claimsAreToldAndCheckedInOneKey() {
        QFETCH(QList<int>, opened);
        QFETCH(QString, notice);
        QFETCH(QString, verdict);
        Bench b;
        b.Join();
        for (const int k : opened) {
            b.OpenByHand(k);
        }
        QCOMPARE(Fetch(QStringLiteral("/c/%1/bingo").arg(b.token), true).Body,
                 QStringLiteral("受け付けました").toUtf8());
        QTRY_VERIFY(b.Notice()->isVisible());
        QCOMPARE(b.Notice()->text(), notice);
        QString shown;
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            shown = box.findChild<QLabel*>(QStringLiteral("lbl判定"))->text();
            return 0;
        });
        QTest::keyClick(b.screen, Qt::Key_K);
        QCOMPARE(shown, verdict);
        QVERIFY(!b.Notice()->isVisible());
    }

    // A card that cannot be recorded is not dealt, and the organiser is told at the next quiet moment.
    void aFreshCardThatCannotBeRecordedIsNotDealt() {
        Bench b;
        b.Join();
        QVERIFY(QFile::remove(b.RecordPath()) && QDir().mkpath(b.RecordPath()));
        QCOMPARE(Fetch(QStringLiteral("/new")).Status, 503);
        b.ts.clock.Advance(1000);
        QVERIFY(!b.ts.dialogs.Messages().isEmpty());
        QVERIFY(b.ts.dialogs.Messages().last().startsWith(
            QStringLiteral("スマホに渡すカードをカード記録に書き込めなかった")));
    }

    // A guest without paper gets the number after every printed card, pages or not, recorded.
    void aFreshCardIsNumberedAfterThePrintedOnes() {
        Bench b;
        b.Join();
        const Reply fresh = Fetch(QStringLiteral("/new"));
        QCOMPARE(fresh.Status, 303);
        QByteArray bytes;
        FileError error;
        QVERIFY(ReadFileBytes(b.RecordPath(), bytes, error));
        const std::vector<RecordedCard> cards = ReadCardRecord(bytes);
        QCOMPARE(cards.size(), size_t{3});
        QCOMPARE(cards.back().Number, 8);
        QCOMPARE(cards.back().Side, 3); // as the printed ones
        QCOMPARE(fresh.Location, QStringLiteral("/c/") + cards.back().Token);
        QTRY_COMPARE(b.state.CardNumbersGiven.value(b.RecordPath()), 9); // a printed run goes on after it
    }
};

QTEST_MAIN(DrawPhonesTest)
#include "drawphones_test.moc"
