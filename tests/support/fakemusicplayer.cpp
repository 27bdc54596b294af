#include "support/fakemusicplayer.h"

#include "core/media/mediatime.h"

#include <algorithm>

void FakeMusicPlayer::PlayMusic(const QString& path, qint32 startSeconds) {
    Log.append(QStringLiteral("play %1 %2").arg(path).arg(startSeconds));
    if (!m_lengthsMs.contains(path)) {
        return; // cannot be opened: silent
    }
    const qint64 length = m_lengthsMs.value(path);
    m_open.insert(path, Playing{std::clamp<qint64>(startSeconds * 1000LL, 0, length), m_clock.NowMs()});
}

void FakeMusicPlayer::CloseMusic(const QString& path) {
    Log.append(QStringLiteral("close %1").arg(path));
    m_open.remove(path);
}

qint32 FakeMusicPlayer::MusicLength(const QString& path) {
    if (!m_open.contains(path)) {
        return 0;
    }
    return ReportedTime(m_lengthsMs.value(path), path, 0);
}

qint32 FakeMusicPlayer::MusicPosition(const QString& path) {
    if (!m_open.contains(path)) {
        return 0;
    }
    const Playing p = m_open.value(path);
    const qint64 position = std::min(m_lengthsMs.value(path), p.startMs + (m_clock.NowMs() - p.startedAt));
    return ReportedTime(position, path, 0);
}
