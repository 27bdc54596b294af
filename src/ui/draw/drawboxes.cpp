#include "ui/draw/drawboxes.h"

#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/record/recordedcard.h"
#include "ui/app/dialogs.h"

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

QFont RoomFont(const QWidget* over, double share, bool bold) {
    const QScreen* screen = over ? over->screen() : nullptr;
    const int height = screen ? screen->geometry().height() : 768;
    QFont font = DesignFont(DesignFace::PGothic, 0, bold);
    font.setPixelSize(std::max(RoomTypePixels(height), static_cast<int>(height * share)));
    return font;
}

QDialogButtonBox* RoomCloseButton(QDialog* box, const QWidget* over) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, box);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->button(QDialogButtonBox::Close)->setIcon(QIcon());
    buttons->button(QDialogButtonBox::Close)->setFont(RoomFont(over, 1.0 / 40, true));
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    return buttons;
}

DrawHistoryBox::DrawHistoryBox(const QStringList& entries, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm抽選履歴"));
    setWindowTitle(QStringLiteral("抽選履歴"));
    auto* layout = new QVBoxLayout(this);
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("lst抽選履歴"));
    list->setFont(RoomFont(parent, 1.0 / 30, false));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->addItems(entries.isEmpty() ? QStringList{QStringLiteral("まだ誰も抽選されていません。")} : entries);
    list->scrollToBottom();
    layout->addWidget(list);
    layout->addWidget(RoomCloseButton(this, parent));
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
    number->setFont(RoomFont(parent, 1.0 / 30, true));
    number->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(m_picture));
    picture->setAlignment(Qt::AlignCenter);
    auto* words = new QLabel(verdict.Words, this);
    words->setObjectName(QStringLiteral("lbl判定"));
    words->setFont(RoomFont(parent, 1.0 / 12, true));
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
    layout->addWidget(RoomCloseButton(this, parent));
}
