// A board as the store keeps it: the deal itself, and the board in play at rest, with the
// checks that refuse anything the rules of play could not have produced.
#pragma once

#include "idioms/idiom.h"
#include "puzzle/board_model.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace horokata {

// Longest clock a board may carry; a longer one is not a time the game measured.
constexpr std::int64_t kMaxPlayMs = 7LL * 24 * 60 * 60 * 1000;
// Most hints a board may carry (one a second for a day is far more than any player asks).
constexpr int kMaxHints = 100000;
// Misses a board still in play may carry: the third ends it.
constexpr int kMaxRestingMisses = kLamps - 1;

// A board as dealt: what 再度 needs to lay it out again.
struct DealtBoard {
    std::int64_t boardId = 0;
    int level = 0;                          // level index 0..3
    bool review = false;                    // dealt from the notebook (the level gives the colours)
    std::int64_t dealtAtMs = 0;             // when it was dealt, ms since the epoch (UTC)
    std::array<QString, kCells> strMOJI;    // each cell's character as dealt, cell order
    std::array<QString, kIdioms> strGOKU;   // the twenty hidden idioms, strGOKU(1..20) at 0..19
};

// The board in play at a moment of rest: everything needed to lay it out again exactly as
// it was. The status words, the level label, the line numbers and colours, and the lamps
// follow from these fields (lamps: intMISS of them are out, as after intMISS misses).
struct SavedBoard {
    std::int64_t boardId = 0;   // the board dealt (see DealtBoard)
    std::int64_t attemptId = 0; // this attempt at it (再度 starts another)
    int level = 0;              // level index 0..3 of the board
    bool review = false;        // a review board, dealt from the notebook

    std::array<QString, kCells> strMOJI;  // each cell's character as dealt
    std::array<QString, kIdioms> strGOKU; // the twenty hidden idioms, strGOKU(1..20) at 0..19
    std::array<bool, kIdioms> intFIND{};  // hidden idiom k + 1 has been found

    // What side-panel line n shows after its number "01：": the idiom as the player spelled
    // it (a listed idiom in another order of a hidden idiom's characters counts as that idiom),
    // or "" for a line not yet used. Lines fill in the order found.
    std::array<QString, kIdioms> lines;

    std::array<QString, kCells> captions; // MOJI(i).Caption now (tiles move as the board closes up)
    std::array<bool, kCells> intMOJI{};   // a tile stands (is shown) in cell i
    std::vector<int> pick;                // the cells picked so far, in the order picked (0..3)

    int intMISS = 0;         // misses so far, 0..2
    int intCOLOR = 0;        // colour scheme for the next board, 0..6
    int intGRADE = 0;        // colour scheme painted behind this board, 0..6
    std::int64_t playMs = 0; // the play clock
    bool paused = false;     // the board was paused when saved: it comes back paused
    int hints = 0;           // hints given on this board so far
    bool practice = false;   // a replay of a board already tried: played and kept, never a record

    // Idioms found so far: the lines in use.
    int intGOT() const;
    // strPICK: the characters of the picked cells, in order.
    QString strPICK() const;
};

// Why a board cannot be laid out, or "" when it can. `levelList` is the board's level's
// idiom list as read (entry 0 of a list read by the game is empty and ignored).
// A dealt board: the level in range, twenty idioms of four characters each from the list,
// and eighty tiles that are exactly their characters.
QString checkDealtBoard(const DealtBoard &board, const std::vector<Idiom> &levelList);
// A board at rest, additionally: the found flags and lines agree (each line spells a found
// idiom's characters and is in the list), the tiles standing are exactly the dealt tiles
// less the found idioms' characters, every row is closed up to the right, the pick holds
// distinct standing cells, misses 0..2, schemes 0..6, the clock 0..kMaxPlayMs.
QString checkSavedBoard(const SavedBoard &board, const std::vector<Idiom> &levelList);

} // namespace horokata
