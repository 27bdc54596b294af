#pragma once

#include "core/roster/pool.h"

#include <QString>
#include <optional>
#include <vector>

class FractionSource;
class RosterTable;

// The game modes of the draw, as the settings number them.
enum class GameMode {
    PanelsInOrder = 1,   // a random participant opens the next panel in order
    RandomPanel = 2,     // a random participant opens a random closed panel
    OwnPanel = 3,        // a random participant with a panel opens their own (row r: panel r - 1)
    OwnPanelNoPhoto = 4, // as OwnPanel, and panels show no photos
};

// The game mode a settings value names; none for any other value (the draw button then draws
// nobody).
std::optional<GameMode> GameModeOf(qint32 setting);

// The draw screen's pools and the choices of each game mode: which participant a draw takes,
// which panel it opens, and what opening or closing a panel by hand does to the pools. A draw is
// never placed on a panel that is open, whatever the pools were given (a game resumed from a
// record with a line that could not be read leaves a gap among the open panels).
//   mode 1: random participant, panels opened in order;
//   mode 2: random participant, random closed panel;
//   modes 3 and 4: random participant among rows that have a panel, opening the row's own
//   panel (row r ↔ panel r - 1).
class DrawPools {
public:
    // Candidates := every eligible row; panels := 0 … n - 1 (modes 1 and 2), 0 … min(n, number of
    // candidates) - 1 (modes 3 and 4), none otherwise. The pools hold at least the grid.
    DrawPools(const RosterTable& roster, std::optional<GameMode> mode, int panelCount);

    std::optional<GameMode> Mode() const { return m_mode; }
    int PanelCount() const { return m_panelCount; }
    const RowPool& Candidates() const { return m_candidates; }
    const RowPool& Panels() const { return m_panels; }

    // The message that refuses a press of the draw button before anything is taken, or empty.
    // drawCount = draws made so far.
    QString Refusal(int drawCount) const;

    // Takes the drawn row; 0 when none is left (modes 3 and 4 drop rows without a panel on the
    // way; the caller then shows NoMoreData()).
    qint16 TakeRow(FractionSource& random);

    // The panel a finished draw opens (drawCount counts this draw); -1 when there is none. Mode 1
    // opens panel drawCount - 1, or the first panel still closed when that one is open.
    int TakePanel(FractionSource& random, int drawCount, qint16 row);
    bool IsOpen(int panel) const;

    // A participant shown on a panel again after the game left off: out of the candidates, the
    // panel out of the closed ones.
    void TakeOut(qint16 row, int panel);

    // The box's mode switch for a panel: 1 when it is not among the closed panels (offer
    // closing), else 0 (offer opening).
    int MenuModeSwitch(int panel) const;

    // Opening a panel by hand: the row it shows, taken out of the pools; 0 when refused (mode 2
    // with no participant left: the caller shows NoMoreData()) or in a mode without the box.
    qint16 OpenByHand(FractionSource& random, int panel);

    // Closing a panel by hand that shows row (tag read back; 0 for an empty tag): the panel
    // and the row return to their pools. Returns false when nothing is to be done (empty tag).
    // A row that may not be drawn (not in use, excluded, or already waiting) is not returned.
    bool CloseByHand(const RosterTable& roster, int panel, qint16 row);

    static QString NoMoreData() { return QStringLiteral("これ以上データが登録されていません"); }
    static QString AllPanelsOpen() {
        return QStringLiteral("全てのパネルが開きました。\r\nこれ以上抽選はできません。");
    }

private:
    std::optional<GameMode> m_mode;
    int m_panelCount;
    RowPool m_candidates;
    RowPool m_panels;
    std::vector<bool> m_open;
    void MarkOpen(int panel, bool open);
};
