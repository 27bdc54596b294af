#pragma once

#include <QtGlobal>
#include <vector>

class FractionSource;
class RosterTable;

// A list of row (or panel) numbers used from position 1 to Count; position 0 is never used and
// positions beyond Count hold 0 after a removal. Every caller owns its own pool.
struct RowPool {
    explicit RowPool(int capacity = 300) : Entries(static_cast<size_t>(capacity) + 1, 0) {}
    std::vector<qint16> Entries;
    qint16 Count = 0;

    qint16 At(int position) const { return Entries[static_cast<size_t>(position)]; }
};

// Fills the pool with every eligible row in ascending order: in use, not excluded (the 除外 cell
// does not read as 1), and not the row to leave out (0 leaves none out).
void CollectEligibleRows(const RosterTable& roster, RowPool& pool, qint16 leaveOut);

// A random integer 1..n (n >= 1): the fraction written with ten decimals, its first six
// decimals read as an integer k, giving (k mod n) + 1.
qint32 RandomIndex(FractionSource& random, qint16 n);

// Takes a random entry out of the pool (Count >= 1), keeping the others in order.
qint16 TakeRandomEntry(FractionSource& random, RowPool& pool);

// Position 1..Count of the first entry holding value, or -1.
qint16 FindEntry(const RowPool& pool, qint16 value);

// Removes the first entry holding value; nothing when there is none.
void RemoveEntry(RowPool& pool, qint16 value);

// Appends value (no duplicate check); the pool grows if it is full.
void AppendEntry(RowPool& pool, qint16 value);
