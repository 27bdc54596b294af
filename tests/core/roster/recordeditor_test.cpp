#include "core/common/platform.h"
#include "core/programstate.h"
#include "core/roster/recordeditor.h"

#include <gtest/gtest.h>
#include <ostream>
#include <set>

static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

const QString kRowNumberRange = QStringLiteral("1から300の範囲で指定してください。");

// The fields as the screen would hold them, and an editor over a roster whose rows 1 to n are named.
struct Editor : FieldTexts {
    std::array<QString, kFieldCount> texts;
    ProgramState state;
    RecordEditor editor{state, *this};

    explicit Editor(int named = 7) {
        state.Roster.Clear();
        for (int row = 1; row <= named; ++row) {
            state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("名%1").arg(row));
        }
        editor.Open();
    }
    QString FieldText(Field field) const override { return texts[static_cast<int>(field)]; }
    void SetFieldText(Field field, const QString& text) override { texts[static_cast<int>(field)] = text; }
    QString& operator[](Field field) { return texts[static_cast<int>(field)]; }
    // Types into a field and presses Enter there.
    EditStep Leave(Field field, const QString& typed) {
        editor.SetCurrentField(field);
        (*this)[field] = typed;
        return editor.MoveForward();
    }
};

TEST(RecordEditor, RowNumberLoadsAChosenOrFreeRowOrIsRefused) {
    const struct {
        const char16_t *typed, *field0, *name; // name nullptr: refused, the fields keep row 3
    } cases[] = {{u"    ", u"008", u""},     {u"0", u"008", u""},          {u"abc", u"008", u""},
                 {u"5", u"005", u"名5"},     {u"12.5", u"012", u""},       {u"13.5", u"014", u""},
                 {u"300", u"300", u""},      {u"301", u"301", nullptr},    {u"-1", u"   ", nullptr},
                 {u"9999", u"   ", nullptr}, {u"40000", u"40000", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(S(c.typed).toStdString());
        Editor e;
        e.state.Roster.SetCell(RosterColumn::BirthYear, 8,
                               QStringLiteral("1970")); // a freed row keeps its cells
        e.Leave(Field::RowNumber, QStringLiteral("3"));
        const EditStep step = e.Leave(Field::RowNumber, S(c.typed));
        EXPECT_EQ(e[Field::RowNumber], S(c.field0));
        EXPECT_EQ(e[Field::Name], c.name ? S(c.name) : QStringLiteral("名3"));
        EXPECT_EQ(e[Field::BirthYear],
                  S(c.field0) == QStringLiteral("008") ? QStringLiteral("1970") : QString());
        EXPECT_EQ(step.Valid, c.name != nullptr);
        EXPECT_EQ(step.Messages, c.name ? QStringList{} : QStringList{kRowNumberRange});
        EXPECT_EQ(step.ShowPhoto, c.name != nullptr);
        EXPECT_EQ(e.editor.CurrentField(), c.name ? Field::Name : Field::RowNumber); // the spare is skipped
    }
}

TEST(RecordEditor, FullRosterRefusesAFreeRowAndApplyStoresNothing) {
    Editor e(300);
    e.Leave(Field::RowNumber, QStringLiteral("7"));
    const EditStep step = e.Leave(Field::RowNumber, QString());
    EXPECT_EQ(step.Messages, QStringList{QStringLiteral("これ以上名簿に登録出来ません")});
    EXPECT_EQ(e[Field::RowNumber], QStringLiteral("000"));
    EXPECT_EQ(e[Field::Name], QStringLiteral("名7"));
    // Applying now refuses the row number, stores nothing, marks the roster and still empties the fields.
    EXPECT_EQ(e.editor.ApplyConfirmed().Messages,
              QStringList{QStringLiteral("行番号の範囲は 1から 300を指定してください")});
    EXPECT_EQ(e.state.Roster.Cell(RosterColumn::Name, 7), QStringLiteral("名7"));
    EXPECT_TRUE(e.state.RosterModified);
    EXPECT_EQ(e[Field::Name], QString());
}

TEST(RecordEditor, ApplyStoresTrimmedCellsFreesBlankNamesAndRestoresWhatWasApplied) {
    Editor e;
    e.editor.SetCurrentField(Field::Name);
    e.editor.RestoreField(); // before the first apply: the design text
    EXPECT_EQ(e[Field::Name], QStringLiteral("12345678901234567890"));
    e.Leave(Field::RowNumber, QStringLiteral("4"));
    e[Field::Name] = QStringLiteral("  四郎丸  ");
    e[Field::Comment] = QStringLiteral("よろしく\tお願い\r\nします");
    e.editor.EnterField(Field::BirthYear); // filled with spaces, stored empty
    ASSERT_TRUE(e.editor.ApplyQuestion().has_value());
    EXPECT_TRUE(e.editor.ApplyConfirmed().Messages.isEmpty());
    EXPECT_EQ(e.state.Roster.Cell(RosterColumn::Name, 4), QStringLiteral("四郎丸"));
    EXPECT_EQ(e.state.Roster.Cell(RosterColumn::Comment, 4), QStringLiteral("よろしく お願い  します"));
    EXPECT_EQ(e.state.Roster.Cell(RosterColumn::BirthYear, 4), QString());
    EXPECT_TRUE(e.state.RosterModified);
    EXPECT_EQ(e.editor.CurrentField(), Field::RowNumber);
    EXPECT_EQ(QStringList(e.texts.begin(), e.texts.end()).join(QString()), QString()); // all empty
    EXPECT_FALSE(e.editor.ApplyQuestion().has_value()); // a blank row number: applying does nothing
    e.editor.SetCurrentField(Field::Name);
    e.editor.RestoreField();
    EXPECT_EQ(e[Field::Name], QStringLiteral("  四郎丸  "));

    // A blank name frees the row; the next free row is that one, with what it still holds.
    e.Leave(Field::RowNumber, QStringLiteral("2"));
    e[Field::Name] = QStringLiteral(" ");
    e[Field::BirthYear] = QStringLiteral("1980");
    e.editor.ApplyConfirmed();
    EXPECT_FALSE(e.state.Roster.IsInUse(2));
    e.Leave(Field::RowNumber, QString());
    EXPECT_EQ(e[Field::RowNumber], QStringLiteral("002"));
    EXPECT_EQ(e[Field::BirthYear], QStringLiteral("1980"));
}

TEST(RecordEditor, LeavingAFieldNormalisesIt) {
    const struct {
        Field field;
        const char16_t *typed, *after;
    } cases[] = {{Field::BloodType, u"ab", u"AB"},   {Field::SongStart, u"1,234", u"1234"},
                 {Field::SongStart, u"0", u""},      {Field::SongStart, u"12.5", u"13"},
                 {Field::SongStart, u"     ", u""},  {Field::SongSeconds, u"1e2", u"100"},
                 {Field::BirthYear, u"19x", u"19x"}, {Field::Photo, u" a.jpg ", u" a.jpg "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(S(c.typed).toStdString());
        Editor e;
        const EditStep step = e.Leave(c.field, S(c.typed));
        EXPECT_EQ(e[c.field], S(c.after));
        EXPECT_EQ(step.ShowPhoto, c.field == Field::Photo);
    }
}

TEST(RecordEditor, MovesSkipTheSpareAndStopAtTheEnds) {
    const struct {
        Field from;
        bool forward;
        Field to;
        bool apply;
    } moves[] = {
        {Field::BirthYear, true, Field::BirthMonth, false},
        {Field::Photo, true, Field::Excluded, false},
        {Field::Excluded, true, Field::Excluded, true},
        {Field::BirthMonth, false, Field::BirthYear, false},
        {Field::Name, false, Field::RowNumber, false},
        {Field::RowNumber, false, Field::RowNumber, false},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(static_cast<int>(m.from));
        Editor e;
        e.Leave(Field::RowNumber, QStringLiteral("1"));
        e.editor.SetCurrentField(m.from);
        EXPECT_EQ((m.forward ? e.editor.MoveForward() : e.editor.MoveBack()).Apply, m.apply);
        EXPECT_EQ(e.editor.CurrentField(), m.to);
    }
    Editor e; // a refused row number keeps the focus, either way
    EXPECT_FALSE(e.Leave(Field::RowNumber, QStringLiteral("400")).Valid);
    EXPECT_FALSE(e.editor.MoveBack().Valid);
    EXPECT_EQ(e.editor.CurrentField(), Field::RowNumber);
}

TEST(RecordEditor, ClickChecksEveryFieldFromTheCurrentOneDown) {
    Editor e;
    e[Field::RowNumber] = QStringLiteral("7");
    EXPECT_TRUE(e.editor.Click(Field::Photo).ShowPhoto);
    EXPECT_EQ(e[Field::Name], QStringLiteral("名7"));
    EXPECT_EQ(e.editor.CurrentField(), Field::Photo);
    e.editor.Click(Field::BloodType); // upwards: nothing is checked
    e[Field::BloodType] = QStringLiteral("ab");
    e.editor.Click(Field::BirthYear);
    EXPECT_EQ(e[Field::BloodType], QStringLiteral("ab"));
    e.editor.Click(Field::Comment); // down again: the blood type is passed and checked
    EXPECT_EQ(e[Field::BloodType], QStringLiteral("AB"));

    e.editor.SetCurrentField(Field::RowNumber);
    e[Field::RowNumber] = QStringLiteral("400");
    e[Field::SongStart] = QStringLiteral("0");
    const EditStep step = e.editor.Click(Field::Photo);
    EXPECT_FALSE(step.Valid);
    EXPECT_EQ(step.Messages, QStringList{kRowNumberRange});
    EXPECT_EQ(e.editor.CurrentField(), Field::RowNumber);
    EXPECT_EQ(e[Field::SongStart], QStringLiteral("0")); // not reached
}

TEST(RecordEditor, StepButtonsStayWithinTheRoster) {
    const struct {
        const char16_t* typed;
        int step;
        const char16_t* field0;
    } steps[] = {{u"300", 1, u"300"}, {u"", -1, u"001"},  {u"1", -1, u"001"},    {u"", 1, u"001"},
                 {u"5", 1, u"006"},   {u"5", -1, u"004"}, {u"9999", -1, u"300"}, {u"12.5", 1, u"013"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(S(s.typed).toStdString());
        Editor e;
        e[Field::RowNumber] = S(s.typed);
        EXPECT_TRUE(e.editor.StepRow(s.step).Messages.isEmpty());
        EXPECT_EQ(e[Field::RowNumber], S(s.field0));
        EXPECT_EQ(e[Field::Name], e.state.Roster.Cell(RosterColumn::Name, e[Field::RowNumber].toInt()));
    }
}

TEST(RecordEditor, PickListsCycle) {
    Editor e;
    QStringList blood;
    for (const char16_t* before : {u"", u"A", u"O", u"B", u"AB", u"a"}) {
        e[Field::BloodType] = S(before);
        e.editor.NextBloodType();
        blood.append(e[Field::BloodType]);
    }
    EXPECT_EQ(blood.join(u','), QStringLiteral("A,O,B,AB,A,A")); // lower case is not in the cycle
    EXPECT_EQ(e.editor.CurrentField(), Field::BloodType);

    // From anything but a prefecture the cycle starts over, and the focus moves into the field;
    // then it visits all 47, in the program's order, once each.
    e[Field::Birthplace] = QStringLiteral("ハワイ");
    EXPECT_TRUE(e.editor.NextPrefecture());
    QStringList visited{e[Field::Birthplace]};
    for (int i = 0; i < 47; ++i) {
        EXPECT_EQ(e.editor.NextPrefecture(), i == 46) << i;
        visited.append(e[Field::Birthplace]);
    }
    EXPECT_EQ(std::set<QString>(visited.begin(), visited.end()).size(), 47u);
    EXPECT_EQ(visited.mid(12, 2).join(u','), QStringLiteral("東京都,神奈川県"));
    EXPECT_EQ(visited.mid(29, 3).join(u','), QStringLiteral("和歌山県,高知県,愛媛県"));
    EXPECT_EQ(visited.mid(45, 3).join(u','), QStringLiteral("鹿児島県,沖縄県,北海道"));
    EXPECT_EQ(e.editor.CurrentField(), Field::Birthplace);
}

TEST(RecordEditor, RenamedCaptionsAreTrimmedStorableAndUnsaved) {
    const struct {
        Field field;
        const char16_t* answer; // nullptr: cancelled
        const char16_t* caption;
        bool renamed; // the button shows the answer as entered; the roster is unsaved
        TextEncoding encoding;
    } cases[] = {{Field::FavouriteWords, u"  趣味  ", u"趣味", true, TextEncoding::Cp932},
                 {Field::Comment, u"Q&A", u"Q&A", true, TextEncoding::Cp932},
                 // An ideographic space is content, not blank.
                 {Field::Comment, u"\u3000一言\u3000", u"\u3000一言\u3000", true, TextEncoding::Cp932},
                 {Field::FavouriteWords, u" \t ", u"好きな言葉", false, TextEncoding::Cp932},
                 {Field::Comment, nullptr, u"一言", false, TextEncoding::Cp932},
                 {Field::FavouriteWords, u"趣味🎉", u"好きな言葉", false, TextEncoding::Cp932},
                 {Field::FavouriteWords, u"趣味🎉", u"趣味🎉", true, TextEncoding::Utf8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer ? S(c.answer).toStdString() : "cancelled");
        Editor e;
        e.state.RosterEncoding = c.encoding;
        const RosterColumn column = ColumnOf(c.field);
        EXPECT_EQ(e.editor.RenameQuestion(c.field).DefaultAnswer, RosterTable::DefaultCaption(column));
        const std::optional<QString> answer = c.answer ? std::optional(S(c.answer)) : std::nullopt;
        std::optional<QString> shown;
        const EditStep step = e.editor.RenameCaption(c.field, answer, shown);
        EXPECT_EQ(e.state.Roster.Cell(column, 0), S(c.caption));
        EXPECT_EQ(e.editor.LabelCaption(c.field), S(c.caption));
        EXPECT_EQ(shown, c.renamed ? answer : std::nullopt);
        EXPECT_EQ(e.state.RosterModified, c.renamed);
        EXPECT_EQ(step.Messages.size(),
                  answer && answer->contains(QStringLiteral("🎉")) && !c.renamed ? 1 : 0);
        EXPECT_EQ(e.editor.CurrentField(), c.field);
    }
}

TEST(RecordEditor, TypedTextFitsTheFieldAndTheFile) {
    const struct {
        Field field;
        const char16_t *before, *input;
        int cursor;
        const char16_t *kept, *refused; // kept nullptr: the edit is refused as a whole
        TextEncoding encoding = TextEncoding::Cp932;
    } cases[] = {{Field::RowNumber, u"1234", u"12345", 5, u"1234", u""},
                 {Field::SongSeconds, u"", u"12345", 5, u"123", u""}, // pasted: cut before the cursor
                 {Field::RowNumber, u"1234", u"x1234", 0, nullptr, u""},
                 {Field::BirthYear, u"1990年", u"1990年x", 6, u"1990年", u""}, // loaded longer: kept
                 {Field::BirthYear, u"1990年", u"1990", 4, u"1990", u""},
                 {Field::Comment, u"", u"a\tb\r\nc", 5, u"a b  c", u""},
                 {Field::Comment, u"", u"楽しみ🎉です", 7, u"楽しみです", u"🎉"},
                 {Field::Name, u"", u"𠮷野", 3, u"野", u"𠮷"},
                 {Field::Name, u"", u"한a", 2, u"a", u"한"},
                 {Field::Name, u"", u"①髙～ｱ", 4, u"①髙～ｱ", u""},
                 {Field::Name, u"", u"楽🎉", 3, u"楽🎉", u"", TextEncoding::Utf8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(S(c.input).toStdString());
        QString input = S(c.input);
        int cursor = c.cursor;
        QString refused;
        const qsizetype before = S(c.before).size();
        EXPECT_EQ(FitTypedText(c.field, input, cursor, before, c.encoding, refused), c.kept != nullptr);
        if (c.kept) {
            EXPECT_EQ(input, S(c.kept));
        }
        EXPECT_EQ(refused, S(c.refused));
    }
}

TEST(RecordEditor, AuditionPlaysTheFieldsAsTheyStand) {
    const struct {
        const char16_t *start, *seconds;
        qint32 startSecond, playSeconds;
    } cases[] = {{u"30", u"15", 30, 15}, {u"", u"5", 0, 5}, {u"170", u"", 170, 0}, {u"12.5", u"3", 12, 3}};
    for (const auto& c : cases) {
        Editor e;
        e.state.Settings.Musics = QStringLiteral("M");
        e[Field::Song] = QStringLiteral(" theme.mp3 ");
        e[Field::SongStart] = S(c.start);
        e[Field::SongSeconds] = S(c.seconds);
        const AuditionRequest a = e.editor.Audition();
        EXPECT_TRUE(a.Message.isEmpty());
        EXPECT_EQ(a.Path, JoinPath(QStringLiteral("M"), QStringLiteral("theme.mp3")));
        EXPECT_EQ(a.Start, c.startSecond);
        EXPECT_EQ(a.Seconds, c.playSeconds);
    }
    Editor e;
    e[Field::Song] = QStringLiteral("   ");
    EXPECT_EQ(e.editor.Audition().Message, QStringLiteral("音楽ファイルが指定されていません"));
}

} // namespace
