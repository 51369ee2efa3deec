// Reading a level's idiom list into the game, and switching level from the level menu.
#include "puzzle/game.h"

#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"
#include "platform/platform.h"
#include "puzzle/game_shared.h"

#include <optional>

namespace horokata {

FlowTask<> Game::READ_FILE(int index)
{
    if (!p_.fileExistsNormal(strFILE)) {
        co_await refuseList(index, DialogMode::FileMissing);
        co_return;
    }
    const std::int64_t size = p_.fileLength(strFILE);
    if (!listSizeAcceptable(size)) {
        co_await refuseList(index, DialogMode::FileInvalid);
        co_return;
    }

    // Load: the old list goes; any failure from here on is a read error.
    strLIST.assign(1, Idiom());
    intMAX = 0;
    std::optional<ParsedIdiomList> parsed = readIdiomListFile(strFILE, listCapacity(size));
    if (!parsed) {
        co_await readError(index);
        co_return;
    }
    strLIST = std::move(parsed->entries);
    if (strLIST.empty())
        strLIST.assign(1, Idiom());
    intMAX = static_cast<std::int16_t>(parsed->count);
    blnREAD = true;
}

// A list file that is missing or has an unusable size: told, and the level greyed out for good.
FlowTask<> Game::refuseList(int index, DialogMode why)
{
    const QString name = levelFileName(index); // named: a temporary by value into a coroutine is mishandled
    co_await ask(why, name);
    g_.setListReadFailed(true);
    if (index >= 0 && index < kLevelCount)
        g_.setLevelChoosable(index, false);
}

// A list that passed the size test but could not be read: told, then the program closes,
// which ends this flow and the one that asked for the list.
FlowTask<> Game::readError(int index)
{
    const QString name = levelFileName(index); // named: a temporary by value into a coroutine is mishandled
    co_await ask(DialogMode::ReadError, name);
    strLIST.assign(1, Idiom());
    intMAX = 0;
    co_await p_.doEvents();
    co_await host_.closeMainWindow();
}

FlowTask<> Game::readLevelFile(int index)
{
    if (index < 0 || index >= kLevelCount)
        co_return;
    strFILE = g_.programFolder() + QString::fromUtf8(levelAt(index).fileName);
    co_await READ_FILE(index);
}

FlowTask<> Game::NEW_FILE(int index)
{
    if (index < 0 || index >= kLevelCount)
        co_return;
    intOVER = 0;
    intCLEAR = 0;
    if (anyIdiomShown()) {
        const bool discard = co_await ask(DialogMode::DiscardLevelBoard);
        if (!discard)
            co_return;
    }

    const Level &level = levelAt(index);
    co_await readLevelFile(index);
    if (g_.listReadFailed()) {
        g_.setListReadFailed(false);
        co_return;
    }
    g_.setLevel(index);

    leaveBoard(BoardLeaving::Level);
    blnPLAY = false;
    enterReview(false);
    co_await beginBusyFlow();
    SET_GRADE();
    g_.setLevelLabel(QString::fromUtf8(level.label));
    m_.lblLEVEL = g_.levelLabel();
    m_.lblLEVELName.clear();
    for (Tile &t : m_.MOJI) {
        t.BackColor = level.tileBack;
        t.ForeColor = level.tileFore;
    }
    co_await dealBoard();
    co_await endBusyFlow();
}

} // namespace horokata
