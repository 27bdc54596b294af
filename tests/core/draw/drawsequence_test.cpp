// Whole draws on a screen that only remembers, in virtual time.
#include "core/draw/drawsequence.h"
#include "core/programstate.h"
#include "support/fakeclock.h"
#include "support/fakedrawview.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

const QString kFolder = QStringLiteral("/media");

struct DrawRig {
    FakeClock clock;
    FakeMusicPlayer music{clock};
    ScriptedFractions random{0.5};
    ProgramState state;
    FakeDrawView view{clock};
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

TEST(DrawModes, AModeOfNoMeaningDrawsNobody) {
    DrawRig rig(5, 7);
    DrawSequence& draw = rig.Open();
    rig.Draw();
    EXPECT_TRUE(rig.view.OpenPanels.empty());
    EXPECT_EQ(draw.Pools().Candidates().Count, 5);
    EXPECT_TRUE(rig.view.ButtonsShown);
    EXPECT_TRUE(rig.state.DrawInProgress);
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

// ---- The song -------------------------------------------------------------------------------

// When the effects end (the last copy of the name has been held) and when the song is closed.
struct SongTimes {
    qint64 effectsOver;
    qint64 closed;
};

SongTimes runTimed(DrawRig& rig) {
    const qint64 start = rig.clock.NowMs();
    rig.Draw();
    const std::vector<qint64> names = rig.view.TimesOf(QStringLiteral("name"));
    const qint64 hold = rig.state.DrawKind == DrawKind::Simple ? 1000 : 2000;
    // The grid comes back the moment the song is closed.
    return SongTimes{names.back() + hold - start, rig.view.TimesOf(QStringLiteral("grid 1")).back() - start};
}

TEST(DrawSong, PlaysFromItsStartForItsPlayingTime) {
    DrawRig rig(1, 2);
    rig.GiveSong("15");
    rig.state.Roster.SetCell(RosterColumn::SongStart, 1, QStringLiteral("1,0"));
    rig.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral(" song.mp3 "));
    rig.state.Roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral("営業部"));
    rig.Open();
    const SongTimes t = runTimed(rig);
    EXPECT_EQ(rig.music.Log.first(), QStringLiteral("play %1 10").arg(rig.Song()));
    EXPECT_LT(t.effectsOver, 15000);
    EXPECT_EQ(t.closed, 15000);
    EXPECT_EQ(rig.music.OpenCount(), 0);
    EXPECT_EQ(rig.view.PlayInfo, QStringLiteral("25/200")); // started at 10 s
}

struct SongCase {
    const char* label;
    int mode;
    bool simple;
    const char* seconds;
    bool missing;
    int fromStartMin; // close time after the start, bounds (-1: none)
    int fromStartMax;
    int afterEffectsMin; // close time after the effects, bounds (-1: none)
    int afterEffectsMax;
};

class DrawSongTiming : public ::testing::TestWithParam<SongCase> {};

TEST_P(DrawSongTiming, StopsWhenItShould) {
    const SongCase& c = GetParam();
    DrawRig rig(1, c.mode);
    rig.state.DrawKind = c.simple ? DrawKind::Simple : DrawKind::Normal;
    rig.GiveSong(c.seconds, c.missing ? 0 : 20);
    rig.Open();
    const SongTimes t = runTimed(rig);
    if (c.fromStartMin >= 0) {
        EXPECT_GE(t.closed, c.fromStartMin);
        EXPECT_LE(t.closed, c.fromStartMax);
    }
    if (c.afterEffectsMin >= 0) {
        EXPECT_GE(t.closed - t.effectsOver, c.afterEffectsMin);
        EXPECT_LE(t.closed - t.effectsOver, c.afterEffectsMax);
    }
    EXPECT_EQ(rig.music.OpenCount(), 0);
    EXPECT_EQ(rig.draw->DrawCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawSongTiming,
    ::testing::Values(SongCase{"SimpleDrawStopsWithinASecond", 2, true, "15", false, -1, -1, 1, 1000},
                      SongCase{"PlayTimeZeroStopsAtTheNextTick", 2, false, "0", false, -1, -1, 0, 1000},
                      SongCase{"ModeOneMissingSongEndsAtOnce", 1, false, "30", true, -1, -1, 0, 0},
                      SongCase{"ModeThreeMissingSongLastsItsTime", 3, false, "30", true, 30000, 30000, -1,
                               -1},
                      // The position reads 20 (rounded half up) from 19.5 s on.
                      SongCase{"ModeOneSongEnd", 1, false, "30", false, 19500, 20000, -1, -1}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DrawSong, NoSongWithoutTheFlag) {
    DrawRig rig(1, 2);
    rig.Simple();
    rig.GiveSong("10");
    rig.state.Settings.Dflag = QStringLiteral("111111101");
    rig.Open();
    rig.Draw();
    EXPECT_TRUE(rig.music.Log.isEmpty());
    EXPECT_EQ(rig.view.PlayInfos, QStringList{QString()});
}

// A file still being opened reads -1 for its length: the wait must neither end on it nor show it.
class SlowOpeningPlayer : public FakeMusicPlayer {
public:
    using FakeMusicPlayer::FakeMusicPlayer;
    qint32 MusicLength(const QString& path) override { return IsOpen(path) ? -1 : 0; }
    qint32 MusicPosition(const QString&) override { return 0; }
};

TEST(DrawSong, ASongStillOpeningNeitherEndsTheWaitNorShowsMinusOne) {
    for (const auto& [mode, simple, seconds, closedAt] :
         {std::tuple{1, false, "30", 30000}, std::tuple{1, false, "0", -1}, std::tuple{1, true, "30", -1},
          std::tuple{2, false, "30", 30000}}) {
        DrawRig rig(1, mode);
        SlowOpeningPlayer slow(rig.clock);
        rig.state.DrawKind = simple ? DrawKind::Simple : DrawKind::Normal;
        rig.GiveSong(seconds, 0);
        slow.AddSong(rig.Song(), 200);
        DrawSequence draw(rig.state, rig.view, rig.clock, slow, rig.random);
        const qint64 start = rig.clock.NowMs();
        draw.Press();
        for (int guard = 0; draw.IsRunning() && guard < 100000; ++guard) {
            rig.clock.AdvanceToNext();
        }
        const qint64 closed = rig.view.TimesOf(QStringLiteral("grid 1")).back() - start;
        const qint64 effectsOver =
            rig.view.TimesOf(QStringLiteral("name")).back() + (simple ? 1000 : 2000) - start;
        if (closedAt >= 0) {
            EXPECT_EQ(closed, closedAt) << mode << seconds;
        } else {
            EXPECT_GE(closed - effectsOver, 0);
            EXPECT_LE(closed - effectsOver, 1000);
        }
        for (const QString& text : rig.view.PlayInfos) {
            EXPECT_TRUE(text.isEmpty() || text == QStringLiteral("0/0")) << text.toStdString();
        }
    }
}

// ---- The introduction and the effects -------------------------------------------------------

DrawRig& introduced(DrawRig& rig) {
    RosterTable& roster = rig.state.Roster;
    roster.SetCell(RosterColumn::BirthYear, 1, QStringLiteral("1985"));
    roster.SetCell(RosterColumn::BirthMonth, 1, QStringLiteral("4"));
    roster.SetCell(RosterColumn::BirthDay, 1, QStringLiteral("1"));
    roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
    roster.SetCell(RosterColumn::BloodType, 1, QStringLiteral("A"));
    roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral("営業部"));
    roster.SetCell(RosterColumn::FavouriteWords, 1, QStringLiteral("一期一会"));
    roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
    roster.SetCell(RosterColumn::Comment, 0, QStringLiteral("ひとこと"));
    roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("P1.JPG"));
    return rig;
}

TEST(DrawIntroduction, ScrollsTheLineThenTypesTheItems) {
    DrawRig rig(1, 1);
    introduced(rig).Open();
    rig.Draw();
    EXPECT_EQ(rig.view.TelopText, QStringLiteral("1985.4.1生 東京 出身  A型 の おひつじ座"));
    EXPECT_FALSE(rig.view.TelopShown);
    EXPECT_EQ(rig.view.TypedLines,
              (QStringList{QStringLiteral("営業部 所属"), QStringLiteral("[好きな言葉]:一期一会"),
                           QStringLiteral("[ひとこと]:よろしく")}));
    EXPECT_EQ(rig.view.TimesOf(QStringLiteral("surface cleared")).size(), 2u);
    // The line moves in steps of a 40th, 20th or 30th of the screen's width, and scrolls out.
    const std::vector<qint64> moves = rig.view.TimesOf(QStringLiteral("telop moved"));
    ASSERT_GE(moves.size(), 2u);
    EXPECT_TRUE(moves[1] - moves[0] == 40 || moves[1] - moves[0] == 50);
}

// The pacing of a normal draw, tick by tick: characters 180 ms apart, a second after each item,
// the photo for three seconds, the name's hold for two.
TEST(DrawIntroduction, PacesEachStep) {
    DrawRig rig(1, 1);
    introduced(rig).Open();
    rig.Draw();
    const auto& events = rig.view.Events;
    std::vector<qint64> typed;
    qint64 lineEnd = -1;
    qint64 nextItem = -1;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].What.startsWith(QStringLiteral("type "))) {
            if (lineEnd >= 0 && nextItem < 0) {
                nextItem = events[i].At;
            }
            if (nextItem < 0) {
                typed.push_back(events[i].At);
            }
        } else if (events[i].What == QStringLiteral("line") && lineEnd < 0) {
            lineEnd = events[i].At;
        }
    }
    ASSERT_EQ(typed.size(), 6u); // 営業部 所属
    for (size_t i = 1; i < typed.size(); ++i) {
        EXPECT_EQ(typed[i] - typed[i - 1], 180);
    }
    EXPECT_EQ(lineEnd - typed.back(), 180);
    EXPECT_EQ(nextItem - lineEnd, 1000);
    const qint64 photo = rig.view.TimesOf(QStringLiteral("photo ")).front();
    const qint64 name = rig.view.TimesOf(QStringLiteral("effects shown")).back();
    EXPECT_EQ(name - photo, 3000);
    const std::vector<qint64> names = rig.view.TimesOf(QStringLiteral("name"));
    EXPECT_EQ(rig.view.TimesOf(QStringLiteral("grid 1")).back() - names.back(), 2000);
}

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

TEST(DrawIntroduction, ASimpleDrawSkipsItAndShowsTheNameInPlace) {
    DrawRig rig(1, 1);
    introduced(rig).Simple();
    // The row, then face, style, speed, start x, start y, final y: 1; no rainbow (2).
    for (int i = 0; i < 6; ++i) {
        rig.random.Push(0.0);
    }
    rig.random.Push(0.000001);
    rig.Open();
    const qint64 start = rig.clock.NowMs();
    rig.Draw();
    EXPECT_TRUE(rig.view.TypedLines.isEmpty());
    EXPECT_TRUE(rig.view.TelopText.isEmpty());
    ASSERT_EQ(rig.view.NameFrames.size(), 26u); // 25 frames and the clean copy
    EXPECT_EQ(rig.view.NameFrames[24].Colour, QColor(250, 250, 250));
    EXPECT_EQ(rig.view.NameFrames[0].X, rig.view.NameFrames[24].X); // style 1: in place
    // The photo for a second and a half, 25 frames of 30 ms and a hold of a second.
    EXPECT_EQ(rig.clock.NowMs() - start, 1500 + 25 * 30 + 1000);
}

TEST(DrawIntroduction, TheDrawKindIsReadAtEachStep) {
    DrawRig rig(1, 1);
    introduced(rig).Open();
    rig.draw->Press();
    rig.clock.AdvanceToNext();
    EXPECT_TRUE(rig.view.TelopShown);
    rig.Simple(); // from the menu, in the middle of the line
    for (int guard = 0; rig.draw->IsRunning() && guard < 100000; ++guard) {
        rig.clock.AdvanceToNext();
    }
    EXPECT_EQ(rig.view.TypedLines.size(), 3);   // the introduction had begun
    EXPECT_EQ(rig.view.NameFrames.size(), 26u); // the animation of a simple draw
}

// ---- Stopping -------------------------------------------------------------------------------

TEST(DrawStop, StoppingAtAnyStepEndsTheDrawCleanly) {
    const auto prepare = [](DrawRig& rig) {
        introduced(rig).GiveSong("30", 100);
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

// What the pools decide, the screen shows: no box in mode 1, beyond the grid or while a draw runs;
// a panel opened by hand is no draw, and closing it empties it.
TEST(DrawByHand, OpeningAndClosingShowOnThePanels) {
    EXPECT_FALSE(DrawRig(3, 1).Open().PanelBoxSwitch(2));
    DrawRig rig(3, 2);
    DrawSequence& draw = rig.Open();
    EXPECT_EQ(draw.PanelBoxSwitch(7), 0);
    EXPECT_FALSE(draw.PanelBoxSwitch(25));
    EXPECT_TRUE(draw.OpenPanelByHand(7));
    EXPECT_EQ(draw.PanelBoxSwitch(7), 1);
    EXPECT_EQ(rig.view.OpenPanels[7].Row, draw.PanelRow(7));
    EXPECT_EQ(rig.view.OpenPanels[7].Name, QStringLiteral("参加者%1").arg(draw.PanelRow(7)));
    EXPECT_EQ(draw.DrawCount(), 0);
    EXPECT_FALSE(rig.state.DrawInProgress);
    draw.ClosePanelByHand(7);
    EXPECT_FALSE(rig.view.OpenPanels.count(7));
    EXPECT_EQ(draw.PanelRow(7), 0);
    for (int k : {0, 1, 2}) {
        draw.OpenPanelByHand(k);
    }
    EXPECT_TRUE(rig.view.Messages.isEmpty());
    draw.OpenPanelByHand(3);
    EXPECT_EQ(rig.view.Messages, QStringList{kNoMoreData});
    EXPECT_FALSE(rig.view.OpenPanels.count(3));
    draw.ClosePanelByHand(2);
    draw.Press();
    EXPECT_FALSE(draw.PanelBoxSwitch(2));
}

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
