#include "core/config/settings.h"

#include "core/common/numeric.h"
#include "core/common/textfile.h"

void SettingsRecord::ApplyDefaults() {
    GameMode = kDefaultGameMode;
    Dflag = DefaultDflag();
    Cols = kDefaultCols;
    Rows = kDefaultRows;
    Backcolor = DefaultBackcolor();
}

void SettingsRecord::ParseIni(const QString& text) {
    bool inSection = false;
    for (const QString& line : SplitLines(text)) {
        const QString upper = line.toUpper();
        if (upper == QStringLiteral("[MIRDA]")) {
            inSection = true;
        }
        if (!inSection) {
            continue;
        }
        const auto value = [&](const QString& key, QString& out) {
            const QString prefix = key + QStringLiteral(" = ");
            if (upper.startsWith(prefix)) {
                out = line.mid(prefix.size());
                return true;
            }
            return false;
        };
        const auto number = [&](const QString& key, qint32& out) {
            QString v;
            if (value(key, v)) {
                qint32 n = 0;
                if (ParseInt32(v, n)) { // a value that is not a number leaves the field alone
                    out = n;
                }
            }
        };
        value(QStringLiteral("NAMES"), RosterFilePath);
        value(QStringLiteral("PICTURES"), Pictures);
        value(QStringLiteral("MUSICS"), Musics);
        number(QStringLiteral("GAMEMODE"), GameMode);
        value(QStringLiteral("DFLAG"), Dflag);
        number(QStringLiteral("COLS"), Cols);
        number(QStringLiteral("ROWS"), Rows);
        value(QStringLiteral("BACKCOLOR"), Backcolor);
    }
}

QString SettingsRecord::ToIni() const {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("[Mirda]") + crlf + QStringLiteral("Names = ") + RosterFilePath + crlf +
           QStringLiteral("Pictures = ") + Pictures + crlf + QStringLiteral("Musics = ") + Musics + crlf +
           QStringLiteral("GameMode = ") + QString::number(GameMode) + crlf + QStringLiteral("Dflag = ") +
           Dflag + crlf + QStringLiteral("Cols = ") + QString::number(Cols) + crlf +
           QStringLiteral("Rows = ") + QString::number(Rows) + crlf + QStringLiteral("Backcolor = ") +
           Backcolor + crlf;
}
