// Whole draws on a screen that only remembers, in virtual time.
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "support/fakeclock.h"
#include "support/fakedrawview.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <set>

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
    std::set<qint16> OpenedRows() const {
        std::set<qint16> rows;
        for (const auto& [k, panel] : view.OpenPanels) {
            rows.insert(panel.Row);
        }
        return rows;
    }
};

const QString kNoMoreData = QStringLiteral("これ以上データが登録されていません");
const QString kAllOpen = QStringLiteral("全てのパネルが開きました。\r\nこれ以上抽選はできません。");

// ---- Game modes -----------------------------------------------------------------------------

// Each draw opens one panel (mode 1 in order, whatever row is drawn) until the panels or the
// people run out; the next press is refused before anyone is taken.
TEST(DrawModes, DrawsFillThePanelsUntilTheyOrThePeopleRunOut) {
    const struct {
        int mode, people, cols, rows;
        const QString& refusal;
        int left;
    } cases[] = {{1, 10, 5, 5, kNoMoreData, 0}, {1, 5, 1, 2, kAllOpen, 3}, {2, 30, 5, 5, kAllOpen, 5}};
    for (const auto& c : cases) {
        DrawRig rig(c.people, c.mode, c.cols, c.rows);
        rig.Simple();
        rig.Fractions(300, 7919);
        DrawSequence& draw = rig.Open();
        const int opened = std::min(c.people, c.cols * c.rows);
        for (int n = 0; n < opened; ++n) {
            rig.Draw();
            EXPECT_TRUE(c.mode != 1 || rig.view.OpenPanels.count(n)) << n;
        }
        EXPECT_EQ(rig.OpenedRows().size(), size_t(opened));
        EXPECT_TRUE(rig.view.Messages.isEmpty());
        rig.Draw();
        EXPECT_EQ(rig.view.Messages, QStringList{c.refusal});
        EXPECT_EQ(rig.view.OpenPanels.size(), size_t(opened));
        EXPECT_EQ(draw.Pools().Candidates().Count, c.left);
        EXPECT_EQ(draw.DrawCount(), opened);
        EXPECT_TRUE(rig.view.ButtonsShown && rig.state.DrawInProgress);
    }
}

TEST(DrawModes, OwnPanelModesOpenTheRowsOwnPanelAndDropTheRest) {
    for (int mode : {3, 4}) {
        DrawRig rig(30, mode);
        rig.Simple();
        rig.state.Roster.SetCell(RosterColumn::Photo, 3, QStringLiteral("P3.JPG"));
        rig.Fractions(300, 104729);
        DrawSequence& draw = rig.Open();
        for (int n = 0; n < 25; ++n) {
            rig.Draw();
        }
        EXPECT_TRUE(rig.view.Messages.isEmpty());
        for (int k = 0; k < 25; ++k) {
            EXPECT_EQ(rig.view.OpenPanels[k].Row, k + 1);
            EXPECT_EQ(draw.PanelRow(k), k + 1);
        }
        // Mode 4 shows no photos on panels, and has none decoded for them.
        const QString photo = QDir(kFolder).filePath(QStringLiteral("P3.JPG"));
        EXPECT_EQ(rig.view.OpenPanels[2].Photo, mode == 3 ? photo : QString());
        EXPECT_EQ(rig.view.TimesOf(QStringLiteral("prepare ") + photo + QStringLiteral(" +panel")).size(),
                  mode == 3 ? 1u : 0u);
        EXPECT_EQ(rig.view.TimesOf(QStringLiteral("prepare ") + photo).size(), 1u);
        rig.Draw();
        EXPECT_EQ(rig.view.Messages, QStringList{kNoMoreData});
        EXPECT_EQ(draw.Pools().Candidates().Count, 0);
    }
}

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
// run of one event at a steady interval is one line, "<time> <what> ×<count> /<interval>").
QStringList logOf(const std::vector<FakeDrawView::Event>& events) {
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
        lines << QStringLiteral("%1 %2").arg(events[i].At).arg(events[i].What) +
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
    QStringList log; // of the rigs before, each followed by "--"
    for (const QString& line : parts[0].split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        const QString& what = f[0];
        const int k = f.value(1).toInt();
        if (what.startsWith(u'#')) {
            continue;
        } else if (what == QStringLiteral("rig")) { // people, mode
            if (rig) {
                log << logOf(rig->view.Events) << QStringLiteral("--");
            }
            rig = std::make_unique<DrawRig>(f[1].toInt(), f[2].toInt());
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
            rig->view.Log(QStringLiteral("state: drawn %1, left %2, panels %3, in progress %4")
                              .arg(rig->draw->DrawCount())
                              .arg(rig->draw->Pools().Candidates().Count)
                              .arg(panels.join(u' '))
                              .arg(rig->state.DrawInProgress));
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
    log << logOf(rig->view.Events);
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

// ---- The screen's colours ---------------------------------------------------------------------

TEST(DrawIntroduction, TextIsWhiteOnDarkAndBlackOnLight) {
    // The screen's real colour decides: grey 100 and pure blue take white, grey 128, grey 200 and
    // yellow black.
    for (const auto& [background, colour] :
         {std::pair{QColor(100, 100, 100), Qt::white}, std::pair{QColor(128, 128, 128), Qt::black},
          std::pair{QColor(200, 200, 200), Qt::black}, std::pair{QColor(0, 0, 255), Qt::white},
          std::pair{QColor(255, 255, 0), Qt::black}}) {
        DrawRig rig(1, 1);
        rig.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("あ"));
        rig.state.Roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        rig.view.Background = background;
        rig.Open();
        rig.Draw();
        ASSERT_FALSE(rig.view.TypedColours.empty());
        EXPECT_EQ(rig.view.TypedColours.front(), QColor(colour)) << background.name().toStdString();
        EXPECT_EQ(rig.view.TelopColour, QColor(colour))
            << background.name().toStdString(); // the scrolling line alike
    }
}

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
