#pragma once

#include "core/record/cardrecord.h"

#include <QDateTime>
#include <QString>
#include <optional>

class FractionSource;
class RosterTable;

// What a card dealt to a phone is recorded with, besides its cells.
struct FreshCardOrigin {
    int Side = 5;
    QString RosterPath;
    QString Fingerprint;
    QString Layout = QStringLiteral("スマートフォン");
};

// A normal card dealt as a run prints one, with the mark in the centre: every other cell a
// participant picked at random from the pool, nobody twice while there are enough. Nothing when
// no participant is eligible.
std::optional<RecordedCard> DealFreshCard(const RosterTable& roster, FractionSource& random,
                                          const FreshCardOrigin& origin, int number, const QDateTime& issued,
                                          const QString& token);
