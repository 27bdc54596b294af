#pragma once

#include "core/common/safefile.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The draw record: what happened on the draw screen, a line the moment it happens, in a file a
// day in the working folder ("抽選記録_YYYYMMDD.csv"; the format is in docs/record-formats.md).
// Each line is appended and synced on its own, so that a crash, a kill or a power cut keeps
// every line written before it; a line cut short is no line.

enum class DrawEvent {
    Start,       // 開始: a draw screen opened for a fresh game
    Resume,      // 再開: a draw screen opened on the game of the lines before
    Draw,        // 抽選: a participant drawn and their panel opened
    OpenByHand,  // 開く: a panel opened by hand
    CloseByHand, // 閉じる: a panel closed by hand
    End,         // 終了: the organiser closed the draw screen
};

QString DrawEventName(DrawEvent event);

struct DrawRecordLine {
    qint64 LineNumber = 0; // in the file, the header being line 1 (lines read back)
    QDateTime When;
    DrawEvent Event = DrawEvent::Start;
    qint16 Row = 0; // the participant's registration row (draws and panels)
    QString Name;   // their name as drawn
    int Panel = -1; // the panel, from 0; -1: none
    int GameMode = 0;
    // The game the line belongs to (the start and resume lines only).
    int Cols = 0;
    int Rows = 0;
    QString RosterPath;
    QString Fingerprint;
};

// The record file of a day in a folder.
QString DrawRecordPath(const QString& folder, const QDate& day);

// Appends one line (see AppendRecordLines: a line cut short before it is ended first, a failed
// write is cut back); the file starts with its header when new. False with the system's error.
bool AppendDrawRecord(const QString& path, const DrawRecordLine& line, FileError& error);

// The lines of a record file's bytes, in order. A line that cannot be read (garbage, a line cut
// short) is no line; unreadable, when given, receives its number.
std::vector<DrawRecordLine> ReadDrawRecord(const QByteArray& bytes,
                                           std::vector<qint64>* unreadable = nullptr);

// The game the record's last lines leave, for opening a draw screen on it again.
struct ResumableDraw {
    int Drawn = 0;     // participants on open panels
    int DrawCount = 0; // draws made with the button
    bool EndedByOrganiser = false;
    std::vector<std::pair<int, qint16>> Panels; // (panel, row) of the open panels, in opening order
    QString Refusal;                            // why it cannot go on in today's game (empty when it can)
    std::vector<qint64> UnreadableLines;        // lines of this game that could not be read
};

// The last game of the record when it was played on the same roster file and someone is drawn;
// its refusal names what changed since: the game mode, the grid or the roster's names.
// unreadable: the numbers of the lines that could not be read; those after the game's start are
// named.
std::optional<ResumableDraw> FindResumableDraw(const std::vector<DrawRecordLine>& lines,
                                               const QString& rosterPath, const QString& fingerprint,
                                               int gameMode, int cols, int rows,
                                               const std::vector<qint64>& unreadable = {});

// Who was drawn in the record's last game, in order, with the time: one entry each, the panels
// opened and closed by hand among them.
QStringList DrawHistory(const std::vector<DrawRecordLine>& lines);

// The question that offers it (Yes: go on; No: a fresh game), naming the lines that could not be
// read, whose draws are not part of it.
QString ResumeQuestion(const ResumableDraw& draw);
// The message when it cannot go on.
QString ResumeRefusal(const ResumableDraw& draw);
// The question when it cannot go on as things stand: Yes starts a fresh game; No closes the draw
// screen without writing anything, so that the game goes on once the setting is changed back.
QString FreshGameQuestion(const ResumableDraw& draw);

class Clock;
struct ProgramState;

// Writes the draw screen's game into a record file as it happens. A line that cannot be written
// does not stop the draw: the failure is kept for the screen to tell once.
class DrawRecorder {
public:
    DrawRecorder(const ProgramState& state, const Clock& clock, QString path, int cols, int rows);

    void Begin(DrawEvent startOrResume);
    void Opened(qint16 row, const QString& name, int panel, bool byHand);
    void Closed(qint16 row, const QString& name, int panel);
    void End();

    const QString& Path() const { return m_path; }
    // The first failure not yet told (and forgets it).
    std::optional<FileError> TakeFailure();

private:
    void Write(DrawRecordLine line);

    const ProgramState& m_state;
    const Clock& m_clock;
    QString m_path;
    int m_cols;
    int m_rows;
    std::optional<FileError> m_failure;
    bool m_failureTold = false;
};
