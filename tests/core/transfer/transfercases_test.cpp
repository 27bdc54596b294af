// Import and export cases as data: every file in tests/data/transfer with a "<file>.expected"
// beside it is imported as the dialog would by default (or with the choices in "<file>.choices":
// "encoding utf8|sjis", "separator ;" or "separator tab", "header N", "mode replace",
// "replace characters", and for the roster imported into "roster utf8" or "caption <caption>
// <renamed>") and what the import would do is compared with the expected text. Every "<name>.roster" is
// exported: the CSV must equal "<name>.roster.csv", and imported back over a new roster it must save as the
// same bytes.
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "core/transfer/importplan.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

const QString kFolder = QStringLiteral(MIRDA_TEST_DATA "/transfer/");

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString caption(C column) {
    return R::DefaultCaption(column);
}

// What an import of the file would do, as text.
QString report(const QString& name) {
    const QString path = kFolder + name;
    ReadChoices choices;
    ImportOptions options;
    bool headerChosen = false;
    RosterTable roster;
    roster.Clear();
    TextEncoding rosterEncoding = TextEncoding::Cp932;
    for (const QString& line : QString::fromUtf8(bytesOf(path + QStringLiteral(".choices"))).split(u'\n')) {
        const QString value = line.section(u' ', 1);
        if (line.startsWith(u"encoding")) {
            choices.Encoding = value == u"utf8" ? EncodingChoice::Utf8 : EncodingChoice::Cp932;
        } else if (line.startsWith(u"separator")) {
            choices.Separator = value == u"tab" ? QChar(u'\t') : value.at(0);
        } else if (line.startsWith(u"header")) {
            options.HeaderRow = value.toLongLong();
            headerChosen = true;
        } else if (line.startsWith(u"mode")) {
            options.Mode = value == u"replace" ? ImportMode::Replace : ImportMode::Append;
        } else if (line.startsWith(u"replace characters")) {
            options.ReplaceUnstorable = true;
        } else if (line.startsWith(u"roster utf8")) {
            rosterEncoding = TextEncoding::Utf8;
        } else if (line.startsWith(u"caption")) {
            for (int c = 0; c < R::kColumns; ++c) {
                if (caption(C(c)) == value.section(u' ', 0, 0)) {
                    roster.SetCell(C(c), 0, value.section(u' ', 1));
                }
            }
        }
    }
    ImportSource source;
    QString error;
    if (!source.Load(path, error, choices)) {
        return QStringLiteral("error: ") + error.replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
               u'\n';
    }
    const SourceTable& table = source.Table();
    if (!headerChosen) {
        options.HeaderRow = FindHeaderRow(table, roster);
    }
    options.Mapping = IdentityMapping(table.Width);
    for (const SourceTable::Row& row : table.Rows) {
        if (row.Number == options.HeaderRow) {
            options.Mapping = GuessMapping(row.Cells, roster);
        }
    }
    const ImportPlan plan(table, options, roster, rosterEncoding);
    QStringList lines;
    if (source.SourceKind() == ImportSource::Kind::Delimited) {
        lines.append(
            QStringLiteral("text: %1, separator %2")
                .arg(source.Encoding() == TextEncoding::Cp932 ? QStringLiteral("Shift-JIS")
                                                              : QStringLiteral("UTF-8"))
                .arg(source.Separator() == u'\t' ? QStringLiteral("tab") : QString(source.Separator())));
    }
    lines.append(QStringLiteral("header: %1, columns %2 of %3")
                     .arg(options.HeaderRow)
                     .arg(table.Width)
                     .arg(table.FileWidth));
    QStringList mapping;
    for (int c = 0; c < R::kColumns; ++c) {
        if (options.Mapping.Source[c] != kNoSource) {
            mapping.append(QStringLiteral("%1=%2").arg(caption(C(c))).arg(options.Mapping.Source[c] + 1));
        }
    }
    lines.append(QStringLiteral("mapping: ") + mapping.join(u' '));
    lines.append(QStringLiteral("rows: %1 imported, %2 not fitting, %3 skipped, %4 not read")
                     .arg(plan.Fitting())
                     .arg(plan.NotFitting())
                     .arg(plan.SkippedNoName())
                     .arg(plan.NotRead()));
    if (!plan.CanApply()) {
        lines.append(QStringLiteral("cannot be applied"));
    }
    for (const ImportProblem& p : plan.UnreadDates()) {
        lines.append(QStringLiteral("date not read: row %1 %2").arg(p.SourceRow).arg(p.Text));
    }
    for (const ImportProblem& p : plan.CutCells()) {
        lines.append(QStringLiteral("cut: row %1 %2").arg(p.SourceRow).arg(caption(p.RosterColumn)));
    }
    for (const UnstorableCharacter& u : plan.Unstorable()) {
        lines.append(QStringLiteral("unstorable: row %1 %2 %3→%4")
                         .arg(u.SourceRow)
                         .arg(caption(u.RosterColumn), u.Character, u.Replacement));
    }
    for (size_t i = 0; i < plan.Rows().size(); ++i) {
        lines.append(QStringLiteral("%1: ").arg(plan.FirstRosterRow() + static_cast<int>(i)) +
                     QStringList(plan.Rows()[i].Cells.begin(), plan.Rows()[i].Cells.end()).join(u'|'));
    }
    return lines.join(u'\n') + u'\n';
}

class ImportCaseTest : public testing::TestWithParam<QString> {};

TEST_P(ImportCaseTest, DoesWhatTheExpectedFileSays) {
    const QString expected = QString::fromUtf8(bytesOf(kFolder + GetParam() + QStringLiteral(".expected")));
    EXPECT_EQ(report(GetParam()).toStdString(), expected.toStdString()) << GetParam().toStdString();
}

QStringList casesWith(const QString& pattern) {
    QStringList cases;
    for (const QString& name : QDir(kFolder).entryList({pattern}, QDir::Files, QDir::Name)) {
        cases.append(name.chopped(pattern.size() - 1));
    }
    return cases;
}

// Test names from file names: letters and digits kept, anything else an underscore.
std::string caseName(const testing::TestParamInfo<QString>& info) {
    std::string name = info.param.toStdString();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, ImportCaseTest, testing::ValuesIn(casesWith(QStringLiteral("*.expected"))),
                         caseName);

class ExportCaseTest : public testing::TestWithParam<QString> {};

TEST_P(ExportCaseTest, ExportsAndReadsBackTheSameRoster) {
    const QByteArray rosterBytes = bytesOf(kFolder + GetParam() + QStringLiteral(".roster"));
    ProgramState state;
    ReadRoster(rosterBytes, state.Roster);
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteRosterCsv(csv, state.Roster));
    EXPECT_EQ(csv.data(), bytesOf(kFolder + GetParam() + QStringLiteral(".roster.csv")));

    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(csv.data(), QStringLiteral("名簿.csv"), error)) << error.toStdString();
    ImportOptions options;
    options.HeaderRow = FindHeaderRow(source.Table(), state.Roster);
    options.Mapping = GuessMapping(source.Table().Rows.first().Cells, state.Roster);
    options.Mode = ImportMode::Replace;
    ProgramState back;
    const ImportPlan plan(source.Table(), options, back.Roster, back.RosterEncoding);
    ASSERT_TRUE(plan.CanApply());
    plan.Apply(back);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteRoster(saved, back.Roster, back.RosterEncoding, error)) << error.toStdString();
    EXPECT_EQ(saved.data(), rosterBytes);
}

INSTANTIATE_TEST_SUITE_P(Files, ExportCaseTest, testing::ValuesIn(casesWith(QStringLiteral("*.roster"))),
                         caseName);

} // namespace
