#include "ui/draw/drawboxes.h"

#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/phones/qrcode.h"
#include "core/record/recordedcard.h"
#include "ui/app/dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Type read from the back of the room: a share of the screen's height.
QFont roomFont(const QWidget* over, double share, bool bold) {
    const QScreen* screen = over ? over->screen() : nullptr;
    const int height = screen ? screen->geometry().height() : 768;
    QFont font = DesignFont(DesignFace::PGothic, 0, bold);
    font.setPixelSize(std::max(RoomTypePixels(height), static_cast<int>(height * share)));
    return font;
}

QDialogButtonBox* closeButton(QDialog* box, const QWidget* over) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, box);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->button(QDialogButtonBox::Close)->setIcon(QIcon());
    buttons->button(QDialogButtonBox::Close)->setFont(roomFont(over, 1.0 / 40, true));
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    return buttons;
}

} // namespace

DrawHistoryBox::DrawHistoryBox(const QStringList& entries, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm抽選履歴"));
    setWindowTitle(QStringLiteral("抽選履歴"));
    auto* layout = new QVBoxLayout(this);
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("lst抽選履歴"));
    list->setFont(roomFont(parent, 1.0 / 30, false));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->addItems(entries.isEmpty() ? QStringList{QStringLiteral("まだ誰も抽選されていません。")} : entries);
    list->scrollToBottom();
    layout->addWidget(list);
    layout->addWidget(closeButton(this, parent));
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(area.width() * 2 / 3, area.height() * 3 / 4);
}

CardCheckBox::CardCheckBox(const RecordedCard& card, const CardVerdict& verdict, const RosterTable& roster,
                           const QString& picturesFolder, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmカード確認"));
    setWindowTitle(QStringLiteral("カード確認"));
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    // The card as large as two thirds of the screen's height allows, drawn in millimetres by the
    // card renderer on an image whose resolution makes it that large.
    const int pixels = std::max(240, area.height() * 2 / 3);
    const double sideMm = 100;
    m_picture = QImage(pixels, pixels, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(pixels / (sideMm / 1000.0)));
    m_picture.setDotsPerMeterX(dotsPerMetre);
    m_picture.setDotsPerMeterY(dotsPerMetre);
    m_picture.fill(Qt::white);
    QPainter painter(&m_picture);
    CardRenderer renderer(Qt::black);
    DrawRecordedCard(painter, renderer, card, roster, picturesFolder, MmPoint{}, ToUnits(sideMm),
                     verdict.Marked);
    painter.end();

    auto* layout = new QVBoxLayout(this);
    auto* number = new QLabel(QStringLiteral("No.%1").arg(card.Number, 4, 10, QLatin1Char('0')), this);
    number->setFont(roomFont(parent, 1.0 / 30, true));
    number->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(m_picture));
    picture->setAlignment(Qt::AlignCenter);
    auto* words = new QLabel(verdict.Words, this);
    words->setObjectName(QStringLiteral("lbl判定"));
    words->setFont(roomFont(parent, 1.0 / 12, true));
    words->setAlignment(Qt::AlignCenter);
    words->setStyleSheet(verdict.Lines > 0 ? QStringLiteral("color: #c00000;") : QString());
    layout->addWidget(number);
    layout->addWidget(picture);
    layout->addWidget(words);
    if (!verdict.Note.isEmpty()) {
        auto* note = new QLabel(verdict.Note, this);
        note->setObjectName(QStringLiteral("lbl判定注記"));
        note->setAlignment(Qt::AlignCenter);
        layout->addWidget(note);
    }
    layout->addWidget(closeButton(this, parent));
}

PhoneJoinBox::PhoneJoinBox(const std::vector<QHostAddress>& addresses, int chosen, QWidget* parent)
    : QDialog(parent), m_addresses(addresses) {
    setObjectName(QStringLiteral("frmスマホ参加"));
    setWindowTitle(QStringLiteral("スマホ参加"));
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    // Half the screen's height: a phone reads it from the back of a hall on a projector.
    m_side = std::max(240, area.height() / 2);

    auto* layout = new QVBoxLayout(this);
    auto* heading =
        new QLabel(QStringLiteral("紙のカードがない方は、スマホのカメラで読み取ってください"), this);
    heading->setFont(roomFont(parent, 1.0 / 30, true));
    heading->setAlignment(Qt::AlignCenter);
    heading->setWordWrap(true);
    auto* paper =
        new QLabel(QStringLiteral("紙のカードをお持ちの方は、カードの QR コードを読み取ってください"), this);
    paper->setFont(roomFont(parent, 1.0 / 40, false));
    paper->setAlignment(Qt::AlignCenter);
    paper->setWordWrap(true);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picQR"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(m_side, m_side);
    m_url = new QLabel(this);
    m_url->setObjectName(QStringLiteral("lblアドレス"));
    m_url->setFont(roomFont(parent, 1.0 / 30, true));
    m_url->setAlignment(Qt::AlignCenter);
    m_url->setWordWrap(true);
    m_phones = new QLabel(this);
    m_phones->setObjectName(QStringLiteral("lbl接続数"));
    m_phones->setFont(roomFont(parent, 1.0 / 40, false));
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
    auto* buttons = closeButton(this, parent);
    auto* end = buttons->addButton(QStringLiteral("スマホ参加を終わる"), QDialogButtonBox::DestructiveRole);
    end->setObjectName(QStringLiteral("cmdスマホ参加終了"));
    end->setFont(roomFont(parent, 1.0 / 40, false));
    connect(end, &QPushButton::clicked, this, [this] { done(kEnded); });

    layout->addWidget(heading);
    layout->addWidget(paper);
    layout->addWidget(m_picture, 1);
    layout->addWidget(m_url);
    layout->addWidget(m_phones);
    layout->addWidget(m_address);
    layout->addWidget(buttons);
}

void PhoneJoinBox::ShowServing(const QString& url, int phones) {
    m_code = QrCode(url, 1);
    if (!m_code.isNull()) {
        // Whole pixels a module: a scaled code with blurred edges scans badly.
        const int scale = std::max(1, m_side / m_code.width());
        m_code = QrCode(url, scale);
    }
    m_picture->setPixmap(QPixmap::fromImage(m_code));
    m_url->setText(url);
    ShowPhones(phones);
}

void PhoneJoinBox::ShowPhones(int phones) {
    m_phones->setText(QStringLiteral("参加中のスマホ: %1 台").arg(phones));
}

void PhoneJoinBox::ShowFailure(const QString& text) {
    m_code = QImage();
    m_picture->setPixmap(QPixmap());
    m_picture->setText(text);
    m_picture->setFont(roomFont(parentWidget(), 1.0 / 30, false));
    m_picture->setWordWrap(true);
    m_url->clear();
    m_phones->clear();
}
