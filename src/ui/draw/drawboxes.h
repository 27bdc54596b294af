#pragma once

#include "core/record/cardrecord.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QStringList>

class QDialogButtonBox;
class RosterTable;

// The boxes the draw screen shows the room, their type sized for the back of a hall.

// Type read from the back of the room: a share of the screen's height.
QFont RoomFont(const QWidget* over, double share, bool bold);
// The 閉じる button of a box shown to the room.
QDialogButtonBox* RoomCloseButton(QDialog* box, const QWidget* over);

// 抽選履歴: who was drawn, in order, with the time.
class DrawHistoryBox : public QDialog {
public:
    DrawHistoryBox(const QStringList& entries, QWidget* parent);
};

// カード確認: the card as printed, its drawn cells marked, and the verdict in words.
class CardCheckBox : public QDialog {
public:
    CardCheckBox(const RecordedCard& card, const CardVerdict& verdict, const RosterTable& roster,
                 const QString& picturesFolder, QWidget* parent);
    const QImage& Picture() const { return m_picture; }

private:
    QImage m_picture;
};
