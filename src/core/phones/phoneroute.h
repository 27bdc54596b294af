#pragma once

#include <QString>

// What a request asks for, read from its path alone. Only these paths exist; every other one is
// nothing and counts as a guess, but for the few that browsers ask of any site by themselves.
struct PhoneRoute {
    enum class Kind {
        None,      // 404
        CardPage,  // /c/<token> (or /C/<token>, as printed codes have it)
        CardJson,  // /c/<token>/card.json
        Photo,     // /c/<token>/photo/<cell>
        Claim,     // /c/<token>/bingo
        Live,      // /c/<token>/live (a WebSocket)
        FreshCard, // /new
        Icon,      // /favicon.ico, which browsers ask of any site
    };
    Kind What = Kind::None;
    QString Token;
    int Cell = -1;
    bool Guess = false; // a None that counts as a guess
};

// The route of a request's target exactly as it arrived: nothing is decoded, so a percent sign
// anywhere makes it no path of a card.
PhoneRoute RouteOf(const QString& encodedPath);
