#include "core/draw/drawpools.h"

#include "core/common/numeric.h"
#include "core/roster/roster.h"

#include <algorithm>

namespace {
int poolCapacity(int panelCount) {
    return std::max(RosterTable::kCapacity, panelCount);
}
} // namespace

std::optional<GameMode> GameModeOf(qint32 setting) {
    if (setting >= 1 && setting <= 4) {
        return static_cast<GameMode>(setting);
    }
    return std::nullopt;
}

namespace {
bool ownPanels(std::optional<GameMode> mode) {
    return mode == GameMode::OwnPanel || mode == GameMode::OwnPanelNoPhoto;
}
} // namespace

DrawPools::DrawPools(const RosterTable& roster, std::optional<GameMode> mode, int panelCount)
    : m_mode(mode), m_panelCount(std::max(0, panelCount)), m_candidates(poolCapacity(panelCount)),
      m_panels(poolCapacity(panelCount)), m_open(static_cast<size_t>(std::max(0, panelCount)), false) {
    CollectEligibleRows(roster, m_candidates, 0);
    int n = 0;
    if (m_mode == GameMode::PanelsInOrder || m_mode == GameMode::RandomPanel) {
        n = m_panelCount;
    } else if (ownPanels(m_mode)) {
        n = std::min<int>(m_panelCount, m_candidates.Count);
    }
    for (int k = 0; k < n; ++k) {
        AppendEntry(m_panels, static_cast<qint16>(k));
    }
}

bool DrawPools::IsOpen(int panel) const {
    return panel >= 0 && panel < m_panelCount && m_open[static_cast<size_t>(panel)];
}

void DrawPools::MarkOpen(int panel, bool open) {
    if (panel >= 0 && panel < m_panelCount) {
        m_open[static_cast<size_t>(panel)] = open;
    }
}

QString DrawPools::Refusal(int drawCount) const {
    if (m_candidates.Count <= 0) {
        return NoMoreData();
    }
    const bool allOpen = std::find(m_open.begin(), m_open.end(), false) == m_open.end();
    if ((m_mode == GameMode::PanelsInOrder && (drawCount >= m_panelCount || allOpen)) ||
        (m_mode == GameMode::RandomPanel && m_panels.Count <= 0)) {
        return AllPanelsOpen();
    }
    return {};
}

qint16 DrawPools::TakeRow(FractionSource& random) {
    if (ownPanels(m_mode)) {
        for (;;) {
            if (m_candidates.Count < 1) {
                return 0;
            }
            // A row whose own panel shows someone already has nowhere to go either.
            const qint16 r = TakeRandomEntry(random, m_candidates);
            if (r <= m_panelCount && !IsOpen(r - 1)) {
                return r;
            }
        }
    }
    if (m_candidates.Count < 1) {
        return 0;
    }
    return TakeRandomEntry(random, m_candidates);
}

int DrawPools::TakePanel(FractionSource& random, int drawCount, qint16 row) {
    int k = -1;
    if (m_mode == GameMode::PanelsInOrder) {
        k = drawCount >= 1 && drawCount <= m_panelCount ? drawCount - 1 : -1;
        if (k >= 0 && IsOpen(k)) {
            const auto closed = std::find(m_open.begin(), m_open.end(), false);
            k = closed == m_open.end() ? -1 : static_cast<int>(closed - m_open.begin());
        }
    } else if (m_mode == GameMode::RandomPanel) {
        while (m_panels.Count > 0 && (k < 0 || IsOpen(k))) {
            k = TakeRandomEntry(random, m_panels);
        }
        k = IsOpen(k) ? -1 : k;
    } else if (ownPanels(m_mode)) {
        RemoveEntry(m_panels, static_cast<qint16>(row - 1));
        k = row >= 1 && row <= m_panelCount && !IsOpen(row - 1) ? row - 1 : -1;
    }
    MarkOpen(k, true);
    return k;
}

void DrawPools::TakeOut(qint16 row, int panel) {
    RemoveEntry(m_candidates, row);
    MarkOpen(panel, true);
    // Mode 1 opens its panels in order and never takes them from the list, as its draws do.
    if (m_mode != GameMode::PanelsInOrder) {
        RemoveEntry(m_panels, static_cast<qint16>(panel));
    }
}

int DrawPools::MenuModeSwitch(int panel) const {
    return FindEntry(m_panels, static_cast<qint16>(panel)) < 1 ? 1 : 0;
}

qint16 DrawPools::OpenByHand(FractionSource& random, int panel) {
    if (m_mode == GameMode::RandomPanel) {
        if (m_candidates.Count < 1) {
            return 0;
        }
        const qint16 r = TakeRandomEntry(random, m_candidates);
        RemoveEntry(m_panels, static_cast<qint16>(panel));
        MarkOpen(panel, true);
        return r;
    }
    if (ownPanels(m_mode)) {
        const qint16 r = static_cast<qint16>(panel + 1);
        RemoveEntry(m_candidates, r);
        RemoveEntry(m_panels, static_cast<qint16>(panel));
        MarkOpen(panel, true);
        return r;
    }
    return 0;
}

bool DrawPools::CloseByHand(const RosterTable& roster, int panel, qint16 row) {
    if ((m_mode != GameMode::RandomPanel && !ownPanels(m_mode)) || row < 1) {
        return false;
    }
    const bool drawable = row <= RosterTable::kCapacity && roster.IsInUse(row) &&
                          NumericValue(roster.Cell(RosterColumn::Excluded, row)) != 1 &&
                          FindEntry(m_candidates, row) < 1;
    if (drawable) {
        AppendEntry(m_candidates, row);
    }
    if (FindEntry(m_panels, static_cast<qint16>(panel)) < 1) {
        AppendEntry(m_panels, static_cast<qint16>(panel));
    }
    MarkOpen(panel, false);
    return true;
}
