// The game's rules: start-up of the game state and the small steps every flow shares.
#include "puzzle/game.h"

#include "idioms/levels.h"
#include "puzzle/game_shared.h"
#include "platform/platform.h"

namespace horokata {

Game::Game(ProgramState &globals, Platform &platform, GameHost &host)
    : g_(globals), p_(platform), host_(host)
{
    strLIST.assign(1, Idiom());
}

BoardPhase Game::phase() const
{
    if (blnPLAY)
        return BoardPhase::Playing;
    if (intOVER > 0)
        return intOVER == 1 ? BoardPhase::Lost : BoardPhase::ReplayPrompt;
    return intCLEAR > 0 ? BoardPhase::Cleared : BoardPhase::Idle;
}

// ---------------------------------------------------------------- shared steps

// The first idiom line shows more than its number once an idiom of this board was found
// or revealed: the board then has something to lose.
bool Game::anyIdiomShown() const
{
    return m_.lblGO[0].Caption != lineNumber(0);
}

void Game::playSound(Sound sound)
{
    horokata::playSound(g_, p_, sound);
}

void Game::setEnabled(bool on)
{
    m_.enabled = on;
}

void Game::setBusy(bool busy)
{
    m_.busyPointer = busy;
    p_.setBusyPointer(busy);
}

// A long flow shuts the window and shows the busy pointer before its first painted step,
// so that no click can start a second flow meanwhile.
FlowTask<> Game::beginBusyFlow()
{
    setEnabled(false);
    setBusy(true);
    co_await p_.doEvents();
}

FlowTask<> Game::endBusyFlow()
{
    setBusy(false);
    setEnabled(true);
    co_await p_.doEvents();
}

void Game::clearTiles(bool visible)
{
    for (Tile &t : m_.MOJI) {
        t.Caption.clear();
        t.Value = 0;
        t.Visible = visible;
    }
}

void Game::showAllTiles()
{
    for (Tile &t : m_.MOJI)
        t.Visible = true;
}

// Spells a message on the message row, its tiles not picked; their visibility stays.
void Game::writeMessageRow(const std::array<const char *, kMessageLength> &text)
{
    for (std::size_t k = 0; k < kMessageCells.size(); ++k) {
        Tile &t = m_.MOJI[at(kMessageCells[k])];
        t.Caption = QString::fromUtf8(text[k]);
        t.Value = 0;
    }
}

// Spells a message on the message row and shows its tiles.
void Game::showMessageRow(const std::array<const char *, kMessageLength> &text)
{
    writeMessageRow(text);
    for (int i : kMessageCells)
        m_.MOJI[at(i)].Visible = true;
}

FlowTask<> Game::showStartMessage(std::array<const char *, kMessageLength> text)
{
    // The board empties to the message row, which stays up for the start pause.
    clearTiles(false);
    co_await p_.doEvents();
    showMessageRow(text);
    co_await p_.doEvents();
    co_await p_.sleepMs(kStartPauseMs);
}

FlowTask<bool> Game::ask(DialogMode mode, QString name)
{
    m_.imgOFFTop = kCoverShown;
    p_.beep();
    const bool yes = co_await host_.SET_FORM2(mode, std::move(name));
    m_.imgOFFTop = kCoverHidden;
    co_return yes || !isQuestion(mode);
}

void Game::recoverFromFault()
{
    setEnabled(true);
    setBusy(false);
    m_.imgOFFTop = kCoverHidden;
}

FlowTask<> Game::tellFault(QString what)
{
    co_await ask(DialogMode::FlowFault, std::move(what));
}

// ---------------------------------------------------------------- start-up

FlowTask<> Game::loadFirstList(const QString &programFolder)
{
    intGRADE = 1;
    blnPLAY = false;
    clearTiles(true);
    writeMessageRow(kTitleRow);
    g_.setLevelLabel(QString::fromUtf8(levelAt(kStartLevel).label));
    g_.setProgramFolder(withTrailingSeparator(programFolder));
    g_.makeAllLevelsChoosable();
    co_await readLevelFile(kStartLevel);
    if (g_.listReadFailed()) {
        g_.setListReadFailed(false);
        g_.setLevelLabel(kNoLevel);
        m_.lblGOKU = kTroubleWords;
    }
}

void Game::beginLoading()
{
    setEnabled(false);
    setBusy(true);
}

void Game::finishLoad()
{
    if (g_.levelLabel() == kNoLevel) {
        m_.lblLEVEL = kNoLevel;
        m_.lblGOKU = kTroubleWords;
    } else {
        m_.lblLEVEL = QString::fromUtf8(levelAt(kStartLevel).label);
        m_.lblGOKU = kReadyWords;
    }
    m_.lblGOKUColor = kStatusGreen;
}

void Game::endLoading()
{
    setBusy(false);
    setEnabled(true);
}

} // namespace horokata
