#pragma once

#include "core/draw/drawlistener.h"

#include <QString>
#include <functional>
#include <memory>

class DrawRecorder;
class DrawSequence;
class ScreenBoxes;
struct ProgramState;
struct Services;

// The draw screen's part in the draw record: when the screen opens, it offers to go on with the
// game left off today (or says why it cannot) and writes the game's first line; then a line for
// every panel opened or closed, and the last when the screen closes. A line that cannot be
// written does not stop the draw: the screen tells it at its next quiet moment. Also the history
// of the game (H), read back from the record.
class DrawRecordKeeper : private DrawListener {
public:
    DrawRecordKeeper(ProgramState& state, Services& services, DrawSequence& sequence, ScreenBoxes& boxes);
    ~DrawRecordKeeper() override;

    // Opens the record of today's game. False when the screen went while the question was open.
    bool Begin();
    bool IsOpen() const { return m_recorder != nullptr; }
    // Tells a write failure not yet told. False when the screen went while the message was open.
    bool TellFailure();
    // The screen closes: the game's last line.
    void End();
    // 抽選履歴: who was drawn, in order, with the time.
    void ShowHistory();

    // Told after every line about a panel (the claims waiting may hold a line now).
    std::function<void()> PanelsChanged;

private:
    void PanelOpened(qint16 row, int panel, bool byHand) override;
    void PanelClosed(qint16 row, int panel) override;

    ProgramState& m_state;
    Services& m_services;
    DrawSequence& m_sequence;
    ScreenBoxes& m_boxes;
    std::unique_ptr<DrawRecorder> m_recorder;
};
