#include "ui/app/roombox.h"

#include "core/common/linebreak.h"
#include "ui/app/heldkeys.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The share of the screen's width a box may take.
constexpr double kWidestShare = 0.9;

} // namespace

RoomBox::RoomBox(QWidget* screen, const QString& text)
    : QDialog(screen ? screen : QApplication::activeWindow()) {
    Build(screen, text, false, Dialogs::Answer::Yes);
}

RoomBox::RoomBox(QWidget* screen, const QString& text, Dialogs::Answer defaultButton)
    : QDialog(screen ? screen : QApplication::activeWindow()) {
    Build(screen, text, true, defaultButton);
}

void RoomBox::Build(QWidget* screen, const QString& text, bool question, Dialogs::Answer defaultButton) {
    setObjectName(QStringLiteral("RoomBox"));
    setWindowTitle(question ? ConfirmTitle() : ApplicationTitle());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const QScreen* shownOn = screen && screen->screen() ? screen->screen() : QGuiApplication::primaryScreen();
    const QRect available = shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1024, 768);
    QFont type = font();
    type.setPointSizeF(std::max(type.pointSizeF(), 12.0));
    if (QFontInfo(type).pixelSize() < RoomTypePixels(shownOn ? shownOn->geometry().height() : 0)) {
        type.setPixelSize(RoomTypePixels(shownOn ? shownOn->geometry().height() : 0));
    }
    setFont(type);

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    int iconWidth = 0;
    if (question) {
        auto* icon = new QLabel(this);
        const int side = QFontMetrics(type).height() * 2;
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(side, side));
        icon->setAlignment(Qt::AlignTop);
        row->addWidget(icon);
        iconWidth = side + row->spacing();
    }
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblRoomText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(false);
    m_text->setTextInteractionFlags(Qt::NoTextInteraction);
    row->addWidget(m_text, 1);
    layout->addLayout(row);

    const QMargins margins = layout->contentsMargins();
    const double widest = available.width() * kWidestShare - margins.left() - margins.right() - iconWidth;
    const QFontMetricsF metrics(type);
    m_lines = BreakIntoLines(text, widest,
                             [&metrics](const QString& line) { return metrics.horizontalAdvance(line); });
    m_text->setText(m_lines.join(u'\n'));

    auto* buttons = new QDialogButtonBox(this);
    if (question) {
        m_yes = buttons->addButton(QDialogButtonBox::Yes);
        m_no = buttons->addButton(QDialogButtonBox::No);
        connect(m_yes, &QPushButton::clicked, this, [this] {
            m_answer = Dialogs::Answer::Yes;
            accept();
        });
        connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    } else {
        m_yes = buttons->addButton(QDialogButtonBox::Ok);
        connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
    }
    for (QAbstractButton* button : buttons->buttons()) {
        button->setIcon(QIcon()); // words only, in the room's type
    }
    buttons->setCenterButtons(!question);
    layout->addWidget(buttons);
    QPushButton* offered = question && defaultButton == Dialogs::Answer::No ? m_no : m_yes;
    offered->setDefault(true);
    offered->setFocus();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    IgnoreHeldKeys(*this);
}

QPushButton* RoomBox::Button(Dialogs::Answer answer) const {
    return answer == Dialogs::Answer::Yes ? m_yes : m_no;
}

QPushButton* RoomBox::DefaultButton() const {
    for (QPushButton* button : {m_yes, m_no}) {
        if (button && button->isDefault()) {
            return button;
        }
    }
    return m_yes;
}
