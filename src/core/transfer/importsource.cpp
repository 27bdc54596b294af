#include "core/transfer/importsource.h"

#include "core/common/safefile.h"
#include "core/transfer/delimitedtext.h"
#include "core/transfer/xlsxreader.h"

#include <QFileInfo>

bool ImportSource::Load(const QString& path, QString& error) {
    const QString tooLarge =
        QStringLiteral("ファイルが大きすぎます（%1 MB まで）。").arg(kMaxFileBytes / (1024 * 1024));
    if (QFileInfo(path).size() > kMaxFileBytes) {
        error = tooLarge;
        return false;
    }
    QByteArray bytes;
    FileError failure;
    if (!ReadFileBytes(path, bytes, failure)) {
        error = QStringLiteral("ファイルを読めません。\r\n") + failure.Lines(QStringLiteral("エラー番号="));
        return false;
    }
    if (bytes.size() > kMaxFileBytes) { // it grew while it was read
        error = tooLarge;
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
    DecodeReport report;
    m_text = DecodeForeignText(bytes, &report);
    if (report.HasNul) {
        error = QStringLiteral("テキストの表でも XLSX 形式のブックでもありません。");
        m_text.clear();
        return false;
    }
    m_encoding = report.Encoding;
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
