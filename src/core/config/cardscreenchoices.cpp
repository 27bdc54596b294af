#include "core/config/cardscreenchoices.h"

#include "core/config/settingsfolder.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 kMostBytes = 4096; // a file of two short lines
} // namespace

QString CardScreenChoicesPath(const ProgramState& state) {
    return QFileInfo(SettingsFilePath(state)).absolutePath() + QStringLiteral("/MrdaCards.ini");
}

CardScreenChoices LoadCardScreenChoices(const QString& path) {
    CardScreenChoices choices;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return choices;
    }
    for (const QByteArray& line : file.read(kMostBytes).split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry == "Numbered=1") {
            choices.Numbered = true;
        } else if (entry == "Qr=1") {
            choices.Qr = true;
        }
    }
    choices.Qr = choices.Qr && choices.Numbered;
    return choices;
}

bool SaveCardScreenChoices(const QString& path, const CardScreenChoices& choices, FileError& error) {
    const QByteArray bytes = QByteArray("Numbered=") + (choices.Numbered ? "1" : "0") +
                             "\r\nQr=" + (choices.Qr ? "1" : "0") + "\r\n";
    return WriteFileSafely(path, bytes, error);
}
