// Picking tiles, checking the pick, clearing a found idiom and closing up the board.
#include "puzzle/game.h"

#include "platform/platform.h"
#include "puzzle/game_shared.h"

#include <algorithm>

namespace horokata {

namespace {

// A gap is filled from at most this many columns to its left: a find removes four tiles.
constexpr int kMaxPull = 4;

// The hidden idiom a pick finds in another order: many idioms are listed in both orders
// (閉門蟄居 and 蟄居閉門), and a pick that spells a listed idiom with the very characters
// of a hidden idiom not yet found is a correct idiom, not a miss. Returns that idiom's
// number, or 0 when the pick is not listed or no idiom still hidden has its characters.
int hiddenIdiomRespelled(const Game &game)
{
    const auto sorted = [](QString s) {
        std::sort(s.begin(), s.end());
        return s;
    };
    const QString chars = sorted(game.picked());
    int found = 0;
    for (int i = 1; i <= kIdioms && found == 0; ++i)
        if (game.foundFlags()[at(i)] == 0 && sorted(game.hiddenIdioms()[at(i)]) == chars)
            found = i;
    if (found == 0)
        return 0;
    const int listed = std::min<int>(game.idiomCount(), static_cast<int>(game.idiomList().size()) - 1);
    for (int n = 1; n <= listed; ++n)
        if (game.idiomList()[at(n)] == game.picked())
            return found;
    return game.respellListed(game.picked()) ? found : 0;
}

} // namespace

// ---------------------------------------------------------------- picking

void Game::MOJI_MouseDown(int index, MouseButton button)
{
    if (index < 0 || index >= kCells || paused_)
        return;
    if (blnPLAY && button == MouseButton::Left && m_.MOJI[at(index)].Value != 0)
        blnHOLD = true;
}

void Game::MOJI_Flip(int index)
{
    if (index < 0 || index >= kCells || paused_)
        return;
    Tile &t = m_.MOJI[at(index)];
    t.Value = t.Value ? 0 : 1;
}

void Game::takeBackPress()
{
    blnHOLD = false;
}

FlowTask<> Game::clickTile(int index, MouseButton button)
{
    MOJI_MouseDown(index, button);
    if (button == MouseButton::Left)
        MOJI_Flip(index);
    co_await MOJI_MouseUp(index, button);
}

void Game::cancelPick()
{
    blnHOLD = false;
    for (Tile &t : m_.MOJI)
        if (t.Value != 0)
            t.Value = 0;
    intPICK = 0;
    strPICK.clear();
    m_.lblGOKU.clear();
}

FlowTask<> Game::MOJI_MouseUp(int index, MouseButton button)
{
    // A paused board takes no pick: only going on uncovers it.
    if (index < 0 || index >= kCells || paused_)
        co_return;
    Tile &tile = m_.MOJI[at(index)];
    if (!blnPLAY) {
        co_await clickBetweenBoards(index, tile);
    } else if (button == MouseButton::Left) {
        co_await pickTile(tile);
    } else {
        setEnabled(false);
        cancelPick();
        setEnabled(true);
        tellTakeBack();
    }
}

// A left click on a tile during play: the fourth picked tile has the pick checked.
FlowTask<> Game::pickTile(Tile &tile)
{
    if (blnHOLD) {
        // The press was on a tile already picked: it stays picked and adds nothing.
        blnHOLD = false;
        tile.Value = 1;
        co_return;
    }
    ++intPICK;
    if (intPICK > kPickLength)
        co_return;
    strPICK += tile.Caption;
    m_.lblGOKU = strPICK;
    if (intPICK == kPickLength) {
        setEnabled(false);
        co_await SET_CHECK();
        setEnabled(true);
    }
}

FlowTask<> Game::picBACK_MouseDown(MouseButton button)
{
    if (paused_)
        co_return;
    if (button == MouseButton::Left) {
        setEnabled(false);
        // Tiles that move lose their selection, so a pending pick would be left naming
        // characters of tiles no longer picked: when tiles are about to move, the press on
        // the board takes the pick back. On a packed board the pick stays.
        if (intPICK > 0 && movePending())
            cancelPick();
        co_await SET_MOVE();
        setEnabled(true);
    } else {
        cancelPick();
    }
    tellTakeBack();
}

FlowTask<> Game::SET_CHECK()
{
    const QString spelled = strPICK;
    for (int i = 1; i <= kIdioms; ++i) {
        if (strPICK == strGOKU[at(i)]) {
            intFIND[at(i)] = 1;
            ++intGOT;
            co_await SET_CLS();
            tellPick(i, spelled);
            co_return;
        }
    }
    // The line shows the idiom as spelled (SET_CLS writes the pick); strGOKU keeps the dealt
    // spelling for a replay, and the found flag keeps the idiom out of a lost board's answers.
    if (const int i = hiddenIdiomRespelled(*this); i > 0) {
        intFIND[at(i)] = 1;
        ++intGOT;
        co_await SET_CLS();
        tellPick(i, spelled);
        co_return;
    }
    co_await SET_OUT();
}

// ---------------------------------------------------------------- clearing and moving

FlowTask<> Game::SET_CLS()
{
    if (intGOT < kIdioms)
        playSound(Sound::IdiomFound);
    for (int i = 0; i < kCells; ++i) {
        if (m_.MOJI[at(i)].Value != 0) {
            m_.MOJI[at(i)].Visible = false;
            intMOJI[at(i)] = 0;
        }
    }
    if (intGOT >= 1 && intGOT <= kIdioms)
        m_.lblGO[at(intGOT - 1)].Caption += strPICK;
    intPICK = 0;
    strPICK.clear();
    m_.lblGOKU.clear();

    if (intGOT == kIdioms)
        co_await boardComplete();
    else
        co_await SET_MOVE();
}

FlowTask<> Game::moveTile(int s, int d)
{
    intMOJI[at(s)] = 0;
    intMOJI[at(d)] = 1;
    co_await p_.doEvents();
    Tile &dst = m_.MOJI[at(d)];
    dst.Caption = m_.MOJI[at(s)].Caption;
    dst.Value = 0;
    dst.Visible = true;
    m_.MOJI[at(s)].Visible = false;
    co_await p_.doEvents();
}

// The tile that closes up into empty `cell`: the nearest one to its left in the same row,
// or -1 when there is none within reach.
int Game::closeUpSource(int cell) const
{
    for (int step = 1; step <= kMaxPull; ++step) {
        const int s = cell - step * kRows;
        if (s < 0)
            break;
        if (intMOJI[at(s)] != 0)
            return s;
    }
    return -1;
}

// After the rows are closed up to the right, a row is empty when its rightmost cell is:
// an empty row takes the row below it.
bool Game::rowTakesRowBelow(int row) const
{
    const int last = kColumns - 1;
    return intMOJI[at(cellIndex(last, row))] == 0 && intMOJI[at(cellIndex(last, row + 1))] != 0;
}

bool Game::movePending() const
{
    for (int i = kRows; i < kCells; ++i)
        if (intMOJI[at(i)] == 0 && closeUpSource(i) >= 0)
            return true;
    for (int row = 0; row < kRows - 1; ++row)
        if (rowTakesRowBelow(row))
            return true;
    return false;
}

FlowTask<> Game::SET_MOVE()
{
    // First, close gaps to the right within each row, rightmost column first.
    for (int i = kCells - 1; i >= kRows; --i) {
        if (intMOJI[at(i)] == 0) {
            const int s = closeUpSource(i);
            if (s >= 0)
                co_await moveTile(s, i);
        }
        co_await p_.doEvents();
    }
    // Then an empty row takes the row below it, from the right edge to the first gap. A row
    // moves up one row per call, so two empty rows need more than one press to close.
    co_await p_.doEvents();
    for (int row = 0; row < kRows - 1; ++row) {
        co_await p_.doEvents();
        if (!rowTakesRowBelow(row))
            continue;
        for (int column = kColumns - 1; column >= 0; --column) {
            const int d = cellIndex(column, row + 1);
            if (intMOJI[at(d)] == 0)
                break;
            if (intMOJI[at(d - 1)] != 0)
                break; // never move onto a tile: the row above was not packed
            co_await moveTile(d, d - 1);
        }
    }
}

} // namespace horokata
