#include "core/media/qtmusicplayer.h"

#include "core/media/mediatime.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QUrl>
#include <algorithm>

struct QtMusicPlayer::Device {
    std::unique_ptr<QMediaPlayer> player;
    std::unique_ptr<QAudioOutput> output;
    QString path;
    qint64 startMs = 0;        // where playback is to begin
    bool startPending = false; // play requested, waiting for the file to load
    bool prerolling = false;   // paused to make the file seekable
    bool failed = false;       // the media layer could not read the file
    bool ended = false;        // played to its end

    ~Device() {
        if (player) {
            QObject::disconnect(player.get(), nullptr, nullptr, nullptr);
            player->stop();
        }
    }
};

namespace {

bool IsLoaded(QMediaPlayer::MediaStatus status) {
    return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferingMedia ||
           status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::EndOfMedia;
}

} // namespace

QtMusicPlayer::QtMusicPlayer() = default;

QtMusicPlayer::~QtMusicPlayer() = default;

void QtMusicPlayer::StartWhenLoaded(Device& device) {
    QMediaPlayer& player = *device.player;
    if (!device.startPending || !IsLoaded(player.mediaStatus())) {
        return;
    }
    if (device.startMs == 0 || player.isSeekable()) {
        device.startPending = false;
        device.prerolling = false;
        device.ended = false;
        // Seek also to 0: a path played again without a close starts over, not where it was.
        if (device.startMs > 0 || player.isSeekable()) {
            const qint64 duration = player.duration();
            player.setPosition(duration > 0 ? std::min(device.startMs, duration) : device.startMs);
        }
        player.play();
        return;
    }
    if (!device.prerolling) {
        // A file becomes seekable once its pipeline has prerolled: pause first, seek when the
        // player says it can, then play. The answer may arrive inside pause() itself.
        device.prerolling = true;
        player.pause();
        return;
    }
    if (player.mediaStatus() == QMediaPlayer::BufferedMedia) {
        // Prerolled and still not seekable: the best we can do is to play it from the beginning.
        device.startPending = false;
        device.prerolling = false;
        device.ended = false;
        player.play();
    }
}

void QtMusicPlayer::PlayMusic(const QString& path, qint32 startSeconds) {
    std::shared_ptr<Device> device = m_devices.value(path);
    if (!device) {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable()) {
            return; // nothing to open: both queries read 0
        }
        device = std::make_shared<Device>();
        device->path = path;
        device->player = std::make_unique<QMediaPlayer>();
        device->output = std::make_unique<QAudioOutput>();
        device->player->setAudioOutput(device->output.get());
        Device* d = device.get();
        QObject::connect(d->player.get(), &QMediaPlayer::mediaStatusChanged, d->player.get(),
                         [d](QMediaPlayer::MediaStatus status) {
                             if (status == QMediaPlayer::InvalidMedia) {
                                 d->failed = true;
                                 d->startPending = false;
                             } else if (status == QMediaPlayer::EndOfMedia) {
                                 d->ended = true;
                             }
                             StartWhenLoaded(*d);
                         });
        QObject::connect(d->player.get(), &QMediaPlayer::seekableChanged, d->player.get(),
                         [d](bool seekable) {
                             if (seekable) {
                                 StartWhenLoaded(*d);
                             }
                         });
        QObject::connect(d->player.get(), &QMediaPlayer::errorOccurred, d->player.get(),
                         [d](QMediaPlayer::Error error, const QString&) {
                             if (error != QMediaPlayer::NoError) {
                                 d->failed = true;
                                 d->startPending = false;
                             }
                         });
        m_devices.insert(path, device);
        device->player->setSource(QUrl::fromLocalFile(path));
    }
    if (device->failed) {
        return;
    }
    device->startMs = std::max<qint64>(0, static_cast<qint64>(startSeconds) * 1000);
    device->startPending = true;
    device->prerolling = false;
    StartWhenLoaded(*device);
}

void QtMusicPlayer::CloseMusic(const QString& path) {
    m_devices.remove(path);
}

double QtMusicPlayer::FrameRate(const Device& device) {
    if (!IsFrameTimedFile(device.path)) {
        return 0;
    }
    bool ok = false;
    const double rate = device.player->metaData().value(QMediaMetaData::VideoFrameRate).toDouble(&ok);
    return ok ? rate : 0;
}

qint32 QtMusicPlayer::MusicLength(const QString& path) {
    const std::shared_ptr<Device> device = m_devices.value(path);
    if (!device || device->failed) {
        return 0;
    }
    const qint64 duration = device->player->duration();
    if (device->ended) {
        return ReportedTime(std::max(duration, device->player->position()), path, FrameRate(*device));
    }
    if (!IsLoaded(device->player->mediaStatus()) || duration <= 0) {
        return -1; // still opening
    }
    return ReportedTime(duration, path, FrameRate(*device));
}

qint32 QtMusicPlayer::MusicPosition(const QString& path) {
    const std::shared_ptr<Device> device = m_devices.value(path);
    if (!device || device->failed) {
        return 0;
    }
    if (device->ended) {
        return MusicLength(path);
    }
    if (device->startPending) {
        return 0;
    }
    return ReportedTime(device->player->position(), path, FrameRate(*device));
}
