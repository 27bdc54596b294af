#include "core/roster/roster.h"

#include "core/common/textfile.h"

#include <QStringList>

QString RosterTable::DefaultCaption(int column) {
    static const char16_t* const captions[kColumns] = {
        u"氏名",       u"生年", u"月",       u"日",           u"血液型",   u"出身地", u"所属",
        u"好きな言葉", u"一言", u"好きな曲", u"再生開始位置", u"再生時間", u"写真",   u"除外",
    };
    return QString::fromUtf16(captions[column]);
}

void RosterTable::Clear() {
    for (int c = 0; c < kColumns; ++c) {
        m_cells[0][c] = DefaultCaption(c);
    }
    for (int r = 1; r < kSlots; ++r) {
        for (auto& cell : m_cells[r]) {
            cell.clear();
        }
    }
}

void RosterTable::Parse(const QString& text) {
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
    const QString words = m_cells[0][FavouriteWords];
    const QString comment = m_cells[0][Comment];
    for (int c = 0; c < kColumns; ++c) {
        m_cells[0][c] = DefaultCaption(c);
    }
    if (!words.trimmed().isEmpty()) {
        m_cells[0][FavouriteWords] = words;
    }
    if (!comment.trimmed().isEmpty()) {
        m_cells[0][Comment] = comment;
    }
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

std::pair<int, int> RosterTable::FirstUnencodableCell(TextEncoding encoding) const {
    if (encoding != TextEncoding::Cp932) {
        return {-1, -1};
    }
    for (int r = 0; r < kSlots; ++r) {
        if (!IsInUse(r)) {
            continue;
        }
        for (int c = 0; c < kColumns; ++c) {
            if (!FitsCp932(m_cells[r][c])) {
                return {r, c};
            }
        }
    }
    return {-1, -1};
}
