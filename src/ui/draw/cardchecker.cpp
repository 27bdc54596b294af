#include "ui/draw/cardchecker.h"

#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/draw/drawboxes.h"
#include "ui/draw/screenboxes.h"

#include <QPointer>

CardChecker::CardChecker(ProgramState& state, Services& services, const DrawSequence& sequence,
                         ScreenBoxes& boxes)
    : m_state(state), m_services(services), m_sequence(sequence), m_boxes(boxes) {}

void CardChecker::Ask() {
    if (!m_boxes.AcceptsCommands()) {
        return;
    }
    std::optional<QString> answer;
    if (!m_boxes.RunModal([&] {
            answer = m_services.dialogs.InputText(m_boxes.BoxParent(), QStringLiteral("カード確認"),
                                                  QStringLiteral("カード番号を入力してください"), QString());
        }) ||
        !answer) {
        return;
    }
    bool ok = false;
    const int number = answer->trimmed().remove(QStringLiteral("No.")).toInt(&ok);
    if (!ok || number < 1) {
        m_boxes.ShowMessage(QStringLiteral("カード番号は数字で入力してください。"));
        return;
    }
    Check(number);
}

void CardChecker::Check(int number) {
    if (!m_boxes.AcceptsCommands()) {
        return;
    }
    QString refusal;
    const std::optional<RecordedCard> card = RecordedCardOf(number, refusal);
    if (!card) {
        m_boxes.ShowMessage(refusal);
        return;
    }
    auto* box = new CardCheckBox(*card, ::CheckCard(*card, DrawnRows()), m_state.Roster,
                                 m_state.Settings.Pictures, m_boxes.BoxParent());
    const QPointer<CardCheckBox> guard(box);
    if (m_boxes.RunModal([&] { m_services.dialogs.Exec(*box); }) && guard) {
        delete box;
    }
}

std::optional<RecordedCard> CardChecker::RecordedCardOf(int number, QString& refusal) const {
    QByteArray bytes;
    FileError error;
    const QString path = CardRecordPath(WorkingFolderOf(m_state), m_state.Settings.RosterFilePath);
    if (!ReadFileBytes(path, bytes, error)) {
        refusal = QStringLiteral("番号を付けて印刷したカードの記録がありません。\r\n%1").arg(path);
        return std::nullopt;
    }
    const std::vector<RecordedCard> cards = ReadCardRecord(bytes);
    const CardLookup found = FindCard(cards, number, RosterFingerprint(m_state.Roster));
    if (!found.Card) {
        refusal = found.Refusal;
        return std::nullopt;
    }
    return *found.Card;
}

std::set<qint16> CardChecker::DrawnRows() const {
    std::set<qint16> drawn;
    for (int k = 0; k < m_sequence.PanelCount(); ++k) {
        if (const qint16 row = m_sequence.PanelRow(k); row > 0) {
            drawn.insert(row);
        }
    }
    return drawn;
}
