// The invariants of a board in play, checked by the tests after every handler they run.
#pragma once

#include "puzzle/game.h"

#include <QString>

namespace horokata::testing {

// Returns a description of the first broken invariant, or an empty string.
inline QString checkInvariants(const Game &game)
{
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    const BoardModel &m = game.model();
    if (!game.playing())
        return QString();
    int picked = 0;
    QString pickedChars;
    for (const Tile &t : m.MOJI) {
        if (t.Visible && t.Value == 1) {
            ++picked;
            pickedChars += t.Caption;
        }
    }
    if (picked != game.pickCount())
        return QStringLiteral("intPICK %1 but %2 picked tiles").arg(game.pickCount()).arg(picked);
    if (game.picked().size() != game.pickCount())
        return QStringLiteral("strPICK '%1' does not hold %2 characters").arg(game.picked()).arg(game.pickCount());
    for (QChar ch : game.picked())
        if (!pickedChars.contains(ch))
            return QStringLiteral("strPICK '%1' holds a character of no picked tile").arg(game.picked());
    if (m.lblGOKU != game.picked())
        return QStringLiteral("lblGOKU '%1' differs from strPICK '%2'").arg(m.lblGOKU, game.picked());
    if (game.foundCount() < 0 || game.foundCount() > kIdioms)
        return QStringLiteral("intGOT %1 out of range").arg(game.foundCount());
    int filled = 0;
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m.lblGO[at(k)];
        if (line.Caption.size() > lineNumber(k).size()) {
            ++filled;
            if (k >= game.foundCount())
                return QStringLiteral("line %1 filled beyond intGOT %2").arg(k).arg(game.foundCount());
        }
    }
    if (filled != game.foundCount())
        return QStringLiteral("%1 lines filled but intGOT is %2").arg(filled).arg(game.foundCount());
    int found = 0;
    for (int i = 1; i <= kIdioms; ++i)
        found += game.foundFlags()[at(i)];
    if (found > game.foundCount() || (game.foundCount() > 0 && found == 0))
        return QStringLiteral("%1 found flags for intGOT %2").arg(found).arg(game.foundCount());
    if (game.misses() < 0 || game.misses() > 2)
        return QStringLiteral("intMISS %1 during play").arg(game.misses());
    int lamps = 0;
    for (const Lamp &l : m.chkLIFE)
        lamps += l.Visible ? 1 : 0;
    if (lamps != 3 - game.misses())
        return QStringLiteral("%1 lamps for intMISS %2").arg(lamps).arg(game.misses());
    int tiles = 0;
    for (int i = 0; i < kCells; ++i) {
        if (game.occupiedCells()[at(i)] == 0 && m.MOJI[at(i)].Visible)
            return QStringLiteral("empty cell %1 shows a tile").arg(i);
        if (game.occupiedCells()[at(i)] != 0 && !m.MOJI[at(i)].Visible)
            return QStringLiteral("occupied cell %1 shows no tile").arg(i);
        tiles += game.occupiedCells()[at(i)];
    }
    if (tiles != kCells - 4 * game.foundCount())
        return QStringLiteral("%1 tiles left after %2 finds").arg(tiles).arg(game.foundCount());
    return QString();
}

} // namespace horokata::testing
