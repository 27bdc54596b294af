#pragma once

#include "core/programstate.h"
#include "support/fakeclock.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"
#include "support/scripteddialogs.h"
#include "ui/app/services.h"

// Fakes for every service a screen is handed: scripted dialogs, injected random fractions,
// virtual time and virtual playback. Build one per test, with a ProgramState of its own.
struct TestServices {
    ScriptedDialogs dialogs;
    ScriptedFractions random{0.0};
    FakeClock clock;
    FakeMusicPlayer music{clock};
    Services services{dialogs, random, clock, music};
};

// A state whose roster holds the captions and the given names in rows 1, 2, …
ProgramState StateWithNames(std::initializer_list<const char16_t*> names);
