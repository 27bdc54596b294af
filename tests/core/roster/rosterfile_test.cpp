#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "support/fakes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char* name) {
    QFile f(QStringLiteral(MIRDA_TEST_DATA "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << name;
        return {};
    }
    return f.readAll();
}

RosterTable read(const QByteArray& bytes, TextEncoding* encoding = nullptr) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    RosterTable roster;
    TextEncoding e = TextEncoding::Cp932;
    ReadRoster(buffer, roster, e);
    if (encoding) {
        *encoding = e;
    }
    return roster;
}

QByteArray write(const RosterTable& roster, TextEncoding encoding) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(WriteRoster(buffer, roster, encoding, error)) << error.toStdString();
    return buffer.data();
}

TEST(RosterFile, RoundTripsByteForByte) {
    for (const char* name : {"roster_cp932.txt", "roster_utf8.txt", "roster_utf8_bom.txt"}) {
        const QByteArray original = fixture(name);
        TextEncoding encoding;
        const RosterTable roster = read(original, &encoding);
        const QByteArray written = write(roster, encoding);
        EXPECT_EQ(written.toHex(' ').toStdString(), original.toHex(' ').toStdString()) << name;
    }
}

TEST(RosterFile, KeepsShiftJisSpecialsAndRenamedCaptions) {
    TextEncoding encoding;
    const RosterTable r = read(fixture("roster_cp932.txt"), &encoding);
    EXPECT_EQ(encoding, TextEncoding::Cp932);
    EXPECT_EQ(r.Cell(RosterColumn::Name, 1), QStringLiteral("髙橋 一郎"));
    EXPECT_EQ(r.Cell(RosterColumn::Comment, 1), QStringLiteral("①番乗り～です"));
    EXPECT_EQ(r.Cell(RosterColumn::FavouriteWords, 0), QStringLiteral("座右の銘"));
    EXPECT_EQ(r.Cell(RosterColumn::Comment, 0), QStringLiteral(" 意気込み ")); // kept untrimmed
    EXPECT_EQ(r.Cell(RosterColumn::Excluded, 2), QStringLiteral("1"));
    RosterTable cleared = r;
    cleared.Clear();
    EXPECT_EQ(cleared.Cell(RosterColumn::FavouriteWords, 0), QStringLiteral("好きな言葉"));
    EXPECT_EQ(cleared.Cell(RosterColumn::Name, 1), QString());
}

TEST(RosterFile, LineEndsFieldCountsAndCaptions) {
    // CR alone ends a line; a lone LF stays inside its cell and is written back as it is.
    const RosterTable cr = read(fixture("roster_cr_only.txt"));
    EXPECT_EQ(cr.Cell(RosterColumn::Comment, 1), QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(cr.Cell(RosterColumn::Name, 2), QStringLiteral("川口")); // unterminated last line
    EXPECT_TRUE(write(cr, TextEncoding::Cp932).contains("\x88\xea\x8d\x73\x96\xda\n"));

    // Without a caption line the first participant lands in slot 0 and gives columns 7 and 8.
    const RosterTable nc = read(fixture("roster_no_captions.txt"));
    EXPECT_EQ(nc.Cell(RosterColumn::Name, 0), QStringLiteral("氏名"));
    EXPECT_EQ(nc.Cell(RosterColumn::FavouriteWords, 0), QStringLiteral("一期一会"));
    EXPECT_EQ(nc.Cell(RosterColumn::BirthYear, 0), QStringLiteral("生年"));
    EXPECT_EQ(nc.Cell(RosterColumn::Name, 1), QStringLiteral("佐藤 花子"));
    EXPECT_EQ(nc.Cell(RosterColumn::Comment, 0), QStringLiteral("①番乗り～です"));

    const RosterTable big = read(fixture("roster_400.txt"));
    EXPECT_EQ(big.Cell(RosterColumn::Name, 300), QStringLiteral("人300"));

    const RosterTable ragged = read(fixture("roster_ragged.txt"));
    EXPECT_EQ(ragged.Cell(RosterColumn::BirthYear, 1), QStringLiteral("1999"));
    EXPECT_EQ(ragged.Cell(RosterColumn::BirthMonth, 1), QString());
    EXPECT_FALSE(ragged.IsInUse(2));
    EXPECT_EQ(ragged.Cell(RosterColumn::BirthMonth, 2), QStringLiteral("2"));
    EXPECT_EQ(ragged.Cell(RosterColumn::Excluded, 3), QStringLiteral("13"));

    const RosterTable empty = read(QByteArray());
    EXPECT_EQ(empty.Cell(RosterColumn::Name, 0), QStringLiteral("氏名"));
    EXPECT_FALSE(empty.IsInUse(1));
}

TEST(RosterFile, BlankNamesAreDroppedAndRowsRenumber) {
    RosterTable r;
    r.Clear();
    r.SetCell(RosterColumn::Name, 1, QStringLiteral("一"));
    r.SetCell(RosterColumn::Name, 2, QStringLiteral("  "));
    r.SetCell(RosterColumn::Photo, 2, QStringLiteral("ghost.jpg"));
    r.SetCell(RosterColumn::Name, 3, QStringLiteral("三"));
    r.SetCell(RosterColumn::Comment, 3, QStringLiteral("a\tb\rc")); // TAB and CR would break the file
    const RosterTable back = read(write(r, TextEncoding::Cp932));
    EXPECT_EQ(back.Cell(RosterColumn::Name, 2), QStringLiteral("三"));
    EXPECT_EQ(back.Cell(RosterColumn::Comment, 2), QStringLiteral("a b c"));
    EXPECT_FALSE(back.IsInUse(3));

    RosterTable never; // captions never set: nothing at all is written
    EXPECT_TRUE(write(never, TextEncoding::Cp932).isEmpty());
}

TEST(RosterFile, RefusesCharactersCp932CannotHold) {
    RosterTable r;
    r.Clear();
    r.SetCell(RosterColumn::Name, 1, QStringLiteral("一"));
    r.SetCell(RosterColumn::Name, 2, QStringLiteral("二"));
    r.SetCell(RosterColumn::Comment, 2, QStringLiteral("楽しみ🎉"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_FALSE(WriteRoster(buffer, r, TextEncoding::Cp932, error));
    EXPECT_TRUE(buffer.data().isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("行番号 2"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("一言")));
    EXPECT_TRUE(WriteRoster(buffer, r, TextEncoding::Utf8, error));
}

class RosterOnDisk : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState state;
    RecordingMessages messages;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(RosterOnDisk, LoadReportsAnUnreadableFileAndClears) {
    state.Roster.SetCell(RosterColumn::Name, 5, QStringLiteral("old"));
    state.RosterModified = true;
    state.Settings.RosterFilePath = path("missing.txt");
    LoadRoster(state, messages);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_EQ(messages.Shown[0], QStringLiteral("error no = 2\r\n") + path("missing.txt") +
                                     QStringLiteral(" が読めません。\r\n") +
                                     QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_FALSE(state.RosterModified);
    EXPECT_FALSE(state.Roster.IsInUse(5));
    EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 0), QStringLiteral("氏名"));
}

TEST_F(RosterOnDisk, FailedSaveKeepsTheOldFileAndTheFlag) {
    const QString file = path("r.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old content\r\n");
    f.close();
    state.Roster.Clear();
    state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("😀"));
    state.RosterModified = true;
    state.Settings.RosterFilePath = file;
    EXPECT_FALSE(SaveRoster(state, messages));
    EXPECT_TRUE(state.RosterModified);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old content\r\n"));
    f.close();

    state.Settings.RosterFilePath = path("no/such/folder/r.txt");
    state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("ok"));
    EXPECT_FALSE(SaveRoster(state, messages));
    EXPECT_TRUE(state.RosterModified);
    ASSERT_EQ(messages.Shown.size(), 2);
    EXPECT_TRUE(messages.Shown[1].contains(path("no/such/folder/r.txt")));
    EXPECT_TRUE(messages.Shown[1].contains(QStringLiteral("エラー番号=")));

    state.Settings.RosterFilePath = file;
    EXPECT_TRUE(SaveRoster(state, messages));
    EXPECT_FALSE(state.RosterModified);
    LoadRoster(state, messages);
    EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("ok"));
}

} // namespace

namespace {

// Blank means only ASCII spaces: a name of any other white space is a participant, kept by the
// file, the pool and the cards alike.
struct NameCase {
    const char* label;
    const char16_t* name;
    bool inUse;
};

class BlankName : public ::testing::TestWithParam<NameCase> {};

TEST_P(BlankName, DecidesTheRowAlikeEverywhere) {
    RosterTable r;
    r.Clear();
    r.SetCell(RosterColumn::Name, 1, QString::fromUtf16(GetParam().name));
    r.SetCell(RosterColumn::Photo, 1, QStringLiteral("P.JPG"));
    r.SetCell(RosterColumn::Name, 2, QStringLiteral("二"));
    EXPECT_EQ(r.IsInUse(1), GetParam().inUse);
    // A row not in use is not written: the next participant moves up into its place.
    const RosterTable back = read(write(r, TextEncoding::Cp932));
    EXPECT_EQ(back.Cell(RosterColumn::Name, 1),
              GetParam().inUse ? QString::fromUtf16(GetParam().name) : QStringLiteral("二"));
    EXPECT_EQ(back.Cell(RosterColumn::Photo, 1), GetParam().inUse ? QStringLiteral("P.JPG") : QString());
}

INSTANTIATE_TEST_SUITE_P(Names, BlankName,
                         ::testing::Values(NameCase{"Spaces", u"   ", false}, NameCase{"Empty", u"", false},
                                           NameCase{"LineFeed", u"\n", true},
                                           NameCase{"IdeographicSpace", u"\u3000", true},
                                           NameCase{"SpacedName", u"  山田  ", true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RosterCaptions, OnlySpacesGiveTheDefaultCaptions) {
    const QString header = QStringLiteral("氏名\t生年\t月\t日\t血液型\t出身地\t所属\t%1\t%2\r\n");
    RosterTable spaces;
    spaces.Parse(header.arg(QStringLiteral("   "), QStringLiteral(" ")));
    EXPECT_EQ(spaces.Cell(RosterColumn::FavouriteWords, 0), QStringLiteral("好きな言葉"));
    EXPECT_EQ(spaces.Cell(RosterColumn::Comment, 0), QStringLiteral("一言"));
    RosterTable wide;
    wide.Parse(header.arg(QStringLiteral("\u3000"), QStringLiteral("座右の銘")));
    EXPECT_EQ(wide.Cell(RosterColumn::FavouriteWords, 0), QStringLiteral("\u3000"));
    EXPECT_EQ(wide.Cell(RosterColumn::Comment, 0), QStringLiteral("座右の銘"));
}

TEST(RosterParse, CountsTheParticipantsBeyondTheLastRow) {
    QString text = QStringLiteral("氏名\r\n");
    for (int i = 1; i <= 305; ++i) {
        text += QStringLiteral("人%1\t1990\r\n").arg(i);
    }
    text += QStringLiteral("  \t1990\r\n\r\n"); // blank names beyond the table are nobody
    RosterTable r;
    EXPECT_EQ(r.Parse(text), 5);
    EXPECT_EQ(r.Cell(RosterColumn::Name, 300), QStringLiteral("人300"));
    EXPECT_EQ(r.Parse(QStringLiteral("氏名\r\n一\r\n")), 0);
}

TEST(RosterReport, TellsATextFromSomethingElse) {
    RosterTable r;
    EXPECT_FALSE(ReadRoster(fixture("roster_cp932.txt"), r).PlainlyNotText());
    EXPECT_FALSE(ReadRoster(fixture("roster_utf8.txt"), r).PlainlyNotText());
    EXPECT_TRUE(ReadRoster(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), r).PlainlyNotText());
    EXPECT_TRUE(ReadRoster(QByteArray("\xFD\xFE\xA0\x80\x85\x40\x86\x40", 8), r).PlainlyNotText());
    EXPECT_FALSE(ReadRoster(QByteArray("ok\x80\x8E\x81\x96\xBC\x93\xFA", 9), r).PlainlyNotText());
}

class LoadOnDisk : public RosterOnDisk {};

TEST_F(LoadOnDisk, SaysHowManyParticipantsWereNotRead) {
    state.Settings.RosterFilePath = QStringLiteral(MIRDA_TEST_DATA "/roster_400.txt");
    LoadRoster(state, messages);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("100 人は読み込んでいません")))
        << messages.Shown[0].toStdString();
    EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 300), QStringLiteral("人300"));
}

TEST_F(LoadOnDisk, AFolderInTheFilesPlaceGivesTheSystemsNumber) {
    QDir().mkpath(path("folder.txt"));
    state.Settings.RosterFilePath = path("folder.txt");
    LoadRoster(state, messages);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("error no = %1\r\n").arg(EISDIR)));
    EXPECT_TRUE(SaveRoster(state, messages) == false);
    ASSERT_EQ(messages.Shown.size(), 2);
    EXPECT_TRUE(messages.Shown[1].contains(
        QStringLiteral("エラー番号=%1\r\n%2").arg(EISDIR).arg(QString::fromLocal8Bit(std::strerror(EISDIR)))))
        << messages.Shown[1].toStdString();
}

} // namespace
