#include "ui/media/musicplayingbox.h"

#include "core/common/designfonts.h"

#include "core/common/blank.h"
#include "core/common/timing.h"
#include "core/media/musicplayer.h"
#include "ui/app/dialogs.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

MusicPlayingBox::MusicPlayingBox(Dialogs& dialogs, Clock& clock, MusicPlayer& music, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_music(music), m_timer(clock.CreateTimer()) {
    setObjectName(QStringLiteral("Kap音楽再生box"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFont font = DesignFont(DesignFace::PGothic);
    font.setPointSizeF(12);
    setFont(font);

    m_message = new QLineEdit(this);
    m_message->setObjectName(QStringLiteral("TxtMsg"));
    m_message->setReadOnly(true);
    m_message->setFocusPolicy(Qt::NoFocus);
    m_message->setMinimumWidth(360);

    m_playingTime = new QLineEdit(this);
    m_playingTime->setObjectName(QStringLiteral("Txt演奏時間"));
    m_playingTime->setReadOnly(true);
    m_playingTime->setFocusPolicy(Qt::NoFocus);
    m_playingTime->setAlignment(Qt::AlignCenter);
    m_playingTime->setStyleSheet(
        QStringLiteral("QLineEdit { color: rgb(255, 255, 0); background: rgb(0, 0, 0); }"));
    QFont timeFont = DesignFont(DesignFace::Gothic);
    timeFont.setPointSizeF(18);
    timeFont.setBold(true);
    m_playingTime->setFont(timeFont);

    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("TxtInput"));

    m_yes = new QPushButton(QStringLiteral("はい"), this);
    m_yes->setObjectName(QStringLiteral("cmdYes"));
    m_yes->setDefault(true);
    m_no = new QPushButton(QStringLiteral("いいえ"), this);
    m_no->setObjectName(QStringLiteral("CmdNo"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_playingTime);
    layout->addWidget(m_input);
    layout->addLayout(buttons);

    connect(m_yes, &QPushButton::clicked, this, &MusicPlayingBox::cmdYes_Click);
    connect(m_no, &QPushButton::clicked, this, &MusicPlayingBox::CmdNo_Click);
    m_timer->SetCallback([this] { TimerXmsg_Timer(); });
}

MusicPlayingBox::~MusicPlayingBox() = default;

qint16 MusicPlayingBox::PlayMusicBox(const QString& message, const QString& title, const QString& songPath,
                                     qint32 playingSeconds) {
    m_songPath = songPath;
    m_playingSeconds = playingSeconds;
    m_ticks = 0;
    m_boxResult = kNo;
    setWindowTitle(title);
    m_input->hide();
    m_playingTime->clear();
    m_message->setText(message);
    m_message->setCursorPosition(0);
    m_timer->SetInterval(1000);
    m_timer->Start();
    const QPointer<MusicPlayingBox> self(this);
    m_dialogs.Exec(*this);
    if (!self) {
        return kNo; // destroyed with its owner while it was shown
    }
    const qint16 answer = m_boxResult;
    m_timer->Stop();
    return answer;
}

void MusicPlayingBox::cmdYes_Click() {
    m_boxResult = kYes;
    done(kYes);
}

void MusicPlayingBox::CmdNo_Click() {
    m_input->clear();
    m_boxResult = kNo;
    done(kNo);
}

void MusicPlayingBox::TimerXmsg_Timer() {
    if (!IsBlank(m_songPath)) {
        const qint32 position = m_music.MusicPosition(m_songPath);
        const qint32 length = m_music.MusicLength(m_songPath);
        // A file still being opened reads -1 for its length; it is shown as 0.
        m_playingTime->setText(QString::number(position) + QStringLiteral("/") +
                               QString::number(qMax(0, length)));
        if (length == position && position != 0) {
            // The song has reached its end.
            m_timer->Stop();
            cmdYes_Click();
            return;
        }
    }
    ++m_ticks;
    if (m_playingSeconds != 0 && m_ticks >= m_playingSeconds) {
        m_timer->Stop();
        cmdYes_Click();
    }
}
