#pragma once

#include "core/record/cardrecord.h"

#include <QDialog>
#include <QHostAddress>
#include <QImage>
#include <QStringList>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QScreen;
class RosterTable;

// The boxes the draw screen shows the room, their type sized for the back of a hall.

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

// スマホ参加: where guests join from their phones, its QR code large enough to scan from the back
// of the room, and the address of this computer the pages are served on.
class PhoneJoinBox : public QDialog {
public:
    // The result of the box when the organiser ended serving.
    static constexpr int kEnded = 2;

    PhoneJoinBox(const std::vector<QHostAddress>& addresses, int chosen, QWidget* parent);
    // The address of the pages and its QR code, and how many phones follow their cards.
    void ShowServing(const QString& url, int phones);
    void ShowPhones(int phones);
    // Why nothing is served.
    void ShowFailure(const QString& text);
    const QImage& Code() const { return m_code; }

    // The organiser chose another address.
    std::function<void(const QHostAddress& address)> AddressChosen;

private:
    std::vector<QHostAddress> m_addresses;
    QComboBox* m_address = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_url = nullptr;
    QLabel* m_phones = nullptr;
    QImage m_code;
    int m_side = 0;
};
