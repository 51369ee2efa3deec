// Misses, the end of a board (complete or lost) and the clicks on the board between boards.
#include "puzzle/game.h"

#include "platform/platform.h"
#include "puzzle/game_shared.h"

namespace horokata {

FlowTask<> Game::chkLIFE_MouseUp(int /*index*/)
{
    co_await p_.doEvents();
    if (!blnPLAY || paused_)
        co_return;
    const bool givenUp = co_await ask(DialogMode::GiveUp);
    if (!givenUp)
        co_return;
    if (observer_)
        observer_->boardGivenUp();
    // Giving up counts as the third miss.
    m_.chkLIFE[2].Visible = false;
    m_.chkLIFE[1].Visible = false;
    intMISS = 2;
    co_await SET_OUT();
}

FlowTask<> Game::SET_OUT()
{
    playSound(Sound::Miss);
    cancelPick(); // the picked tiles pop back up and the pick empties
    ++intMISS;
    showLampsAfterMisses(m_.chkLIFE, intMISS);
    if (intMISS >= kLamps)
        blnPLAY = false;
    // The miss is told before a lost board is shown: no close can undo it.
    tellPick(0, QString());
    if (!blnPLAY)
        co_await SET_OVER();
}

FlowTask<> Game::SET_OVER()
{
    clearTiles(false);
    co_await p_.doEvents();
    showMessageRow(kRegretRow);
    co_await p_.doEvents();
    // The idioms not found fill the remaining lines in black.
    for (int n = std::max<int>(intGOT, 0); n < kIdioms; ++n) {
        for (int i = 1; i <= kIdioms; ++i) {
            if (intFIND[at(i)] == 0) {
                m_.lblGO[at(n)].ForeColor = kLineBlack;
                m_.lblGO[at(n)].Caption += strGOKU[at(i)];
                intFIND[at(i)] = 1;
                break;
            }
        }
    }
    co_await p_.doEvents();
    intOVER = 1;
    blnPLAY = false;
}

// The twentieth find: applause on an empty board; the next board gets the next colours.
FlowTask<> Game::boardComplete()
{
    playSound(Sound::BoardComplete);
    blnPLAY = false;
    clearTiles(false); // the last four tiles were just hidden: no tile is left
    showMessageRow(kApplauseRow);
    co_await p_.doEvents();
    intCLEAR = 1;
    wonBoard_ = true;
    ++intCOLOR;
    if (intCOLOR >= kColorSchemes)
        intCOLOR = 0;
}

// While no board is in play the tiles are the game's buttons, differently in each phase.
FlowTask<> Game::clickBetweenBoards(int index, Tile &tile)
{
    switch (phase()) {
    case BoardPhase::Idle:
        if (tile.Value != 0)
            tile.Value = 0; // the tile's own flip is taken back: it is a button now
        co_await cmdNEW_Click();
        break;
    case BoardPhase::Cleared:
        co_await celebrate();
        break;
    case BoardPhase::Lost:
        p_.beep();
        writeMessageRow(kPromptRow);
        intOVER = 2;
        break;
    case BoardPhase::ReplayPrompt: {
        const int answer = messagePosition(index);
        if (answer < 0)
            break;
        if (answer < kReplayAnswerCells)
            co_await cmdRESET_Click();
        else
            co_await cmdNEW_Click();
        break;
    }
    case BoardPhase::Playing:
        break;
    }
}

// The celebration over the board, then the idle title board.
FlowTask<> Game::celebrate()
{
    intCLEAR = 0;
    co_await beginBusyFlow();
    playSound(Sound::CelebrationClick);
    co_await host_.playCelebration();
    co_await SET_INIT();
    writeMessageRow(kTitleRow);
    showAllTiles();
    co_await p_.doEvents();
    co_await endBusyFlow();
}

} // namespace horokata
