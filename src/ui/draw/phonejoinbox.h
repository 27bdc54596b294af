#pragma once

#include <QDialog>
#include <QHostAddress>
#include <QString>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QrCodeView;

// スマホ参加: where guests join from their phones, its QR code large enough to scan from the back
// of the room (and never covered: the address is written below it, outside its quiet zone), and
// the address of this computer the pages are served on.
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
    const QrCodeView& Code() const { return *m_code; }

    // The organiser chose another address.
    std::function<void(const QHostAddress& address)> AddressChosen;

private:
    std::vector<QHostAddress> m_addresses;
    QComboBox* m_address = nullptr;
    QrCodeView* m_code = nullptr;
    QLabel* m_failure = nullptr;
    QLabel* m_url = nullptr;
    QLabel* m_phones = nullptr;
};
