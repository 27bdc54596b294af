#pragma once

#include "core/media/musicplayer.h"

#include <QHash>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Song playback of the running program on Qt Multimedia. Each open path gets a player of its
// own with its own audio output, so several songs may be open at once.
//
// The media layer opens files asynchronously, and it ignores a seek made before the file has
// loaded; PlayMusic therefore remembers the start second and seeks, then plays, once the file
// has loaded. Until then the length of a readable file reads -1 ("not known yet") and its
// position 0, so that "length equals position" cannot be taken for the end of a song that has
// not started. A file that is missing, unreadable or unsupported reads 0 / 0. Once a song has
// played to its end, position and length read the same value. Every failure is silent.
class QtMusicPlayer : public MusicPlayer {
public:
    QtMusicPlayer();
    ~QtMusicPlayer() override;
    QtMusicPlayer(const QtMusicPlayer&) = delete;
    QtMusicPlayer& operator=(const QtMusicPlayer&) = delete;

    void PlayMusic(const QString& path, qint32 startSeconds) override;
    void CloseMusic(const QString& path) override;
    qint32 MusicLength(const QString& path) override;
    qint32 MusicPosition(const QString& path) override;

private:
    struct Device;
    static void StartWhenLoaded(Device& device);
    static double FrameRate(const Device& device);
    QHash<QString, std::shared_ptr<Device>> m_devices;
};
