#include "core/roster/rosterfile.h"

#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

RosterTable fullRoster() {
    RosterTable r;
    r.Clear();
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("参加者 %1 髙橋").arg(row));
        r.SetCell(RosterColumn::BirthYear, row, QStringLiteral("1985"));
        r.SetCell(RosterColumn::BirthMonth, row, QString::number(row % 12 + 1));
        r.SetCell(RosterColumn::BirthDay, row, QString::number(row % 28 + 1));
        r.SetCell(RosterColumn::BloodType, row, QStringLiteral("AB"));
        r.SetCell(RosterColumn::Birthplace, row, QStringLiteral("神奈川県"));
        r.SetCell(RosterColumn::Affiliation, row, QStringLiteral("第二営業部 企画課"));
        r.SetCell(RosterColumn::FavouriteWords, row, QStringLiteral("一期一会～①"));
        r.SetCell(RosterColumn::Comment, row,
                  QStringLiteral("今日はよろしくお願いします。楽しみにしていました！"));
        r.SetCell(RosterColumn::Song, row, QStringLiteral("SONG%1.MP3").arg(row));
        r.SetCell(RosterColumn::SongStart, row, QStringLiteral("12"));
        r.SetCell(RosterColumn::SongSeconds, row, QStringLiteral("20"));
        r.SetCell(RosterColumn::Photo, row, QStringLiteral("P%1.JPG").arg(row));
    }
    return r;
}

void BM_SaveRoster(benchmark::State& state) {
    const RosterTable roster = fullRoster();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        benchmark::DoNotOptimize(WriteRoster(buffer, roster, TextEncoding::Cp932, error));
    }
}
BENCHMARK(BM_SaveRoster)->Unit(benchmark::kMillisecond);

void BM_LoadRoster(benchmark::State& state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString error;
    WriteRoster(out, fullRoster(), TextEncoding::Cp932, error);
    const QByteArray bytes = out.data();
    for (auto _ : state) {
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        RosterTable roster;
        TextEncoding encoding;
        ReadRoster(in, roster, encoding);
        benchmark::DoNotOptimize(roster);
    }
}
BENCHMARK(BM_LoadRoster)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
