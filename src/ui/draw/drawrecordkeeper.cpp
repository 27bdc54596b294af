#include "ui/draw/drawrecordkeeper.h"

#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/draw/drawboxes.h"
#include "ui/draw/screenboxes.h"

#include <QDate>
#include <QPointer>

DrawRecordKeeper::DrawRecordKeeper(ProgramState& state, Services& services, DrawSequence& sequence,
                                   ScreenBoxes& boxes)
    : m_state(state), m_services(services), m_sequence(sequence), m_boxes(boxes) {}

DrawRecordKeeper::~DrawRecordKeeper() {
    if (m_recorder) {
        m_sequence.RemoveListener(this);
    }
}

bool DrawRecordKeeper::Begin() {
    const QString path = DrawRecordPath(WorkingFolderOf(m_state), QDate::currentDate());
    m_recorder = std::make_unique<DrawRecorder>(m_state, m_services.clock, path, m_sequence.Columns(),
                                                m_sequence.Rows());
    m_sequence.AddListener(this);
    QByteArray bytes;
    FileError ignored; // no record yet today: nothing to go on with
    std::optional<ResumableDraw> left;
    if (ReadFileBytes(path, bytes, ignored)) {
        left = FindResumableDraw(ReadDrawRecord(bytes), m_state.Settings.RosterFilePath,
                                 RosterFingerprint(m_state.Roster), m_state.Settings.GameMode,
                                 m_sequence.Columns(), m_sequence.Rows());
    }
    DrawEvent begin = DrawEvent::Start;
    if (left && left->Refusal.isEmpty()) {
        Dialogs::Answer answer = Dialogs::Answer::No;
        if (!m_boxes.RunModal([&] {
                answer = m_services.dialogs.AskYesNoOn(m_boxes.BoxParent(), ResumeQuestion(*left),
                                                       Dialogs::Answer::No);
            })) {
            return false;
        }
        if (answer == Dialogs::Answer::Yes) {
            m_sequence.Resume(left->Panels, left->DrawCount);
            begin = DrawEvent::Resume;
        }
    } else if (left) {
        if (!m_boxes.ShowMessage(ResumeRefusal(*left))) {
            return false;
        }
    }
    m_recorder->Begin(begin);
    return true;
}

bool DrawRecordKeeper::TellFailure() {
    if (!m_recorder) {
        return true;
    }
    if (const std::optional<FileError> failure = m_recorder->TakeFailure()) {
        return m_boxes.ShowMessage(
            QStringLiteral("抽選記録を書き込めませんでした。\r\n%1\r\n%2")
                .arg(m_recorder->Path(), failure->Lines(QStringLiteral("エラー番号="))));
    }
    return true;
}

void DrawRecordKeeper::End() {
    if (m_recorder) {
        m_recorder->End();
    }
}

void DrawRecordKeeper::ShowHistory() {
    if (!m_boxes.AcceptsCommands()) {
        return;
    }
    QByteArray bytes;
    FileError ignored;
    QStringList entries;
    if (m_recorder && ReadFileBytes(m_recorder->Path(), bytes, ignored)) {
        entries = DrawHistory(ReadDrawRecord(bytes));
    }
    auto* box = new DrawHistoryBox(entries, m_boxes.BoxParent());
    const QPointer<DrawHistoryBox> guard(box);
    if (m_boxes.RunModal([&] { m_services.dialogs.Exec(*box); }) && guard) {
        delete box;
    }
}

void DrawRecordKeeper::PanelOpened(qint16 row, int panel, bool byHand) {
    m_recorder->Opened(row, m_state.Roster.Cell(RosterColumn::Name, row), panel, byHand);
    if (PanelsChanged) {
        PanelsChanged();
    }
}

void DrawRecordKeeper::PanelClosed(qint16 row, int panel) {
    m_recorder->Closed(row, m_state.Roster.Cell(RosterColumn::Name, row), panel);
    if (PanelsChanged) {
        PanelsChanged();
    }
}
