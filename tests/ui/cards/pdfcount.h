#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QString>

// Counts objects of a PDF file by reading it back: pages ("/Type /Page") and embedded images
// ("/Subtype /Image").
inline int CountPdfObjects(const QString& path, const char* pattern) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QString::fromLatin1(pattern))));
}

inline int CountPdfPages(const QString& path) {
    return CountPdfObjects(path, "/Type\\s*/Page(?![a-zA-Z])");
}
inline int CountPdfImages(const QString& path) {
    return CountPdfObjects(path, "/Subtype\\s*/Image\\b");
}
