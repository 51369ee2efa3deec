// The player's aids on the board in play: the pause and the hints.
#include "puzzle/game.h"

namespace horokata {

bool Game::setPaused(bool paused)
{
    if (paused == paused_ || (paused && !blnPLAY))
        return false;
    paused_ = paused;
    m_.paused = paused;
    return true;
}

Hint Game::giveHint(const BoardHints::ReadingOf &readingOf)
{
    if (!blnPLAY || paused_)
        return {};
    const Hint hint = hints_.next(strGOKU, intFIND, readingOf);
    // The reading takes the status words' place only while no pick is spelled there.
    if (hint.kind == HintKind::Reading && intPICK == 0) {
        m_.lblGOKU = hint.reading;
        m_.statusTip = hint.reading;
    }
    return hint;
}

std::vector<int> Game::hintedCells() const
{
    if (!blnPLAY)
        return {};
    return horokata::hintedCells(m_, strGOKU, intFIND, hints_.marked());
}

} // namespace horokata
