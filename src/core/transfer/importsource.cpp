#include "core/transfer/importsource.h"

#include "core/common/safefile.h"
#include "core/transfer/delimitedtext.h"
#include "core/transfer/xlsxreader.h"

#include <QFileInfo>

namespace {

// Text is decoded and split in pieces of this size; the separator is guessed from the first.
constexpr qsizetype kPieceBytes = 1 << 20;
constexpr qsizetype kSampleBytes = 64 * 1024;

QString tooLarge() {
    return QStringLiteral("ファイルが大きすぎます（%1 MB まで）。\r\n"
                          "取り込む行だけを新しいファイルに写して保存し、それを取り込んでください。")
        .arg(ImportSource::kMaxFileBytes / (1024 * 1024));
}

} // namespace

bool ImportSource::Load(const QString& path, QString& error, const ReadChoices& choices,
                        ReadProgress* progress) {
    error.clear();
    if (QFileInfo(path).size() > kMaxFileBytes) {
        error = tooLarge();
        return false;
    }
    QByteArray bytes;
    FileError failure;
    if (!ReadFileBytes(path, bytes, failure)) {
        error = QStringLiteral("ファイルを読めません。\r\n") + failure.Lines(QStringLiteral("エラー番号="));
        return false;
    }
    if (bytes.size() > kMaxFileBytes) { // it grew while it was read
        error = tooLarge();
        return false;
    }
    if (progress) {
        progress->Report(0.05);
    }
    return LoadBytes(bytes, path, error, choices, progress);
}

bool ImportSource::LoadBytes(const QByteArray& bytes, const QString& fileName, QString& error,
                             const ReadChoices& choices, ReadProgress* progress) {
    m_table = SourceTable();
    m_bytes.clear();
    error.clear();
    const ProgressSpan span{progress, 0.05, 1.0};
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    // A zip archive is a workbook whatever its name; so is a file named .xlsx that is not one, which
    // then gets the workbook's error rather than a table of garbage.
    const bool zip = bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
    const bool compound = bytes.startsWith("\xD0\xCF\x11\xE0");
    if (zip || compound || suffix == u"xlsx" || suffix == u"xlsm") {
        m_kind = Kind::Workbook;
        return ReadXlsx(bytes, m_table, error, span);
    }
    m_kind = Kind::Delimited;
    m_bytes = bytes;
    if (!readText(suffix, error, choices, span)) {
        m_table = SourceTable();
        m_bytes.clear();
        return false;
    }
    return true;
}

bool ImportSource::readText(const QString& suffix, QString& error, const ReadChoices& choices,
                            ProgressSpan progress) {
    const EncodingGuess guess = GuessSourceEncoding(m_bytes);
    if (guess.HasNul) {
        error = QStringLiteral("テキストの表でも XLSX 形式のブックでもありません。\r\n"
                               "CSV・TSV・TXT の表か、.xlsx のブックを選んでください。");
        return false;
    }
    m_encoding = ChosenEncoding(choices.Encoding, m_bytes, guess);
    ChunkDecoder decoder(m_bytes, m_encoding);
    const QString first = decoder.Next(kSampleBytes);
    m_separator =
        !choices.Separator.isNull()
            ? choices.Separator
            : DetectSeparator(first, suffix == u"csv" ? QChar(u',') : QChar(u'\t'), decoder.AtEnd());
    DelimitedTableReader parser(m_separator, m_table);
    parser.Feed(first);
    while (!decoder.AtEnd()) {
        if (progress.Stopped()) {
            return false;
        }
        progress.Report(static_cast<double>(decoder.Position()) / static_cast<double>(m_bytes.size()));
        parser.Feed(decoder.Next(kPieceBytes));
    }
    parser.Finish();
    return true;
}
