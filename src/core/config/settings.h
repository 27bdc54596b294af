#pragma once

#include <QString>

class QIODevice;

// The operating conditions kept in "Mrda.ini" beside the program.
struct SettingsRecord {
    QString RosterFilePath; // key Names
    QString Pictures;
    QString Musics;
    qint32 GameMode = 0;
    QString Dflag;
    qint32 Cols = 0;
    qint32 Rows = 0;
    QString Backcolor;

    // Values of a first run and of a settings file that cannot be opened.
    static constexpr qint32 kDefaultGameMode = 1;
    static constexpr qint32 kDefaultCols = 5;
    static constexpr qint32 kDefaultRows = 5;
    static QString DefaultDflag() { return QStringLiteral("111111111"); }
    static QString DefaultBackcolor() { return QStringLiteral("8421504"); }
    void ApplyDefaults(); // defaults for the numbers and flags; folders and roster untouched

    // Reads the settings text into this record: lines from "[Mirda]" on (any letter case),
    // keys matched upper-cased with " = ", the last occurrence winning.
    void ParseIni(const QString& text);
    // The nine lines of the file, CR LF ended.
    QString ToIni() const;
};

// The name of the settings file.
inline QString SettingsFileName() {
    return QStringLiteral("Mrda.ini");
}
