#include "support/testservices.h"

ProgramState StateWithNames(std::initializer_list<const char16_t*> names) {
    ProgramState state;
    state.Roster.Clear();
    state.Settings.ApplyDefaults();
    int row = 1;
    for (const char16_t* name : names) {
        state.Roster.SetCell(RosterColumn::Name, row++, QString::fromUtf16(name));
    }
    return state;
}
