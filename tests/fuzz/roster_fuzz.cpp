// Roster file: any bytes load without harm, and whatever the program saved loads back to the same
// table and saves to the same bytes (load, save, load, save).
//
// A save may refuse a table: a cell that CP932 cannot hold (text the decoder could not read, for
// one) stops the save with a message and nothing is written. That is allowed, but only for a CP932
// roster and only with the message that names the cell.

#include "core/common/textfile.h"
#include "core/roster/roster.h"
#include "core/roster/rosterfile.h"
#include "fuzzcheck.h"

#include <QBuffer>
#include <cstdint>
#include <memory>

namespace {

const char* encodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Cp932:
        return "CP932";
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf8Bom:
        return "UTF-8 with BOM";
    }
    return "?";
}

struct Loaded {
    RosterTable table;
    TextEncoding encoding = TextEncoding::Cp932;
};

void load(const QByteArray& bytes, Loaded& loaded) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ReadRoster(buffer, loaded.table, loaded.encoding);
}

struct Saved {
    bool ok = false;
    QByteArray bytes;
    QString error;
};

Saved save(const Loaded& loaded) {
    Saved saved;
    QBuffer buffer(&saved.bytes);
    buffer.open(QIODevice::WriteOnly);
    saved.ok = WriteRoster(buffer, loaded.table, loaded.encoding, saved.error);
    return saved;
}

int rowsInUse(const RosterTable& table) {
    int rows = 0;
    for (int r = 1; r < RosterTable::kSlots; ++r) {
        rows += table.IsInUse(r) ? 1 : 0;
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Two tables reused from input to input: allocating two tables of 4214 strings for every input
    // costs a fifth of the run time. ReadRoster clears a table before it fills it.
    static const auto first = std::make_unique<Loaded>();
    static const auto second = std::make_unique<Loaded>();
    load(input, *first);
    const Saved firstSave = save(*first);
    if (!firstSave.ok) {
        // Every byte of a file is read as a character the encoding can write back.
        fuzz::Fail("a roster read from a file cannot be saved",
                   std::string("encoding ") + encodingName(first->encoding) + "\nmessage " +
                       fuzz::Escaped(firstSave.error));
        return 0;
    }

    load(firstSave.bytes, *second);
    const Saved secondSave = save(*second);
    const QString firstText = first->table.Serialize();
    const QString secondText = second->table.Serialize();
    const std::string encodings = std::string("saved as ") + encodingName(first->encoding) +
                                  ", read back as " + encodingName(second->encoding);
    if (!secondSave.ok) {
        fuzz::Fail("a saved roster, loaded again, cannot be saved",
                   encodings + "\nmessage " + fuzz::Escaped(secondSave.error));
    }
    if (secondText != firstText) {
        const qsizetype at = fuzz::FirstDifference(firstText, secondText);
        QByteArray lineBytes;
        EncodeText(fuzz::LineAt(firstText, at),
                   first->encoding == TextEncoding::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8,
                   lineBytes);
        fuzz::Fail("a saved roster loads back as another table",
                   encodings + "\nfirst difference at character " + std::to_string(at) + " of the file text" +
                       "\nsaved:       " + fuzz::Escaped(fuzz::LineAt(firstText, at)) +
                       "\nread back:   " + fuzz::Escaped(fuzz::LineAt(secondText, at)) +
                       "\nsaved bytes: " + fuzz::Hex(lineBytes));
    }
    if (secondSave.bytes != firstSave.bytes) {
        const qsizetype at = fuzz::FirstDifference(firstSave.bytes, secondSave.bytes);
        fuzz::Fail("a saved roster, loaded and saved again, gives other bytes",
                   encodings + "\nfirst difference at byte " + std::to_string(at) +
                       "\nfirst save:  " + fuzz::Hex(firstSave.bytes, std::max<qsizetype>(0, at - 8)) +
                       "\nsecond save: " + fuzz::Hex(secondSave.bytes, std::max<qsizetype>(0, at - 8)));
    }
    // Saving closes the gaps: the rows in use come back as rows 1 to n, one per line after the
    // captions.
    const int rows = rowsInUse(second->table);
    for (int r = 1; r <= rows; ++r) {
        if (!second->table.IsInUse(r)) {
            fuzz::Fail("the rows in use do not come back as rows 1 to n",
                       std::to_string(rows) + " rows in use, row " + std::to_string(r) + " is not");
        }
    }
    return 0;
}
