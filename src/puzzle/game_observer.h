// What the game tells whoever keeps its records, at the moments the board changes for good.
#pragma once

#include <QString>

namespace horokata {

// Why a board in play was left before its end.
enum class BoardLeaving {
    NewBoard, // 新規
    Replay,   // 再度
    Level,    // another level chosen
};

// Called by the game from its flows. Every call but boardLeft comes when the board is at
// rest (no tile moving, nothing waiting), so the observer may read and save the board then.
class GameObserver {
public:
    virtual ~GameObserver() = default;
    // A board is laid out and in play, its start pause over: a new deal, or 再度 (`replay`).
    virtual void boardStarted(bool replay) = 0;
    // The board in play is left for another (its state is still the one left).
    virtual void boardLeft(BoardLeaving why) = 0;
    // A pick of four was checked: `idiom` is the hidden idiom found (1..20) with the pick as
    // spelled, or 0 for a miss. A find is told once its tiles have closed up; a miss at once,
    // before a lost board is shown.
    virtual void pickChecked(int idiom, const QString &spelled) = 0;
    // The player gave the board up at the lamps (told before the lamps go out).
    virtual void boardGivenUp() = 0;
    // The pick was taken back or the tiles closed up by a press on the board.
    virtual void pickTakenBack() = 0;
};

} // namespace horokata
