#include "ui/registration/registrationscreen.h"

#include "core/common/blank.h"
#include "core/common/designfonts.h"
#include "core/common/numeric.h"
#include "core/common/photo.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/common/textfile.h"
#include "core/media/musicplayer.h"
#include "core/programstate.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/media/musicplayingbox.h"
#include "ui/registration/registrationrules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QValidator>

namespace {

constexpr int kCapacity = RosterTable::kCapacity;

// Geometry of the form in twips: left, top, width, height.
struct TwipsRect {
    double left;
    double top;
    double width;
    double height;
};

enum class Ime { Off, On };

struct FieldLayout {
    int maxLength; // 0 = unlimited
    Qt::Alignment alignment;
    Ime ime;
    QColor background;
    const char16_t* initialText;
    TwipsRect rect;
};

const QColor kLightRed(255, 192, 192);
const QColor kLightCyan(192, 255, 255);
const QColor kLightGreen(192, 255, 192);
const QColor kLightBlue(192, 192, 255);
const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kLightGrey(192, 192, 192);

constexpr double kFieldHeight = 450;
constexpr double kLabelLeft = 60;
constexpr double kLabelWidth = 1065;

// The form's client area: a little beyond the right edge of the photo field and the bottom
// edge of the apply button.
constexpr double kClientWidthTwips = 8775 + 50 + 55;
constexpr double kClientHeightTwips = 5640 + 405 + 100;

const FieldLayout& fieldLayout(int index) {
    static const FieldLayout layouts[RegistrationScreen::kFieldCount] = {
        {4, Qt::AlignRight, Ime::Off, kLightRed, u"1234", {1650, 150, 900, 492}},
        {2, Qt::AlignRight, Ime::Off, kLightCyan, u"12", {2640, 150, 600, 492}},
        {0, Qt::AlignLeft, Ime::On, kLightGreen, u"12345678901234567890", {1650, 840, 4650, kFieldHeight}},
        {4, Qt::AlignLeft, Ime::Off, kLightGreen, u"1234", {1650, 1650, 900, kFieldHeight}},
        {2, Qt::AlignHCenter, Ime::Off, kLightGreen, u"12", {2920, 1650, 600, kFieldHeight}},
        {2, Qt::AlignHCenter, Ime::Off, kLightGreen, u"12", {3890, 1650, 600, kFieldHeight}},
        {2, Qt::AlignHCenter, Ime::Off, kLightGreen, u"A", {1650, 2085, 600, kFieldHeight}},
        {0, Qt::AlignLeft, Ime::Off, kLightGreen, u"12345678901234567890", {3540, 2130, 4100, kFieldHeight}},
        {0,
         Qt::AlignLeft,
         Ime::On,
         kLightGreen,
         u"1234567890123456789012345678901234567890",
         {1620, 2580, 7155, kFieldHeight}},
        {0,
         Qt::AlignLeft,
         Ime::On,
         kLightGreen,
         u"1234567890123456789012345678901234567890",
         {1620, 3075, 7155, kFieldHeight}},
        {0,
         Qt::AlignLeft,
         Ime::On,
         kLightGreen,
         u"1234567890123456789012345678901234567890",
         {1620, 3570, 7155, kFieldHeight}},
        {0, Qt::AlignLeft, Ime::On, kLightGreen, u"1234", {1650, 4065, 7125, kFieldHeight}},
        {5, Qt::AlignRight, Ime::Off, kLightGreen, u"1234", {1650, 4560, 1080, kFieldHeight}},
        {3, Qt::AlignRight, Ime::Off, kLightGreen, u"123", {3660, 4560, 780, kFieldHeight}},
        {0, Qt::AlignLeft, Ime::On, kLightGreen, u"1234", {1620, 5055, 7155, kFieldHeight}},
        {1, Qt::AlignHCenter, Ime::Off, kLightGreen, u"1", {1650, 5550, 450, kFieldHeight}},
    };
    return layouts[index];
}

struct LabelButtonLayout {
    int index;
    const char16_t* caption;
    TwipsRect rect;
};

// Fields 4, 5, 12 and 13 have no label button; 9 and 10 take their captions from the roster.
const LabelButtonLayout kLabelButtons[] = {
    {0, u"行番号", {kLabelLeft, 120, kLabelWidth, 504}},
    {1, u"予備", {kLabelLeft, 120, kLabelWidth, 504}},
    {2, u"氏名", {kLabelLeft, 840, kLabelWidth, kFieldHeight}},
    {3, u"生年月日", {kLabelLeft, 1650, kLabelWidth, kFieldHeight}},
    {6, u"血液型", {kLabelLeft, 2085, kLabelWidth, kFieldHeight}},
    {7, u"出身地", {2370, 2130, kLabelWidth, kFieldHeight}},
    {8, u"所属", {kLabelLeft, 2580, kLabelWidth, kFieldHeight}},
    {9, u"好きな言葉", {kLabelLeft, 3075, kLabelWidth, kFieldHeight}},
    {10, u"一言", {kLabelLeft, 3570, kLabelWidth, kFieldHeight}},
    {11, u"テーマ曲", {kLabelLeft, 4065, kLabelWidth, kFieldHeight}},
    {14, u"写真", {kLabelLeft, 5055, kLabelWidth, kFieldHeight}},
    {15, u"抽選除外", {kLabelLeft, 5550, kLabelWidth, kFieldHeight}},
};

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A push button in a solid colour of its own (styles would otherwise wash it out).
void setButtonColour(QPushButton* button, const QColor& colour) {
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #606060;"
                       " border-radius: 3px; padding: 0px; }"
                       " QPushButton:pressed { background-color: %2; }")
            .arg(colour.name(), colour.darker(120).name()));
}

// Shows a caption on a label button exactly as entered ("&" is not an accelerator here), in the
// buttons' font, made smaller where a long caption would not fit.
void setLabelCaption(QPushButton* button, const QString& caption) {
    QString text = caption;
    button->setText(text.replace(QStringLiteral("&"), QStringLiteral("&&")));
    QFont font = DesignFont(DesignFace::Gothic, 12, true);
    const int room = button->width() - 6;
    while (font.pointSizeF() > 7 && QFontMetrics(font).horizontalAdvance(caption) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    button->setFont(font);
}

// Limits what the user types or pastes into a field to its maximum length, like a text box
// does, without cutting a longer text that was put there by the program (a roster cell may be
// longer); turns TAB, CR and LF into spaces, which the roster file cannot hold; and takes out
// characters the roster file's encoding cannot hold, telling Refused which.
class FieldValidator : public QValidator {
public:
    FieldValidator(QLineEdit* edit, int maxLength, const TextEncoding& encoding,
                   std::function<void(const QString&)> refused)
        : QValidator(edit), m_maxLength(maxLength), m_encoding(encoding), m_refused(std::move(refused)) {
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_accepted = text; });
    }

    // Set while the program itself puts a text into the field.
    void SetProgrammatic(bool on) { m_programmatic = on; }

    State validate(QString& input, int& pos) const override {
        input = WithoutLineBreaks(input);
        if (m_programmatic) {
            return Acceptable;
        }
        const QString refused = TakeOutUnencodable(input, m_encoding, &pos);
        if (!refused.isEmpty() && m_refused) {
            m_refused(refused);
        }
        if (m_maxLength <= 0) {
            return Acceptable;
        }
        const qsizetype allowed = std::max<qsizetype>(m_maxLength, m_accepted.size());
        if (input.size() <= allowed) {
            return Acceptable;
        }
        // Drop what was typed or pasted beyond the limit: the characters just before the cursor.
        const qsizetype excess = input.size() - allowed;
        if (excess > pos) {
            return Invalid;
        }
        input.remove(pos - excess, excess);
        pos -= static_cast<int>(excess);
        return Acceptable;
    }

private:
    int m_maxLength;
    const TextEncoding& m_encoding;
    std::function<void(const QString&)> m_refused;
    QString m_accepted;
    bool m_programmatic = false;
};

QString unencodableInputMessage(const QString& character) {
    return QStringLiteral("「%1」は名簿ファイルに保存できない文字のため、入力できません。").arg(character);
}

} // namespace

RegistrationScreen::RegistrationScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("Frm参加者登録"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DesignFont(DesignFace::PGothic, 9.75, true));
    setBackground(this, QPalette::Window, kLightGrey);
    setAutoFillBackground(true);

    // The preview first, so that the fields further down are drawn over a tall picture.
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_image1->setLineWidth(1);
    m_image1->setScaledContents(true);
    PlaceTwips(m_image1, 6450, 120, kPhotoBoxWidthTwips, kPhotoBoxHeightTwips);

    BuildLabels();
    BuildFields();
    BuildButtons();

    // Opening: size, clear (the design texts become the saved copies), captions, focus.
    m_lastField = 15;
    resize(sizeHint());
    m_currentField = -1;
    ClearFields();
    for (const auto& [index, column] :
         {std::pair{9, RosterColumn::FavouriteWords}, std::pair{10, RosterColumn::Comment}}) {
        const QString caption = m_state.Roster.Cell(column, 0);
        setLabelCaption(m_labelButtons[index],
                        IsBlank(caption) ? RosterTable::DefaultCaption(column) : caption);
    }
    FocusField(0);
}

QSize RegistrationScreen::sizeHint() const {
    return {TwipsToPixels(this, kClientWidthTwips), TwipsToPixels(this, kClientHeightTwips)};
}

void RegistrationScreen::PlaceTwips(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(TwipsToPixels(this, left), TwipsToPixels(this, top), TwipsToPixels(this, width),
                        TwipsToPixels(this, height));
}

void RegistrationScreen::BuildFields() {
    const QFont font = DesignFont(DesignFace::Gothic, 18, false);
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldLayout& layout = fieldLayout(i);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("txt入力項目_%1").arg(i));
        field->setFont(font);
        field->setAlignment(layout.alignment | Qt::AlignVCenter);
        field->setAttribute(Qt::WA_InputMethodEnabled, layout.ime == Ime::On);
        field->setValidator(new FieldValidator(field, layout.maxLength, m_state.RosterEncoding,
                                               [this](const QString& c) { RefuseCharacter(c); }));
        setBackground(field, QPalette::Base, layout.background);
        field->setText(QString::fromUtf16(layout.initialText));
        field->setAcceptDrops(i == 11 || i == 14 || i == 15);
        field->installEventFilter(this);
        PlaceTwips(field, layout.rect.left, layout.rect.top, layout.rect.width, layout.rect.height);
        m_fields[i] = field;
    }
    m_fields[1]->hide(); // spare
}

void RegistrationScreen::BuildButtons() {
    for (const LabelButtonLayout& l : kLabelButtons) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("cmdラベル_%1").arg(l.index));
        button->setFocusPolicy(Qt::ClickFocus); // not a tab stop
        PlaceTwips(button, l.rect.left, l.rect.top, l.rect.width, l.rect.height);
        setLabelCaption(button, QString::fromUtf16(l.caption));
        connect(button, &QPushButton::clicked, this, [this, index = l.index] { LabelButton_Click(index); });
        m_labelButtons[l.index] = button;
    }
    setButtonColour(m_labelButtons[0], kLightBlue);
    m_labelButtons[1]->hide();

    const QFont arrowFont = DesignFont(DesignFace::PGothic, 14.25, true);
    const char16_t* arrows[] = {u"↑", u"↓"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromUtf16(arrows[i]), this);
        button->setObjectName(QStringLiteral("Cmdデータ参照_%1").arg(i));
        button->setFont(arrowFont);
        PlaceTwips(button, 1200, i == 0 ? 60 : 420, 375, 345);
        connect(button, &QPushButton::clicked, this, [this, i] { StepButton_Click(i); });
        m_stepButtons[i] = button;
    }

    m_applyButton = new QPushButton(QStringLiteral("適用"), this);
    m_applyButton->setObjectName(QStringLiteral("Cmd登録"));
    m_applyButton->setFont(DesignFont(DesignFace::PGothic, 15.75, true));
    setButtonColour(m_applyButton, kOrange);
    PlaceTwips(m_applyButton, 7080, 5640, 1665, 405);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { ApplyRecord(); });

    m_auditionButton = new QPushButton(QStringLiteral("試聴"), this);
    m_auditionButton->setObjectName(QStringLiteral("cmd試聴"));
    m_auditionButton->setFont(DesignFont(DesignFace::PGothic, 9.75, false));
    m_auditionButton->setFocusPolicy(Qt::TabFocus); // the audition leaves the focus where it was
    setButtonColour(m_auditionButton, kYellow);
    PlaceTwips(m_auditionButton, 6000, 4590, 900, 390);
    connect(m_auditionButton, &QPushButton::clicked, this, [this] { Audition_Click(); });
}

void RegistrationScreen::BuildLabels() {
    const QFont unitFont = DesignFont(DesignFace::PGothic, 15.75, true);
    const struct {
        const char16_t* text;
        TwipsRect rect;
    } units[] = {
        {u"日", {4520, 1700, 360, 360}},
        {u"年", {2580, 1700, 360, 360}},
        {u"月", {3550, 1700, 360, 360}},
    };
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromUtf16(units[i].text), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setFont(unitFont);
        PlaceTwips(label, units[i].rect.left, units[i].rect.top, units[i].rect.width, units[i].rect.height);
    }
    const struct {
        const char16_t* text;
        TwipsRect rect;
    } hints[] = {
        {u"省略は自動付番", {2640, 300, 2400, 270}},
        {u"氏名を入力せずに登録するとそのデータは削除されます。", {1650, 645, 4750, 195}},
        {u"1を指定すると抽選時に除外されます。", {2220, 5640, 4700, 300}},
        {u"秒から", {2790, 4620, 840, 330}},
        {u"秒間　再生", {4500, 4620, 1450, 330}},
    };
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(QString::fromUtf16(hints[i].text), this);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        PlaceTwips(label, hints[i].rect.left, hints[i].rect.top, hints[i].rect.width, hints[i].rect.height);
    }
}

// ---------------------------------------------------------------------------------------------
// Fields

QString RegistrationScreen::FieldText(int index) const {
    return m_fields[index]->text();
}

void RegistrationScreen::SetFieldText(int index, const QString& text) {
    auto* validator = static_cast<FieldValidator*>(const_cast<QValidator*>(m_fields[index]->validator()));
    validator->SetProgrammatic(true);
    m_fields[index]->setText(text);
    validator->SetProgrammatic(false);
}

void RegistrationScreen::FocusField(int index) {
    m_currentField = index;
    if (!m_fields[index]->hasFocus()) {
        m_fields[index]->setFocus(Qt::OtherFocusReason);
        if (isVisible() && !isActiveWindow() && !m_fields[index]->hasFocus()) {
            // The window is not active (no window manager gave it back after a box, say): the
            // field takes the keys without being told it has the focus, so fill and select it
            // here, and leave the others unselected as on losing the focus.
            for (QLineEdit* other : m_fields) {
                if (other != m_fields[index]) {
                    other->deselect();
                }
            }
            FieldReceivedFocus(index);
        }
    }
}

void RegistrationScreen::FieldReceivedFocus(int index) {
    const int maxLength = fieldLayout(index).maxLength;
    if (IsBlank(FieldText(index))) {
        SetFieldText(index, QString(maxLength > 0 ? maxLength : 10, u' '));
    }
    m_fields[index]->setSelection(0, static_cast<int>(FieldText(index).size()));
}

void RegistrationScreen::ClearFields() {
    for (int i = 0; i < kFieldCount; ++i) {
        m_savedFieldText[i] = FieldText(i);
        SetFieldText(i, QString());
    }
}

bool RegistrationScreen::RowNumber(qint16& row) const {
    return ToInt16(NumericValue(FieldText(0)), row);
}

void RegistrationScreen::ShowRowRangeMessage() {
    m_services.dialogs.ShowMessage(QStringLiteral("行番号の範囲は 1から ") + QString::number(kCapacity) +
                                   QStringLiteral("を指定してください"));
}

void RegistrationScreen::CopyRowIntoFields(int row) {
    SetFieldText(0, FormatNumber(row, QStringLiteral("000")));
    SetFieldText(1, QString());
    for (int c = 0; c < RosterTable::kColumns; ++c) {
        SetFieldText(c + 2, m_state.Roster.Cell(RosterColumn(c), row));
    }
}

void RegistrationScreen::LoadRecord() {
    qint16 row = 0;
    if (!RowNumber(row) || row > kCapacity || row < 1) {
        ShowRowRangeMessage();
        return;
    }
    CopyRowIntoFields(row);
}

void RegistrationScreen::AssignFreeRow() {
    for (int row = 1; row <= kCapacity; ++row) {
        if (m_state.Roster.Cell(RosterColumn::Name, row).isEmpty()) {
            CopyRowIntoFields(row);
            return;
        }
    }
    m_services.dialogs.ShowMessage(QStringLiteral("これ以上名簿に登録出来ません"));
}

void RegistrationScreen::StoreRecord() {
    m_state.RosterModified = true;
    qint16 row = 0;
    if (!RowNumber(row) || row < 1 || row > kCapacity) {
        ShowRowRangeMessage();
        return;
    }
    for (int c = 0; c < RosterTable::kColumns; ++c) {
        m_state.Roster.SetCell(RosterColumn(c), row, TrimSpaces(WithoutLineBreaks(FieldText(c + 2))));
    }
}

void RegistrationScreen::ApplyRecord() {
    if (IsBlank(FieldText(0))) {
        return;
    }
    const QPointer<RegistrationScreen> self(this);
    const auto answer =
        m_services.dialogs.AskYesNo(this, QStringLiteral("指定データを適用しますか？"), Dialogs::Answer::Yes);
    if (!self) {
        return;
    }
    if (answer == Dialogs::Answer::Yes) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        StoreRecord();
        if (!self) {
            QApplication::restoreOverrideCursor();
            return;
        }
        ClearFields();
        m_currentField = 0;
        QApplication::restoreOverrideCursor();
    }
    FocusField(m_currentField);
}

void RegistrationScreen::RestoreField() {
    SetFieldText(m_currentField, m_savedFieldText[m_currentField]);
}

void RegistrationScreen::ConfirmAbort() {
    const QPointer<RegistrationScreen> self(this);
    const auto answer =
        m_services.dialogs.AskYesNo(this, QStringLiteral("プログラムを中断します。"), Dialogs::Answer::Yes);
    if (self && answer == Dialogs::Answer::Yes) {
        m_closing = true;
        CloseScreen(this);
    }
}

void RegistrationScreen::closeEvent(QCloseEvent* event) {
    // Closing never asks about edits not applied and never saves.
    m_closing = true;
    event->accept();
}

bool RegistrationScreen::CheckField(int index) {
    switch (index) {
    case 0: {
        qint16 n = 0;
        if (!ToInt16(NumericValue(FieldText(0)), n)) {
            m_services.dialogs.ShowMessage(QStringLiteral("1から300の範囲で指定してください。"));
            return false;
        }
        SetFieldText(0, FormatField(static_cast<double>(n), QStringLiteral("000")));
        if (n >= 0 && n <= kCapacity) {
            const QPointer<RegistrationScreen> self(this);
            if (n == 0) {
                AssignFreeRow();
            } else {
                LoadRecord();
            }
            if (!self) {
                return false;
            }
            CheckField(14);
        } else {
            m_services.dialogs.ShowMessage(QStringLiteral("1から300の範囲で指定してください。"));
            return false;
        }
        break;
    }
    case 6:
        SetFieldText(6, FieldText(6).toUpper());
        break;
    case 12:
        SetFieldText(12, FormatNumber(NumericValue(FieldText(12)), QStringLiteral("#####")));
        break;
    case 13:
        SetFieldText(13, FormatNumber(NumericValue(FieldText(13)), QStringLiteral("###")));
        break;
    case 14:
        ShowPhotoPreview();
        break;
    default:
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Keyboard and mouse

int RegistrationScreen::FieldIndexOf(QObject* object) const {
    for (int i = 0; i < kFieldCount; ++i) {
        if (m_fields[i] == object) {
            return i;
        }
    }
    return -1;
}

bool RegistrationScreen::eventFilter(QObject* watched, QEvent* event) {
    const int index = FieldIndexOf(watched);
    if (index < 0) {
        return QWidget::eventFilter(watched, event);
    }
    QLineEdit* field = m_fields[index];
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return FieldKeyPressed(index, key->key(), key->modifiers());
    }
    case QEvent::FocusIn: {
        // Let the field take the focus first, then fill and select it.
        m_focusArrivedByMouse = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        field->event(event);
        FieldReceivedFocus(index);
        return true;
    }
    case QEvent::FocusOut:
        field->event(event);
        field->deselect();
        return true;
    case QEvent::MouseButtonPress: {
        const bool arrived = m_focusArrivedByMouse;
        m_focusArrivedByMouse = false;
        if (!arrived && index == m_currentField) {
            return false; // a click inside the field being edited places the cursor as usual
        }
        const QPointer<RegistrationScreen> self(this);
        FieldClicked(index);
        // A screen destroyed under a box opened by the click has taken the field with it: the
        // event must not travel on to it.
        return !self || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList paths;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile()) {
                paths.append(url.toLocalFile());
            }
        }
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        ImportDroppedFiles(index, paths);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool RegistrationScreen::FieldKeyPressed(int index, int key, Qt::KeyboardModifiers modifiers) {
    m_currentField = index;
    const QPointer<RegistrationScreen> self(this);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
    case Qt::Key_Tab:
        if (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier)) {
            QApplication::beep();
            MoveBack();
            return true;
        }
        if (key == Qt::Key_Down) {
            QApplication::beep();
        }
        MoveForward();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Backtab:
        QApplication::beep();
        MoveBack();
        return true;
    case Qt::Key_F1:
    case Qt::Key_Escape:
        ConfirmAbort();
        if (self && !m_closing) {
            FocusField(m_currentField);
        }
        return true;
    case Qt::Key_F5:
        RestoreField();
        FocusField(m_currentField);
        return true;
    case Qt::Key_F12:
        ApplyRecord();
        if (self) {
            FocusField(m_currentField);
        }
        return true;
    default:
        return false;
    }
}

void RegistrationScreen::MoveForward() {
    const QPointer<RegistrationScreen> self(this);
    const bool valid = CheckField(m_currentField);
    if (!self || !valid) {
        return;
    }
    if (m_currentField >= m_lastField) {
        m_currentField = m_lastField;
        ApplyRecord();
        return;
    }
    do {
        ++m_currentField;
    } while (m_currentField < m_lastField &&
             (m_fields[m_currentField]->isHidden() || m_fields[m_currentField]->isReadOnly()));
    FocusField(m_currentField);
}

void RegistrationScreen::MoveBack() {
    const QPointer<RegistrationScreen> self(this);
    const bool valid = CheckField(m_currentField);
    if (!self || !valid) {
        return;
    }
    do {
        --m_currentField;
    } while (m_currentField > 0 &&
             (m_fields[m_currentField]->isHidden() || m_fields[m_currentField]->isReadOnly()));
    if (m_currentField < 0) {
        m_currentField = 0;
    }
    FocusField(m_currentField);
}

void RegistrationScreen::FieldClicked(int index) {
    const QPointer<RegistrationScreen> self(this);
    for (int i = std::max(m_currentField, 0); i < index; ++i) {
        const bool valid = CheckField(i);
        if (!self) {
            return;
        }
        if (!valid) {
            FocusField(i);
            return;
        }
    }
    FocusField(index);
    FieldReceivedFocus(index);
}

// ---------------------------------------------------------------------------------------------
// Buttons

void RegistrationScreen::LabelButton_Click(int index) {
    switch (index) {
    case 6:
        SetFieldText(6, NextBloodType(FieldText(6)));
        FocusField(6);
        break;
    case 7: {
        const int number = PrefectureNumber(FieldText(7));
        if (number >= 1 && number <= 46) {
            SetFieldText(7, PrefectureList().at(number)); // the next one; the focus stays on the button
        } else {
            SetFieldText(7, PrefectureList().at(0));
            FocusField(7);
        }
        break;
    }
    case 9:
        RenameCaption(9, RosterColumn::FavouriteWords);
        break;
    case 10:
        RenameCaption(10, RosterColumn::Comment);
        break;
    case 11:
    case 14: {
        const QPointer<RegistrationScreen> self(this);
        const QString chosen = index == 11 ? SelectMusicFile(TrimSpaces(FieldText(11)))
                                           : SelectPhotoFile(TrimSpaces(FieldText(14)));
        if (!self) {
            return;
        }
        SetFieldText(index, chosen);
        CheckField(index);
        FocusField(index);
        break;
    }
    default:
        FocusField(index);
        break;
    }
}

void RegistrationScreen::RenameCaption(int index, RosterColumn column) {
    const QPointer<RegistrationScreen> self(this);
    const std::optional<QString> answer =
        m_services.dialogs.InputText(this, QStringLiteral("文言変更"), QStringLiteral("文言を変更しますか？"),
                                     m_state.Roster.Cell(column, 0));
    if (!self) {
        return;
    }
    if (answer && !IsBlank(WithoutLineBreaks(*answer))) {
        QString caption = *answer;
        const QString refused = TakeOutUnencodable(caption, m_state.RosterEncoding);
        if (!refused.isEmpty()) {
            m_services.dialogs.ShowMessage(unencodableInputMessage(refused));
            if (!self) {
                return;
            }
        } else {
            m_state.Roster.SetCell(column, 0, TrimSpaces(WithoutLineBreaks(caption)));
            m_state.RosterModified = true; // the caption is saved with the roster
            setLabelCaption(m_labelButtons[index], caption);
        }
    }
    FocusField(index);
}

void RegistrationScreen::RefuseCharacter(const QString& character) {
    // Told while the field checks what was typed: the message follows once that is over.
    if (m_refusalPending) {
        return;
    }
    m_refusalPending = true;
    QTimer::singleShot(0, this, [this, character] {
        m_refusalPending = false;
        m_services.dialogs.ShowMessage(unencodableInputMessage(character));
    });
}

void RegistrationScreen::StepButton_Click(int index) {
    double n = RoundHalfEven(NumericValue(FieldText(0)));
    n += index == 0 ? -1 : 1;
    if (n > kCapacity) {
        n = kCapacity;
    }
    if (n < 1) {
        n = 1;
    }
    SetFieldText(0, FormatNumber(n, QStringLiteral("000")));
    const QPointer<RegistrationScreen> self(this);
    CheckField(0);
    if (!self) {
        return;
    }
    FocusField(std::max(m_currentField, 0));
}

void RegistrationScreen::Audition_Click() {
    const QString song = TrimSpaces(FieldText(11));
    if (song.isEmpty()) {
        m_services.dialogs.ShowMessage(QStringLiteral("音楽ファイルが指定されていません"));
        return;
    }
    const QString path = JoinPath(m_state.Settings.Musics, song);
    qint32 start = 0;
    if (!ToInt32(NumericValue(FieldText(12)), start)) {
        start = 0;
    }
    // The song is closed through the service itself: it must stop even if the screen has gone
    // while the box was open.
    MusicPlayer& music = m_services.music;
    music.PlayMusic(path, start);
    qint32 seconds = 0;
    if (!ToInt32(NumericValue(FieldText(13)), seconds)) {
        seconds = 0;
    }
    // On the heap: the box is a child of the screen and goes with it if the screen is destroyed
    // while the box runs.
    const QPointer<MusicPlayingBox> box =
        new MusicPlayingBox(m_services.dialogs, m_services.clock, m_services.music, this);
    box->PlayMusicBox(QStringLiteral("再生を中断する場合は[はい]をクリック"), QStringLiteral("音楽試聴中"),
                      path, seconds);
    delete box.data();
    music.CloseMusic(path);
}

// ---------------------------------------------------------------------------------------------
// Photos and songs

QString RegistrationScreen::SelectFile(const QString& text, const QString& folder, const QString& filters,
                                       const QString& subject) {
    const QPointer<RegistrationScreen> self(this);
    const QString chosen = m_services.dialogs.OpenFileName(this, QStringLiteral("開く"), folder, filters, 1);
    if (!self || chosen.isEmpty()) {
        return text;
    }
    QString chosenFolder;
    const QString name = SplitPath(QDir::toNativeSeparators(chosen), chosenFolder);
    if (!SameFolder(chosenFolder, folder)) {
        m_services.dialogs.ShowMessage(subject + folder + QStringLiteral("\r\n") +
                                       QStringLiteral("内より選択してください"));
        return QString();
    }
    return name;
}

QString RegistrationScreen::SelectMusicFile(const QString& text) {
    return SelectFile(text, m_state.Settings.Musics, MusicFileFilters(), QStringLiteral("音楽は"));
}

QString RegistrationScreen::SelectPhotoFile(const QString& text) {
    return SelectFile(text, m_state.Settings.Pictures, PhotoFileFilters(), QStringLiteral("写真は"));
}

void RegistrationScreen::ShowPhotoPreview() {
    m_image1->resize(TwipsToPixels(this, kPhotoBoxWidthTwips), TwipsToPixels(this, kPhotoBoxHeightTwips));
    m_image1->clear();
    const QString name = TrimSpaces(FieldText(14));
    if (name.isEmpty()) {
        return;
    }
    const QString path = JoinPath(m_state.Settings.Pictures, name);
    const QSize natural = PhotoSize(path);
    if (natural.isEmpty()) {
        return;
    }
    // Decoded at the size shown, not the camera's.
    const QSizeF twips = PhotoPreviewTwips(natural.width(), natural.height());
    const QImage image =
        LoadPhoto(path, QSize(TwipsToPixels(this, twips.width()), TwipsToPixels(this, twips.height())));
    if (image.isNull()) {
        return;
    }
    m_image1->resize(TwipsToPixels(this, twips.width()), TwipsToPixels(this, twips.height()));
    m_image1->setPixmap(QPixmap::fromImage(image));
}

void RegistrationScreen::ImportDroppedFiles(int field, const QStringList& paths) {
    const QStringList extensions = DroppedExtensions(field);
    if (extensions.isEmpty()) {
        return;
    }
    const QString target = field == 11 ? m_state.Settings.Musics : m_state.Settings.Pictures;
    const QPointer<RegistrationScreen> self(this);
    for (const QString& path : paths) {
        QString folder;
        // The copy is named in upper case; it is copied from the path as dropped, which on a
        // case-sensitive file system is the only name that exists.
        const QString name = SplitPath(QDir::toNativeSeparators(path), folder).toUpper();
        if (!extensions.contains(name.right(4))) {
            continue;
        }
        QString storable = name;
        const QString refused = TakeOutUnencodable(storable, m_state.RosterEncoding);
        FileError error;
        if (!refused.isEmpty()) {
            m_services.dialogs.ShowMessage(unencodableInputMessage(refused));
        } else if (CopyFileSafely(path, JoinPath(target, name), error)) {
            SetFieldText(field, name);
            continue;
        } else {
            m_services.dialogs.ShowMessage(name + QStringLiteral("のコピーに失敗しました\r\n") + error.Text);
        }
        if (!self) {
            return;
        }
    }
}
