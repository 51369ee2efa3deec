// Tiles closing up after a find: gaps closed to the right, empty rows lifted, one move at a time.
#include "puzzle/saved_board.h"
#include "support/game_fixture.h"

#include <map>

using namespace horokata;
using namespace horokata::testing;

namespace {

constexpr int cellAt(int column, int row) { return column * kRows + row; }

// Which caption stands in which cell; cells not listed are empty.
using Layout = std::map<int, QString>;

class MoveTest : public GameTest {
protected:
    // A board in play whose row r holds tiles in the columns listed for it, each with its own mark.
    Layout build(const std::array<std::vector<int>, kRows> &columnsOfRow)
    {
        Layout layout;
        for (int row = 0; row < kRows; ++row)
            for (int column : columnsOfRow[static_cast<std::size_t>(row)])
                layout[cellAt(column, row)] = QString(QChar(static_cast<char16_t>(0x4E00 + cellAt(column, row))));
        apply(layout);
        return layout;
    }
    // Laid out as a resumed board is, in play, with the cells of `pick` picked.
    void apply(const Layout &layout, std::vector<int> pick = {})
    {
        SavedBoard b;
        for (int i = 0; i < kCells; ++i) {
            const bool filled = layout.count(i) != 0;
            b.intMOJI[static_cast<std::size_t>(i)] = filled;
            b.captions[static_cast<std::size_t>(i)] = filled ? layout.at(i) : QStringLiteral("跡"); // a cleared tile keeps its caption
        }
        b.pick = std::move(pick);
        game.resumeBoard(b);
    }
    Layout current() const
    {
        Layout layout;
        for (int i = 0; i < kCells; ++i) {
            const bool filled = game.occupiedCells()[static_cast<std::size_t>(i)] != 0;
            EXPECT_EQ(game.model().MOJI[static_cast<std::size_t>(i)].Visible, filled) << "cell " << i;
            if (filled)
                layout[i] = game.model().MOJI[static_cast<std::size_t>(i)].Caption;
        }
        return layout;
    }
    static std::vector<int> full() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}; }
    static std::vector<int> rightmost(int n)
    {
        std::vector<int> out;
        for (int c = kColumns - n; c < kColumns; ++c)
            out.push_back(c);
        return out;
    }
    // Row `to` of `expected` takes the tiles of row `from` of `before`, column for column.
    static void moveRow(Layout &expected, const Layout &before, int from, int to)
    {
        for (int c = 0; c < kColumns; ++c) {
            expected.erase(cellAt(c, to));
            const auto it = before.find(cellAt(c, from));
            if (it != before.end())
                expected[cellAt(c, to)] = it->second;
        }
    }
    static void emptyRow(Layout &layout, int row)
    {
        for (int c = 0; c < kColumns; ++c)
            layout.erase(cellAt(c, row));
    }

    // The moves as the snapshots show them, checking that each paint shows at most one move.
    std::vector<std::pair<int, int>> movesPainted() const
    {
        std::vector<std::pair<int, int>> moves;
        for (std::size_t n = 1; n < snapshots.size(); ++n) {
            const Snapshot &a = snapshots[n - 1], &b = snapshots[n];
            std::vector<int> shown, hidden, emptied, filled;
            for (int i = 0; i < kCells; ++i) {
                const auto u = static_cast<std::size_t>(i);
                if (!a.model.MOJI[u].Visible && b.model.MOJI[u].Visible)
                    shown.push_back(i);
                if (a.model.MOJI[u].Visible && !b.model.MOJI[u].Visible)
                    hidden.push_back(i);
                if (a.intMOJI[u] && !b.intMOJI[u])
                    emptied.push_back(i);
                if (!a.intMOJI[u] && b.intMOJI[u])
                    filled.push_back(i);
            }
            EXPECT_LE(shown.size(), 1u) << "paint " << n;
            EXPECT_LE(hidden.size(), 1u) << "paint " << n;
            EXPECT_EQ(shown.size(), hidden.size()) << "paint " << n;
            if (shown.size() == 1 && hidden.size() == 1) {
                EXPECT_EQ(b.model.MOJI[static_cast<std::size_t>(shown[0])].Caption,
                          a.model.MOJI[static_cast<std::size_t>(hidden[0])].Caption) << "paint " << n;
            }
            EXPECT_LE(emptied.size(), 1u) << "paint " << n;
            EXPECT_EQ(emptied.size(), filled.size()) << "paint " << n;
            if (emptied.size() == 1 && filled.size() == 1)
                moves.emplace_back(emptied[0], filled[0]);
        }
        return moves;
    }
};

TEST_F(MoveTest, GapsInARowCloseToTheRightNearestTileFirst)
{
    // Row 2 lost its four rightmost tiles; row 6 (seven tiles) lost two from its middle.
    std::array<std::vector<int>, kRows> rows;
    rows.fill(full());
    rows[2] = {0, 1, 2, 3, 4, 5};
    rows[6] = {3, 4, 6, 7, 9};
    const Layout before = build(rows);
    recordSnapshots();
    horokata::testing::runFlow(game.SET_MOVE());

    Layout expected = before;
    emptyRow(expected, 2);
    for (int c = 0; c <= 5; ++c)
        expected[cellAt(c + 4, 2)] = before.at(cellAt(c, 2));
    emptyRow(expected, 6);
    const std::vector<int> from6 = {3, 4, 6, 7, 9};
    for (int n = 0; n < 5; ++n)
        expected[cellAt(5 + n, 6)] = before.at(cellAt(from6[static_cast<std::size_t>(n)], 6));
    EXPECT_EQ(current(), expected);

    const std::vector<std::pair<int, int>> moves = movesPainted();
    const std::vector<std::pair<int, int>> row2 = {
        {cellAt(5, 2), cellAt(9, 2)}, {cellAt(4, 2), cellAt(8, 2)}, {cellAt(3, 2), cellAt(7, 2)},
        {cellAt(2, 2), cellAt(6, 2)}, {cellAt(1, 2), cellAt(5, 2)}, {cellAt(0, 2), cellAt(4, 2)}};
    std::vector<std::pair<int, int>> seen2;
    for (const auto &m : moves)
        if (rowOf(m.first) == 2)
            seen2.push_back(m);
    EXPECT_EQ(seen2, row2);
    EXPECT_EQ(moves.size(), 6u + 4u);
}

TEST_F(MoveTest, AnEmptiedRowIsFilledByLiftingEveryRowBelow)
{
    std::array<std::vector<int>, kRows> rows;
    rows.fill(full());
    rows[3] = {};            // its last four tiles were just found
    rows[5] = rightmost(7);
    rows[6] = rightmost(5);
    rows[7] = rightmost(3);
    const Layout before = build(rows);
    recordSnapshots();
    horokata::testing::runFlow(game.SET_MOVE());

    Layout expected = before;
    for (int row = 3; row < 7; ++row)
        moveRow(expected, before, row + 1, row);
    emptyRow(expected, 7);
    EXPECT_EQ(current(), expected);
    EXPECT_EQ(movesPainted().size(), 10u + 7u + 5u + 3u);
}

TEST_F(MoveTest, TwoAdjacentEmptyRowsNeedASecondRun)
{
    std::array<std::vector<int>, kRows> rows;
    rows.fill(full());
    rows[2] = {};
    rows[3] = {};
    rows[5] = rightmost(8);
    rows[6] = rightmost(6);
    rows[7] = rightmost(4);
    const Layout before = build(rows);
    horokata::testing::runFlow(game.SET_MOVE());

    Layout once = before;
    for (int row = 3; row < 7; ++row)
        moveRow(once, before, row + 1, row);
    emptyRow(once, 7);
    EXPECT_EQ(current(), once);

    // The player's press on the bare board runs the movement again, with the window disabled.
    recordSnapshots();
    horokata::testing::runFlow(game.picBACK_MouseDown(MouseButton::Left));
    Layout twice = before;
    for (int row = 2; row < 6; ++row)
        moveRow(twice, before, row + 2, row);
    emptyRow(twice, 6);
    emptyRow(twice, 7);
    EXPECT_EQ(current(), twice);
    ASSERT_FALSE(snapshots.empty());
    for (const Snapshot &s : snapshots)
        EXPECT_FALSE(s.model.enabled);
    EXPECT_TRUE(model().enabled);
    movesPainted();
}

TEST_F(MoveTest, APressOnTheBoardTakesBackAPendingPickBeforeTilesMove)
{
    std::array<std::vector<int>, kRows> rows;
    rows.fill(full());
    rows[2] = {};
    rows[3] = {};
    build(rows);
    // Pick two tiles of rows that the press will lift.
    horokata::testing::runFlow(game.clickTile(7 * kRows + 5, MouseButton::Left));
    horokata::testing::runFlow(game.clickTile(8 * kRows + 6, MouseButton::Left));
    ASSERT_EQ(game.pickCount(), 2);
    horokata::testing::runFlow(game.picBACK_MouseDown(MouseButton::Left));
    EXPECT_EQ(game.pickCount(), 0);
    EXPECT_EQ(game.picked(), QString());
    EXPECT_EQ(model().lblGOKU, QString());
    for (const Tile &t : model().MOJI)
        EXPECT_EQ(t.Value, 0);
}

TEST_F(MoveTest, APackedBoardDoesNotChange)
{
    std::array<std::vector<int>, kRows> rows;
    rows[0] = full();
    rows[1] = rightmost(9);
    rows[2] = rightmost(4);
    rows[3] = rightmost(1);
    rows[4] = rightmost(6);
    const Layout before = build(rows);
    // A pick in progress stays as it is.
    horokata::testing::runFlow(game.clickTile(cellAt(9, 1), MouseButton::Left));
    horokata::testing::runFlow(game.clickTile(cellAt(6, 2), MouseButton::Left));
    const QStringList state = visibleState(game);

    recordSnapshots();
    horokata::testing::runFlow(game.picBACK_MouseDown(MouseButton::Left));
    horokata::testing::runFlow(game.SET_MOVE());
    EXPECT_EQ(visibleState(game), state);
    EXPECT_EQ(current(), before);
    EXPECT_TRUE(movesPainted().empty());
    EXPECT_EQ(game.pickCount(), 2);
}

TEST_F(MoveTest, AMovedTileIsNeverLeftSelected)
{
    std::array<std::vector<int>, kRows> rows;
    rows.fill(full());
    rows[4] = {0, 1, 2, 3, 4, 5, 6};
    apply(build(rows), {cellAt(6, 4), cellAt(2, 4)});
    horokata::testing::runFlow(game.SET_MOVE());
    for (int c = 3; c < kColumns; ++c)
        EXPECT_EQ(tile(cellAt(c, 4)).Value, 0) << "column " << c;
    EXPECT_EQ(tile(cellAt(9, 4)).Caption, QString(QChar(static_cast<char16_t>(0x4E00 + cellAt(6, 4)))));
}

TEST_F(MoveTest, FoundIdiomsLeaveEveryRowPackedToTheRight)
{
    // Real boards: after every find each row's tiles stand against the right edge without gaps.
    setList(generatedIdioms(60));
    for (unsigned seed = 1; seed <= 30; ++seed) {
        platform.seed(seed);
        horokata::testing::runFlow(game.cmdNEW_Click());
        for (int k = 1; k < kIdioms; ++k) {
            ASSERT_TRUE(findIdiom(k));
            for (int row = 0; row < kRows; ++row) {
                bool gap = false;
                for (int c = kColumns - 1; c >= 0; --c) {
                    const bool filled = game.occupiedCells()[static_cast<std::size_t>(cellAt(c, row))] != 0;
                    if (!filled)
                        gap = true;
                    ASSERT_FALSE(gap && filled) << "seed " << seed << " find " << k << " row " << row;
                }
            }
            ASSERT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();
        }
    }
}

} // namespace
