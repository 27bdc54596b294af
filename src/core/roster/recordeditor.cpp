#include "core/roster/recordeditor.h"

#include "core/common/blank.h"
#include "core/common/numeric.h"
#include "core/common/platform.h"
#include "core/programstate.h"
#include "core/roster/participantfiles.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kCapacity = RosterTable::kCapacity;

const char16_t* const kPrefectures[] = {
    u"北海道", u"青森県", u"岩手県", u"秋田県", u"山形県", u"宮城県",   u"福島県", u"群馬県",
    u"栃木県", u"茨城県", u"埼玉県", u"千葉県", u"東京都", u"神奈川県", u"新潟県", u"長野県",
    u"山梨県", u"静岡県", u"愛知県", u"岐阜県", u"富山県", u"石川県",   u"福井県", u"滋賀県",
    u"京都府", u"大阪府", u"兵庫県", u"三重県", u"奈良県", u"和歌山県", u"高知県", u"愛媛県",
    u"香川県", u"徳島県", u"岡山県", u"鳥取県", u"島根県", u"広島県",   u"山口県", u"福岡県",
    u"佐賀県", u"長崎県", u"大分県", u"熊本県", u"宮崎県", u"鹿児島県", u"沖縄県",
};
constexpr int kPrefectureCount = static_cast<int>(std::size(kPrefectures));

QString RowRangeMessage() {
    return QStringLiteral("行番号の範囲は 1から ") + QString::number(kCapacity) +
           QStringLiteral("を指定してください");
}

QString RowNumberMessage() {
    return QStringLiteral("1から300の範囲で指定してください。");
}

RosterColumn RenamedColumn(Field field) {
    return field == Field::Comment ? RosterColumn::Comment : RosterColumn::FavouriteWords;
}

void Append(EditStep& step, const EditStep& more) {
    step.Valid = more.Valid;
    step.Messages += more.Messages;
    step.ShowPhoto = step.ShowPhoto || more.ShowPhoto;
}

} // namespace

RecordEditor::RecordEditor(ProgramState& state, FieldTexts& fields) : m_state(state), m_fields(fields) {}

void RecordEditor::Open() {
    for (int i = 0; i < kFieldCount; ++i) {
        m_saved[i] = DesignText(Field(i));
        SetText(Field(i), QString());
    }
    m_current = Field::RowNumber;
}

void RecordEditor::EnterField(Field field) {
    if (IsBlank(Text(field))) {
        const int length = MaxLength(field);
        SetText(field, QString(length > 0 ? length : 10, u' '));
    }
}

void RecordEditor::ClearFields() {
    for (int i = 0; i < kFieldCount; ++i) {
        m_saved[i] = Text(Field(i));
        SetText(Field(i), QString());
    }
}

bool RecordEditor::RowNumber(qint16& row) const {
    return ToInt16(NumericValue(Text(Field::RowNumber)), row);
}

void RecordEditor::CopyRowIntoFields(int row) {
    SetText(Field::RowNumber, FormatNumber(row, QStringLiteral("000")));
    SetText(Field::Spare, QString());
    for (int c = 0; c < RosterTable::kColumns; ++c) {
        SetText(FieldOf(RosterColumn(c)), m_state.Roster.Cell(RosterColumn(c), row));
    }
}

QString RecordEditor::LoadRecord() {
    qint16 row = 0;
    if (!RowNumber(row) || row > kCapacity || row < 1) {
        return RowRangeMessage();
    }
    CopyRowIntoFields(row);
    return QString();
}

QString RecordEditor::AssignFreeRow() {
    for (int row = 1; row <= kCapacity; ++row) {
        if (m_state.Roster.Cell(RosterColumn::Name, row).isEmpty()) {
            CopyRowIntoFields(row);
            return QString();
        }
    }
    return QStringLiteral("これ以上名簿に登録出来ません");
}

QString RecordEditor::StoreRecord() {
    m_state.RosterModified = true;
    qint16 row = 0;
    if (!RowNumber(row) || row < 1 || row > kCapacity) {
        return RowRangeMessage();
    }
    for (int c = 0; c < RosterTable::kColumns; ++c) {
        const auto column = RosterColumn(c);
        m_state.Roster.SetCell(column, row, TrimSpaces(WithoutLineBreaks(Text(FieldOf(column)))));
    }
    return QString();
}

void RecordEditor::RestoreField() {
    SetText(m_current, m_saved[static_cast<int>(m_current)]);
}

EditStep RecordEditor::CheckField(Field field) {
    EditStep step;
    switch (field) {
    case Field::RowNumber: {
        qint16 n = 0;
        if (!ToInt16(NumericValue(Text(field)), n)) {
            return {false, {RowNumberMessage()}};
        }
        SetText(field, FormatField(static_cast<double>(n), QStringLiteral("000")));
        if (n < 0 || n > kCapacity) {
            return {false, {RowNumberMessage()}};
        }
        const QString message = n == 0 ? AssignFreeRow() : LoadRecord();
        if (!message.isEmpty()) {
            step.Messages.append(message);
        }
        step.ShowPhoto = true;
        break;
    }
    case Field::BloodType:
        SetText(field, Text(field).toUpper());
        break;
    case Field::SongStart:
        SetText(field, FormatNumber(NumericValue(Text(field)), QStringLiteral("#####")));
        break;
    case Field::SongSeconds:
        SetText(field, FormatNumber(NumericValue(Text(field)), QStringLiteral("###")));
        break;
    case Field::Photo:
        step.ShowPhoto = true;
        break;
    default:
        break;
    }
    return step;
}

EditStep RecordEditor::MoveForward() {
    EditStep step = CheckField(m_current);
    if (!step.Valid) {
        return step;
    }
    if (m_current >= kLastField) {
        m_current = kLastField;
        step.Apply = true;
        return step;
    }
    do {
        m_current = Field(static_cast<int>(m_current) + 1);
    } while (m_current < kLastField && IsHidden(m_current));
    return step;
}

EditStep RecordEditor::MoveBack() {
    EditStep step = CheckField(m_current);
    if (!step.Valid) {
        return step;
    }
    int i = static_cast<int>(m_current);
    do {
        --i;
    } while (i > 0 && IsHidden(Field(i)));
    m_current = Field(std::max(i, 0));
    return step;
}

EditStep RecordEditor::Click(Field clicked) {
    EditStep step;
    for (int i = static_cast<int>(m_current); i < static_cast<int>(clicked); ++i) {
        Append(step, CheckField(Field(i)));
        if (!step.Valid) {
            m_current = Field(i);
            return step;
        }
    }
    m_current = clicked;
    return step;
}

EditStep RecordEditor::StepRow(int step) {
    double n = RoundHalfEven(NumericValue(Text(Field::RowNumber))) + step;
    if (n > kCapacity) {
        n = kCapacity;
    }
    if (n < 1) {
        n = 1;
    }
    SetText(Field::RowNumber, FormatNumber(n, QStringLiteral("000")));
    return CheckField(Field::RowNumber);
}

std::optional<QString> RecordEditor::ApplyQuestion() const {
    if (IsBlank(Text(Field::RowNumber))) {
        return std::nullopt;
    }
    return QStringLiteral("指定データを適用しますか？");
}

EditStep RecordEditor::ApplyConfirmed() {
    EditStep step;
    const QString message = StoreRecord();
    if (!message.isEmpty()) {
        step.Messages.append(message);
    }
    ClearFields(); // also when the row number was refused
    m_current = Field::RowNumber;
    return step;
}

QString RecordEditor::AbortQuestion() {
    return QStringLiteral("プログラムを中断します。");
}

void RecordEditor::NextBloodType() {
    const QString text = Text(Field::BloodType);
    QString next = QStringLiteral("A");
    if (text == QStringLiteral("A")) {
        next = QStringLiteral("O");
    } else if (text == QStringLiteral("O")) {
        next = QStringLiteral("B");
    } else if (text == QStringLiteral("B")) {
        next = QStringLiteral("AB");
    }
    SetText(Field::BloodType, next);
    m_current = Field::BloodType;
}

bool RecordEditor::NextPrefecture() {
    const QString text = Text(Field::Birthplace);
    // The last one is not looked for: from it, as from anything else, the cycle starts over.
    for (int i = 0; i + 1 < kPrefectureCount; ++i) {
        if (text == QString::fromUtf16(kPrefectures[i])) {
            SetText(Field::Birthplace, QString::fromUtf16(kPrefectures[i + 1]));
            return false;
        }
    }
    SetText(Field::Birthplace, QString::fromUtf16(kPrefectures[0]));
    m_current = Field::Birthplace;
    return true;
}

QString RecordEditor::LabelCaption(Field field) const {
    const RosterColumn column = RenamedColumn(field);
    const QString& caption = m_state.Roster.Cell(column, 0);
    return IsBlank(caption) ? RosterTable::DefaultCaption(column) : caption;
}

InputQuestion RecordEditor::RenameQuestion(Field field) const {
    return {QStringLiteral("文言変更"), QStringLiteral("文言を変更しますか？"),
            m_state.Roster.Cell(RenamedColumn(field), 0)};
}

EditStep RecordEditor::RenameCaption(Field field, const std::optional<QString>& answer,
                                     std::optional<QString>& shown) {
    EditStep step;
    shown.reset();
    m_current = field;
    if (!answer || IsBlank(WithoutLineBreaks(*answer))) {
        return step;
    }
    QString caption = *answer;
    const QString refused = TakeOutUnencodable(caption, m_state.RosterEncoding);
    if (!refused.isEmpty()) {
        step.Messages.append(RefusedCharacterMessage(refused));
        return step;
    }
    m_state.Roster.SetCell(RenamedColumn(field), 0, TrimSpaces(WithoutLineBreaks(caption)));
    m_state.RosterModified = true; // the caption is saved with the roster
    shown = caption;
    return step;
}

EditStep RecordEditor::TakeChosenFile(Field field, const QString& chosen) {
    const ChosenFile file = AcceptChosenFile(field, chosen, Text(field), m_state.Settings);
    SetText(field, file.Text);
    EditStep step = CheckField(field);
    if (!file.Message.isEmpty()) {
        step.Messages.prepend(file.Message);
    }
    m_current = field;
    return step;
}

AuditionRequest RecordEditor::Audition() const {
    AuditionRequest request;
    const QString song = TrimSpaces(Text(Field::Song));
    if (song.isEmpty()) {
        request.Message = QStringLiteral("音楽ファイルが指定されていません");
        return request;
    }
    request.Path = JoinPath(m_state.Settings.Musics, song);
    if (!ToInt32(NumericValue(Text(Field::SongStart)), request.Start)) {
        request.Start = 0;
    }
    if (!ToInt32(NumericValue(Text(Field::SongSeconds)), request.Seconds)) {
        request.Seconds = 0;
    }
    request.Prompt = QStringLiteral("再生を中断する場合は[はい]をクリック");
    request.Title = QStringLiteral("音楽試聴中");
    return request;
}

QString RecordEditor::PhotoPath() const {
    const QString name = TrimSpaces(Text(Field::Photo));
    return name.isEmpty() ? QString() : JoinPath(m_state.Settings.Pictures, name);
}
