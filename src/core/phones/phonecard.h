#pragma once

#include "core/record/cardrecord.h"

#include <QByteArray>
#include <QString>
#include <vector>

// What a phone learns of its card, and nothing more: the number, the side, and for each cell in
// reading order the name printed there, whether a photo goes with it and whether it is marked;
// and the name of the participant drawn last. Row numbers and every other field of the roster
// stay on the laptop.
struct PhoneCardView {
    int Number = 0;
    int Side = 0;
    std::vector<QString> Names;
    std::vector<bool> Photos;
    std::vector<bool> Marked;
    QString Latest;
};

// The whole card as card.json and the first message of a live connection carry it.
QByteArray CardDocument(const PhoneCardView& view);
// What changes as the draw goes on: the marks and the latest name.
QByteArray StateDocument(const std::vector<bool>& marked, const QString& latest);
