#include "core/record/cardrecord.h"

#include "core/common/platform.h"
#include "core/record/recordfile.h"
#include "core/roster/roster.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int kStatusColumns = 14; // a cell's line and what became of its card
constexpr int kOldColumns = 12;    // records written before cards had an address
constexpr int kMostDamageNamed = 5;
constexpr int kMostDamageKept = 50;

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
            QStringLiteral("スマホ用アドレス"),
            QStringLiteral("状態")};
}

QString statusWord(CardStatus status) {
    switch (status) {
    case CardStatus::NotPrinted:
        return QStringLiteral("未印刷");
    case CardStatus::Void:
        return QStringLiteral("無効");
    case CardStatus::Given:
        break;
    }
    return {};
}

QString numberText(int number) {
    return QStringLiteral("No.%1").arg(number, 4, 10, QLatin1Char('0'));
}

QStringList cardColumns(const RecordedCard& card, const QDateTime& when) {
    return {QString::number(card.Number),
            when.toString(kTimeFormat),
            card.RosterPath,
            card.Fingerprint,
            card.Layout,
            card.Side > 0 ? QString::number(card.Side) : QString()};
}

bool isSideOfACard(qint64 side) {
    return side == 3 || side == 5 || side == 7 || side == 9;
}

// Which of a line's columns belong to the card rather than the cell: they agree on every line.
constexpr std::array<int, 7> kCardColumns = {1, 2, 3, 4, 5, 11, 12};

} // namespace

QString CardRecordPath(const QString& folder, const QString& rosterPath) {
    QString base = QFileInfo(rosterPath).completeBaseName();
    if (base.isEmpty()) {
        base = QStringLiteral("名簿なし");
    }
    return JoinPath(folder, QStringLiteral("カード記録_%1.csv").arg(base));
}

QByteArray CardRecordLines(const std::vector<RecordedCard>& cards) {
    QByteArray bytes;
    for (const RecordedCard& card : cards) {
        const QStringList own = cardColumns(card, card.Issued);
        for (int i = 0; i < card.Side; ++i) {
            for (int j = 0; j < card.Side; ++j) {
                const RecordedCell& cell = card.Cells.at(static_cast<size_t>(i * card.Side + j));
                bytes +=
                    CsvLine(own + QStringList{QString::number(i + 1), QString::number(j + 1),
                                              cell.Row > 0 ? QString::number(cell.Row) : QString(), cell.Name,
                                              cell.Centre ? QStringLiteral("中心") : QString(), card.Token,
                                              card.PhoneAddress})
                        .toUtf8() +
                    "\r\n";
            }
        }
    }
    return bytes;
}

QByteArray WriteCardRecord(const std::vector<RecordedCard>& cards) {
    return CsvFileStart(header()) + CardRecordLines(cards);
}

// ---- Reading -----------------------------------------------------------------------------------

void CardRecordIndex::Reset() {
    *this = CardRecordIndex{};
}

const RecordedCard* CardRecordIndex::Find(int number) const {
    const auto found = m_byNumber.constFind(number);
    return found == m_byNumber.constEnd() ? nullptr : &m_cards[*found];
}

bool CardRecordIndex::ReadAll(const QByteArray& bytes) {
    Reset();
    ReadLines(bytes);
    return !Damaged();
}

bool CardRecordIndex::Refresh(const QString& path, FileError& error) {
    constexpr qint64 kKnownBytes = 256; // enough of what was read to tell the file from another
    if (!QFileInfo::exists(path)) {
        Reset();
        return true;
    }
    QFile file(path);
    ClearSystemError();
    if (!file.open(QIODevice::ReadOnly)) {
        error = FileError::Last(GenericIoErrorCode());
        return false;
    }
    const qint64 size = file.size();
    // The file's bytes from `from` on: mapped where the system can (a large record is then read
    // in place, not copied), else read.
    QByteArray readBytes;
    const auto bytesFrom = [&](qint64 from) -> QByteArrayView {
        if (from >= size) {
            return {};
        }
        if (uchar* mapped = file.map(from, size - from)) {
            return QByteArrayView(reinterpret_cast<const char*>(mapped), size - from);
        }
        ClearSystemError();
        readBytes.clear();
        if (file.seek(from)) {
            readBytes = file.read(size - from);
        }
        return readBytes.size() == size - from ? QByteArrayView(readBytes) : QByteArrayView();
    };
    QByteArrayView bytes;
    bool appended = m_offset > 0 && size >= m_offset;
    if (appended) {
        // Only what follows the lines read, after the bytes that must still be there before them.
        const qint64 from = m_offset - m_lastRead.size();
        bytes = bytesFrom(from);
        appended = bytes.size() == size - from && bytes.startsWith(m_lastRead);
        if (appended) {
            bytes = bytes.sliced(m_lastRead.size());
        }
    }
    if (!appended) {
        // The first reading, or the file is another now.
        Reset();
        bytes = bytesFrom(0);
        if (bytes.size() != size) {
            error = FileError::Last(GenericIoErrorCode());
            Reset();
            return false;
        }
    }
    const qint64 base = m_offset;
    const QByteArray before = m_lastRead;
    ReadLines(bytes);
    const qint64 keepFrom = std::max<qint64>(0, m_offset - kKnownBytes);
    if (keepFrom >= base) {
        m_lastRead = bytes.sliced(keepFrom - base, m_offset - keepFrom).toByteArray();
    } else {
        m_lastRead = before.right(base - keepFrom) + bytes.first(m_offset - base).toByteArray();
    }
    if (Damaged()) {
        error = FileError{0, DamageText()};
        return false;
    }
    return true;
}

void CardRecordIndex::ReadLines(QByteArrayView bytes) {
    const qsizetype end = ForEachWholeLine(bytes, 0, m_nextLine, [this](QByteArrayView line, qint64 number) {
        if (number == 1) {
            return; // the header: read by place, not by its words
        }
        ReadLine(line, number);
    });
    m_nextLine += std::count(bytes.begin(), bytes.begin() + end, '\n');
    m_offset += end;
    CheckOpenEnds(bytes.size() - end);
}

void CardRecordIndex::Damage(qint64 line, int number, const QString& what) {
    ++m_lineDamageCount;
    if (static_cast<int>(m_lineDamage.size()) < kMostDamageKept) {
        m_lineDamage.push_back({line, number, what});
    }
}

QString CardRecordIndex::Interned(QByteArrayView bytes) {
    // A roster has at most 300 names: each is decoded once and shared by every cell that holds it.
    const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
    const auto found = m_names.constFind(key);
    if (found != m_names.constEnd()) {
        return *found;
    }
    const QString name = QString::fromUtf8(bytes);
    m_names.insert(bytes.toByteArray(), name);
    return name;
}

RecordedCard& CardRecordIndex::CardOf(int number, qint64 line) {
    const auto found = m_byNumber.constFind(number);
    if (found != m_byNumber.constEnd()) {
        return m_cards[*found];
    }
    m_byNumber.insert(number, m_cards.size());
    m_cards.emplace_back().Number = number;
    m_entries.emplace_back().FirstLine = line;
    m_highest = std::max(m_highest, number);
    return m_cards.back();
}

void CardRecordIndex::ReadLine(QByteArrayView line, qint64 number) {
    if (line.startsWith("\xEF\xBB\xBF")) {
        line = line.sliced(3); // a byte-order mark where a header was left out
    }
    if (!line.isValidUtf8()) {
        Damage(number, 0, QStringLiteral("読めない文字があります"));
        return;
    }
    std::vector<QByteArrayView>& f = m_fields;
    if (!SplitCsvLine(line, f, m_scratch, kStatusColumns) || static_cast<int>(f.size()) < kOldColumns) {
        Damage(number, 0, QStringLiteral("項目の数や区切りが正しくありません"));
        return;
    }
    qint64 value = 0;
    if (!ReadDecimal(f[0], 1, kLastCardNumber, value)) {
        Damage(number, 0, QStringLiteral("カード番号が正しくありません"));
        return;
    }
    const int cardNumber = static_cast<int>(value);
    const bool cellColumnsEmpty =
        f[6].isEmpty() && f[7].isEmpty() && f[8].isEmpty() && f[9].isEmpty() && f[10].isEmpty();
    if (f.size() == kStatusColumns && !f[kStatusColumns - 1].isEmpty()) {
        // What became of a card: its cells stay as recorded, if any.
        CardStatus status = CardStatus::Given;
        if (f[kStatusColumns - 1] == QByteArrayView("未印刷")) {
            status = CardStatus::NotPrinted;
        } else if (f[kStatusColumns - 1] == QByteArrayView("無効")) {
            status = CardStatus::Void;
        }
        if (status == CardStatus::Given || !cellColumnsEmpty) {
            Damage(number, cardNumber, QStringLiteral("状態の書き方が正しくありません"));
            return;
        }
        RecordedCard& card = CardOf(cardNumber, number);
        // Given up is final.
        if (card.Status != CardStatus::Void) {
            card.Status = status;
        }
        return;
    }
    qint64 side = 0;
    qint64 i = 0;
    qint64 j = 0;
    qint64 row = 0;
    if (!ReadDecimal(f[5], 0, 9, side) || !isSideOfACard(side)) {
        Damage(number, cardNumber, QStringLiteral("枠数が正しくありません"));
        return;
    }
    if (!ReadDecimal(f[6], 1, side, i) || !ReadDecimal(f[7], 1, side, j)) {
        Damage(number, cardNumber, QStringLiteral("行・列が正しくありません"));
        return;
    }
    if (!f[8].isEmpty() && !ReadDecimal(f[8], 1, RosterTable::kCapacity, row)) {
        Damage(number, cardNumber, QStringLiteral("登録行番号が正しくありません"));
        return;
    }
    const qint64 middle = (side + 1) / 2;
    const bool centre = i == middle && j == middle;
    if ((centre && f[10] != QByteArrayView("中心")) || (!centre && !f[10].isEmpty())) {
        Damage(number, cardNumber, QStringLiteral("中心の印が正しくありません"));
        return;
    }
    if (row == 0 && !f[9].isEmpty() && !(centre && f[9] == QByteArrayView("★"))) {
        Damage(number, cardNumber, QStringLiteral("登録行番号のない氏名があります"));
        return;
    }
    RecordedCard& card = CardOf(cardNumber, number);
    Entry& entry = m_entries[static_cast<size_t>(&card - m_cards.data())];
    const auto sameKey = [&] {
        for (size_t k = 0; k < kCardColumns.size(); ++k) {
            const int column = kCardColumns[k];
            const QByteArrayView now = column < static_cast<int>(f.size()) ? f[column] : QByteArrayView();
            if (now != QByteArrayView(entry.Key[k])) {
                return false;
            }
        }
        return true;
    };
    if (!entry.HasCells) {
        // An empty time is unknown; any other must read.
        const QDateTime issued = QDateTime::fromString(QString::fromLatin1(f[1]), kTimeFormat);
        if (!issued.isValid() && !f[1].isEmpty()) {
            Damage(number, cardNumber, QStringLiteral("発行日時が正しくありません"));
            return;
        }
        for (size_t k = 0; k < kCardColumns.size(); ++k) {
            const int column = kCardColumns[k];
            entry.Key[k] = column < static_cast<int>(f.size()) ? f[column].toByteArray() : QByteArray();
        }
        entry.HasCells = true;
        entry.FirstLine = number;
        card.Issued = issued;
        card.RosterPath = QString::fromUtf8(f[2]);
        card.Fingerprint = QString::fromUtf8(f[3]);
        card.Layout = QString::fromUtf8(f[4]);
        card.Side = static_cast<int>(side);
        card.Cells.assign(static_cast<size_t>(side * side), RecordedCell{});
        card.Token = QString::fromUtf8(f[11]);
        card.PhoneAddress = f.size() > 12 ? QString::fromUtf8(f[12]) : QString();
    } else if (!sameKey()) {
        Damage(number, cardNumber,
               QStringLiteral("同じ番号の別のカードがあります（%1 行目から）").arg(entry.FirstLine));
        return;
    }
    const size_t k = static_cast<size_t>((i - 1) * side + (j - 1));
    const RecordedCell cell{static_cast<qint16>(row), Interned(f[9]), centre};
    if (entry.Filled.test(k)) {
        // The same line twice says nothing new; another cell in its place is another card.
        if (!(card.Cells[k] == cell)) {
            Damage(number, cardNumber,
                   QStringLiteral("同じ番号の別のカードがあります（%1 行目から）").arg(entry.FirstLine));
        }
        return;
    }
    entry.Filled.set(k);
    ++entry.Count;
    card.Cells[k] = cell;
}

void CardRecordIndex::CheckOpenEnds(qsizetype unfinishedBytes) {
    m_openDamage.clear();
    if (unfinishedBytes > 0) {
        m_openDamage.push_back({m_nextLine, 0, QStringLiteral("途中で切れています")});
    }
    for (size_t c = 0; c < m_cards.size(); ++c) {
        const RecordedCard& card = m_cards[c];
        const Entry& entry = m_entries[c];
        if (card.Status == CardStatus::Given && entry.Count != card.Side * card.Side) {
            m_openDamage.push_back({entry.FirstLine, card.Number,
                                    entry.HasCells
                                        ? QStringLiteral("マスが足りません（%1 マスのうち %2 マス）")
                                              .arg(card.Side * card.Side)
                                              .arg(entry.Count)
                                        : QStringLiteral("マスがありません")});
        }
    }
}

std::vector<RecordDamage> CardRecordIndex::Damage() const {
    std::vector<RecordDamage> all = m_lineDamage;
    all.insert(all.end(), m_openDamage.begin(), m_openDamage.end());
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.Line < b.Line; });
    return all;
}

QString CardRecordIndex::DamageText() const {
    const std::vector<RecordDamage> all = Damage();
    QStringList lines;
    for (const RecordDamage& d : all) {
        if (lines.size() == kMostDamageNamed) {
            break;
        }
        lines << (d.Number > 0
                      ? QStringLiteral("%1 行目（%2）: %3").arg(d.Line).arg(numberText(d.Number), d.What)
                      : QStringLiteral("%1 行目: %2").arg(d.Line).arg(d.What));
    }
    const qint64 total = m_lineDamageCount + static_cast<qint64>(m_openDamage.size());
    if (total > lines.size()) {
        lines << QStringLiteral("ほか %1 か所").arg(total - lines.size());
    }
    return lines.join(QStringLiteral("\r\n"));
}

std::vector<RecordedCard> ReadCardRecord(const QByteArray& bytes) {
    CardRecordIndex record;
    record.ReadAll(bytes);
    return record.Cards();
}

int NextCardNumber(const std::vector<RecordedCard>& cards) {
    int highest = 0;
    for (const RecordedCard& card : cards) {
        highest = std::max(highest, card.Number);
    }
    return std::min(highest, kLastCardNumber) + 1;
}

bool LoadCardRecord(const QString& path, std::vector<RecordedCard>& cards, FileError& error) {
    cards.clear();
    CardRecordIndex record;
    if (!record.Refresh(path, error)) {
        return false;
    }
    cards = record.Cards();
    return true;
}

bool AddCardsToRecord(const QString& path, const std::vector<RecordedCard>& cards, FileError& error) {
    return AppendRecordLines(path, CsvFileStart(header()), CardRecordLines(cards), error);
}

bool MarkCardsNotPrinted(const QString& path, const std::vector<RecordedCard>& cards, const QDateTime& when,
                         FileError& error) {
    QByteArray lines;
    for (const RecordedCard& card : cards) {
        lines += CsvLine(cardColumns(card, when) + QStringList{QString(), QString(), QString(), QString(),
                                                               QString(), card.Token, card.PhoneAddress,
                                                               statusWord(CardStatus::NotPrinted)})
                     .toUtf8() +
                 "\r\n";
    }
    return AppendRecordLines(path, CsvFileStart(header()), lines, error);
}

// ---- Checking ----------------------------------------------------------------------------------

namespace {

QString comparable(const QString& name) {
    QString out;
    for (const QChar c : name.normalized(QString::NormalizationForm_KC)) {
        if (!c.isSpace()) {
            out += c;
        }
    }
    return out;
}

// At most one character inserted, left out or changed.
bool withinOneEdit(const QString& a, const QString& b) {
    const QString& shorter = a.size() <= b.size() ? a : b;
    const QString& longer = a.size() <= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1) {
        return false;
    }
    qsizetype i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) {
        ++i;
    }
    if (shorter.size() == longer.size()) {
        return shorter.mid(i + 1) == longer.mid(i + 1);
    }
    return shorter.mid(i) == longer.mid(i + 1);
}

} // namespace

bool SamePerson(const QString& printed, const QString& now) {
    const QString a = comparable(printed);
    const QString b = comparable(now);
    if (a == b) {
        return true;
    }
    // A name of one character changed in its one character is another name.
    return std::min(a.size(), b.size()) >= 2 && withinOneEdit(a, b);
}

CardVerdict CheckCard(const RecordedCard& card, const std::set<qint16>& drawn, const RosterTable* roster) {
    CardVerdict v;
    const int n = card.Side;
    for (const RecordedCell& cell : card.Cells) {
        bool marked = cell.IsMark();
        if (cell.Row > 0 && drawn.count(cell.Row) > 0) {
            if (!roster || SamePerson(cell.Name, roster->Cell(RosterColumn::Name, cell.Row))) {
                marked = true;
            } else {
                ++v.Renamed;
            }
        }
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
    if (n > 0) {
        count([&](int k) { return k * n + k; });
        count([&](int k) { return k * n + (n - 1 - k); });
    }
    if (v.Lines > 0) {
        v.Words = QStringLiteral("ビンゴ！（%1 列）").arg(v.Lines);
    } else if (v.Reaches > 0) {
        v.Words = QStringLiteral("リーチ（%1 列）").arg(v.Reaches);
    } else {
        v.Words = QStringLiteral("%1 マスが開いています").arg(v.MarkedCount);
    }
    if (v.Renamed > 0) {
        v.Note =
            QStringLiteral("印刷した後に登録行の人が変わったため、%1 マスは数えていません。").arg(v.Renamed);
    }
    return v;
}

namespace {

CardLookup lookUp(const RecordedCard* card, int number) {
    if (!card) {
        return {nullptr, QStringLiteral("カード %1 は記録にありません。").arg(numberText(number))};
    }
    switch (card->Status) {
    case CardStatus::NotPrinted:
        return {
            nullptr,
            QStringLiteral("カード %1 は、発行を中止したため印刷されていません。").arg(numberText(number))};
    case CardStatus::Void:
        return {nullptr,
                QStringLiteral("カード %1 の記録は無効にされています。\r\nこのカードは確認できません。")
                    .arg(numberText(number))};
    case CardStatus::Given:
        break;
    }
    return {card, {}};
}

} // namespace

CardLookup FindCard(const CardRecordIndex& record, int number) {
    return lookUp(record.Find(number), number);
}

CardLookup FindCard(const std::vector<RecordedCard>& cards, int number) {
    const auto found = std::find_if(cards.begin(), cards.end(),
                                    [number](const RecordedCard& c) { return c.Number == number; });
    return lookUp(found == cards.end() ? nullptr : &*found, number);
}

TypedCardNumber ReadTypedCardNumber(const QString& typed) {
    QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.startsWith(QStringLiteral("No."), Qt::CaseInsensitive)) {
        text = text.mid(3).trimmed();
    }
    const bool digits = !text.isEmpty() &&
                        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits) {
        return {0, QStringLiteral("カード番号は数字で入力してください。")};
    }
    while (text.size() > 1 && text.startsWith(u'0')) {
        text.remove(0, 1);
    }
    qint64 number = 0;
    if (!ReadDecimal(text.toLatin1(), 1, kLastCardNumber, number)) {
        // Digits all the same: the number is simply on no card.
        return {0, QStringLiteral("カード No.%1 は記録にありません。").arg(text.rightJustified(4, u'0'))};
    }
    return {static_cast<int>(number), {}};
}
