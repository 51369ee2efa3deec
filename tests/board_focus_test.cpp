// Arrow keys on a board with empty cells: where the focus goes when its line holds no tile ahead.
#include "puzzle/board_focus.h"

#include <gtest/gtest.h>

using namespace horokata;

TEST(BoardFocusTest, AnArrowWithNoTileAheadInItsLine)
{
    BoardModel m;
    const auto hide = [&m](int column, int row) { m.MOJI[static_cast<std::size_t>(cellIndex(column, row))].Visible = false; };
    // Row 2 keeps only its three rightmost tiles; the rows above and below are full.
    for (int column = 0; column < 7; ++column)
        hide(column, 2);
    // Left from the row's first tile: the closest tile one column over, the row above on a tie.
    EXPECT_EQ(stepToShowingTile(m, cellIndex(7, 2), FocusStep::Left), cellIndex(6, 1));

    // At the board's edge nothing lies ahead: the focus stays where it is, never sideways,
    // also on a cell whose tile has just vanished.
    EXPECT_EQ(stepToShowingTile(m, cellIndex(9, 0), FocusStep::Right), cellIndex(9, 0));
    EXPECT_EQ(stepToShowingTile(m, cellIndex(4, 0), FocusStep::Up), cellIndex(4, 0));
    hide(9, 5);
    hide(3, 7);
    EXPECT_EQ(stepToShowingTile(m, cellIndex(9, 5), FocusStep::Right), cellIndex(9, 5));
    EXPECT_EQ(stepToShowingTile(m, cellIndex(3, 7), FocusStep::Down), cellIndex(3, 7));
}
