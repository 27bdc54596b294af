// Settings file: any bytes of Mrda.ini load without harm, and the nine lines the program writes
// read back to the same settings and are written again as the same bytes.

#include "core/common/textfile.h"
#include "core/config/settings.h"
#include "core/config/settingsfile.h"
#include "fuzzcheck.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstdint>

namespace {

// How the bytes were written, and whether they could be taken for UTF-8 although written in CP932.
std::string describe(const QString& text, const QByteArray& bytes) {
    if (!FitsCp932(text)) {
        return "written as UTF-8";
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = utf8.decode(bytes);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    return !utf8.hasError() && !ascii
               ? "written as CP932, but the bytes are also valid UTF-8 (not plain ASCII)"
               : "written as CP932";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    SettingsRecord first;
    first.ParseIni(DecodeSettingsText(input));
    const QString firstIni = first.ToIni();
    const QByteArray firstBytes = EncodeSettingsText(firstIni);

    const QString readBack = DecodeSettingsText(firstBytes);
    SettingsRecord second;
    second.ParseIni(readBack);
    const QString secondIni = second.ToIni();
    const QByteArray secondBytes = EncodeSettingsText(secondIni);

    if (secondIni != firstIni) {
        // Either the bytes do not decode to the text written, or that text parses to other values.
        const bool decodedAsWritten = readBack == firstIni;
        const QString& other = decodedAsWritten ? secondIni : readBack;
        const qsizetype at = fuzz::FirstDifference(firstIni, other);
        fuzz::Fail("a written Mrda.ini reads back as other settings",
                   describe(firstIni, firstBytes) +
                       (decodedAsWritten
                            ? "; the bytes decode to the text written, which parses to other values"
                            : "; the bytes decode to another text") +
                       "\nwritten:          " + fuzz::Escaped(fuzz::LineAt(firstIni, at)) +
                       (decodedAsWritten ? "\nwritten again:    " : "\nread back:        ") +
                       fuzz::Escaped(fuzz::LineAt(other, at)) +
                       "\nwritten as bytes: " + fuzz::Hex(EncodeSettingsText(fuzz::LineAt(firstIni, at))));
    }
    if (secondBytes != firstBytes) {
        const qsizetype at = fuzz::FirstDifference(firstBytes, secondBytes);
        fuzz::Fail("a written Mrda.ini, loaded and saved again, gives other bytes",
                   "first difference at byte " + std::to_string(at) +
                       "\nfirst save:  " + fuzz::Hex(firstBytes, std::max<qsizetype>(0, at - 8)) +
                       "\nsecond save: " + fuzz::Hex(secondBytes, std::max<qsizetype>(0, at - 8)));
    }
    return 0;
}
