// Hints: reading, then mark, then the next idiom; the mark follows its character.
#include "puzzle/board_hints.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

std::array<QString, kIdioms + 1> idioms()
{
    std::array<QString, kIdioms + 1> list;
    for (int k = 1; k <= kIdioms; ++k)
        list[std::size_t(k)] = QStringLiteral("一二三四").replace(0, 1, QChar(0x4E00 + 100 + k));
    return list;
}

} // namespace

TEST(BoardHints, ReadingThenMarkThenTheNextIdiomNotFound)
{
    auto list = idioms();
    std::array<int, kIdioms + 1> found{};
    found[2] = 1; // the second idiom is found: hints pass over it
    // Only the first idiom has a reading; the others get the mark at once.
    const BoardHints::ReadingOf reading = [&](const QString &idiom) {
        return idiom == list[1] ? QStringLiteral("いちにさんし") : QString();
    };
    BoardHints hints;
    Hint h = hints.next(list, found, reading);
    EXPECT_EQ(h.kind, HintKind::Reading);
    EXPECT_EQ(h.idiom, 1);
    EXPECT_EQ(h.reading, QStringLiteral("いちにさんし"));
    h = hints.next(list, found, reading);
    EXPECT_EQ(h.kind, HintKind::Mark);
    EXPECT_EQ(h.idiom, 1);
    h = hints.next(list, found, reading);
    EXPECT_EQ(h.kind, HintKind::Mark);
    EXPECT_EQ(h.idiom, 3);
    EXPECT_EQ(hints.count(), 3);
    EXPECT_EQ(hints.marked(), (std::vector<int>{1, 3}));

    // Every idiom found: nothing to hint, and nothing counted.
    found.fill(1);
    EXPECT_EQ(hints.next(list, found, reading).kind, HintKind::None);
    EXPECT_EQ(hints.count(), 3);
    hints.reset(5); // a resumed board keeps its count, not its marks
    EXPECT_EQ(hints.count(), 5);
    EXPECT_TRUE(hints.marked().empty());
}

TEST(BoardHints, TheMarkFollowsItsCharacterAndLeavesOnceFound)
{
    auto list = idioms();
    std::array<int, kIdioms + 1> found{};
    BoardModel m;
    for (Tile &t : m.MOJI)
        t.Caption = QStringLiteral("字");
    const QString first = list[4].left(1);
    // Two tiles show the first character; the first in reading order (row by row) is marked.
    m.MOJI[std::size_t(cellIndex(5, 2))].Caption = first;
    m.MOJI[std::size_t(cellIndex(1, 3))].Caption = first;
    EXPECT_EQ(hintedCells(m, list, found, {4}), (std::vector<int>{cellIndex(5, 2)}));
    // The tile moved (closing up): the mark goes with the character.
    m.MOJI[std::size_t(cellIndex(5, 2))].Caption = QString();
    m.MOJI[std::size_t(cellIndex(5, 2))].Visible = false;
    EXPECT_EQ(hintedCells(m, list, found, {4}), (std::vector<int>{cellIndex(1, 3)}));
    found[4] = 1;
    EXPECT_TRUE(hintedCells(m, list, found, {4}).empty());
}
