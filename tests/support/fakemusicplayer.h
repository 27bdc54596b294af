#pragma once

#include "core/media/musicplayer.h"
#include "support/fakeclock.h"

#include <QHash>
#include <QStringList>

// Playback in virtual time for tests: a song "plays" from its start second as the FakeClock
// advances and stops at its end. Only paths given a length with AddSong can be opened; any other
// path reads 0 / 0 like a missing file.
class FakeMusicPlayer : public MusicPlayer {
public:
    explicit FakeMusicPlayer(const Clock& clock) : m_clock(clock) {}

    void AddSong(const QString& path, qint32 lengthSeconds) {
        m_lengthsMs.insert(path, lengthSeconds * 1000LL);
    }

    void PlayMusic(const QString& path, qint32 startSeconds) override;
    void CloseMusic(const QString& path) override;
    qint32 MusicLength(const QString& path) override;
    qint32 MusicPosition(const QString& path) override;

    bool IsOpen(const QString& path) const { return m_open.contains(path); }
    int OpenCount() const { return static_cast<int>(m_open.size()); }
    QStringList Log; // "play <path> <start>", "close <path>"

private:
    struct Playing {
        qint64 startMs = 0;   // position at which play began
        qint64 startedAt = 0; // clock time of the play command
    };
    const Clock& m_clock;
    QHash<QString, qint64> m_lengthsMs;
    QHash<QString, Playing> m_open;
};
