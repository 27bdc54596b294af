#include "ui/draw/phoneclaims.h"

#include "core/common/designfonts.h"
#include "core/record/cardrecord.h"
#include "ui/app/childscreen.h"
#include "ui/draw/cardchecker.h"
#include "ui/draw/phonejoin.h"

#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace {

// Where the notice sits: level with the song box, as far from the right edge as it is from the
// left (twips).
constexpr double kNoticeMargin = 60, kNoticeTop = 45;

} // namespace

PhoneClaims::PhoneClaims(const PhoneJoin& phones, CardChecker& checker, QWidget* screen)
    : m_phones(phones), m_checker(checker), m_screen(screen) {
    m_notice = new QLabel(screen);
    m_notice->setObjectName(QStringLiteral("lblスマホ申告"));
    m_notice->setFont(DesignFont(DesignFace::PGothic, 9.75, true));
    m_notice->setStyleSheet(QStringLiteral("QLabel { color: yellow; background: black; padding: 2px; }"));
    m_notice->hide();
}

void PhoneClaims::Take(int number) {
    if (std::find(m_claims.begin(), m_claims.end(), number) == m_claims.end()) {
        m_claims.push_back(number);
    }
    Show();
}

void PhoneClaims::Show() {
    if (m_claims.empty()) {
        m_notice->hide();
        return;
    }
    // Whether the card holds a line is for the organiser's eyes: the room hears it from the check.
    // The cards are the server's, in memory: this runs whenever a panel opens while claims wait.
    const RecordedCard* card = m_phones.ServedCard(m_claims.front());
    QString text = QStringLiteral("スマホから No.%1 がビンゴを申告しました")
                       .arg(m_claims.front(), 4, 10, QLatin1Char('0'));
    if (!card) {
        text += QStringLiteral("が、記録にないカードです（K キーで確認）");
    } else if (m_checker.Verdict(*card).Lines > 0) {
        text += QStringLiteral("（K キーで確認）");
    } else {
        text += QStringLiteral("が、まだ列はそろっていません（K キーで確認）");
    }
    if (m_claims.size() > 1) {
        text += QStringLiteral("　ほか %1 枚").arg(m_claims.size() - 1);
    }
    m_notice->setText(text);
    m_notice->adjustSize();
    m_notice->move(m_screen->width() - m_notice->width() - TwipsToPixels(m_screen, kNoticeMargin),
                   TwipsToPixels(m_screen, kNoticeTop));
    m_notice->show();
    m_notice->raise();
}

void PhoneClaims::CheckOldest() {
    if (m_claims.empty()) {
        return;
    }
    const int number = m_claims.front();
    m_claims.pop_front();
    Show();
    m_checker.Check(number);
}
