#include "core/transfer/importsource.h"

#include "core/transfer/delimitedtext.h"
#include "core/transfer/xlsxreader.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

bool ImportSource::Load(const QString& path, QString& error) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        error =
            QStringLiteral("ファイルを開けません（エラー番号=%1）。").arg(LastFileErrorCode(file.error()));
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        error = QStringLiteral("ファイルが大きすぎます（%1 MB まで）。").arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    errno = 0;
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error =
            QStringLiteral("ファイルを読めません（エラー番号=%1）。").arg(LastFileErrorCode(file.error()));
        return false;
    }
    if (bytes.size() > kMaxFileBytes) {
        error = QStringLiteral("ファイルが大きすぎます（%1 MB まで）。").arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    return LoadBytes(bytes, path, error);
}

bool ImportSource::LoadBytes(const QByteArray& bytes, const QString& fileName, QString& error) {
    m_table.clear();
    m_text.clear();
    error.clear();
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    // A zip archive is a workbook whatever its name; so is a file named .xlsx that is not one, which
    // then gets the workbook's error rather than a table of garbage.
    const bool zip = bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
    const bool compound = bytes.startsWith("\xD0\xCF\x11\xE0");
    if (zip || compound || suffix == u"xlsx" || suffix == u"xlsm") {
        m_kind = Kind::Workbook;
        return ReadXlsx(bytes, m_table, error);
    }
    m_kind = Kind::Delimited;
    m_text = DecodeText(bytes, &m_encoding);
    m_separator = DetectSeparator(m_text, suffix == u"csv" ? QChar(u',') : QChar(u'\t'));
    m_table = ParseDelimited(m_text, m_separator);
    return true;
}

void ImportSource::SetSeparator(QChar separator) {
    if (m_kind != Kind::Delimited || separator == m_separator) {
        return;
    }
    m_separator = separator;
    m_table = ParseDelimited(m_text, m_separator);
}
