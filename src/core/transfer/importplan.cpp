#include "core/transfer/importplan.h"

#include "core/common/blank.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "core/transfer/birthdate.h"

#include <QTextBoundaryFinder>

namespace {

using R = RosterTable;
using C = RosterColumn;

constexpr C kBirthParts[] = {C::BirthYear, C::BirthMonth, C::BirthDay};

bool hasAnyCell(const QStringList& row) {
    for (const QString& cell : row) {
        if (!IsBlank(ToRosterCell(cell))) {
            return true;
        }
    }
    return false;
}

QString birthDatePart(const BirthDate& date, C column) {
    switch (column) {
    case C::BirthYear:
        return date.Year > 0 ? QString::number(date.Year) : QString();
    case C::BirthMonth:
        return QString::number(date.Month);
    default:
        return QString::number(date.Day);
    }
}

} // namespace

QString ToRosterCell(const QString& cell) {
    QString out = cell;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    out.replace(u'\t', u' ');
    return out;
}

QString ImportPlan::Cp932Replacement(const QString& character) {
    // Characters that Unicode text from other systems uses where CP932 has a twin of its own.
    static const struct {
        char16_t from;
        char16_t to;
    } twins[] = {
        {u'\u301C', u'\uFF5E'}, // 〜 wave dash → ～
        {u'\u2016', u'\u2225'}, // ‖ → ∥
        {u'\u2212', u'\uFF0D'}, // − minus → －
        {u'\u2014', u'\u2015'}, // — em dash → ―
        {u'\u00A2', u'\uFFE0'}, // ¢ → ￠
        {u'\u00A3', u'\uFFE1'}, // £ → ￡
        {u'\u00AC', u'\uFFE2'}, // ¬ → ￢
        {u'\u00A0', u' '},      // no-break space → space
    };
    if (character.size() == 1) {
        for (const auto& t : twins) {
            if (character.at(0) == QChar(t.from)) {
                return QString(QChar(t.to));
            }
        }
    }
    return UnencodableReplacement();
}

QString ImportPlan::storable(const QString& cell, qsizetype sourceRow, RosterColumn column) {
    if (m_encoding != TextEncoding::Cp932 || FitsCp932(cell)) {
        return cell;
    }
    QString kept;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, cell);
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        const QString g = cell.mid(start, end - start);
        start = end;
        if (FitsCp932(g)) {
            kept += g;
            continue;
        }
        // Text from some systems spells が as か + a combining mark: the same character.
        const QString composed = g.normalized(QString::NormalizationForm_C);
        if (FitsCp932(composed)) {
            kept += composed;
            continue;
        }
        const QString replacement = Cp932Replacement(g);
        m_unstorable.append({g, replacement, sourceRow, column});
        kept += m_options.ReplaceUnstorable ? replacement : g;
    }
    return kept;
}

ImportPlan::ImportPlan(const SourceTable& source, const ImportOptions& options, const RosterTable& roster,
                       TextEncoding rosterEncoding)
    : m_options(options),
      m_encoding(options.Mode == ImportMode::Replace ? TextEncoding::Cp932 : rosterEncoding) {
    int lastUsed = 0;
    if (options.Mode == ImportMode::Append) {
        for (int r = R::kCapacity; r >= 1 && lastUsed == 0; --r) {
            if (roster.IsInUse(r)) {
                lastUsed = r;
            }
        }
    }
    m_firstRow = lastUsed + 1;
    const size_t capacity = static_cast<size_t>(R::kCapacity - lastUsed);
    const ColumnMapping& mapping = options.Mapping;
    for (const SourceTable::Row& row : source.Rows) {
        if (row.Number == options.HeaderRow) {
            m_header = row.Cells;
        }
    }
    // A roster's own export comes back cell for cell, whatever its birth dates hold.
    const bool ownExport = IsRosterHeader(m_header) && mapping == IdentityMapping(R::kColumns);
    for (qsizetype i = 0; i < source.Rows.size(); ++i) {
        const SourceTable::Row& row = source.Rows.at(i);
        if (row.Number <= options.HeaderRow) {
            continue;
        }
        const auto sourceCell = [&](C column) {
            const int from = mapping[column];
            return from == kNoSource ? QString() : ToRosterCell(source.Cell(i, from));
        };
        if (IsBlank(sourceCell(C::Name))) {
            if (hasAnyCell(row.Cells)) {
                ++m_skippedNoName;
            }
            continue;
        }
        ++m_offered;
        if (m_rows.size() >= capacity) {
            continue;
        }
        Row imported;
        bool dateUnread = false;
        for (int c = 0; c < R::kColumns; ++c) {
            const C column = C(c);
            QString cell = sourceCell(column);
            const int from = mapping[column];
            if (!ownExport && !IsBlank(cell) &&
                std::find(std::begin(kBirthParts), std::end(kBirthParts), column) != std::end(kBirthParts)) {
                // A date gives its part. Other text in a column of its own stays as it is; in a
                // birth date column only a year is taken from it, and the row is listed unless the
                // text is just that year.
                const bool shared = std::count_if(std::begin(kBirthParts), std::end(kBirthParts),
                                                  [&](C part) { return mapping[part] == from; }) > 1;
                if (const auto date = ParseBirthDate(cell)) {
                    cell = birthDatePart(*date, column);
                } else if (shared) {
                    const QString year = FourDigitYear(cell);
                    if (!dateUnread && !IsYearOnly(cell)) {
                        m_unreadDates.append({row.Number, column, cell});
                        dateUnread = true;
                    }
                    cell = column == C::BirthYear ? year : QString();
                }
            }
            if (source.CutCount > 0 && from != kNoSource && source.IsCut(row.Number, from)) {
                m_cutCells.append({row.Number, column, cell});
            }
            imported[column] = storable(cell, row.Number, column);
        }
        m_rows.push_back(imported);
    }
    // Rows after those read: only counted.
    const int nameFrom = mapping[C::Name];
    const qsizetype laterNamed = nameFrom == kNoSource ? 0 : source.LaterCellsIn(nameFrom);
    m_notRead = std::min<qsizetype>(static_cast<qsizetype>(capacity - m_rows.size()), laterNamed);
    m_offered += laterNamed;
    m_skippedNoName += source.LaterRows - laterNamed;
}

bool ImportPlan::CanApply() const {
    return !m_rows.empty() && (m_unstorable.isEmpty() || m_options.ReplaceUnstorable);
}

void ImportPlan::Apply(ProgramState& state) const {
    RosterTable& roster = state.Roster;
    if (m_options.Mode == ImportMode::Replace) {
        roster.Clear();
        if (IsRosterHeader(m_header)) {
            for (const C column : {C::FavouriteWords, C::Comment}) {
                const QString caption = ToRosterCell(m_header.at(static_cast<int>(column)));
                if (!IsBlank(caption) && FitsCp932(caption)) {
                    roster.SetCell(column, 0, caption);
                }
            }
        }
        state.Settings.RosterFilePath.clear();
        state.RosterEncoding = TextEncoding::Cp932;
    } else if (!roster.IsInUse(0)) {
        // A roster that was never loaded has no captions yet; its file needs them as line 1.
        for (int c = 0; c < R::kColumns; ++c) {
            roster.SetCell(C(c), 0, R::DefaultCaption(C(c)));
        }
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int row = m_firstRow + static_cast<int>(i);
        for (int c = 0; c < R::kColumns; ++c) {
            roster.SetCell(C(c), row, m_rows[i][C(c)]);
        }
    }
    state.RosterModified = true;
}
