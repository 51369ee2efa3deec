// Sets a game up for a test in ways no player can: a list without a file, chosen hidden
// idioms, a list path, the board model itself.
#pragma once

#include "puzzle/game.h"

#include <vector>

namespace horokata::testing {

struct GameBuilder {
    explicit GameBuilder(Game &game) : game_(game) {}

    // The idioms as if read from a list file: entries 1..n, boards may be dealt.
    GameBuilder &list(const std::vector<QString> &idioms)
    {
        game_.strLIST.assign(1, Idiom());
        for (const QString &idiom : idioms)
            game_.strLIST.emplace_back(idiom);
        game_.intMAX = static_cast<std::int16_t>(idioms.size());
        game_.blnREAD = true;
        return *this;
    }
    // The list read replaced by `entries` (entry 0 unused), as a list file would leave it.
    GameBuilder &listEntries(const std::vector<Idiom> &entries)
    {
        game_.strLIST = entries;
        game_.intMAX = static_cast<std::int16_t>(entries.size() - 1);
        return *this;
    }
    // One more idiom in the list read, after the board was dealt from it.
    GameBuilder &alsoListed(const QString &idiom)
    {
        game_.strLIST.emplace_back(idiom);
        ++game_.intMAX;
        return *this;
    }
    // The path the next READ_FILE reads.
    GameBuilder &listFile(const QString &path)
    {
        game_.strFILE = path;
        return *this;
    }
    // Every hidden idiom set to `idiom`, as left by an earlier board.
    GameBuilder &hiddenIdioms(const QString &idiom)
    {
        game_.strGOKU.fill(idiom);
        return *this;
    }
    // A board in play, whatever lies on it.
    GameBuilder &inPlay()
    {
        game_.blnPLAY = true;
        return *this;
    }
    // Whether `cell` holds a tile, for the close-up rules.
    GameBuilder &holds(int cell, bool filled)
    {
        game_.intMOJI[static_cast<std::size_t>(cell)] = filled ? 1 : 0;
        return *this;
    }
    // The visible state, to change a tile or a line directly.
    BoardModel &model() { return game_.m_; }

private:
    Game &game_;
};

} // namespace horokata::testing
