#include "ui/draw/standingboard.h"

#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "ui/app/dialogs.h"
#include "ui/draw/cardchecker.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>

namespace {

int roomPixels(const QWidget* screen, double share) {
    const QScreen* shown = screen ? screen->screen() : nullptr;
    const int height = shown ? shown->geometry().height() : 768;
    return std::max(RoomTypePixels(height), static_cast<int>(height * share));
}

QString numberText(int number) {
    return QStringLiteral("No.%1").arg(number, 4, 10, QLatin1Char('0'));
}

// Keeps the board in the screen's corner when the screen changes its size.
class Placer : public QObject {
public:
    Placer(QWidget* screen, std::function<void()> place) : QObject(screen), m_place(std::move(place)) {
        screen->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            m_place();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_place;
};

} // namespace

StandingBoard::StandingBoard(const ProgramState& state, DrawSequence& sequence, CardChecker& checker,
                             QWidget* screen)
    : m_state(state), m_sequence(sequence), m_checker(checker), m_screen(screen) {
    m_box = new QWidget(screen);
    m_box->setObjectName(QStringLiteral("frm会場の状況"));
    m_box->setAttribute(Qt::WA_StyledBackground);
    m_box->setStyleSheet(
        QStringLiteral("#frm会場の状況 { background: rgba(0, 0, 0, 200); border-radius: 6px; }"
                       "QLabel { color: white; }"
                       "QPushButton { color: white; background: #602020; border: none;"
                       " padding: 2px 8px; }"));
    auto* layout = new QVBoxLayout(m_box);
    m_words = new QLabel(m_box);
    m_words->setObjectName(QStringLiteral("lbl会場の状況"));
    QFont font = m_words->font();
    font.setBold(true);
    font.setPixelSize(roomPixels(screen, 1.0 / 30));
    m_words->setFont(font);
    m_numbers = new QWidget(m_box);
    new QGridLayout(m_numbers);
    layout->addWidget(m_words);
    layout->addWidget(m_numbers);
    m_box->hide();
    m_placer = new Placer(screen, [this] { Place(); });
    m_sequence.AddListener(this);
    m_checker.RecordRead = [this] {
        if (IsShown()) {
            Update();
        }
    };
}

StandingBoard::~StandingBoard() {
    m_checker.RecordRead = nullptr;
    m_sequence.RemoveListener(this);
    delete m_placer;
    delete m_box;
}

void StandingBoard::Place() {
    const int margin = m_words->font().pixelSize() / 2;
    m_box->move(m_screen->width() - m_box->width() - margin, m_screen->height() - m_box->height() - margin);
    m_box->raise();
}

bool StandingBoard::IsShown() const {
    return m_box->isVisible();
}

void StandingBoard::Toggle() {
    if (IsShown()) {
        m_box->hide();
        return;
    }
    m_box->show();
    Update();
}

bool StandingBoard::TakeCards() {
    QString refusal;
    const CardRecordIndex* record = m_checker.Record(refusal);
    if (!record) {
        m_refusal =
            refusal.isEmpty() ? QStringLiteral("カード記録を読み込んでいます") : refusal.section(u'\r', 0, 0);
        return false;
    }
    const std::vector<RecordedCard>& cards = record->Cards();
    if (!m_standing || cards.size() < m_cardsTaken) {
        // The first time: the panels open now count, those of a game resumed among them.
        m_standing = std::make_unique<RoomStanding>(m_state.Roster);
        m_cardsTaken = 0;
        for (const auto& [panel, row] : m_sequence.OpenedPanels()) {
            m_standing->Opened(row);
        }
    }
    for (; m_cardsTaken < cards.size(); ++m_cardsTaken) {
        m_standing->Add(cards[m_cardsTaken]);
    }
    m_refusal.clear();
    return true;
}

void StandingBoard::PanelOpened(qint16 row, int, bool) {
    if (m_standing) {
        m_standing->Opened(row);
    }
    if (IsShown()) {
        Update();
    }
}

void StandingBoard::PanelClosed(qint16 row, int) {
    if (m_standing) {
        m_standing->Closed(row);
    }
    if (IsShown()) {
        Update();
    }
}

void StandingBoard::Update() {
    // Cards dealt to phones since the last panel come in first.
    const bool read = TakeCards();
    m_words->setText(read ? m_standing->Words() : m_refusal);
    auto* grid = static_cast<QGridLayout*>(m_numbers->layout());
    while (QLayoutItem* item = grid->takeAt(0)) {
        // Later: the button clicked may be the one whose check opens a box meanwhile.
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    if (read) {
        const std::vector<int>& order = m_standing->BingoOrder();
        QFont font = m_words->font();
        font.setPixelSize(font.pixelSize() * 2 / 3);
        for (size_t k = 0; k < order.size() && k < static_cast<size_t>(kMostNumbers); ++k) {
            auto* button = new QPushButton(numberText(order[k]), m_numbers);
            button->setObjectName(QStringLiteral("btnビンゴ_%1").arg(k));
            button->setFont(font);
            button->setFocusPolicy(Qt::NoFocus);
            const int number = order[k];
            QObject::connect(button, &QPushButton::clicked, button,
                             [this, number] { m_checker.Check(number); });
            grid->addWidget(button, static_cast<int>(k) / 4, static_cast<int>(k) % 4);
        }
        if (order.size() > static_cast<size_t>(kMostNumbers)) {
            auto* more = new QLabel(QStringLiteral("ほか %1 枚").arg(order.size() - kMostNumbers), m_numbers);
            more->setFont(font);
            grid->addWidget(more, kMostNumbers / 4, 0, 1, 4);
        }
    }
    m_numbers->setVisible(read && m_standing->Bingos() > 0);
    m_box->adjustSize();
    Place();
}

QString StandingBoard::Text() const {
    QStringList lines{m_words->text()};
    for (QWidget* button : m_numbers->findChildren<QPushButton*>()) {
        lines << static_cast<QPushButton*>(button)->text();
    }
    return lines.join(u'\n');
}
