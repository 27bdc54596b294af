#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "support/fakeclock.h"
#include "support/fakedrawview.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A draw screen's game on a fake screen, written into a record as the program does.
struct RecordedGame : DrawListener {
    FakeClock clock;
    FakeMusicPlayer music{clock};
    ScriptedFractions random{0.5};
    ProgramState state;
    FakeDrawView view{clock};
    std::unique_ptr<DrawSequence> draw;
    std::unique_ptr<DrawRecorder> recorder;

    RecordedGame(const QString& record, int mode, int participants = 30) {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        state.Settings.GameMode = mode;
        state.Settings.RosterFilePath = QStringLiteral("/rosters/Sample01.txt");
        state.DrawKind = DrawKind::Simple;
        for (int r = 1; r <= participants; ++r) {
            state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        }
        draw = std::make_unique<DrawSequence>(state, view, clock, music, random);
        draw->AddListener(this);
        recorder = std::make_unique<DrawRecorder>(state, clock, record, draw->Columns(), draw->Rows());
    }
    void PanelOpened(qint16 row, int panel, bool byHand) override {
        recorder->Opened(row, state.Roster.Cell(RosterColumn::Name, row), panel, byHand);
    }
    void PanelClosed(qint16 row, int panel) override {
        recorder->Closed(row, state.Roster.Cell(RosterColumn::Name, row), panel);
    }
    void Draws(int count) {
        for (int n = 0; n < count; ++n) {
            draw->Press();
            for (int guard = 0; draw->IsRunning() && guard < 100000; ++guard) {
                clock.AdvanceToNext();
            }
        }
    }
    std::optional<ResumableDraw> Offer(const QString& record) const {
        return FindResumableDraw(ReadDrawRecord(readAll(record)), state.Settings.RosterFilePath,
                                 RosterFingerprint(state.Roster), state.Settings.GameMode, draw->Columns(),
                                 draw->Rows());
    }
};

std::set<qint16> entries(const RowPool& pool) {
    std::set<qint16> out;
    for (int p = 1; p <= pool.Count; ++p) {
        out.insert(pool.At(p));
    }
    return out;
}

// A line that cannot be written, or not be made sure of on the disk, is a failure with its reason.
TEST(DrawRecord, ALineNotOnTheDiskIsAFailureThatSaysWhy) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.csv")); // takes the bytes, cannot sync them
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const auto& [path, code] :
         {std::pair{dir.filePath(QStringLiteral("no/such/抽選記録.csv")), ENOENT}, std::pair{pipe, EINVAL}}) {
        FileError error;
        EXPECT_FALSE(AppendDrawRecord(path, DrawRecordLine{}, error)) << path.toStdString();
        EXPECT_EQ(error.Code, code) << path.toStdString();
    }
}

// Resuming rebuilds the pools and panels the uninterrupted draw had.
TEST(DrawRecord, ResumingRebuildsThePoolsAndPanels) {
    for (int mode : {1, 2, 3}) {
        QTemporaryDir dir;
        const QString record = dir.filePath(QStringLiteral("record.csv"));
        RecordedGame first(record, mode);
        first.recorder->Begin(DrawEvent::Start);
        first.Draws(6);
        if (mode != 1) {
            const int open = first.view.OpenPanels.begin()->first;
            first.draw->ClosePanelByHand(open);
            first.draw->OpenPanelByHand(24);
        }
        // The program is killed here: no end line.
        RecordedGame second(record, mode);
        const std::optional<ResumableDraw> offer = second.Offer(record);
        ASSERT_TRUE(offer) << mode;
        EXPECT_TRUE(offer->Refusal.isEmpty());
        EXPECT_EQ(offer->Drawn, static_cast<int>(first.view.OpenPanels.size()));
        EXPECT_EQ(ResumeQuestion(*offer),
                  QStringLiteral("前回の抽選（%1 人）を続けますか？").arg(offer->Drawn));
        const QByteArray written = readAll(record);
        second.draw->Resume(offer->Panels, offer->DrawCount);
        EXPECT_EQ(readAll(record), written) << mode; // the draws resumed are not drawn again
        EXPECT_EQ(entries(second.draw->Pools().Candidates()), entries(first.draw->Pools().Candidates()))
            << mode;
        EXPECT_EQ(entries(second.draw->Pools().Panels()), entries(first.draw->Pools().Panels())) << mode;
        EXPECT_EQ(second.draw->DrawCount(), first.draw->DrawCount());
        for (int k = 0; k < first.draw->PanelCount(); ++k) {
            EXPECT_EQ(second.draw->PanelRow(k), first.draw->PanelRow(k)) << mode << " panel " << k;
        }
        EXPECT_TRUE(second.state.DrawInProgress);
        // A draw after resuming goes on where the game left off (mode 1: the next panel).
        second.Draws(1);
        if (mode == 1) {
            EXPECT_EQ(second.draw->PanelRow(6) > 0, true);
        }
    }
}

// A draw killed at any moment leaves a record of whole lines that reads back (child processes
// killed while they draw as fast as they can in virtual time).
TEST(DrawRecord, AKillAtAnyMomentKeepsEveryWholeLine) {
    std::mt19937 pick(12345);
    for (int attempt = 0; attempt < 6; ++attempt) {
        QTemporaryDir dir;
        const QString record = dir.filePath(QStringLiteral("record.csv"));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                RecordedGame game(record, 2, 300);
                game.recorder->Begin(DrawEvent::Start);
                game.Draws(25);
                game.recorder->End();
            }
        }
        // The kill falls at a random moment once writing has begun (a loaded machine may take a
        // while to start the child).
        for (int waited = 0; readAll(record).isEmpty() && waited < 10000; ++waited) {
            usleep(1000);
        }
        usleep(pick() % 200000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const QByteArray bytes = readAll(record);
        ASSERT_FALSE(bytes.isEmpty()) << attempt;
        std::vector<qint64> unreadable;
        const std::vector<DrawRecordLine> lines = ReadDrawRecord(bytes, &unreadable);
        // Every whole line reads back; at most the last, cut short by the kill, does not.
        EXPECT_EQ(static_cast<qsizetype>(lines.size()), bytes.count("\r\n") - 1) << attempt;
        EXPECT_LE(unreadable.size(), 1u) << attempt;
        EXPECT_FALSE(lines.empty());
        EXPECT_EQ(lines.front().Event, DrawEvent::Start);
    }
}

} // namespace
