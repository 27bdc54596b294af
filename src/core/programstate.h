#pragma once

#include "core/common/textfile.h"
#include "core/config/cardscreenchoices.h"
#include "core/config/settings.h"
#include "core/roster/roster.h"

#include <QHash>
#include <optional>

// Which kind of draw the 抽選 menu has chosen.
enum class DrawKind {
    Normal = 0,
    Simple = -1,
};

// Program-wide state: created once by main and handed by reference to the main window, which
// hands it to each screen it opens. Tests build their own.
struct ProgramState {
    RosterTable Roster;
    bool RosterModified = false;                       // the table holds changes not yet written
    TextEncoding RosterEncoding = TextEncoding::Cp932; // how the roster file is written back
    SettingsRecord Settings;
    QString ProgramFolder;  // ends with the platform's separator
    QString SettingsFolder; // where Mrda.ini is kept when not beside the program, ending with the separator
    ::DrawKind DrawKind = ::DrawKind::Normal;
    bool DrawInProgress = false; // a draw has been started on the open draw screen
    QString FrameLogPath;        // where the draw screen logs the pacing of its frames; empty: nowhere
    // Per card record: the number after the last card printed in this session. A record that could
    // not be written does not give its numbers out again.
    QHash<QString, int> CardNumbersGiven;
    // The card screen's choices as it was last left in this session; none until it first opens.
    std::optional<CardScreenChoices> CardChoices;
};
