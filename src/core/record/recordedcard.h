#pragma once

#include "core/cards/cardgeometry.h"
#include "core/record/cardrecord.h"

#include <vector>

class CardRenderer;
class QPainter;
class RosterTable;

// Draws a recorded card as it was printed (the card renderer, names as printed, photos of the
// rows as the roster names them now) with the square of side at origin; cells marked are
// covered by a translucent red disc.
void DrawRecordedCard(QPainter& painter, CardRenderer& renderer, const RecordedCard& card,
                      const RosterTable& roster, const QString& picturesFolder, MmPoint origin, MmUnits side,
                      const std::vector<bool>& marked);
