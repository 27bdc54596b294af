// A room full of phones: the phone server on a thread of its own (as PhoneHost runs it in the
// program), and N phones following their cards over loopback. The phones are plain sockets read by
// one thread of their own with epoll, taking a frame's time as its last byte arrives: a room's
// phones each have their own processor, and a heavier client here would measure itself, not the
// server. Each panel opened must reach every phone; the bench
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
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
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

// Phones on raw sockets: each opens its card's live connection and then only notes the time each
// whole text frame arrives.
class RawPhones {
public:
    RawPhones(quint16 port, const std::vector<RecordedCard>& cards)
        : m_phones(cards.size()), m_counts(cards.size()) {
        m_epoll = epoll_create1(0);
        for (size_t k = 0; k < cards.size(); ++k) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
                std::fprintf(stderr, "phones_load: cannot connect phone %zu\n", k);
                std::exit(1);
            }
            const QByteArray hello = "GET /c/" + cards[k].Token.toLatin1() +
                                     "/live HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                                     "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                     "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                                     "Sec-WebSocket-Version: 13\r\n\r\n";
            if (write(fd, hello.constData(), static_cast<size_t>(hello.size())) != hello.size()) {
                std::exit(1);
            }
            m_phones[k].Fd = fd;
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u64 = k;
            epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
        }
        m_reader = std::thread([this] { Read(); });
    }
    ~RawPhones() {
        m_stop = true;
        m_reader.join();
        for (const Phone& phone : m_phones) {
            close(phone.Fd);
        }
        close(m_epoll);
    }
    size_t Count(size_t k) const { return static_cast<size_t>(m_counts[k].load(std::memory_order_acquire)); }
    // The arrival of a phone's n-th frame; only once Count(k) > n.
    qint64 Arrival(size_t k, size_t n) const { return m_phones[k].Arrivals[n]; }

private:
    struct Phone {
        int Fd = -1;
        bool Upgraded = false;
        QByteArray Buffer;
        std::vector<qint64> Arrivals;
    };

    void Read() {
        std::vector<epoll_event> events(256);
        char bytes[65536];
        while (!m_stop) {
            const int n = epoll_wait(m_epoll, events.data(), static_cast<int>(events.size()), 50);
            for (int e = 0; e < n; ++e) {
                const size_t k = events[static_cast<size_t>(e)].data.u64;
                const ssize_t got = read(m_phones[k].Fd, bytes, sizeof bytes);
                if (got > 0) {
                    Take(k, QByteArrayView(bytes, got), steadyNs());
                }
            }
        }
    }

    void Take(size_t k, QByteArrayView bytes, qint64 now) {
        Phone& phone = m_phones[k];
        phone.Buffer.append(bytes);
        if (!phone.Upgraded) {
            const qsizetype end = phone.Buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                return;
            }
            phone.Buffer.remove(0, end + 4);
            phone.Upgraded = true;
        }
        for (;;) {
            const auto* b = reinterpret_cast<const unsigned char*>(phone.Buffer.constData());
            const qsizetype have = phone.Buffer.size();
            if (have < 2) {
                return;
            }
            qsizetype head = 2;
            quint64 length = b[1] & 0x7F;
            if (length == 126) {
                head = 4;
                if (have < head) {
                    return;
                }
                length = (quint64{b[2]} << 8) | b[3];
            } else if (length == 127) {
                head = 10;
                if (have < head) {
                    return;
                }
                length = 0;
                for (int i = 2; i < 10; ++i) {
                    length = (length << 8) | b[i];
                }
            }
            if (static_cast<quint64>(have - head) < length) {
                return;
            }
            const bool text = (b[0] & 0x0F) == 0x1;
            phone.Buffer.remove(0, head + static_cast<qsizetype>(length));
            if (text) {
                phone.Arrivals.push_back(now);
                m_counts[k].fetch_add(1, std::memory_order_release);
            }
        }
    }

    std::vector<Phone> m_phones;
    std::vector<std::atomic<int>> m_counts;
    int m_epoll = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};

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

    QElapsedTimer connecting;
    connecting.start();
    RawPhones clients(port, cards);
    const auto everyoneHas = [&](size_t count) {
        for (size_t k = 0; k < cards.size(); ++k) {
            if (clients.Count(k) < count) {
                return false;
            }
        }
        return true;
    };
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
        for (size_t k = 0; k < cards.size(); ++k) {
            delaysMs.push_back(
                static_cast<double>(clients.Arrival(k, static_cast<size_t>(panel) + 1) - opened) / 1e6);
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

    QMetaObject::invokeMethod(
        &inServerThread, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    return 0;
}
