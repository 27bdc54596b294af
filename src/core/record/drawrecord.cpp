#include "core/record/drawrecord.h"

#include "core/common/platform.h"
#include "core/common/timing.h"
#include "core/programstate.h"
#include "core/record/recordfile.h"
#include "core/roster/roster.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
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

// Panels a grid can have: the pools hold at most this many.
constexpr int kMostPanels = 500;

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
    // Panels are numbered from 1 for the people who read the file.
    const QByteArray bytes =
        CsvLine({line.When.toString(kTimeFormat), DrawEventName(line.Event),
                 numberOrEmpty(line.Row, participant), participant ? line.Name : QString(),
                 numberOrEmpty(line.Panel + 1, line.Panel >= 0), QString::number(line.GameMode),
                 numberOrEmpty(line.Cols, game), numberOrEmpty(line.Rows, game),
                 game ? line.RosterPath : QString(), game ? line.Fingerprint : QString()})
            .toUtf8() +
        "\r\n";
    return AppendRecordLines(path, CsvFileStart(header()), bytes, error);
}

namespace {

// One line exactly as the recorder writes it; false for anything else.
bool readLine(QByteArrayView bytes, std::vector<QByteArrayView>& f, std::vector<QByteArray>& scratch,
              DrawRecordLine& line) {
    constexpr int kColumns = 10;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    if (!bytes.isValidUtf8() || !SplitCsvLine(bytes, f, scratch, kColumns) || f.size() != kColumns) {
        return false;
    }
    line.When = QDateTime::fromString(QString::fromLatin1(f[0]), kTimeFormat);
    const QString event = QString::fromUtf8(f[1]);
    const auto known = std::find_if(std::begin(kEvents), std::end(kEvents),
                                    [&](DrawEvent e) { return DrawEventName(e) == event; });
    bool modeOk = false;
    line.GameMode = QString::fromLatin1(f[5]).toInt(&modeOk);
    if ((!line.When.isValid() && !f[0].isEmpty()) || known == std::end(kEvents) || !modeOk) {
        return false;
    }
    line.Event = *known;
    qint64 value = 0;
    switch (line.Event) {
    case DrawEvent::Draw:
    case DrawEvent::OpenByHand:
    case DrawEvent::CloseByHand:
        if (!ReadDecimal(f[2], 1, RosterTable::kCapacity, value)) {
            return false;
        }
        line.Row = static_cast<qint16>(value);
        line.Name = QString::fromUtf8(f[3]);
        if (!ReadDecimal(f[4], 1, kMostPanels, value)) {
            return false;
        }
        line.Panel = static_cast<int>(value) - 1;
        return true;
    case DrawEvent::Start:
    case DrawEvent::Resume:
        if (!ReadDecimal(f[6], 1, kMostPanels, value)) {
            return false;
        }
        line.Cols = static_cast<int>(value);
        if (!ReadDecimal(f[7], 1, kMostPanels, value)) {
            return false;
        }
        line.Rows = static_cast<int>(value);
        line.RosterPath = QString::fromUtf8(f[8]);
        line.Fingerprint = QString::fromUtf8(f[9]);
        return true;
    case DrawEvent::End:
        return true;
    }
    return false;
}

} // namespace

std::vector<DrawRecordLine> ReadDrawRecord(const QByteArray& bytes, std::vector<qint64>* unreadable) {
    std::vector<DrawRecordLine> lines;
    std::vector<QByteArrayView> fields;
    std::vector<QByteArray> scratch;
    qint64 last = 0;
    const qsizetype end = ForEachWholeLine(bytes, 0, 1, [&](QByteArrayView bytes, qint64 number) {
        last = number;
        if (number == 1) {
            return; // the header
        }
        DrawRecordLine line;
        line.LineNumber = number;
        if (readLine(bytes, fields, scratch, line)) {
            lines.push_back(line);
        } else if (unreadable) {
            unreadable->push_back(number);
        }
    });
    if (end < bytes.size() && last > 0 && unreadable) {
        unreadable->push_back(last + 1); // cut short: no line
    }
    return lines;
}

std::optional<ResumableDraw> FindResumableDraw(const std::vector<DrawRecordLine>& lines,
                                               const QString& rosterPath, const QString& fingerprint,
                                               int gameMode, int cols, int rows,
                                               const std::vector<qint64>& unreadable) {
    // Replays the record: a start begins a fresh game, a resume goes on with the one before.
    const DrawRecordLine* game = nullptr;
    qint64 startLine = 0;
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
            startLine = line.LineNumber;
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
    std::copy_if(unreadable.begin(), unreadable.end(), std::back_inserter(draw.UnreadableLines),
                 [startLine](qint64 line) { return line > startLine; });
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

namespace {

// What the record could not say about the game: its draws on those lines are not part of it.
QString unreadableNote(const ResumableDraw& draw) {
    if (draw.UnreadableLines.empty()) {
        return {};
    }
    QStringList numbers;
    for (const qint64 line : draw.UnreadableLines) {
        if (numbers.size() == 5) {
            numbers << QStringLiteral("ほか %1 行").arg(draw.UnreadableLines.size() - 5);
            break;
        }
        numbers << QString::number(line);
    }
    return QStringLiteral("\r\n抽選記録の %1 行目が読めません。その行の抽選は含まれていません。")
        .arg(numbers.join(QStringLiteral("・")));
}

} // namespace

QString ResumeQuestion(const ResumableDraw& draw) {
    return QStringLiteral("前回の抽選（%1 人）を続けますか？").arg(draw.Drawn) + unreadableNote(draw);
}

QString ResumeRefusal(const ResumableDraw& draw) {
    return QStringLiteral("前回の抽選（%1 人）は続けられません。\r\n%2\r\n新しく抽選を始めます。")
        .arg(draw.Drawn)
        .arg(draw.Refusal);
}

QString FreshGameQuestion(const ResumableDraw& draw) {
    return QStringLiteral("前回の抽選（%1 人）は、このままでは続けられません。\r\n%2")
               .arg(draw.Drawn)
               .arg(draw.Refusal) +
           unreadableNote(draw) +
           QStringLiteral(
               "\r\n\r\n新しく抽選を始めますか？\r\n"
               "「いいえ」: 何も記録せずに抽選画面を閉じます（元に戻してから開くと、続けられます）。");
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
