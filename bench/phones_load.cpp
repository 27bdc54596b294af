// A room full of phones: the phone server on a thread of its own (as PhoneHost runs it in the
// program), and N phones following their cards over loopback
// as QWebSocket clients on the main thread. Each panel opened must reach every phone; the bench
// measures the time from PanelOpened to each phone's receipt (p50, p95, p99, the worst), and the
// server thread's CPU time per panel pushed. bench/phones_load.sh runs it.
//
//   phones_load [--phones N] [--panels P] [--side S]
#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/phones/cardtoken.h"
#include "core/phones/phoneserver.h"
#include "core/roster/roster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU time of the calling thread.
qint64 threadCpuNs() {
    timespec spent{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
    return static_cast<qint64>(spent.tv_sec) * 1000000000 + spent.tv_nsec;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

int argument(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int phones = argument(args, QStringLiteral("--phones"), 300);
    const int panels = argument(args, QStringLiteral("--panels"), 50);
    const int side = argument(args, QStringLiteral("--side"), 5);

    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1 さん").arg(row));
    }
    // Every phone its own card, rows spread over the roster.
    std::vector<RecordedCard> cards;
    for (int k = 0; k < phones; ++k) {
        RecordedCard card;
        card.Number = k + 1;
        card.Side = side;
        card.Token = NewCardToken();
        for (int c = 0; c < side * side; ++c) {
            const qint16 row = static_cast<qint16>((k * 7 + c * 13) % RosterTable::kCapacity + 1);
            const bool centre = c == side * side / 2;
            card.Cells.push_back(centre ? RecordedCell{0, QStringLiteral("★"), true}
                                        : RecordedCell{row, roster.Cell(RosterColumn::Name, row), false});
        }
        cards.push_back(std::move(card));
    }

    QThread serverThread;
    serverThread.start();
    QObject inServerThread;
    inServerThread.moveToThread(&serverThread);
    QtClock clock;
    ClockSeededFractions random(1);
    std::unique_ptr<PhoneServer> server;
    quint16 port = 0;
    QMetaObject::invokeMethod(
        &inServerThread,
        [&] {
            PhoneServerOptions options;
            options.Limits.ConnectionsPerAddress = phones + 50; // every phone comes from 127.0.0.1 here
            options.Limits.Connections = phones + 50;
            options.Limits.RequestBurst = phones + 50;
            server = std::make_unique<PhoneServer>(roster, clock, random, options);
            server->SetCards(cards);
            if (server->Start(QHostAddress::LocalHost, 0)) {
                port = server->Port();
            }
        },
        Qt::BlockingQueuedConnection);
    if (port == 0) {
        std::fprintf(stderr, "phones_load: the server did not start\n");
        return 1;
    }

    std::vector<std::unique_ptr<QWebSocket>> clients;
    std::vector<std::vector<qint64>> received(static_cast<size_t>(phones));
    for (int k = 0; k < phones; ++k) {
        auto client = std::make_unique<QWebSocket>();
        QObject::connect(client.get(), &QWebSocket::textMessageReceived, [&received, k](const QString&) {
            received[static_cast<size_t>(k)].push_back(steadyNs());
        });
        client->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/c/%2/live")
                              .arg(port)
                              .arg(cards[static_cast<size_t>(k)].Token)));
        clients.push_back(std::move(client));
    }
    const auto everyoneHas = [&](size_t count) {
        return std::all_of(received.begin(), received.end(),
                           [&](const auto& r) { return r.size() >= count; });
    };
    QElapsedTimer connecting;
    connecting.start();
    if (!waitFor([&] { return everyoneHas(1); }, 60000)) {
        std::fprintf(stderr, "phones_load: not every phone got its card\n");
        return 1;
    }
    const double connectMs = static_cast<double>(connecting.elapsed());

    std::vector<double> delaysMs;
    qint64 cpuNs = 0;
    for (int panel = 0; panel < panels; ++panel) {
        qint64 opened = 0;
        qint64 cpuBefore = 0;
        QMetaObject::invokeMethod(
            &inServerThread,
            [&] {
                cpuBefore = threadCpuNs();
                opened = steadyNs();
                server->PanelOpened(static_cast<qint16>(panel * 5 + 1), panel, false);
            },
            Qt::BlockingQueuedConnection);
        if (!waitFor([&] { return everyoneHas(static_cast<size_t>(panel) + 2); }, 30000)) {
            std::fprintf(stderr, "phones_load: panel %d did not reach every phone\n", panel + 1);
            return 1;
        }
        // Whatever the server thread still had to write is written by now.
        QThread::msleep(20);
        QMetaObject::invokeMethod(
            &inServerThread, [&] { cpuNs += threadCpuNs() - cpuBefore; }, Qt::BlockingQueuedConnection);
        for (const auto& r : received) {
            delaysMs.push_back(static_cast<double>(r[static_cast<size_t>(panel) + 1] - opened) / 1e6);
        }
        QThread::msleep(30); // panels come seconds apart in a real game
    }

    std::printf("phones %d, panels %d, cards %d x %d, all connected in %.0f ms\n", phones, panels, side, side,
                connectMs);
    std::printf("delay from PanelOpened to each phone: p50 %.1f ms  p95 %.1f ms  p99 %.1f ms  max %.1f ms\n",
                percentile(delaysMs, 50), percentile(delaysMs, 95), percentile(delaysMs, 99),
                *std::max_element(delaysMs.begin(), delaysMs.end()));
    std::printf("server thread CPU per panel pushed: %.2f ms (%.1f us per phone)\n",
                static_cast<double>(cpuNs) / panels / 1e6,
                static_cast<double>(cpuNs) / panels / phones / 1e3);

    clients.clear();
    QMetaObject::invokeMethod(
        &inServerThread, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    return 0;
}
