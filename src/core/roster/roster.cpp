#include "core/roster/roster.h"

#include "core/common/cp932.h"
#include "core/common/textfile.h"

#include <QStringList>

QString RosterTable::DefaultCaption(RosterColumn column) {
    static const char16_t* const captions[kColumns] = {
        u"氏名",       u"生年", u"月",       u"日",           u"血液型",   u"出身地", u"所属",
        u"好きな言葉", u"一言", u"好きな曲", u"再生開始位置", u"再生時間", u"写真",   u"除外",
    };
    return QString::fromUtf16(captions[static_cast<int>(column)]);
}

void RosterTable::Clear() {
    for (int c = 0; c < kColumns; ++c) {
        m_cells[0][c] = DefaultCaption(RosterColumn(c));
    }
    for (int r = 1; r < kSlots; ++r) {
        for (auto& cell : m_cells[r]) {
            cell.clear();
        }
    }
}

int RosterTable::Parse(const QString& text) {
    Clear();
    const QStringList lines = SplitLines(text);
    const int rows = static_cast<int>(std::min<qsizetype>(lines.size(), kSlots));
    for (int r = 0; r < rows; ++r) {
        const QString& line = lines.at(r);
        if (line.isEmpty()) {
            continue; // an empty line has no fields: the row stays empty
        }
        const QStringList fields = line.split(u'\t');
        const int n = static_cast<int>(std::min<qsizetype>(fields.size(), kColumns));
        for (int c = 0; c < n; ++c) {
            m_cells[r][c] = fields.at(c);
        }
    }
    // Captions: all fixed but the two the user may rename, which are kept when not blank.
    const QString words = m_cells[0][int(RosterColumn::FavouriteWords)];
    const QString comment = m_cells[0][int(RosterColumn::Comment)];
    for (int c = 0; c < kColumns; ++c) {
        m_cells[0][c] = DefaultCaption(RosterColumn(c));
    }
    if (!IsBlank(words)) {
        m_cells[0][int(RosterColumn::FavouriteWords)] = words;
    }
    if (!IsBlank(comment)) {
        m_cells[0][int(RosterColumn::Comment)] = comment;
    }
    int notRead = 0;
    for (qsizetype line = kSlots; line < lines.size(); ++line) {
        const QString& text = lines.at(line);
        const qsizetype tab = text.indexOf(u'\t');
        if (!IsBlank(tab < 0 ? QStringView(text) : QStringView(text).first(tab))) {
            ++notRead;
        }
    }
    return notRead;
}

QString RosterTable::Serialize() const {
    QString out;
    for (int r = 0; r < kSlots; ++r) {
        if (!IsInUse(r)) {
            continue;
        }
        for (int c = 0; c < kColumns; ++c) {
            if (c > 0) {
                out.append(u'\t');
            }
            QString cell = m_cells[r][c];
            cell.replace(u'\t', u' ');
            cell.replace(u'\r', u' ');
            out.append(cell);
        }
        out.append(QStringLiteral("\r\n"));
    }
    return out;
}

namespace {

// The first character of text the encoding cannot store, or -1.
qsizetype FirstUnencodable(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932) {
        return FirstNonCp932Character(text);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        // UTF-8 holds every character, but not half of one.
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return i;
        }
    }
    return -1;
}

qsizetype CharacterLength(const QString& text, qsizetype i) {
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

} // namespace

std::vector<RosterTable::UnencodableCell> RosterTable::UnencodableCells(TextEncoding encoding) const {
    std::vector<UnencodableCell> cells;
    for (int r = 0; r < kSlots; ++r) {
        if (!IsInUse(r)) {
            continue;
        }
        for (int c = 0; c < kColumns; ++c) {
            const QString& text = m_cells[r][c];
            const qsizetype at = FirstUnencodable(text, encoding);
            if (at >= 0) {
                cells.push_back({r, RosterColumn(c), text.mid(at, CharacterLength(text, at))});
            }
        }
    }
    return cells;
}

void RosterTable::ReplaceUnencodable(TextEncoding encoding, const QString& replacement) {
    for (int r = 0; r < kSlots; ++r) {
        if (!IsInUse(r)) {
            continue;
        }
        for (int c = 0; c < kColumns; ++c) {
            QString& text = m_cells[r][c];
            for (qsizetype at = FirstUnencodable(text, encoding); at >= 0;
                 at = FirstUnencodable(text, encoding)) {
                text.replace(at, CharacterLength(text, at), replacement);
            }
        }
    }
}
