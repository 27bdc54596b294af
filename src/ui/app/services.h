#pragma once

#include "core/phones/venueaddresses.h"

#include <functional>

class Clock;
class Dialogs;
class FractionSource;
class MusicPlayer;

// What every screen is handed besides the program state: the dialog seam, the one random
// generator, the clock that paces every timer, and song playback. The program passes the real
// ones; tests pass fakes. The network addresses phones may reach this computer on, too: tests
// give the loopback.
struct Services {
    Dialogs& dialogs;
    FractionSource& random;
    Clock& clock;
    MusicPlayer& music;
    std::function<std::vector<QHostAddress>()> networkAddresses = VenueAddresses;
};
