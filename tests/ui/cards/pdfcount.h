#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QSize>
#include <QString>

// Reads a PDF file back: its pages ("/Type /Page"), embedded images ("/Subtype /Image") and the
// size of its first page in whole millimetres.
inline QString PdfText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

inline int CountPdfObjects(const QString& path, const char* pattern) {
    const QString text = PdfText(path);
    return text.isEmpty() ? -1
                          : static_cast<int>(text.count(QRegularExpression(QString::fromLatin1(pattern))));
}

inline int CountPdfPages(const QString& path) {
    return CountPdfObjects(path, "/Type\\s*/Page(?![a-zA-Z])");
}
inline int CountPdfImages(const QString& path) {
    return CountPdfObjects(path, "/Subtype\\s*/Image\\b");
}
inline QSize PdfPageMm(const QString& path) {
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"))
            .match(PdfText(path));
    return QSize(qRound(box.captured(1).toDouble() * 25.4 / 72),
                 qRound(box.captured(2).toDouble() * 25.4 / 72));
}
