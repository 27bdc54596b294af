#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

// Case files under tests/data: one case a line, its fields TAB-separated; a line starting with #
// is a comment. In a field \t \r \n \\ are escapes, \xHH a raw byte and \uXXXX a UTF-16 unit.
inline QByteArray UnescapeCase(const QString& field) {
    QByteArray out;
    qsizetype plain = 0; // the start of the text not yet taken
    for (qsizetype i = 0; i + 1 < field.size(); ++i) {
        if (field[i] != u'\\') {
            continue;
        }
        out += field.mid(plain, i - plain).toUtf8();
        const QChar e = field[i + 1];
        if (e == u'x' || e == u'u') {
            const int digits = e == u'x' ? 2 : 4;
            const uint code = field.mid(i + 2, digits).toUInt(nullptr, 16);
            out += e == u'x' ? QByteArray(1, char(code)) : QString(QChar(char16_t(code))).toUtf8();
            i += 1 + digits;
        } else {
            out += e == u't' ? '\t' : e == u'r' ? '\r' : e == u'n' ? '\n' : char(e.unicode());
            ++i;
        }
        plain = i + 1;
    }
    return out + field.mid(plain).toUtf8();
}

// Calls each(where, fields) for every case of the files matching pattern in the folder under
// tests/data; where names the file and line. Returns the number of cases, 0 when none was read.
template <typename Each> int ForEachCase(const QString& folder, const QString& pattern, Each each) {
    const QDir dir(QStringLiteral(MIRDA_TEST_DATA "/") + folder);
    int cases = 0;
    for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            return 0;
        }
        int number = 0;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            ++number;
            if (!line.isEmpty() && !line.startsWith(u'#')) {
                each((name + u':' + QString::number(number) + QStringLiteral(": ") + line).toStdString(),
                     line.split(u'\t'));
                ++cases;
            }
        }
    }
    return cases;
}
