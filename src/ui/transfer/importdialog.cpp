#include "ui/transfer/importdialog.h"

#include "core/common/blank.h"
#include "core/transfer/columnmapping.h"
#include "core/transfer/delimitedtext.h"
#include "core/transfer/importsource.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using R = RosterTable;

// Characters listed by name before the rest are only counted.
constexpr int kListedCharacters = 8;
// A source column's caption in a choice is cut at this length.
constexpr int kCaptionLength = 24;

QString separatorCaption(char16_t separator) {
    switch (separator) {
    case u',':
        return QStringLiteral("カンマ（,）");
    case u'\t':
        return QStringLiteral("タブ");
    default:
        return QStringLiteral("セミコロン（;）");
    }
}

QString shortened(const QString& text) {
    const QString line = ToRosterCell(text).trimmed();
    return line.size() > kCaptionLength ? line.left(kCaptionLength - 1) + u'…' : line;
}

} // namespace

ImportDialog::ImportDialog(ImportSource& source, const QString& fileName, const RosterTable& roster,
                           TextEncoding rosterEncoding, QWidget* parent)
    : QDialog(parent), m_source(source), m_roster(roster), m_rosterEncoding(rosterEncoding) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("インポート"));
    BuildLayout(fileName);
    m_filling = true;
    if (!m_source.Table().isEmpty()) {
        m_header->setChecked(LooksLikeHeader(m_source.Table().first(), m_roster));
    }
    m_filling = false;
    SourceChanged();
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::BuildLayout(const QString& fileName) {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    QString shownName = QFileInfo(fileName).fileName();
    if (m_source.SourceKind() == ImportSource::Kind::Delimited) {
        shownName += m_source.Encoding() == TextEncoding::Cp932 ? QStringLiteral("（シフトJIS）")
                                                                : QStringLiteral("（UTF-8）");
    }
    auto* file = new QLabel(QStringLiteral("ファイル: %1").arg(shownName), this);
    file->setObjectName(QStringLiteral("lblFile"));
    file->setToolTip(fileName);
    top->addWidget(file, 1);
    m_separator = new QComboBox(this);
    m_separator->setObjectName(QStringLiteral("cmbSeparator"));
    for (const char16_t separator : kDelimitedSeparators) {
        m_separator->addItem(separatorCaption(separator), QVariant::fromValue(QChar(separator)));
    }
    m_separator->setCurrentIndex(m_separator->findData(QVariant::fromValue(m_source.Separator())));
    auto* separatorLabel = new QLabel(QStringLiteral("区切り文字:"), this);
    separatorLabel->setBuddy(m_separator);
    const bool text = m_source.SourceKind() == ImportSource::Kind::Delimited;
    separatorLabel->setVisible(text);
    m_separator->setVisible(text);
    top->addWidget(separatorLabel);
    top->addWidget(m_separator);
    top->addSpacing(16);
    m_header = new QCheckBox(QStringLiteral("1行目は見出し"), this);
    m_header->setObjectName(QStringLiteral("chkHeader"));
    top->addWidget(m_header);
    layout->addLayout(top);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("grdPreview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setWordWrap(false);
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 6);
    m_preview->setMinimumHeight(9 * (m_preview->fontMetrics().height() + 6));
    layout->addWidget(m_preview, 1);

    auto* columns = new QGroupBox(QStringLiteral("名簿の列と、取り込むファイルの列"), this);
    auto* grid = new QGridLayout(columns);
    constexpr int kPerColumn = (R::kColumns + 1) / 2;
    for (int c = 0; c < R::kColumns; ++c) {
        auto* label = new QLabel(Caption(RosterColumn(c)), columns);
        auto* combo = new QComboBox(columns);
        combo->setObjectName(QStringLiteral("cmbColumn_%1").arg(c));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(kCaptionLength / 2);
        label->setBuddy(combo);
        const int row = c % kPerColumn;
        const int col = c / kPerColumn * 3;
        grid->addWidget(label, row, col);
        grid->addWidget(combo, row, col + 1);
        m_columns[c] = combo;
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { UpdatePlan(); });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnMinimumWidth(2, 24);
    auto* note = new QLabel(
        QStringLiteral(
            "生年・月・日に日付の列（生年月日など）を選ぶと、日付を年・月・日に分けて取り込みます。"),
        columns);
    note->setWordWrap(true);
    grid->addWidget(note, kPerColumn, 0, 1, 5);
    layout->addWidget(columns);

    auto* modes = new QHBoxLayout;
    m_append = new QRadioButton(QStringLiteral("名簿の最後に追加する"), this);
    m_append->setObjectName(QStringLiteral("optAppend"));
    m_replace = new QRadioButton(QStringLiteral("名簿を置き換える"), this);
    m_replace->setObjectName(QStringLiteral("optReplace"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_append);
    group->addButton(m_replace);
    m_append->setChecked(true);
    connect(m_append, &QRadioButton::toggled, this, [this] { UpdatePlan(); });
    modes->addWidget(m_append);
    modes->addWidget(m_replace);
    modes->addStretch(1);
    layout->addLayout(modes);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_unstorable = new QLabel(this);
    m_unstorable->setObjectName(QStringLiteral("lblUnstorable"));
    m_unstorable->setWordWrap(true);
    m_unstorable->setTextFormat(Qt::PlainText);
    layout->addWidget(m_unstorable);
    m_replaceCharacters =
        new QCheckBox(QStringLiteral("保存できない文字を、似た文字か「〓」に置き換えて取り込む"), this);
    m_replaceCharacters->setObjectName(QStringLiteral("chkReplaceCharacters"));
    connect(m_replaceCharacters, &QCheckBox::toggled, this, [this] { UpdatePlan(); });
    layout->addWidget(m_replaceCharacters);

    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("cmdImport"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_separator, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            m_source.SetSeparator(m_separator->currentData().value<QChar>());
            SourceChanged();
        }
    });
    connect(m_header, &QCheckBox::toggled, this, [this] {
        if (!m_filling) {
            SourceChanged();
        }
    });
    resize(960, 760);
}

void ImportDialog::SourceChanged() {
    m_filling = true;
    FillPreview();
    FillColumnChoices();
    const TextTable& table = m_source.Table();
    const ColumnMapping mapping = m_header->isChecked() && !table.isEmpty()
                                      ? GuessMapping(table.first(), m_roster)
                                      : IdentityMapping(TableWidth(table));
    for (int c = 0; c < R::kColumns; ++c) {
        m_columns[c]->setCurrentIndex(mapping.Source[c] + 1); // item 0 is "none"
    }
    m_filling = false;
    UpdatePlan();
}

void ImportDialog::FillPreview() {
    const TextTable& table = m_source.Table();
    const int width = TableWidth(table);
    const int rows = std::min<int>(static_cast<int>(table.size()), kPreviewRows);
    m_preview->clear();
    m_preview->setColumnCount(width);
    m_preview->setRowCount(rows);
    QStringList captions;
    for (int c = 0; c < width; ++c) {
        captions.append(QStringLiteral("列%1").arg(c + 1));
    }
    m_preview->setHorizontalHeaderLabels(captions);
    QFont bold = m_preview->font();
    bold.setBold(true);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            auto* item = new QTableWidgetItem(ToRosterCell(TableCell(table, r, c)));
            if (r == 0 && m_header->isChecked()) {
                item->setFont(bold);
                item->setBackground(palette().alternateBase());
            }
            m_preview->setItem(r, c, item);
        }
    }
    m_preview->resizeColumnsToContents();
    for (int c = 0; c < width; ++c) {
        m_preview->setColumnWidth(c, std::min(m_preview->columnWidth(c), 240));
    }
}

void ImportDialog::FillColumnChoices() {
    const TextTable& table = m_source.Table();
    const int width = TableWidth(table);
    for (QComboBox* combo : m_columns) {
        combo->clear();
        combo->addItem(QStringLiteral("（取り込まない）"));
        for (int c = 0; c < width; ++c) {
            // A header names its column; without one the first row shows what the column holds.
            const QString sample = shortened(TableCell(table, 0, c));
            combo->addItem(sample.isEmpty() ? QStringLiteral("列%1").arg(c + 1)
                                            : QStringLiteral("列%1: %2").arg(c + 1).arg(sample));
        }
    }
}

ImportOptions ImportDialog::Options() const {
    ImportOptions options;
    options.FirstRowIsHeader = m_header->isChecked();
    for (int c = 0; c < R::kColumns; ++c) {
        options.Mapping.Source[c] = std::max(m_columns[c]->currentIndex(), 0) - 1;
    }
    options.Mode = m_replace->isChecked() ? ImportMode::Replace : ImportMode::Append;
    options.ReplaceUnstorable = m_replaceCharacters->isChecked();
    return options;
}

QString ImportDialog::Caption(RosterColumn column) const {
    const QString& caption = m_roster.Cell(column, 0);
    return IsBlank(caption) ? R::DefaultCaption(column) : caption;
}

QString ImportDialog::SummaryText() const {
    return m_summary->text();
}

void ImportDialog::UpdatePlan() {
    if (m_filling) {
        return;
    }
    const ImportOptions options = Options();
    m_plan = std::make_unique<ImportPlan>(m_source.Table(), options, m_roster, m_rosterEncoding);
    const ImportPlan& plan = *m_plan;
    QStringList lines;
    if (options.Mapping[RosterColumn::Name] == kNoSource) {
        lines.append(QStringLiteral("氏名を取り込む列を選んでください。"));
    }
    QString imported = QStringLiteral("取り込む行: %1 行").arg(plan.Fitting());
    if (plan.Fitting() > 0) {
        imported += QStringLiteral("（名簿の %1～%2 行目）")
                        .arg(plan.FirstRosterRow())
                        .arg(plan.FirstRosterRow() + plan.Fitting() - 1);
    }
    lines.append(imported +
                 QStringLiteral("　入りきらない行: %1 行（名簿は %2 行まで）　氏名がなく飛ばす行: %3 行")
                     .arg(plan.NotFitting())
                     .arg(R::kCapacity)
                     .arg(plan.SkippedNoName()));
    if (options.Mode == ImportMode::Replace) {
        int inUse = 0;
        for (int r = 1; r <= R::kCapacity; ++r) {
            inUse += m_roster.IsInUse(r) ? 1 : 0;
        }
        lines.append(
            QStringLiteral(
                "今の名簿の %1 人は取り込む行に置き換わり、新しい名簿は保存するときに名前を付けます。")
                .arg(inUse));
    }
    m_summary->setText(lines.join(u'\n'));
    m_unstorable->setText(UnstorableText());
    m_replaceCharacters->setEnabled(!plan.Unstorable().isEmpty());
    m_import->setEnabled(plan.CanApply());
}

QString ImportDialog::UnstorableText() const {
    const QList<UnstorableCharacter>& list = m_plan->Unstorable();
    if (list.isEmpty()) {
        return QStringLiteral("名簿ファイルに保存できない文字: なし");
    }
    QStringList shown;
    for (qsizetype i = 0; i < list.size() && i < kListedCharacters; ++i) {
        const UnstorableCharacter& u = list.at(i);
        shown.append(QStringLiteral("「%1」→「%2」（%3 行目 %4）")
                         .arg(u.Character, u.Replacement)
                         .arg(u.SourceRow)
                         .arg(Caption(u.RosterColumn)));
    }
    QString text = QStringLiteral("名簿ファイルに保存できない文字が %1 個あります: ").arg(list.size()) +
                   shown.join(QStringLiteral("、"));
    if (list.size() > kListedCharacters) {
        text += QStringLiteral(" ほか %1 個").arg(list.size() - kListedCharacters);
    }
    return text;
}
