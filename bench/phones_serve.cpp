// The phone server alone, run as the draw screen runs it (PhoneHost: a thread of its own) on the
// loopback, with numbered cards of a 300-row roster whose participants have 12-megapixel photos,
// fresh cards recorded by appending to a card record in a temporary folder, and a panel opened
// every 200 ms: a target for bench/phones_attack.py. Prints the port, then the tokens of the cards
// one a line, then "ready"; serves for the given seconds.
//
//   phones_serve [--cards N] [--seconds S]
#include "core/phones/cardtoken.h"
#include "core/phones/freshcard.h"
#include "core/phones/phonehost.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "core/roster/roster.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const auto value = [&args](const QString& option, int fallback) {
        const qsizetype at = args.indexOf(option);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
    };
    const int count = value(QStringLiteral("--cards"), 300);
    const int seconds = value(QStringLiteral("--seconds"), 600);

    QTemporaryDir folder;
    {
        QImage photo(4000, 3000, QImage::Format_RGB32);
        photo.fill(QColor(70, 130, 180));
        QPainter painter(&photo);
        for (int i = 0; i < 60; ++i) {
            painter.setBrush(QColor::fromHsv((i * 37) % 360, 200, 180));
            painter.drawEllipse(QPoint((i * 397) % 4000, (i * 211) % 3000), 300 + i * 7, 250 + i * 5);
        }
        painter.end();
        photo.save(folder.filePath(QStringLiteral("p.jpg")), "JPEG", 90);
    }
    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1 さん").arg(row));
        roster.SetCell(RosterColumn::Photo, row, QStringLiteral("p.jpg"));
    }

    PhoneServerOptions options;
    options.PicturesFolder = folder.path();
    options.FreshCards.Fingerprint = RosterFingerprint(roster);
    std::vector<RecordedCard> cards;
    for (int k = 1; k <= count; ++k) {
        ClockSeededFractions random(static_cast<std::uint32_t>(k));
        if (auto card = DealFreshCard(roster, random, options.FreshCards, k, QDateTime(), NewCardToken())) {
            card->Layout = QStringLiteral("Ａ４縦  ２面付け");
            cards.push_back(*card);
        }
    }
    const QString record = folder.filePath(QStringLiteral("カード記録_bench.csv"));
    FileError error;
    AddCardsToRecord(record, cards, error);

    PhoneHost host(roster, options);
    host.SetCards(cards, 1);
    host.SetCardRecorder([record](const RecordedCard& card, QString& failure) {
        FileError error;
        const bool added = AddCardsToRecord(record, {card}, error);
        failure = added ? QString() : error.Lines(QStringLiteral("errno="));
        return added;
    });
    if (!host.Start(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "phones_serve: %s\n", qPrintable(host.ErrorText()));
        return 1;
    }
    std::printf("%d\n", host.Port());
    for (const RecordedCard& card : cards) {
        std::printf("%s\n", qPrintable(card.Token));
    }
    std::printf("ready\n");
    std::fflush(stdout);

    int panel = 0;
    QTimer panels;
    QObject::connect(&panels, &QTimer::timeout, [&] {
        host.PanelOpened(static_cast<qint16>(panel % RosterTable::kCapacity + 1), panel % 100, false);
        ++panel;
    });
    panels.start(200);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
