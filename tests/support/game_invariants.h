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
    if (!game.blnPLAY)
        return QString();
    int picked = 0;
    QString pickedChars;
    for (const Tile &t : m.MOJI) {
        if (t.Visible && t.Value == 1) {
            ++picked;
            pickedChars += t.Caption;
        }
    }
    if (picked != game.intPICK)
        return QStringLiteral("intPICK %1 but %2 picked tiles").arg(game.intPICK).arg(picked);
    if (game.strPICK.size() != game.intPICK)
        return QStringLiteral("strPICK '%1' does not hold %2 characters").arg(game.strPICK).arg(game.intPICK);
    for (QChar ch : game.strPICK)
        if (!pickedChars.contains(ch))
            return QStringLiteral("strPICK '%1' holds a character of no picked tile").arg(game.strPICK);
    if (m.lblGOKU != game.strPICK)
        return QStringLiteral("lblGOKU '%1' differs from strPICK '%2'").arg(m.lblGOKU, game.strPICK);
    if (game.intGOT < 0 || game.intGOT > kIdioms)
        return QStringLiteral("intGOT %1 out of range").arg(game.intGOT);
    int filled = 0;
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m.lblGO[at(k)];
        if (line.Caption.size() > lineNumber(k).size()) {
            ++filled;
            if (k >= game.intGOT)
                return QStringLiteral("line %1 filled beyond intGOT %2").arg(k).arg(game.intGOT);
        }
    }
    if (filled != game.intGOT)
        return QStringLiteral("%1 lines filled but intGOT is %2").arg(filled).arg(game.intGOT);
    int found = 0;
    for (int i = 1; i <= kIdioms; ++i)
        found += game.intFIND[at(i)];
    if (found > game.intGOT || (game.intGOT > 0 && found == 0))
        return QStringLiteral("%1 found flags for intGOT %2").arg(found).arg(game.intGOT);
    if (game.intMISS < 0 || game.intMISS > 2)
        return QStringLiteral("intMISS %1 during play").arg(game.intMISS);
    int lamps = 0;
    for (const Lamp &l : m.chkLIFE)
        lamps += l.Visible ? 1 : 0;
    if (lamps != 3 - game.intMISS)
        return QStringLiteral("%1 lamps for intMISS %2").arg(lamps).arg(game.intMISS);
    int tiles = 0;
    for (int i = 0; i < kCells; ++i) {
        if (game.intMOJI[at(i)] == 0 && m.MOJI[at(i)].Visible)
            return QStringLiteral("empty cell %1 shows a tile").arg(i);
        if (game.intMOJI[at(i)] != 0 && !m.MOJI[at(i)].Visible)
            return QStringLiteral("occupied cell %1 shows no tile").arg(i);
        tiles += game.intMOJI[at(i)];
    }
    if (tiles != kCells - 4 * game.intGOT)
        return QStringLiteral("%1 tiles left after %2 finds").arg(tiles).arg(game.intGOT);
    return QString();
}

} // namespace horokata::testing
