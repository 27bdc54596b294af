#include "ui/draw/cardchecker.h"

#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "core/record/recordfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/draw/drawboxes.h"
#include "ui/draw/screenboxes.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

CardChecker::CardChecker(ProgramState& state, Services& services, const DrawSequence& sequence,
                         ScreenBoxes& boxes)
    : m_state(state), m_services(services), m_sequence(sequence), m_boxes(boxes),
      m_path(CardRecordPath(WorkingFolderOf(state), state.Settings.RosterFilePath)),
      m_record(std::make_shared<CardRecordIndex>()), m_watcher(std::make_unique<QFutureWatcher<Reading>>()) {
    QObject::connect(m_watcher.get(), &QFutureWatcherBase::finished, m_watcher.get(), [this] { Read(); });
    m_reading = QtConcurrent::run([record = m_record, path = m_path] {
        Reading reading;
        reading.Ok = record->Refresh(path, reading.Error);
        return reading;
    });
    m_watcher->setFuture(m_reading);
}

CardChecker::~CardChecker() {
    m_watcher.reset();
    m_reading.waitForFinished(); // the reading holds its own share of the record
}

void CardChecker::Read() {
    m_read = true;
    if (RecordRead) {
        RecordRead();
    }
    if (const int number = std::exchange(m_pending, 0); number > 0) {
        Check(number);
    }
}

const CardRecordIndex* CardChecker::Record(QString& refusal) {
    if (!m_read) {
        return nullptr;
    }
    if (!QFileInfo::exists(m_path)) {
        refusal = QStringLiteral("番号を付けて印刷したカードの記録がありません。\r\n%1")
                      .arg(QDir::toNativeSeparators(m_path));
        return nullptr;
    }
    FileError error;
    if (!m_record->Refresh(m_path, error)) {
        refusal =
            (error.Code != 0
                 ? QStringLiteral("カード記録を読み込めないため、カードを確認できません。\r\n")
                 : QStringLiteral("カード記録に正しく読めない行があるため、カードを確認できません。\r\n")) +
            QDir::toNativeSeparators(m_path) + QStringLiteral("\r\n") + RecordErrorLines(error);
        return nullptr;
    }
    return m_record.get();
}

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
    const TypedCardNumber typed = ReadTypedCardNumber(*answer);
    if (!typed.Refusal.isEmpty()) {
        m_boxes.ShowMessage(typed.Refusal);
        return;
    }
    Check(typed.Number);
}

void CardChecker::Check(int number) {
    if (!m_boxes.AcceptsCommands()) {
        return;
    }
    if (!m_read) {
        m_pending = number;
        return;
    }
    QString refusal;
    const CardRecordIndex* record = Record(refusal);
    const CardLookup found = record ? FindCard(*record, number) : CardLookup{nullptr, refusal};
    if (!found.Card) {
        m_boxes.ShowMessage(found.Refusal);
        return;
    }
    auto* box = new CardCheckBox(*found.Card, Verdict(*found.Card), m_state.Roster, m_state.Settings.Pictures,
                                 m_boxes.BoxParent());
    m_boxes.RunBox(m_services.dialogs, box);
}

CardVerdict CardChecker::Verdict(const RecordedCard& card) const {
    return ::CheckCard(card, DrawnRows(), &m_state.Roster);
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
