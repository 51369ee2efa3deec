// Keyboard focus on the board: which showing tile an arrow key or a vanished tile leads to,
// and what the board has just told the player, in the game's own words, for screen readers.
#pragma once

#include "puzzle/board_model.h"

#include <QString>
#include <QStringList>

namespace horokata {

enum class FocusStep { Left, Right, Up, Down };

// The showing tile nearest to `cell`: the cell itself while its tile shows, otherwise the
// closest one (same row first, then towards the right and the top, where tiles close up).
// -1 when no tile shows.
int nearestShowingTile(const BoardModel &m, int cell);

// The tile an arrow key moves the focus to: the next showing tile in that direction along
// the row or column, skipping empty cells; when the line holds none, the closest showing
// tile on that side of the board. `cell` itself when there is none at all.
int stepToShowingTile(const BoardModel &m, int cell, FocusStep step);

// The counters and flags that mark what happened on the board.
struct BoardMarks {
    int got = 0;
    int miss = 0;
    bool play = false;
};

// Watches the board between two looks and says what a player would notice: the line of a
// found idiom ("03：一石二鳥"), the misses left after a miss ("あと ２回"), and each message
// spelled alone across the board ("…残念至極…", "！拍手喝采！", "再度？新規？", "＊新規開始＊").
class BoardNews {
public:
    // Looks at the board; returns what is new since the last look (empty when nothing is).
    // The first look only takes note.
    QStringList look(const BoardModel &m, const BoardMarks &marks);

private:
    bool seen_ = false;
    BoardMarks last_;
    QString lastRow_;
};

// The message row's text while the board shows that row and nothing else; empty otherwise.
QString messageRowAlone(const BoardModel &m);

} // namespace horokata
