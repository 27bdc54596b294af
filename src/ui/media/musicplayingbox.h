#pragma once

#include <QDialog>
#include <memory>

class Clock;
class Dialogs;
class MusicPlayer;
class QLineEdit;
class QPushButton;
class Timer;

// The small modal box shown while a song plays outside the draw: it shows a message and the
// song's position and length once a second, and waits until the user answers or the song has
// played long enough. It neither starts nor stops the song: the caller plays it before and
// closes it after.
class MusicPlayingBox : public QDialog {
    Q_OBJECT
public:
    static constexpr qint16 kYes = 6; // "はい", or ended by itself
    static constexpr qint16 kNo = 7;  // "いいえ", or closed otherwise

    MusicPlayingBox(Dialogs& dialogs, Clock& clock, MusicPlayer& music, QWidget* parent = nullptr);
    ~MusicPlayingBox() override;

    // Shows the box modally (through the dialog seam) until it is answered or ends by itself:
    // at the end of the song, or after playingSeconds ticks of one second (0 = no limit).
    // Returns kYes or kNo.
    qint16 PlayMusicBox(const QString& message, const QString& title, const QString& songPath,
                        qint32 playingSeconds);

private:
    void TimerXmsg_Timer();
    void cmdYes_Click();
    void CmdNo_Click();

    Dialogs& m_dialogs;
    MusicPlayer& m_music;
    std::unique_ptr<Timer> m_timer;
    QLineEdit* m_message = nullptr;
    QLineEdit* m_playingTime = nullptr;
    QLineEdit* m_input = nullptr;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
    QString m_songPath;
    qint32 m_playingSeconds = 0;
    qint32 m_ticks = 0;
    qint16 m_boxResult = kNo;
};
