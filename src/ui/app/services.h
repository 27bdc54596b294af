#pragma once

class Clock;
class Dialogs;
class FractionSource;
class MusicPlayer;

// What every screen is handed besides the program state: the dialog seam, the one random
// generator, the clock that paces every timer, and song playback. The program passes the real
// ones; tests pass fakes.
struct Services {
    Dialogs& dialogs;
    FractionSource& random;
    Clock& clock;
    MusicPlayer& music;
};
