#include "core/record/drawrecord.h"

#include "core/common/platform.h"
#include "core/common/timing.h"
#include "core/programstate.h"
#include "core/record/recordfile.h"

#include <QDir>
#include <QFileInfo>
#include <map>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QStringList header() {
    return {QStringLiteral("日時"),       QStringLiteral("種類"),       QStringLiteral("登録行番号"),
            QStringLiteral("氏名"),       QStringLiteral("パネル"),     QStringLiteral("ゲームモード"),
            QStringLiteral("横パネル数"), QStringLiteral("縦パネル数"), QStringLiteral("名簿ファイル"),
            QStringLiteral("名簿の指紋")};
}

const DrawEvent kEvents[] = {DrawEvent::Start,      DrawEvent::Resume,      DrawEvent::Draw,
                             DrawEvent::OpenByHand, DrawEvent::CloseByHand, DrawEvent::End};

QString numberOrEmpty(int value, bool shown) {
    return shown ? QString::number(value) : QString();
}

} // namespace

QString DrawEventName(DrawEvent event) {
    switch (event) {
    case DrawEvent::Start:
        return QStringLiteral("開始");
    case DrawEvent::Resume:
        return QStringLiteral("再開");
    case DrawEvent::Draw:
        return QStringLiteral("抽選");
    case DrawEvent::OpenByHand:
        return QStringLiteral("開く");
    case DrawEvent::CloseByHand:
        return QStringLiteral("閉じる");
    case DrawEvent::End:
        return QStringLiteral("終了");
    }
    return {};
}

QString DrawRecordPath(const QString& folder, const QDate& day) {
    return JoinPath(folder, QStringLiteral("抽選記録_%1.csv").arg(day.toString(QStringLiteral("yyyyMMdd"))));
}

bool AppendDrawRecord(const QString& path, const DrawRecordLine& line, FileError& error) {
    const bool game = line.Event == DrawEvent::Start || line.Event == DrawEvent::Resume;
    const bool participant = line.Row > 0;
    QByteArray bytes;
    if (QFileInfo(path).size() == 0) {
        bytes = CsvFileStart(header());
    }
    // Panels are numbered from 1 for the people who read the file.
    bytes += CsvLine({line.When.toString(kTimeFormat), DrawEventName(line.Event),
                      numberOrEmpty(line.Row, participant), participant ? line.Name : QString(),
                      numberOrEmpty(line.Panel + 1, line.Panel >= 0), QString::number(line.GameMode),
                      numberOrEmpty(line.Cols, game), numberOrEmpty(line.Rows, game),
                      game ? line.RosterPath : QString(), game ? line.Fingerprint : QString()})
                 .toUtf8() +
             "\r\n";
    ClearSystemError();
    std::FILE* file = OpenCFile(path, CFileMode::Append);
    if (!file) {
        error = FileError::Last(GenericIoErrorCode());
        return false;
    }
    // One write of the whole line, then the sync: a line is either all on the disk or no line.
    ClearSystemError();
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file) ==
                         static_cast<size_t>(bytes.size());
    int code = written ? 0 : LastSystemError();
    const bool synced = written && SyncCFile(file, code);
    std::fclose(file);
    if (!synced) {
        error = FileError::Of(code != 0 ? code : GenericIoErrorCode());
        return false;
    }
    return true;
}

std::vector<DrawRecordLine> ReadDrawRecord(const QByteArray& bytes) {
    std::vector<DrawRecordLine> lines;
    for (const QStringList& fields : ReadCsvRecords(bytes)) {
        if (fields.size() < 10) {
            continue;
        }
        DrawRecordLine line;
        line.When = QDateTime::fromString(fields[0], kTimeFormat);
        bool known = false;
        for (const DrawEvent event : kEvents) {
            if (DrawEventName(event) == fields[1]) {
                line.Event = event;
                known = true;
            }
        }
        if (!known) {
            continue;
        }
        line.Row = static_cast<qint16>(fields[2].toInt());
        line.Name = fields[3];
        line.Panel = fields[4].isEmpty() ? -1 : fields[4].toInt() - 1;
        line.GameMode = fields[5].toInt();
        line.Cols = fields[6].toInt();
        line.Rows = fields[7].toInt();
        line.RosterPath = fields[8];
        line.Fingerprint = fields[9];
        lines.push_back(line);
    }
    return lines;
}

std::optional<ResumableDraw> FindResumableDraw(const std::vector<DrawRecordLine>& lines,
                                               const QString& rosterPath, const QString& fingerprint,
                                               int gameMode, int cols, int rows) {
    // Replays the record: a start begins a fresh game, a resume goes on with the one before.
    const DrawRecordLine* game = nullptr;
    std::map<int, qint16> open;
    std::vector<int> order;
    ResumableDraw draw;
    for (const DrawRecordLine& line : lines) {
        switch (line.Event) {
        case DrawEvent::Start:
            open.clear();
            order.clear();
            draw = ResumableDraw{};
            game = &line;
            break;
        case DrawEvent::Resume:
            draw.EndedByOrganiser = false;
            game = &line;
            break;
        case DrawEvent::Draw:
        case DrawEvent::OpenByHand:
            if (line.Panel >= 0) {
                open[line.Panel] = line.Row;
                order.push_back(line.Panel);
            }
            draw.DrawCount += line.Event == DrawEvent::Draw ? 1 : 0;
            break;
        case DrawEvent::CloseByHand:
            open.erase(line.Panel);
            break;
        case DrawEvent::End:
            draw.EndedByOrganiser = true;
            break;
        }
    }
    if (!game || game->RosterPath != rosterPath || open.empty()) {
        return std::nullopt;
    }
    for (const int panel : order) {
        const auto found = open.find(panel);
        if (found != open.end()) {
            draw.Panels.emplace_back(panel, found->second);
            open.erase(found);
        }
    }
    draw.Drawn = static_cast<int>(draw.Panels.size());
    if (game->GameMode != gameMode) {
        draw.Refusal = QStringLiteral("ゲームモードが変わっています（モード%1 → モード%2）。")
                           .arg(game->GameMode)
                           .arg(gameMode);
    } else if (game->Cols != cols || game->Rows != rows) {
        draw.Refusal = QStringLiteral("パネルの数が変わっています（横 %1 × 縦 %2 → 横 %3 × 縦 %4）。")
                           .arg(game->Cols)
                           .arg(game->Rows)
                           .arg(cols)
                           .arg(rows);
    } else if (game->Fingerprint != fingerprint) {
        draw.Refusal = QStringLiteral("名簿の氏名が変わっています。");
    }
    return draw;
}

QStringList DrawHistory(const std::vector<DrawRecordLine>& lines) {
    QStringList entries;
    int drawn = 0;
    for (const DrawRecordLine& line : lines) {
        const QString time = line.When.toString(QStringLiteral("HH:mm:ss"));
        const QString who =
            QStringLiteral("%1（登録 %2・パネル %3）").arg(line.Name).arg(line.Row).arg(line.Panel + 1);
        switch (line.Event) {
        case DrawEvent::Start:
            entries.clear();
            drawn = 0;
            break;
        case DrawEvent::Draw:
            entries << QStringLiteral("%1. %2　%3").arg(++drawn).arg(time, who);
            break;
        case DrawEvent::OpenByHand:
            entries << QStringLiteral("%1. %2　%3　手で開く").arg(++drawn).arg(time, who);
            break;
        case DrawEvent::CloseByHand:
            entries << QStringLiteral("　 %1　%2　手で閉じる").arg(time, who);
            break;
        case DrawEvent::Resume:
        case DrawEvent::End:
            break;
        }
    }
    return entries;
}

QString ResumeQuestion(const ResumableDraw& draw) {
    return QStringLiteral("前回の抽選（%1 人）を続けますか？").arg(draw.Drawn);
}

QString ResumeRefusal(const ResumableDraw& draw) {
    return QStringLiteral("前回の抽選（%1 人）は続けられません。\r\n%2\r\n新しく抽選を始めます。")
        .arg(draw.Drawn)
        .arg(draw.Refusal);
}

DrawRecorder::DrawRecorder(const ProgramState& state, const Clock& clock, QString path, int cols, int rows)
    : m_state(state), m_clock(clock), m_path(std::move(path)), m_cols(cols), m_rows(rows) {}

void DrawRecorder::Write(DrawRecordLine line) {
    line.When = QDateTime::fromMSecsSinceEpoch(m_clock.NowMs());
    line.GameMode = m_state.Settings.GameMode;
    FileError error;
    if (!AppendDrawRecord(m_path, line, error) && !m_failure && !m_failureTold) {
        m_failure = error;
    }
}

void DrawRecorder::Begin(DrawEvent startOrResume) {
    DrawRecordLine line;
    line.Event = startOrResume;
    line.Cols = m_cols;
    line.Rows = m_rows;
    line.RosterPath = m_state.Settings.RosterFilePath;
    line.Fingerprint = RosterFingerprint(m_state.Roster);
    Write(line);
}

void DrawRecorder::Opened(qint16 row, const QString& name, int panel, bool byHand) {
    DrawRecordLine line;
    line.Event = byHand ? DrawEvent::OpenByHand : DrawEvent::Draw;
    line.Row = row;
    line.Name = name;
    line.Panel = panel;
    Write(line);
}

void DrawRecorder::Closed(qint16 row, const QString& name, int panel) {
    DrawRecordLine line;
    line.Event = DrawEvent::CloseByHand;
    line.Row = row;
    line.Name = name;
    line.Panel = panel;
    Write(line);
}

void DrawRecorder::End() {
    DrawRecordLine line;
    line.Event = DrawEvent::End;
    Write(line);
}

std::optional<FileError> DrawRecorder::TakeFailure() {
    std::optional<FileError> failure;
    std::swap(failure, m_failure);
    if (failure) {
        m_failureTold = true;
    }
    return failure;
}
