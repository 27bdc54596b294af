// The record cycle, driven by the case files in tests/data/recordeditor: each case starts an
// editor over a roster whose rows 1 to 7 are named 名1 … 名7 (or as many as named=N says) and runs
// its steps in order; a step whose name ends in ? checks what it names. Fields and roster columns
// are numbers; see the files for the steps.
#include "core/common/platform.h"
#include "core/programstate.h"
#include "core/roster/recordeditor.h"
#include "support/casefile.h"

#include <gtest/gtest.h>

namespace {

struct Editor : FieldTexts {
    std::array<QString, kFieldCount> texts;
    ProgramState state;
    RecordEditor editor{state, *this};
    EditStep step;
    std::optional<QString> shown;
    bool moved = false;

    QString FieldText(Field field) const override { return texts[static_cast<int>(field)]; }
    void SetFieldText(Field field, const QString& text) override { texts[static_cast<int>(field)] = text; }

    // Performs an action, or returns what a check names.
    QString Run(const QString& name, const QString& arg, const std::optional<QString>& value) {
        const Field field = Field(arg.toInt());
        const RosterColumn column = RosterColumn(arg.section(u'.', 0, 0).toInt());
        const int row = arg.section(u'.', 1).toInt();
        const auto flag = [](bool b) { return QString::number(int(b)); };
        if (name == u"cell") {
            state.Roster.SetCell(column, row, *value);
        } else if (name == u"set") {
            texts[static_cast<int>(field)] = *value;
        } else if (name == u"at" || name == u"leave") { // the field edited, typed into, left with Enter
            editor.SetCurrentField(field);
            texts[static_cast<int>(field)] = value.value_or(texts[static_cast<int>(field)]);
            step = name == u"leave" ? editor.MoveForward() : step;
        } else if (name == u"forward" || name == u"back") {
            step = name == u"forward" ? editor.MoveForward() : editor.MoveBack();
        } else if (name == u"click") {
            step = editor.Click(field);
        } else if (name == u"steprow") {
            step = editor.StepRow(arg.toInt());
        } else if (name == u"apply") {
            step = editor.ApplyConfirmed();
        } else if (name == u"restore") {
            editor.SetCurrentField(field);
            editor.RestoreField();
        } else if (name == u"enter") {
            editor.EnterField(field);
        } else if (name == u"blood") {
            editor.NextBloodType();
        } else if (name == u"pref") {
            moved = editor.NextPrefecture();
        } else if (name == u"rename") {
            step = editor.RenameCaption(field, value, shown);
        } else if (name == u"utf8") {
            state.RosterEncoding = TextEncoding::Utf8;
        } else if (name == u"field?") {
            return texts[static_cast<int>(field)];
        } else if (name == u"fields?") {
            return QStringList(texts.begin(), texts.end()).join(u'|');
        } else if (name == u"cell?") {
            return state.Roster.Cell(column, row);
        } else if (name == u"current?") {
            return QString::number(static_cast<int>(editor.CurrentField()));
        } else if (name == u"valid?" || name == u"photo?" || name == u"applies?") {
            return flag(name == u"valid?" ? step.Valid : name == u"photo?" ? step.ShowPhoto : step.Apply);
        } else if (name == u"messages?") {
            return step.Messages.join(u'/');
        } else if (name == u"modified?") {
            return flag(state.RosterModified);
        } else if (name == u"question?") {
            return editor.ApplyQuestion().value_or(QStringLiteral("none"));
        } else if (name == u"moved?") {
            return flag(moved);
        } else if (name == u"default?") {
            return editor.RenameQuestion(field).DefaultAnswer;
        } else if (name == u"caption?") { // the label, the roster's caption, what the button shows
            return editor.LabelCaption(field) + u'|' + state.Roster.Cell(ColumnOf(field), 0) + u'|' +
                   shown.value_or(QStringLiteral("none"));
        } else if (name == u"audition?") {
            const AuditionRequest a = editor.Audition();
            return !a.Message.isEmpty() ? a.Message
                                        : QStringLiteral("%1|%2|%3").arg(a.Path).arg(a.Start).arg(a.Seconds);
        } else {
            return QStringLiteral("<no such step>");
        }
        return QString();
    }
};

TEST(RecordEditor, CasesFromData) {
    const int cases = ForEachCase(
        QStringLiteral("recordeditor"), QStringLiteral("*.txt"),
        [](const std::string& where, const QStringList& steps) {
            Editor e;
            const bool sized = steps[0].startsWith(QStringLiteral("named="));
            const int named = sized ? steps[0].mid(6).toInt() : 7;
            e.state.Roster.Clear();
            for (int row = 1; row <= named; ++row) {
                e.state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("名%1").arg(row));
            }
            e.state.Settings.Musics = QStringLiteral("M");
            e.editor.Open();
            for (const QString& step : steps.mid(sized ? 1 : 0)) {
                const qsizetype equals = step.indexOf(u'=');
                const QString key = equals < 0 ? step : step.left(equals);
                const std::optional<QString> value =
                    equals < 0 ? std::nullopt
                               : std::optional(QString::fromUtf8(UnescapeCase(step.mid(equals + 1))));
                const QString result = e.Run(key.section(u':', 0, 0), key.section(u':', 1), value);
                if (key.contains(u'?')) {
                    EXPECT_EQ(result.toStdString(), value.value_or(QString()).toStdString())
                        << where << "\n"
                        << key.toStdString();
                } else {
                    ASSERT_TRUE(result.isEmpty()) << where << "\n" << key.toStdString();
                }
            }
        });
    EXPECT_GE(cases, 40);
}

} // namespace
