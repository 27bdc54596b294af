#include "ui/draw/phonejoinbox.h"

#include "ui/draw/drawboxes.h"
#include "ui/draw/qrcodeview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

PhoneJoinBox::PhoneJoinBox(const std::vector<QHostAddress>& addresses, int chosen, QWidget* parent)
    : QDialog(parent), m_addresses(addresses) {
    setObjectName(QStringLiteral("frmスマホ参加"));
    setWindowTitle(QStringLiteral("スマホ参加"));
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);

    auto* layout = new QVBoxLayout(this);
    auto* heading =
        new QLabel(QStringLiteral("紙のカードがない方は、スマホのカメラで読み取ってください"), this);
    heading->setFont(RoomFont(parent, 1.0 / 30, true));
    heading->setAlignment(Qt::AlignCenter);
    heading->setWordWrap(true);
    auto* paper =
        new QLabel(QStringLiteral("紙のカードをお持ちの方は、カードの QR コードを読み取ってください"), this);
    paper->setFont(RoomFont(parent, 1.0 / 40, false));
    paper->setAlignment(Qt::AlignCenter);
    paper->setWordWrap(true);
    // The code takes whatever height the words leave: it is drawn inside its own place only.
    m_code = new QrCodeView(this);
    m_code->setObjectName(QStringLiteral("picQR"));
    m_failure = new QLabel(this);
    m_failure->setObjectName(QStringLiteral("lblスマホ参加できない理由"));
    m_failure->setFont(RoomFont(parent, 1.0 / 30, false));
    m_failure->setAlignment(Qt::AlignCenter);
    m_failure->setWordWrap(true);
    m_failure->hide();
    m_url = new QLabel(this);
    m_url->setObjectName(QStringLiteral("lblアドレス"));
    m_url->setFont(RoomFont(parent, 1.0 / 30, true));
    m_url->setAlignment(Qt::AlignCenter);
    m_url->setWordWrap(true);
    m_phones = new QLabel(this);
    m_phones->setObjectName(QStringLiteral("lbl接続数"));
    m_phones->setFont(RoomFont(parent, 1.0 / 40, false));
    m_phones->setAlignment(Qt::AlignCenter);

    // The organiser's choices, in ordinary type: they are not for the room.
    m_address = new QComboBox(this);
    m_address->setObjectName(QStringLiteral("cmbアドレス"));
    for (const QHostAddress& address : m_addresses) {
        m_address->addItem(address.toString());
    }
    m_address->setCurrentIndex(chosen);
    connect(m_address, &QComboBox::activated, this, [this](int index) {
        if (AddressChosen && index >= 0 && static_cast<size_t>(index) < m_addresses.size()) {
            AddressChosen(m_addresses[static_cast<size_t>(index)]);
        }
    });
    auto* buttons = RoomCloseButton(this, parent);
    auto* end = buttons->addButton(QStringLiteral("スマホ参加を終わる"), QDialogButtonBox::DestructiveRole);
    end->setObjectName(QStringLiteral("cmdスマホ参加終了"));
    end->setFont(RoomFont(parent, 1.0 / 40, false));
    connect(end, &QPushButton::clicked, this, [this] { done(kEnded); });

    layout->addWidget(heading);
    layout->addWidget(paper);
    layout->addWidget(m_code, 1);
    layout->addWidget(m_failure, 1);
    layout->addWidget(m_url);
    layout->addWidget(m_phones);
    layout->addWidget(m_address);
    layout->addWidget(buttons);
    // Most of the screen's height: the code is read from the back of a hall on a projector.
    const int height = std::max(480, area.height() * 9 / 10);
    resize(std::min(area.width(), std::max(640, height * 3 / 4)), height);
}

void PhoneJoinBox::ShowServing(const QString& url, int phones) {
    m_failure->hide();
    m_code->show();
    m_code->SetText(url);
    m_url->setText(url);
    ShowPhones(phones);
}

void PhoneJoinBox::ShowPhones(int phones) {
    m_phones->setText(QStringLiteral("参加中のスマホ: %1 台").arg(phones));
}

void PhoneJoinBox::ShowFailure(const QString& text) {
    m_code->SetText(QString());
    m_code->hide();
    m_failure->setText(text);
    m_failure->show();
    m_url->clear();
    m_phones->clear();
}
