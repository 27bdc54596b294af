// The card record at its size on a long night: 10 000 numbered 9 × 9 cards from 300 participants
// (about 115 MB). What a card check costs once the record is read, what reading it costs the first
// time, what a run's record write costs (it must not grow with the record), and the room's standing
// per panel.
#include "core/record/cardrecord.h"
#include "core/record/roomstanding.h"
#include "core/roster/roster.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kPeople = 300;

RosterTable roster() {
    RosterTable r;
    for (int row = 1; row <= kPeople; ++row) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("参加者 %1 髙橋").arg(row));
    }
    return r;
}

std::vector<RecordedCard> cards(int count, int firstNumber, const RosterTable& people) {
    std::mt19937 pick(static_cast<unsigned>(firstNumber));
    std::vector<RecordedCard> out;
    for (int number = firstNumber; number < firstNumber + count; ++number) {
        RecordedCard card;
        card.Number = number;
        card.Issued = QDateTime(QDate(2026, 12, 7), QTime(19, 0));
        card.RosterPath = QStringLiteral("C:\\Users\\organiser\\Documents\\Mrda\\忘年会2026.txt");
        card.Fingerprint = QStringLiteral("0123456789abcdef");
        card.Layout = QStringLiteral("Ａ４縦  ４面付け");
        card.Side = 9;
        card.Token = QStringLiteral("AbC-_0123456789abcdefXYZ");
        card.PhoneAddress = QStringLiteral("192.168.1.20:50080");
        for (int k = 0; k < 81; ++k) {
            const qint16 row = static_cast<qint16>(1 + pick() % kPeople);
            card.Cells.push_back(k == 40 ? RecordedCell{0, QStringLiteral("★"), true}
                                         : RecordedCell{row, people.Cell(RosterColumn::Name, row), false});
        }
        out.push_back(std::move(card));
    }
    return out;
}

// A record of `count` cards in a temporary folder, made once per size.
struct Record {
    explicit Record(int count) : people(roster()), path(dir.filePath(QStringLiteral("カード記録.csv"))) {
        FileError error;
        for (int first = 1; first <= count; first += 1000) {
            AddCardsToRecord(path, cards(std::min(1000, count - first + 1), first, people), error);
        }
    }
    QTemporaryDir dir;
    RosterTable people;
    QString path;
};

Record& recordOf(int count) {
    static std::map<int, std::unique_ptr<Record>> made;
    auto& slot = made[count];
    if (!slot) {
        slot = std::make_unique<Record>(count);
    }
    return *slot;
}

// The first reading of the record (the draw screen does it as it opens, off its thread).
void BM_ReadWholeRecord(benchmark::State& state) {
    Record& record = recordOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CardRecordIndex index;
        FileError error;
        benchmark::DoNotOptimize(index.Refresh(record.path, error));
    }
    state.SetLabel(QStringLiteral("%1 MB").arg(QFile(record.path).size() / 1e6, 0, 'f', 0).toStdString());
}
BENCHMARK(BM_ReadWholeRecord)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// カード確認: the record brought up to the file (nothing new, or one phone's card appended since),
// the card found and checked against 40 participants drawn.
void BM_CardCheck(benchmark::State& state) {
    Record& record = recordOf(10000);
    CardRecordIndex index;
    FileError error;
    index.Refresh(record.path, error);
    std::set<qint16> drawn;
    for (int r = 1; r <= 40; ++r) {
        drawn.insert(static_cast<qint16>(r * 7 % kPeople + 1));
    }
    const bool appended = state.range(0) != 0;
    int next = index.NextNumber();
    std::mt19937 pick(1);
    for (auto _ : state) {
        if (appended) {
            state.PauseTiming();
            AddCardsToRecord(record.path, cards(1, next++, record.people), error);
            state.ResumeTiming();
        }
        index.Refresh(record.path, error);
        const CardLookup found = FindCard(index, static_cast<int>(1 + pick() % 10000));
        benchmark::DoNotOptimize(CheckCard(*found.Card, drawn, &record.people));
    }
}
BENCHMARK(BM_CardCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A run's record write: 4 or 40 new cards appended (written and synced) to a record of 1 000 or
// 10 000 cards. Its time follows the new cards, not the record.
void BM_RunRecordWrite(benchmark::State& state) {
    Record& record = recordOf(static_cast<int>(state.range(0)));
    const std::vector<RecordedCard> run = cards(static_cast<int>(state.range(1)), 20000, record.people);
    const qint64 size = QFile(record.path).size();
    for (auto _ : state) {
        FileError error;
        benchmark::DoNotOptimize(AddCardsToRecord(record.path, run, error));
        state.PauseTiming();
        QFile(record.path).resize(size); // the same record for the next round
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RunRecordWrite)
    ->Args({1000, 4})
    ->Args({10000, 4})
    ->Args({1000, 40})
    ->Args({10000, 40})
    ->Unit(benchmark::kMillisecond);

// The room's standing: one panel opening (and closing again, so that every round finds the same
// game) over 10 000 cards, half-way through a game of 40 panels.
void BM_StandingPerPanel(benchmark::State& state) {
    const RosterTable people = roster();
    RoomStanding standing(people);
    for (const RecordedCard& card : cards(10000, 1, people)) {
        standing.Add(card);
    }
    for (int r = 1; r <= 40; ++r) {
        standing.Opened(static_cast<qint16>(r * 7));
    }
    qint16 row = 1;
    for (auto _ : state) {
        standing.Opened(row);
        benchmark::DoNotOptimize(standing.Reaches());
        standing.Closed(row);
        row = static_cast<qint16>(row % kPeople + 1);
    }
    state.SetLabel(standing.Words().toStdString());
}
BENCHMARK(BM_StandingPerPanel)->Unit(benchmark::kMicrosecond);

// Building the standing from 10 000 cards (once, as the draw screen opens).
void BM_StandingBuild(benchmark::State& state) {
    const RosterTable people = roster();
    const std::vector<RecordedCard> all = cards(10000, 1, people);
    for (auto _ : state) {
        RoomStanding standing(people);
        for (const RecordedCard& card : all) {
            standing.Add(card);
        }
        benchmark::DoNotOptimize(standing.Cards());
    }
}
BENCHMARK(BM_StandingBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
