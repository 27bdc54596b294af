#include "core/roster/pool.h"

#include "core/common/numeric.h"
#include "core/common/random.h"
#include "core/roster/roster.h"

#include <QString>

namespace {

void RemoveAt(RowPool& pool, int p) {
    for (int i = p; i < pool.Count; ++i) {
        pool.Entries[static_cast<size_t>(i)] = pool.Entries[static_cast<size_t>(i) + 1];
    }
    pool.Entries[static_cast<size_t>(pool.Count)] = 0;
    --pool.Count;
}

} // namespace

void CollectEligibleRows(const RosterTable& roster, RowPool& pool, qint16 leaveOut) {
    pool.Count = 0;
    std::fill(pool.Entries.begin(), pool.Entries.end(), 0);
    if (pool.Entries.size() < static_cast<size_t>(RosterTable::kSlots)) {
        pool.Entries.resize(RosterTable::kSlots, 0);
    }
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        if (!roster.IsInUse(row) || row == leaveOut) {
            continue;
        }
        if (NumericValue(roster.Cell(RosterColumn::Excluded, row)) == 1) {
            continue;
        }
        ++pool.Count;
        pool.Entries[static_cast<size_t>(pool.Count)] = static_cast<qint16>(row);
    }
}

qint32 RandomIndex(FractionSource& random, qint16 n) {
    const double r = random.NextFraction();
    const QString text = QString::asprintf("%.10f", r);
    const qint32 k = text.mid(2, 6).toInt();
    return (k % n) + 1;
}

qint16 TakeRandomEntry(FractionSource& random, RowPool& pool) {
    const int p = RandomIndex(random, pool.Count);
    const qint16 value = pool.At(p);
    RemoveAt(pool, p);
    return value;
}

qint16 FindEntry(const RowPool& pool, qint16 value) {
    for (int p = 1; p <= pool.Count; ++p) {
        if (pool.At(p) == value) {
            return static_cast<qint16>(p);
        }
    }
    return -1;
}

void RemoveEntry(RowPool& pool, qint16 value) {
    const qint16 p = FindEntry(pool, value);
    if (p > 0) {
        RemoveAt(pool, p);
    }
}

void AppendEntry(RowPool& pool, qint16 value) {
    ++pool.Count;
    if (pool.Entries.size() <= static_cast<size_t>(pool.Count)) {
        pool.Entries.resize(static_cast<size_t>(pool.Count) + 1, 0);
    }
    pool.Entries[static_cast<size_t>(pool.Count)] = value;
}
