// Whole draws on a screen that only remembers, in virtual time.
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "support/fakeclock.h"
#include "support/fakedrawview.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kFolder = QStringLiteral("/media");

// The fake screen, also logging the song box's texts as they change and where each copy of the
// name is printed in which colour.
class LoggingView : public FakeDrawView {
public:
    explicit LoggingView(const Clock& clock) : FakeDrawView(clock), m_clock(clock) {}
    void Log(const QString& what) { Events.push_back(Event{m_clock.NowMs(), what}); }
    void ShowPlayInfo(const QString& text) override {
        if (PlayInfos.isEmpty() || text != PlayInfo) {
            Log(QStringLiteral("song box ") + text);
        }
        FakeDrawView::ShowPlayInfo(text);
    }
    double ShowTelop(const QString& text, double x, double top, const QColor& colour) override {
        const double width = FakeDrawView::ShowTelop(text, x, top, colour);
        Events.back().What += u' ' + colour.name();
        return width;
    }
    void TypeCharacter(const QString& character, const QColor& colour) override {
        if (TypedColours.empty() || TypedColours.back() != colour) {
            Log(QStringLiteral("ink ") + colour.name());
        }
        FakeDrawView::TypeCharacter(character, colour);
    }
    void OpenPanel(int k, qint16 row, const QString& name, const QString& photoPath) override {
        FakeDrawView::OpenPanel(k, row, name, photoPath);
        Events.back().What += u' ' + name + (photoPath.isEmpty() ? QString() : u' ' + photoPath);
    }
    void PrintName(const QString& face, const NameFrame& frame, const QString& name) override {
        FakeDrawView::PrintName(face, frame, name);
        Events.back().What +=
            QStringLiteral(" %1 %2 %3 ").arg(frame.X).arg(frame.Y).arg(frame.Size) + frame.Colour.name();
    }

private:
    const Clock& m_clock;
};

// The fake player, logging on the screen's log; a slow one reads -1 for the length of a song
// still being opened.
class LoggingPlayer : public FakeMusicPlayer {
public:
    LoggingPlayer(const Clock& clock, LoggingView& view) : FakeMusicPlayer(clock), m_view(view) {}
    bool Slow = false;
    void PlayMusic(const QString& path, qint32 startSeconds) override {
        FakeMusicPlayer::PlayMusic(path, startSeconds);
        m_view.Log(QStringLiteral("play %1 from %2").arg(QFileInfo(path).fileName()).arg(startSeconds));
    }
    void CloseMusic(const QString& path) override {
        FakeMusicPlayer::CloseMusic(path);
        m_view.Log(QStringLiteral("close ") + QFileInfo(path).fileName());
    }
    qint32 MusicLength(const QString& path) override {
        return !Slow ? FakeMusicPlayer::MusicLength(path) : IsOpen(path) ? -1 : 0;
    }
    qint32 MusicPosition(const QString& path) override {
        return Slow ? 0 : FakeMusicPlayer::MusicPosition(path);
    }

private:
    LoggingView& m_view;
};

struct DrawRig {
    FakeClock clock;
    LoggingView view{clock};
    LoggingPlayer music{clock, view};
    ScriptedFractions random{0.5};
    ProgramState state;
    std::unique_ptr<DrawSequence> draw;

    explicit DrawRig(int participants, int mode = 1, int cols = 5, int rows = 5) {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        for (int r = 1; r <= participants; ++r) {
            state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        }
        state.Settings.GameMode = mode;
        state.Settings.Cols = cols;
        state.Settings.Rows = rows;
        state.Settings.Pictures = kFolder;
        state.Settings.Musics = kFolder;
    }
    DrawSequence& Open() {
        draw = std::make_unique<DrawSequence>(state, view, clock, music, random);
        return *draw;
    }
    // One press of the draw button, run to its end.
    void Draw() {
        draw->Press();
        for (int guard = 0; draw->IsRunning() && guard < 100000; ++guard) {
            clock.AdvanceToNext();
        }
        ASSERT_FALSE(draw->IsRunning());
    }
    void Simple() { state.DrawKind = DrawKind::Simple; }
    void Fractions(int count, int multiplier) {
        for (int i = 0; i < count; ++i) {
            random.Push((i * multiplier % 1000) / 1000.0);
        }
    }
    QString Song() const { return QDir(kFolder).filePath(QStringLiteral("song.mp3")); }
    void GiveSong(const char* seconds, int length = 200) {
        state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral("song.mp3"));
        state.Roster.SetCell(RosterColumn::SongSeconds, 1, QString::fromLatin1(seconds));
        if (length > 0) {
            music.AddSong(Song(), length);
        }
    }
};

// ---- Game modes -----------------------------------------------------------------------------

TEST(DrawModes, ARefusalShownAsTheScreenGoesAwayTouchesNothingAfter) {
    DrawRig rig(0, 1);
    rig.Open();
    rig.view.OnMessage = [&rig] {
        rig.draw.reset(); // 抽選 → 終了 under the message box
        return false;
    };
    rig.draw->Press();
    EXPECT_FALSE(rig.draw);
    EXPECT_FALSE(rig.view.ButtonsShown);
}

// ---- Whole draws as logs ------------------------------------------------------------------------

// tests/data/draw/sequence/<case>.txt: the draw set up and run line by line, then below "==" the
// log expected, an event a line: its virtual time and what the screen or the player was told (a
// run of one event at a steady interval is one line, "<time> <what> ×<count> /<interval>"; ⏎ a line
// end in a text).
QStringList logOf(const std::vector<FakeDrawView::Event>& all, const QStringList& only) {
    std::vector<FakeDrawView::Event> events;
    std::copy_if(all.begin(), all.end(), std::back_inserter(events), [&](const FakeDrawView::Event& e) {
        return only.isEmpty() || std::any_of(only.begin(), only.end(),
                                             [&](const QString& word) { return e.What.startsWith(word); });
    });
    QStringList lines;
    for (size_t i = 0; i < events.size();) {
        size_t j = i + 1;
        const qint64 step = j < events.size() ? events[j].At - events[i].At : 0;
        while (j < events.size() && events[j].What == events[i].What &&
               events[j].At - events[j - 1].At == step) {
            ++j;
        }
        if (j - i < 3) {
            j = i + 1;
        }
        lines << QStringLiteral("%1 %2")
                         .arg(events[i].At)
                         .arg(QString(events[i].What).replace(QStringLiteral("\r\n"), QStringLiteral("⏎"))) +
                     (j - i > 1 ? QStringLiteral(" ×%1 /%2").arg(j - i).arg(step) : QString());
        i = j;
    }
    return lines;
}

class DrawLog : public ::testing::TestWithParam<std::string> {};

TEST_P(DrawLog, IsTheLogExpected) {
    QFile file(QString::fromStdString(GetParam()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList parts = QString::fromUtf8(file.readAll()).split(QStringLiteral("\n==\n"));
    ASSERT_EQ(parts.size(), 2) << "no \"==\" line";
    std::unique_ptr<DrawRig> rig;
    QStringList log;  // of the rigs before, each followed by "--"
    QStringList only; // the events logged, by their first word (all when none is given)
    for (const QString& line : parts[0].split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        const QString& what = f[0];
        const int k = f.value(1).toInt();
        if (what.startsWith(u'#')) {
            continue;
        } else if (what == QStringLiteral("rig")) { // people, mode
            if (rig) {
                log << logOf(rig->view.Events, only) << QStringLiteral("--");
            }
            rig =
                std::make_unique<DrawRig>(f[1].toInt(), f[2].toInt(), f.value(3, QStringLiteral("5")).toInt(),
                                          f.value(4, QStringLiteral("5")).toInt());
            only.clear();
            continue;
        }
        ASSERT_TRUE(rig) << "the first line is \"rig\"";
        if (what == QStringLiteral("cell")) { // row, caption, text
            int column = 0;
            while (column < RosterTable::kColumns &&
                   RosterTable::DefaultCaption(RosterColumn(column)) != f[2]) {
                ++column;
            }
            ASSERT_LT(column, RosterTable::kColumns) << line.toStdString();
            rig->state.Roster.SetCell(RosterColumn(column), f[1].toInt(), f[3]);
        } else if (what == QStringLiteral("song")) { // playing time, length (0: missing)
            rig->GiveSong(f[1].toLatin1().constData(), f[2].toInt());
        } else if (what == QStringLiteral("slow")) { // the song still opening
            rig->music.Slow = true;
        } else if (what == QStringLiteral("dflag")) {
            rig->state.Settings.Dflag = f[1];
        } else if (what == QStringLiteral("background")) {
            rig->view.Background = QColor(f[1]);
        } else if (what == QStringLiteral("only")) {
            only = f.mid(1);
        } else if (what == QStringLiteral("fractions")) { // so many, spread by a multiplier
            rig->Fractions(k, f[2].toInt());
        } else if (what == QStringLiteral("draws")) {
            for (int n = 0; n < k; ++n) {
                rig->Draw();
            }
        } else if (what == QStringLiteral("random")) {
            for (const QString& fraction : f[1].split(u' ')) {
                rig->random.Push(fraction.toDouble());
            }
        } else if (what == QStringLiteral("simple")) {
            rig->Simple();
        } else if (what == QStringLiteral("open")) {
            rig->Open();
        } else if (what == QStringLiteral("press")) {
            rig->draw->Press();
        } else if (what == QStringLiteral("box")) { // what the menu offers for panel k
            const std::optional<int> box = rig->draw->PanelBoxSwitch(k);
            rig->view.Log(QStringLiteral("box %1: ").arg(k) +
                          (box ? QString::number(*box) : QStringLiteral("none")));
        } else if (what == QStringLiteral("hand")) {
            rig->view.Log(QStringLiteral("by hand %1: %2").arg(k).arg(rig->draw->OpenPanelByHand(k)));
        } else if (what == QStringLiteral("shut")) {
            rig->draw->ClosePanelByHand(k);
        } else if (what == QStringLiteral("state")) {
            QStringList panels;
            for (int panel = 0; panel < rig->draw->PanelCount(); ++panel) {
                if (rig->draw->PanelRow(panel) != 0) {
                    panels << QStringLiteral("%1:%2").arg(panel).arg(rig->draw->PanelRow(panel));
                }
            }
            rig->view.Log(QStringLiteral("state: drawn %1, left %2, panels %3, in progress %4, buttons %5")
                              .arg(rig->draw->DrawCount())
                              .arg(rig->draw->Pools().Candidates().Count)
                              .arg(panels.join(u' '))
                              .arg(rig->state.DrawInProgress)
                              .arg(rig->view.ButtonsShown));
        } else if (what == QStringLiteral("tick")) {
            rig->clock.AdvanceToNext();
        } else if (what == QStringLiteral("run")) {
            for (int guard = 0; rig->draw->IsRunning() && guard < 100000; ++guard) {
                rig->clock.AdvanceToNext();
            }
            ASSERT_FALSE(rig->draw->IsRunning());
            EXPECT_EQ(rig->music.OpenCount(), 0);
        } else {
            FAIL() << "unknown line " << line.toStdString();
        }
    }
    ASSERT_TRUE(rig);
    log << logOf(rig->view.Events, only);
    EXPECT_EQ(log.join(u'\n').toStdString(), parts[1].trimmed().toStdString());
}

std::vector<std::string> logCases() {
    std::vector<std::string> cases;
    const QDir dir(QStringLiteral(MIRDA_TEST_DATA "/draw/sequence"));
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        cases.push_back(dir.filePath(name).toStdString());
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawLog, ::testing::ValuesIn(logCases()), [](const auto& info) {
    return QFileInfo(QString::fromStdString(info.param)).baseName().toStdString();
});

// ---- Stopping -------------------------------------------------------------------------------

TEST(DrawStop, StoppingAtAnyStepEndsTheDrawCleanly) {
    const auto prepare = [](DrawRig& rig) {
        rig.state.Roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        rig.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
        rig.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("P1.JPG"));
        rig.GiveSong("30", 100);
        rig.Open();
        rig.draw->Press();
    };
    int total = 0;
    {
        DrawRig rig(1, 2);
        prepare(rig);
        while (rig.draw->IsRunning() && total < 100000) {
            rig.clock.AdvanceToNext();
            ++total;
        }
        ASSERT_GT(total, 100);
    }
    for (int stopAt = 0; stopAt <= total; stopAt += stopAt < 40 || total - stopAt < 40 ? 1 : 7) {
        DrawRig rig(1, 2);
        prepare(rig);
        for (int i = 0; i < stopAt; ++i) {
            rig.clock.AdvanceToNext();
        }
        rig.draw->Stop();
        EXPECT_EQ(rig.clock.ActiveTimerCount(), 0) << stopAt;
        EXPECT_EQ(rig.music.OpenCount(), 0) << stopAt;
        const size_t told = rig.view.Events.size();
        rig.clock.Advance(60000);
        rig.draw->Press();
        EXPECT_EQ(rig.view.Events.size(), told) << stopAt;
        rig.draw.reset();
    }
}

// ---- Panels opened and closed by hand -------------------------------------------------------

// Frames fall due one interval after another while the pacing keeps its interval; the song
// wait's polls and the end of the name's hold are no frames.
TEST(DrawFrames, FallDueAtThePacingAndNotWhileWaitingForTheSong) {
    DrawRig rig(1, 2);
    rig.Simple();
    rig.GiveSong("30");
    for (int i = 0; i < 6; ++i) {
        rig.random.Push(0.0); // row, face, style 1, speed, start x, start y: 25 frames of 30 ms
    }
    rig.random.Push(0.000001);
    rig.Open();
    rig.Draw();
    const std::vector<qint64>& due = rig.view.DueFrames;
    ASSERT_EQ(due.size(), 25u); // the name's frames; the hold's end shows nothing new
    for (size_t i = 1; i < 25; ++i) {
        EXPECT_EQ(due[i] - due[i - 1], 30000) << i;
    }
}

} // namespace
