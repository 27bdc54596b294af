#include "ui/cards/cardissuescreen.h"

#include "core/common/safefile.h"
#include "core/phones/phoneserver.h"
#include "core/programstate.h"
#include "core/record/cardrecord.h"
#include "core/roster/roster.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/cards/cardpreview.h"
#include "ui/cards/cardprintrun.h"
#include "ui/colour/pickcolor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace {

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* NumberedLabel(int index, const QString& text, QWidget* parent) {
    return Named(new QLabel(text, parent), QStringLiteral("Label1_%1").arg(index));
}

QComboBox* EditableCombo(const QString& name, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Texts are compared exactly as typed: completion must not change their case.
    combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    return combo;
}

} // namespace

CardIssueScreen::CardIssueScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services),
      m_printerLookup([] { return QPrinterInfo::defaultPrinter(); }) {
    setObjectName(QStringLiteral("Frm印刷設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ゲーム設定"));

    // カードモード
    auto* modeFrame =
        Named(new QGroupBox(QStringLiteral("カードモード"), this), QStringLiteral("Frm印刷設定_0"));
    m_cardMode[0] = Named(new QRadioButton(QStringLiteral("ミルダカード"), modeFrame),
                          QStringLiteral("Optカードモード_0"));
    m_cardMode[1] = Named(new QRadioButton(QStringLiteral("通常ビンゴカード"), modeFrame),
                          QStringLiteral("Optカードモード_1"));
    m_frames = EditableCombo(QStringLiteral("Cmb枠数"), modeFrame);
    auto* modeLayout = new QGridLayout(modeFrame);
    modeLayout->addWidget(m_cardMode[0], 0, 0, 1, 2);
    modeLayout->addWidget(m_cardMode[1], 1, 0, 1, 2);
    modeLayout->addWidget(NumberedLabel(2, QStringLiteral("枠数"), modeFrame), 2, 0);
    modeLayout->addWidget(m_frames, 2, 1);

    // 用紙/面付　部数
    auto* paperFrame =
        Named(new QGroupBox(QStringLiteral("用紙/面付　部数"), this), QStringLiteral("Frm印刷設定_1"));
    m_layout = EditableCombo(QStringLiteral("Cmb用紙面付"), paperFrame);
    m_layout->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_sheets = Named(new QLineEdit(paperFrame), QStringLiteral("Txt部数"));
    auto* paperLayout = new QGridLayout(paperFrame);
    paperLayout->addWidget(NumberedLabel(0, QStringLiteral("用紙/面付け"), paperFrame), 0, 0);
    paperLayout->addWidget(m_layout, 0, 1);
    paperLayout->addWidget(NumberedLabel(1, QStringLiteral("印字枚数"), paperFrame), 1, 0);
    paperLayout->addWidget(m_sheets, 1, 1);

    // 中心枠の扱い
    auto* centreFrame =
        Named(new QGroupBox(QStringLiteral("中心枠の扱い"), this), QStringLiteral("Frm印刷設定_2"));
    const QString centreCaptions[3] = {QStringLiteral("定形マーク"), QStringLiteral("指定登録行番　固定"),
                                       QStringLiteral("指定登録行番からカウントアップ")};
    auto* centreLayout = new QGridLayout(centreFrame);
    for (int i = 0; i < 3; ++i) {
        m_centre[i] =
            Named(new QRadioButton(centreCaptions[i], centreFrame), QStringLiteral("Opt中心枠_%1").arg(i));
        centreLayout->addWidget(m_centre[i], i, 0, 1, 2);
    }
    m_row = EditableCombo(QStringLiteral("Cmb指定行番"), centreFrame);
    centreLayout->addWidget(NumberedLabel(3, QStringLiteral("指定登録行番"), centreFrame), 3, 0);
    centreLayout->addWidget(m_row, 3, 1);

    m_colourButton = Named(new QPushButton(QStringLiteral("文字色"), this), QStringLiteral("Cmd文字色"));
    m_colour = Named(new QLineEdit(QStringLiteral("0000000"), this), QStringLiteral("Txt文字色"));
    m_issueButton =
        Named(new QPushButton(QStringLiteral("カード発行"), this), QStringLiteral("Cmd印刷設定適用"));
    m_issueButton->setMinimumHeight(36);
    m_previewButton =
        Named(new QPushButton(QStringLiteral("プレビュー"), this), QStringLiteral("btnPreview"));
    m_previewButton->setMinimumHeight(36);

    // Numbered cards: each card's number in its margin, kept in the card record, and for phones
    // a QR code of the card's own page. Off unless asked for; once asked for, on again when the
    // screen opens.
    m_numbered =
        Named(new QCheckBox(QStringLiteral("カード番号を印刷する"), this), QStringLiteral("chkCardNumber"));
    m_qr =
        Named(new QCheckBox(QStringLiteral("スマホ用QRコードを印刷する"), this), QStringLiteral("chkCardQr"));
    m_phoneAddress = Named(new QComboBox(this), QStringLiteral("cmbPhoneAddress"));
    auto* marks = new QVBoxLayout;
    marks->addWidget(m_numbered);
    auto* qrRow = new QHBoxLayout;
    qrRow->addSpacing(16);
    qrRow->addWidget(m_qr);
    qrRow->addWidget(m_phoneAddress, 1);
    marks->addLayout(qrRow);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(m_colourButton);
    colourRow->addWidget(m_colour, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(modeFrame);
    left->addWidget(centreFrame);
    auto* right = new QVBoxLayout;
    right->addWidget(paperFrame);
    right->addLayout(colourRow);
    right->addLayout(marks);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_issueButton, 1);
    right->addLayout(buttons);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left);
    outer->addLayout(right);

    // Loading, in order.
    m_cardMode[0]->setChecked(true);
    m_frames->addItems(GridSizeTexts());
    // The list stands on the entry the initial text names, so the drop-down and the wheel start there.
    m_frames->setCurrentIndex(1);
    m_frames->setEditText(QStringLiteral("５×５"));
    m_sheets->setText(QStringLiteral("1"));
    for (const PaperLayout& layout : PaperLayouts()) {
        m_layout->addItem(layout.Text);
    }
    m_layout->setCurrentIndex(kDefaultPaperLayout);
    m_layout->setEditText(PaperLayouts()[kDefaultPaperLayout].Text);
    for (int row = 0; row <= RosterTable::kCapacity; ++row) {
        m_row->addItem(QString::number(row));
    }
    m_row->setCurrentIndex(1);
    m_row->setEditText(QStringLiteral("001"));
    m_state.DrawKind = DrawKind::Normal;
    m_centre[0]->setChecked(true);

    m_run = std::make_unique<CardPrintRun>(m_state, m_services, this);
    connect(m_colourButton, &QPushButton::clicked, this, [this] { Cmd文字色_Click(); });
    connect(m_issueButton, &QPushButton::clicked, this, [this] { Cmd印刷設定適用_Click(); });
    connect(m_previewButton, &QPushButton::clicked, this, [this] { BtnPreview_Click(); });
    connect(m_numbered, &QCheckBox::toggled, this, [this] { UpdateMarkControls(); });
    connect(m_cardMode[1], &QRadioButton::toggled, this, [this] { UpdateMarkControls(); });
    connect(m_qr, &QCheckBox::toggled, this, [this] { UpdateMarkControls(); });
    SetPhoneAddresses(m_services.networkAddresses ? m_services.networkAddresses()
                                                  : std::vector<QHostAddress>{});
    if (!m_state.CardChoices) {
        m_state.CardChoices = LoadCardScreenChoices(CardScreenChoicesPath(m_state));
    }
    if (m_state.CardChoices->Numbered) {
        m_cardMode[1]->setChecked(true);
        m_numbered->setChecked(true);
        m_qr->setChecked(m_state.CardChoices->Qr);
    }
    adjustSize();
}

CardIssueScreen::~CardIssueScreen() = default;

CardControlTexts CardIssueScreen::ControlTexts() const {
    CardControlTexts texts;
    texts.NormalCardSelected = m_cardMode[1]->isChecked();
    texts.FramesText = m_frames->currentText();
    texts.LayoutText = m_layout->currentText();
    texts.SheetsText = m_sheets->text();
    for (int i = 0; i < 3; ++i) {
        texts.CentreSelected[static_cast<size_t>(i)] = m_centre[i]->isChecked();
    }
    texts.DesignatedRowText = m_row->currentText();
    texts.ColourText = m_colour->text();
    return texts;
}

void CardIssueScreen::SetPhoneAddresses(const std::vector<QHostAddress>& addresses) {
    const QString previous = m_phoneAddress->currentText();
    m_phoneAddress->clear();
    for (const QHostAddress& address : addresses) {
        m_phoneAddress->addItem(address.toString());
    }
    m_phoneAddress->setCurrentIndex(std::max(0, m_phoneAddress->findText(previous)));
    m_haveAddresses = !addresses.empty();
    m_qr->setToolTip(m_haveAddresses
                         ? QString()
                         : QStringLiteral("ネットワークに接続されていないため、QRコードは印刷できません。"));
    UpdateMarkControls();
}

QString CardIssueScreen::PhoneAddress() const {
    if (!m_qr->isEnabled() || !m_qr->isChecked() || m_phoneAddress->currentText().isEmpty()) {
        return {};
    }
    return QStringLiteral("%1:%2").arg(m_phoneAddress->currentText()).arg(kPhonePort);
}

void CardIssueScreen::UpdateMarkControls() {
    // A blank card's cells are written in by hand: no record could check it, no phone could follow it.
    m_numbered->setEnabled(m_cardMode[1]->isChecked());
    m_numbered->setToolTip(m_numbered->isEnabled() ? QString()
                                                   : QStringLiteral("番号は通常ビンゴカードに印刷できます"));
    m_qr->setEnabled(m_numbered->isEnabled() && m_numbered->isChecked() && m_haveAddresses);
    m_phoneAddress->setEnabled(m_qr->isEnabled() && m_qr->isChecked());
}

bool CardIssueScreen::IsPrinting() const {
    return m_run && m_run->IsRunning();
}

void CardIssueScreen::Cmd文字色_Click() {
    setEnabled(false);
    m_issueButton->setEnabled(false);
    QString text;
    if (PickColor(m_services.dialogs, this, text)) {
        m_colour->setText(text);
    }
    m_issueButton->setEnabled(true);
    setEnabled(true);
}

QString CardIssueScreen::IssueQuestion() const {
    const QString question = QStringLiteral("指定条件でカードを発行しますか？");
    CardRunValues values;
    QString ignored;
    int eligible = 0;
    if (!ChosenMarks().Numbered || !ReadRunValues(ControlTexts(), values, ignored) ||
        !CardsRepeatPeople(values, m_state.Roster, eligible)) {
        return question;
    }
    const int n = values.FramesPerSide;
    return QStringLiteral("参加者が %1 人のため、%2×%2 のカードには同じ人が 2 回以上入ります"
                          "（中心のほかに %3 マスあります）。\r\n")
               .arg(eligible)
               .arg(n)
               .arg(n * n - 1) +
           question;
}

CardScreenChoices CardIssueScreen::Choices() const {
    CardScreenChoices choices;
    choices.Numbered = m_numbered->isEnabled() && m_numbered->isChecked();
    choices.Qr = choices.Numbered && m_qr->isChecked();
    return choices;
}

void CardIssueScreen::KeepChoices() {
    const CardScreenChoices choices = Choices();
    if (m_state.CardChoices == choices) {
        return;
    }
    m_state.CardChoices = choices;
    FileError error;
    const QString path = CardScreenChoicesPath(m_state);
    if (!SaveCardScreenChoices(path, choices, error)) {
        m_services.dialogs.ShowMessage(QStringLiteral("カード発行の設定を保存できませんでした。\r\n") +
                                       QDir::toNativeSeparators(path) + QStringLiteral("\r\n") +
                                       error.Lines(QStringLiteral("エラー番号=")));
    }
}

void CardIssueScreen::Cmd印刷設定適用_Click() {
    if (IsPrinting()) {
        return;
    }
    if (m_services.dialogs.AskYesNo(this, IssueQuestion(), Dialogs::Answer::Yes) != Dialogs::Answer::Yes) {
        return;
    }
    const std::optional<CardRunValues> values = ReadValuesOrSay();
    if (!values) {
        return;
    }
    const QPrinterInfo printer = m_printerLookup();
    const QString pdfPath = PdfPathFor(printer);
    const CardMarks marks = ChosenMarks(); // before the screen is disabled: it reads enabled states
    KeepChoices();
    setEnabled(false);
    // The cards the preview showed are printed once; the next run chooses afresh.
    const std::optional<ChosenCards> previewed = std::exchange(m_previewed, std::nullopt);
    if (!m_run->Start(
            *values, printer, pdfPath, [this] { FinishRun(); }, marks, previewed)) {
        FinishRun();
    }
}

void CardIssueScreen::BtnPreview_Click() {
    if (IsPrinting()) {
        return;
    }
    const std::optional<CardRunValues> values = ReadValuesOrSay();
    if (!values) {
        return;
    }
    // The numbers the run would give, shown, not taken: the preview records nothing.
    CardMarks marks = ChosenMarks();
    if (marks.Numbered) {
        QString refusal;
        const std::optional<int> first = FirstCardNumber(
            m_state, m_run->Record(), CardRecordPathOf(m_state, PdfPathFor(m_printerLookup())), refusal);
        if (!first) {
            m_services.dialogs.ShowMessage(refusal); // as the run would
            return;
        }
        marks.FirstNumber = *first;
    }
    auto* preview = new CardPreview(*values, marks, m_state, m_services.random, this);
    const QPointer<CardPreview> guard(preview);
    const QPointer<CardIssueScreen> self(this);
    m_services.dialogs.Exec(*preview);
    if (self && guard) {
        m_previewed = preview->Chosen();
    }
    delete guard.data(); // gone already when the screen went under it
}

std::optional<CardRunValues> CardIssueScreen::ReadValuesOrSay() {
    CardRunValues values;
    QString error;
    if (!ReadRunValues(ControlTexts(), values, error)) {
        m_services.dialogs.ShowMessage(error);
        return std::nullopt;
    }
    return values;
}

CardMarks CardIssueScreen::ChosenMarks() const {
    CardMarks marks;
    marks.Numbered = m_numbered->isEnabled() && m_numbered->isChecked();
    marks.PhoneAddress = PhoneAddress();
    return marks;
}

QString CardIssueScreen::PdfPathFor(const QPrinterInfo& printer) const {
    return printer.isNull() ? CardPdfPath(CardOutputFolder(m_state), QDateTime::currentDateTime())
                            : QString();
}

void CardIssueScreen::FinishRun() {
    setEnabled(true);
    emit RunEnded();
}

void CardIssueScreen::closeEvent(QCloseEvent* event) {
    if (IsPrinting()) {
        event->ignore();
        return;
    }
    KeepChoices();
    QWidget::closeEvent(event);
}
