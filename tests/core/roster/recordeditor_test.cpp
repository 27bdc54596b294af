// The record cycle, driven by the case files in tests/data/recordeditor: each case starts an
// editor over a roster whose rows 1 to 7 are named 名1 … 名7 (or as many as named=N says) and runs
// its steps in order (see RunScripts). Fields and roster columns are numbers; see the files for the steps.
#include "core/common/platform.h"
#include "core/programstate.h"
#include "core/roster/recordeditor.h"
#include "support/scriptstep.h"

#include <gtest/gtest.h>

namespace {

struct Editor : FieldTexts {
    std::array<QString, kFieldCount> texts;
    ProgramState state;
    RecordEditor editor{state, *this};
    EditStep step;
    std::optional<QString> shown;
    bool moved = false;
    int named = 7;
    bool opened = false;

    QString FieldText(Field field) const override { return texts[static_cast<int>(field)]; }
    void SetFieldText(Field field, const QString& text) override { texts[static_cast<int>(field)] = text; }

    // Performs an action, or returns what a check names. The editor opens at the first step that is
    // not a roster's set-up.
    QString Step(const ScriptStep& s) {
        const QString& name = s.Name;
        const Field field = Field(s.Index());
        const RosterColumn column = RosterColumn(s.Column());
        const int row = s.Row();
        const std::optional<QString> value = s.HasValue ? std::optional(s.Value) : std::nullopt;
        const auto flag = [](bool b) { return QString::number(int(b)); };
        if (name == u"named") {
            named = s.Value.toInt();
            return QString();
        }
        if (!opened) {
            opened = true;
            state.Roster.Clear();
            for (int r = 1; r <= named; ++r) {
                state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("名%1").arg(r));
            }
            state.Settings.Musics = QStringLiteral("M");
            editor.Open();
        }
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
            step = editor.StepRow(s.Index());
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
    EXPECT_GE(RunScripts<Editor>(QStringLiteral("recordeditor"),
                                 [](const std::string& failed) { ADD_FAILURE() << failed; }),
              40);
}

} // namespace
