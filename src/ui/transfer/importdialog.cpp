#include "ui/transfer/importdialog.h"

#include "core/common/blank.h"
#include "core/common/timing.h"
#include "core/transfer/columnmapping.h"
#include "core/transfer/delimitedtext.h"
#include "core/transfer/importread.h"
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
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using R = RosterTable;

// Characters, dates and cut cells listed by place before the rest are only counted.
constexpr int kListed = 8;
// A source column's caption in a choice is cut at this length.
constexpr int kCaptionLength = 24;
// How often the progress is looked at while a file is read.
constexpr int kTickMs = 100;

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

QString encodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? QStringLiteral("シフトJIS") : QStringLiteral("UTF-8");
}

QString shortened(const QString& text) {
    const QString line = ToRosterCell(text).trimmed();
    return line.size() > kCaptionLength ? line.left(kCaptionLength - 1) + u'…' : line;
}

// "2 行目「36526」、…" style list of the first problems, and how many more.
QString listed(const QList<ImportProblem>& problems,
               const std::function<QString(const ImportProblem&)>& shown) {
    QStringList parts;
    for (qsizetype i = 0; i < problems.size() && i < kListed; ++i) {
        parts.append(shown(problems.at(i)));
    }
    QString text = parts.join(QStringLiteral("、"));
    if (problems.size() > kListed) {
        text += QStringLiteral(" ほか %1 個").arg(problems.size() - kListed);
    }
    return text;
}

} // namespace

QString ImportFailureMessage(const QString& path, const ImportRead& read) {
    if (!read.Error().isEmpty()) {
        return QStringLiteral("%1 を取り込めません。\r\n%2").arg(path, read.Error());
    }
    const SourceTable& table = read.Source()->Table();
    if (table.FileWidth > table.Width) {
        return QStringLiteral(
                   "%1 の最初の %2 列には取り込めるデータがありません（ファイルは %3 列あります）。\r\n"
                   "氏名などの列を左に寄せたファイルにしてください。")
            .arg(path)
            .arg(table.Width)
            .arg(table.FileWidth);
    }
    return QStringLiteral("%1 には取り込めるデータがありません。\r\n"
                          "1 行に 1 人ずつ書いた表（CSV・TSV・TXT か .xlsx）を選んでください。")
        .arg(path);
}

ImportDialog::ImportDialog(std::shared_ptr<ImportRead> read, const QString& path, const RosterTable& roster,
                           TextEncoding rosterEncoding, Clock& clock, QWidget* parent)
    : QDialog(parent), m_path(path), m_roster(roster), m_rosterEncoding(rosterEncoding), m_clock(clock) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("インポート"));
    m_tick = m_clock.CreateTimer();
    m_tick->SetInterval(kTickMs);
    m_tick->SetCallback([this] { ShowProgress(); });
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, &ImportDialog::ReadFinished);
    BuildLayout();
    StartRead(std::move(read));
}

ImportDialog::~ImportDialog() {
    StopRead();
}

void ImportDialog::BuildLayout() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("lblFile"));
    m_file->setToolTip(m_path);
    top->addWidget(m_file, 1);
    const auto choice = [&](QComboBox*& combo, QLabel*& label, const char* name, const QString& caption) {
        combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(name));
        label = new QLabel(caption, this);
        label->setBuddy(combo);
        top->addWidget(label);
        top->addWidget(combo);
        top->addSpacing(12);
    };
    choice(m_encoding, m_encodingLabel, "cmbEncoding", QStringLiteral("文字コード(&C):"));
    m_encoding->addItem(QStringLiteral("自動"), QVariant::fromValue(static_cast<int>(EncodingChoice::Auto)));
    m_encoding->addItem(QStringLiteral("UTF-8"), QVariant::fromValue(static_cast<int>(EncodingChoice::Utf8)));
    m_encoding->addItem(QStringLiteral("シフトJIS"),
                        QVariant::fromValue(static_cast<int>(EncodingChoice::Cp932)));
    choice(m_separator, m_separatorLabel, "cmbSeparator", QStringLiteral("区切り文字(&S):"));
    for (const char16_t separator : kDelimitedSeparators) {
        m_separator->addItem(separatorCaption(separator), QVariant::fromValue(QChar(separator)));
    }
    choice(m_header, m_headerLabel, "cmbHeader", QStringLiteral("見出しの行(&H):"));
    layout->addLayout(top);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("stkPages"));
    auto* reading = new QWidget(m_pages);
    auto* readingLayout = new QVBoxLayout(reading);
    readingLayout->addStretch(1);
    m_reading = new QLabel(QStringLiteral("ファイルを読み込んでいます…"), reading);
    m_reading->setAlignment(Qt::AlignCenter);
    readingLayout->addWidget(m_reading);
    m_progress = new QProgressBar(reading);
    m_progress->setObjectName(QStringLiteral("prgRead"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    readingLayout->addWidget(m_progress);
    m_stop = new QPushButton(QStringLiteral("中止"), reading);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setAutoDefault(false);
    auto* stopRow = new QHBoxLayout;
    stopRow->addStretch(1);
    stopRow->addWidget(m_stop);
    stopRow->addStretch(1);
    readingLayout->addLayout(stopRow);
    readingLayout->addStretch(1);
    m_pages->addWidget(reading);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        const bool first = m_source == nullptr;
        StopRead();
        if (first) {
            QDialog::reject();
        } else {
            BackToTable();
        }
    });

    auto* content = new QWidget(m_pages);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    m_preview = new QTableWidget(content);
    m_preview->setObjectName(QStringLiteral("grdPreview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setWordWrap(false);
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 6);
    m_preview->setMinimumHeight(9 * (m_preview->fontMetrics().height() + 6));
    contentLayout->addWidget(m_preview, 1);

    auto* columns = new QGroupBox(QStringLiteral("名簿の列と、取り込むファイルの列"), content);
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
    contentLayout->addWidget(columns);

    auto* modes = new QHBoxLayout;
    m_append = new QRadioButton(QStringLiteral("名簿の最後に追加する"), content);
    m_append->setObjectName(QStringLiteral("optAppend"));
    m_replace = new QRadioButton(QStringLiteral("名簿を置き換える"), content);
    m_replace->setObjectName(QStringLiteral("optReplace"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_append);
    group->addButton(m_replace);
    m_append->setChecked(true);
    connect(m_append, &QRadioButton::toggled, this, [this] { UpdatePlan(); });
    modes->addWidget(m_append);
    modes->addWidget(m_replace);
    modes->addStretch(1);
    contentLayout->addLayout(modes);

    const auto textLabel = [&](const char* name) {
        auto* label = new QLabel(content);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        contentLayout->addWidget(label);
        return label;
    };
    m_summary = textLabel("lblSummary");
    m_notes = textLabel("lblNotes");
    m_unstorable = textLabel("lblUnstorable");
    m_replaceCharacters =
        new QCheckBox(QStringLiteral("保存できない文字を、似た文字か「〓」に置き換えて取り込む"), content);
    m_replaceCharacters->setObjectName(QStringLiteral("chkReplaceCharacters"));
    connect(m_replaceCharacters, &QCheckBox::toggled, this, [this] { UpdatePlan(); });
    contentLayout->addWidget(m_replaceCharacters);
    m_pages->addWidget(content);
    layout->addWidget(m_pages, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("cmdImport"));
    m_import->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!IsReading() && m_plan && m_plan->CanApply()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);
    layout->addWidget(buttons);

    connect(m_encoding, &QComboBox::currentIndexChanged, this, [this] { ReadAgain(); });
    connect(m_separator, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            m_separatorChosen = true;
            ReadAgain();
        }
    });
    connect(m_header, &QComboBox::currentIndexChanged, this, [this] { HeaderChanged(); });
    resize(960, 760);
}

void ImportDialog::StartRead(std::shared_ptr<ImportRead> read) {
    m_read = std::move(read);
    m_readStarted = m_clock.NowMs();
    m_progress->setVisible(false);
    m_stop->setVisible(false);
    m_pages->setCurrentIndex(0);
    for (QWidget* w : std::initializer_list<QWidget*>{m_encoding, m_separator, m_header, m_import}) {
        w->setEnabled(false);
    }
    if (!m_source) {
        m_file->setText(QStringLiteral("ファイル: %1").arg(QFileInfo(m_path).fileName()));
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_encoding, m_encodingLabel, m_separator, m_separatorLabel}) {
            w->setVisible(false);
        }
    }
    if (m_read->IsDone()) {
        ReadFinished();
        return;
    }
    m_tick->Start();
    m_watcher.setFuture(m_read->Future());
}

void ImportDialog::StopRead() {
    m_tick->Stop();
    if (m_read) {
        m_read->Progress().Stop(); // it ends on its own and frees what it read
        m_read.reset();
    }
}

void ImportDialog::reject() {
    StopRead();
    QDialog::reject();
}

void ImportDialog::ShowProgress() {
    if (!m_read || m_clock.NowMs() - m_readStarted < kProgressDelayMs) {
        return;
    }
    m_progress->setVisible(true);
    m_stop->setVisible(true);
    m_progress->setValue(m_read->Progress().Permille());
}

void ImportDialog::ReadFinished() {
    if (!m_read || !m_read->IsDone()) {
        return; // an earlier read that was stopped
    }
    const std::shared_ptr<ImportRead> read = std::move(m_read);
    m_tick->Stop();
    if (read->Succeeded() && !read->Source()->Table().Rows.isEmpty()) {
        m_source = read->Source();
        m_sourceEncoding = m_encoding->currentIndex();
        SourceChanged();
        return;
    }
    m_failure = read->Stopped() ? QString() : ImportFailureMessage(m_path, *read);
    QDialog::reject();
}

void ImportDialog::BackToTable() {
    // The table read before stays, with every choice made for it.
    m_filling = true;
    m_encoding->setCurrentIndex(m_sourceEncoding);
    m_separator->setCurrentIndex(m_separator->findData(QVariant::fromValue(m_source->Separator())));
    m_filling = false;
    for (QWidget* w : std::initializer_list<QWidget*>{m_encoding, m_separator, m_header}) {
        w->setEnabled(true);
    }
    m_pages->setCurrentIndex(1);
    UpdatePlan();
}

void ImportDialog::ReadAgain() {
    if (m_filling || !m_source || m_source->SourceKind() != ImportSource::Kind::Delimited) {
        return;
    }
    ReadChoices choices;
    choices.Encoding = static_cast<EncodingChoice>(m_encoding->currentData().toInt());
    if (m_separatorChosen) {
        choices.Separator = m_separator->currentData().value<QChar>();
    }
    StartRead(ImportRead::Bytes(m_source->Bytes(), m_path, choices));
}

void ImportDialog::SourceChanged() {
    const ImportSource& source = *m_source;
    const SourceTable& table = source.Table();
    m_filling = true;
    const bool text = source.SourceKind() == ImportSource::Kind::Delimited;
    QString shownName = QFileInfo(m_path).fileName();
    if (text) {
        shownName += QStringLiteral("（%1）").arg(encodingName(source.Encoding()));
        m_encoding->setCurrentIndex(m_sourceEncoding);
        m_separator->setCurrentIndex(m_separator->findData(QVariant::fromValue(source.Separator())));
    }
    m_file->setText(QStringLiteral("ファイル: %1").arg(shownName));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_encoding, m_encodingLabel, m_separator, m_separatorLabel}) {
        w->setVisible(text);
        w->setEnabled(true);
    }
    m_header->setEnabled(true);
    m_header->setVisible(true);
    m_headerLabel->setVisible(true);
    m_header->clear();
    m_header->addItem(QStringLiteral("なし"), QVariant::fromValue(qlonglong(0)));
    for (qsizetype i = 0; i < table.Rows.size() && i < kPreviewRows; ++i) {
        const qsizetype number = table.Rows.at(i).Number;
        m_header->addItem(QStringLiteral("%1 行目").arg(number), QVariant::fromValue(qlonglong(number)));
    }
    m_header->setCurrentIndex(
        std::max(0, m_header->findData(QVariant::fromValue(qlonglong(FindHeaderRow(table, m_roster))))));
    m_pages->setCurrentIndex(1);
    m_filling = false;
    HeaderChanged();
    // Enter imports what the summary says; without a name column, the choice of it comes first.
    (m_import->isEnabled() ? static_cast<QWidget*>(m_import) : m_columns[0])->setFocus();
}

void ImportDialog::HeaderChanged() {
    if (m_filling || !m_source) {
        return;
    }
    m_filling = true;
    FillPreview();
    FillColumnChoices();
    const SourceTable& table = m_source->Table();
    const qsizetype headerRow = m_header->currentData().toLongLong();
    ColumnMapping mapping = IdentityMapping(table.Width);
    for (qsizetype i = 0; i < table.Rows.size() && headerRow > 0; ++i) {
        if (table.Rows.at(i).Number == headerRow) {
            mapping = GuessMapping(table.Rows.at(i).Cells, m_roster);
        }
    }
    for (int c = 0; c < R::kColumns; ++c) {
        m_columns[c]->setCurrentIndex(mapping.Source[c] + 1); // item 0 is "none"
    }
    m_filling = false;
    UpdatePlan();
}

void ImportDialog::FillPreview() {
    const SourceTable& table = m_source->Table();
    const qsizetype headerRow = m_header->currentData().toLongLong();
    const int width = table.Width;
    const int rows = static_cast<int>(std::min<qsizetype>(table.Rows.size(), kPreviewRows));
    m_preview->clear();
    m_preview->setColumnCount(width);
    m_preview->setRowCount(rows);
    QStringList captions;
    for (int c = 0; c < width; ++c) {
        captions.append(QStringLiteral("列%1").arg(c + 1));
    }
    m_preview->setHorizontalHeaderLabels(captions);
    QStringList numbers;
    QFont bold = m_preview->font();
    bold.setBold(true);
    const QBrush skipped = palette().brush(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < rows; ++r) {
        const qsizetype number = table.Rows.at(r).Number;
        numbers.append(QString::number(number));
        for (int c = 0; c < width; ++c) {
            auto* item = new QTableWidgetItem(ToRosterCell(table.Cell(r, c)));
            if (number == headerRow) {
                item->setFont(bold);
                item->setBackground(palette().alternateBase());
            } else if (number < headerRow) {
                item->setForeground(skipped); // above the header: not imported
            }
            m_preview->setItem(r, c, item);
        }
    }
    m_preview->setVerticalHeaderLabels(numbers);
    m_preview->resizeColumnsToContents();
    for (int c = 0; c < width; ++c) {
        m_preview->setColumnWidth(c, std::min(m_preview->columnWidth(c), 240));
    }
}

void ImportDialog::FillColumnChoices() {
    const SourceTable& table = m_source->Table();
    const qsizetype headerRow = m_header->currentData().toLongLong();
    // A header names its column; without one the first row imported shows what the column holds.
    qsizetype sampleRow = 0;
    while (sampleRow + 1 < table.Rows.size() && table.Rows.at(sampleRow).Number < headerRow) {
        ++sampleRow;
    }
    QStringList items{QStringLiteral("（取り込まない）")};
    for (int c = 0; c < table.Width; ++c) {
        const QString sample = shortened(table.Cell(sampleRow, c));
        items.append(sample.isEmpty() ? QStringLiteral("列%1").arg(c + 1)
                                      : QStringLiteral("列%1: %2").arg(c + 1).arg(sample));
    }
    for (QComboBox* combo : m_columns) {
        combo->clear();
        combo->addItems(items);
    }
}

ImportOptions ImportDialog::Options() const {
    ImportOptions options;
    options.HeaderRow = m_header->currentData().toLongLong();
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
    if (m_filling || !m_source) {
        return;
    }
    const ImportOptions options = Options();
    m_plan = std::make_unique<ImportPlan>(m_source->Table(), options, m_roster, m_rosterEncoding);
    const ImportPlan& plan = *m_plan;
    QStringList lines;
    if (options.Mapping[RosterColumn::Name] == kNoSource) {
        lines.append(QStringLiteral("氏名を取り込む列を選んでください。"));
    }
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    QString imported = QStringLiteral("取り込む行: %1 行").arg(plan.Fitting());
    if (plan.Fitting() > 0) {
        imported += QStringLiteral("（名簿の %1～%2 行目）")
                        .arg(plan.FirstRosterRow())
                        .arg(plan.FirstRosterRow() + plan.Fitting() - 1);
    }
    lines.append(imported +
                 QStringLiteral("　入りきらない行: %1 行（名簿は %2 行まで）　氏名がなく飛ばす行: %3 行")
                     .arg(locale.toString(plan.NotFitting()))
                     .arg(R::kCapacity)
                     .arg(locale.toString(plan.SkippedNoName())));
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
    m_notes->setText(NotesText());
    m_notes->setVisible(!m_notes->text().isEmpty());
    m_unstorable->setText(UnstorableText());
    m_replaceCharacters->setEnabled(!plan.Unstorable().isEmpty());
    m_import->setEnabled(plan.CanApply());
}

QString ImportDialog::NotesText() const {
    const SourceTable& table = m_source->Table();
    const ImportPlan& plan = *m_plan;
    QStringList lines;
    if (table.FileWidth > table.Width) {
        lines.append(
            QStringLiteral("列が多すぎるため、最初の %1 列だけを読み込みました（ファイルは %2 列）。")
                .arg(table.Width)
                .arg(table.FileWidth));
    }
    if (plan.NotRead() > 0) {
        lines.append(QStringLiteral("ファイルが大きすぎるため、%1 行目から後は読み込んでいません。"
                                    "取り込む行を前の方に集めたファイルにしてください。")
                         .arg(table.FirstLaterRow));
    }
    if (!plan.UnreadDates().isEmpty()) {
        lines.append(
            QStringLiteral("生年月日として読めない行が %1 行あります（生年は 4 桁の年だけを取り込み、"
                           "月と日は空欄にします）: ")
                .arg(plan.UnreadDates().size()) +
            listed(plan.UnreadDates(), [](const ImportProblem& p) {
                return QStringLiteral("%1 行目「%2」").arg(p.SourceRow).arg(shortened(p.Text));
            }));
    }
    if (!plan.CutCells().isEmpty()) {
        lines.append(QStringLiteral("長すぎるため %1 文字までにしたセルが %2 個あります: ")
                         .arg(kMaxCellLength)
                         .arg(plan.CutCells().size()) +
                     listed(plan.CutCells(), [this](const ImportProblem& p) {
                         return QStringLiteral("%1 行目（%2）").arg(p.SourceRow).arg(Caption(p.RosterColumn));
                     }));
    }
    return lines.join(u'\n');
}

QString ImportDialog::UnstorableText() const {
    const QList<UnstorableCharacter>& list = m_plan->Unstorable();
    if (list.isEmpty()) {
        return QStringLiteral("名簿ファイルに保存できない文字: なし");
    }
    QStringList shown;
    for (qsizetype i = 0; i < list.size() && i < kListed; ++i) {
        const UnstorableCharacter& u = list.at(i);
        shown.append(QStringLiteral("「%1」→「%2」（%3 行目 %4）")
                         .arg(u.Character, u.Replacement)
                         .arg(u.SourceRow)
                         .arg(Caption(u.RosterColumn)));
    }
    QString text = QStringLiteral("名簿ファイルに保存できない文字が %1 個あります: ").arg(list.size()) +
                   shown.join(QStringLiteral("、"));
    if (list.size() > kListed) {
        text += QStringLiteral(" ほか %1 個").arg(list.size() - kListed);
    }
    return text;
}
