// Dealing a board: the shuffle, new game, replay and the per-board reset.
#include "puzzle/game.h"

#include "platform/platform.h"
#include "puzzle/game_shared.h"

#include <cmath>
#include <numeric>

namespace horokata {

namespace {

// j = floor((n - 1) * r + 1): the shuffle partner of entry n, never n itself for n >= 2.
int partner(int n, float r)
{
    const double product = static_cast<double>(static_cast<float>(n - 1)) * static_cast<double>(r);
    return static_cast<int>(std::floor(product + 1.0));
}

// The stages of a deal, shown by number when one fails.
enum DealStage { kShuffleList = 0, kPickIdioms = 1, kJoinText = 2, kShuffleCells = 3, kLayTiles = 4 };

} // namespace

FlowTask<bool> Game::SET_RND()
{
    int stage = kShuffleList;

    p_.randomize();
    const int count = std::max<int>(intMAX, 0);
    std::vector<int> order(at(count + 1));
    std::iota(order.begin(), order.end(), 0);
    for (int i = count; i >= 1; --i)
        std::swap(order[at(i)], order[at(partner(i, p_.rnd()))]);

    stage = kPickIdioms;
    for (int k = 1; k <= kIdioms; ++k) {
        if (k > count || at(order[at(k)]) >= strLIST.size()) {
            co_await dealStopped(stage);
            co_return false;
        }
        strGOKU[at(k)] = strLIST[at(order[at(k)])];
    }
    co_await p_.doEvents();

    stage = kJoinText;
    QString text;
    for (int k = 1; k <= kIdioms; ++k)
        text += strGOKU[at(k)];
    if (text.size() != kCells) {
        co_await dealStopped(stage);
        co_return false;
    }

    // Cell 0 is never the loop's partner, so it gets one more swap of its own.
    stage = kShuffleCells;
    std::array<int, kCells> cell{};
    std::iota(cell.begin(), cell.end(), 0);
    for (int m = kCells - 1; m >= 1; --m)
        std::swap(cell[at(m)], cell[at(partner(m, p_.rnd()))]);
    std::swap(cell[0], cell[at(partner(kCells - 1, p_.rnd()))]);

    stage = kLayTiles;
    for (int m = 0; m < kCells; ++m)
        strMOJI[at(m)] = text.mid(cell[at(m)], 1);
    for (int i = 0; i < kCells; ++i) {
        m_.MOJI[at(i)].Caption = strMOJI[at(i)];
        intMOJI[at(i)] = 1;
    }
    co_await p_.doEvents();
    dealt_ = true;
    co_return true;
}

// A deal stopped at `stage`: the stage number is shown in a message box.
FlowTask<> Game::dealStopped(int stage)
{
    dealt_ = false;
    co_await p_.notice(QString::number(stage), QString::fromUtf8(kTitle));
}

FlowTask<> Game::dealFailed()
{
    // A board that was not fully dealt is never played: back to the idle title board.
    clearTiles(true);
    intMOJI.fill(0);
    writeMessageRow(kTitleRow);
    blnPLAY = false;
    co_await p_.doEvents();
}

// The deal that new game and level switch share: the start message, the reset, the deal,
// then the board in play, or the idle title board when the deal stopped.
FlowTask<> Game::dealBoard()
{
    practice_ = false;
    m_.lblGOKU.clear();
    co_await showStartMessage(kNewRow);
    co_await SET_INIT();
    const bool ok = co_await SET_RND();
    if (ok) {
        showAllTiles();
        co_await p_.doEvents();
    } else {
        co_await dealFailed();
    }
    blnPLAY = ok;
    if (ok)
        tellStarted(false);
}

FlowTask<> Game::cmdNEW_Click()
{
    if (!blnREAD)
        co_return;
    intCLEAR = 0;
    intOVER = 0;
    if (anyIdiomShown() && blnPLAY) {
        const bool discard = co_await ask(DialogMode::DiscardBoard);
        if (!discard)
            co_return;
    }
    leaveBoard(BoardLeaving::NewBoard);
    blnPLAY = false;
    enterReview(false);
    co_await beginBusyFlow();
    SET_GRADE();
    co_await dealBoard();
    co_await endBusyFlow();
}

FlowTask<> Game::cmdRESET_Click()
{
    // A won board is replayed too, also once the celebration has cleared its lines.
    if (!anyIdiomShown() && intOVER == 0 && !wonBoard_)
        co_return;
    if (!blnREAD || !dealt_)
        co_return;
    co_await beginBusyFlow();
    intCLEAR = 0;
    intOVER = 0;
    leaveBoard(BoardLeaving::Replay);
    blnPLAY = false;
    practice_ = true;
    m_.lblGOKU.clear();
    co_await showStartMessage(kReplayRow);
    co_await SET_INIT();
    for (int i = 0; i < kCells; ++i) {
        m_.MOJI[at(i)].Caption = strMOJI[at(i)];
        m_.MOJI[at(i)].Visible = true;
        intMOJI[at(i)] = 1;
    }
    co_await p_.doEvents();
    blnPLAY = true;
    tellStarted(true);
    co_await endBusyFlow();
}

FlowTask<> Game::SET_INIT()
{
    for (int i : kMessageCells) {
        m_.MOJI[at(i)].Visible = false;
        m_.MOJI[at(i)].Value = 0;
    }
    co_await p_.doEvents();
    for (int k = 0; k < kIdioms; ++k) {
        m_.lblGO[at(k)].Caption = lineNumber(k);
        m_.lblGO[at(k)].ForeColor = kLineGreen;
    }
    for (Lamp &lamp : m_.chkLIFE) {
        lamp.BackColor = kLampGreen;
        lamp.Visible = true;
    }
    co_await p_.doEvents();
    intMISS = 0;
    intGOT = 0;
    intPICK = 0;
    strPICK.clear();
    paused_ = false;
    m_.paused = false;
    hints_.reset();
    showLevelLabel();
    intFIND.fill(0);
}

void Game::SET_GRADE()
{
    if (intGRADE == intCOLOR)
        return;
    m_.paintedScheme = intCOLOR;
    ++m_.gradientPaints;
    intGRADE = intCOLOR;
}

} // namespace horokata
