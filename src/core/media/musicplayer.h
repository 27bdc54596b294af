#pragma once

#include <QString>

// Song playback. A song is addressed only by its file path, and several may be open at once.
// Play starts asynchronously at the given second; length and position are whole seconds
// rounded half up, 0 when nothing is open or the file cannot be read; files ending in ".AVI"
// report frames / 10. While a file is still being opened its length reads -1, so that "length =
// position" never ends a song that has not started yet. Every failure is silent.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    virtual void PlayMusic(const QString& path, qint32 startSeconds) = 0;
    virtual void CloseMusic(const QString& path) = 0;
    virtual qint32 MusicLength(const QString& path) = 0;
    virtual qint32 MusicPosition(const QString& path) = 0;
};
