#include "core/record/cardrecord.h"

#include "core/common/platform.h"
#include "core/record/recordfile.h"

#include <QFileInfo>
#include <algorithm>
#include <map>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QStringList header() {
    return {QStringLiteral("カード番号"),
            QStringLiteral("発行日時"),
            QStringLiteral("名簿ファイル"),
            QStringLiteral("名簿の指紋"),
            QStringLiteral("用紙/面付"),
            QStringLiteral("枠数"),
            QStringLiteral("行"),
            QStringLiteral("列"),
            QStringLiteral("登録行番号"),
            QStringLiteral("氏名"),
            QStringLiteral("中心"),
            QStringLiteral("トークン"),
            QStringLiteral("スマホ用アドレス")};
}

} // namespace

QString CardRecordPath(const QString& folder, const QString& rosterPath) {
    QString base = QFileInfo(rosterPath).completeBaseName();
    if (base.isEmpty()) {
        base = QStringLiteral("名簿なし");
    }
    return JoinPath(folder, QStringLiteral("カード記録_%1.csv").arg(base));
}

std::vector<RecordedCard> ReadCardRecord(const QByteArray& bytes) {
    std::map<int, RecordedCard> cards;
    std::map<int, std::map<std::pair<int, int>, RecordedCell>> cells;
    for (const QStringList& f : ReadCsvRecords(bytes)) {
        if (f.size() < 12) {
            continue;
        }
        bool ok = false;
        const int number = f[0].toInt(&ok);
        const int side = f[5].toInt();
        const int i = f[6].toInt();
        const int j = f[7].toInt();
        if (!ok || number < 1 || side < 1 || side > 9 || i < 1 || i > side || j < 1 || j > side) {
            continue;
        }
        RecordedCard& card = cards[number];
        if (card.Number == 0) {
            card.Number = number;
            card.Issued = QDateTime::fromString(f[1], kTimeFormat);
            card.RosterPath = f[2];
            card.Fingerprint = f[3];
            card.Layout = f[4];
            card.Side = side;
            card.Token = f[11];
            card.PhoneAddress = f.value(12); // records written before phones had no such column
        } else if (card.Side != side) {
            card.Side = -1; // lines of two grids: no card
        }
        cells[number][{i, j}] =
            RecordedCell{static_cast<qint16>(f[8].toInt()), f[9], f[10] == QStringLiteral("中心")};
    }
    std::vector<RecordedCard> out;
    for (auto& [number, card] : cards) {
        const auto& mine = cells[number];
        if (card.Side < 1 || static_cast<int>(mine.size()) != card.Side * card.Side) {
            continue;
        }
        for (const auto& [place, cell] : mine) {
            card.Cells.push_back(cell); // the map holds them row by row
        }
        out.push_back(std::move(card));
    }
    return out;
}

QByteArray WriteCardRecord(const std::vector<RecordedCard>& cards) {
    QByteArray bytes = CsvFileStart(header());
    for (const RecordedCard& card : cards) {
        for (int i = 0; i < card.Side; ++i) {
            for (int j = 0; j < card.Side; ++j) {
                const RecordedCell& cell = card.Cells.at(static_cast<size_t>(i * card.Side + j));
                bytes +=
                    CsvLine({QString::number(card.Number), card.Issued.toString(kTimeFormat), card.RosterPath,
                             card.Fingerprint, card.Layout, QString::number(card.Side),
                             QString::number(i + 1), QString::number(j + 1),
                             cell.Row > 0 ? QString::number(cell.Row) : QString(), cell.Name,
                             cell.Centre ? QStringLiteral("中心") : QString(), card.Token, card.PhoneAddress})
                        .toUtf8() +
                    "\r\n";
            }
        }
    }
    return bytes;
}

int NextCardNumber(const std::vector<RecordedCard>& cards) {
    int highest = 0;
    for (const RecordedCard& card : cards) {
        highest = std::max(highest, card.Number);
    }
    return highest + 1;
}

bool LoadCardRecord(const QString& path, std::vector<RecordedCard>& cards, FileError& error) {
    cards.clear();
    if (!QFileInfo::exists(path)) {
        return true;
    }
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes, error)) {
        return false;
    }
    cards = ReadCardRecord(bytes);
    return true;
}

bool AddCardsToRecord(const QString& path, const std::vector<RecordedCard>& cards, FileError& error) {
    std::vector<RecordedCard> all;
    if (!LoadCardRecord(path, all, error)) {
        return false;
    }
    all.insert(all.end(), cards.begin(), cards.end());
    return WriteFileSafely(path, WriteCardRecord(all), error);
}

CardVerdict CheckCard(const RecordedCard& card, const std::set<qint16>& drawn) {
    CardVerdict v;
    const int n = card.Side;
    for (const RecordedCell& cell : card.Cells) {
        const bool marked = cell.IsMark() || (cell.Row > 0 && drawn.count(cell.Row) > 0);
        v.Marked.push_back(marked);
        v.MarkedCount += marked ? 1 : 0;
    }
    const auto count = [&](auto at) {
        int marked = 0;
        for (int k = 0; k < n; ++k) {
            marked += v.Marked[static_cast<size_t>(at(k))] ? 1 : 0;
        }
        if (marked == n) {
            ++v.Lines;
        } else if (marked == n - 1) {
            ++v.Reaches;
        }
    };
    for (int r = 0; r < n; ++r) {
        count([&](int k) { return r * n + k; });
        count([&](int k) { return k * n + r; });
    }
    count([&](int k) { return k * n + k; });
    count([&](int k) { return k * n + (n - 1 - k); });
    if (v.Lines > 0) {
        v.Words = QStringLiteral("ビンゴ！（%1 列）").arg(v.Lines);
    } else if (v.Reaches > 0) {
        v.Words = QStringLiteral("リーチ（%1 列）").arg(v.Reaches);
    } else {
        v.Words = QStringLiteral("%1 マスが開いています").arg(v.MarkedCount);
    }
    return v;
}

CardLookup FindCard(const std::vector<RecordedCard>& cards, int number, const QString& fingerprint) {
    for (const RecordedCard& card : cards) {
        if (card.Number != number) {
            continue;
        }
        if (card.Fingerprint != fingerprint) {
            return {nullptr,
                    QStringLiteral("カード No.%1 は、いまの名簿とは氏名の違う名簿で印刷されています。\r\n"
                                   "このカードは確認できません。")
                        .arg(number, 4, 10, QLatin1Char('0'))};
        }
        return {&card, {}};
    }
    return {nullptr,
            QStringLiteral("カード No.%1 は記録にありません。").arg(number, 4, 10, QLatin1Char('0'))};
}
