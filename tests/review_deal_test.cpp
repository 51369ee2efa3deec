// A review board in the game: dealt from its own idioms beside the level's list, replayed by
// 再度, and left by 新規.
#include "support/game_fixture.h"

#include <set>

using namespace horokata;
using namespace horokata::testing;

namespace {

class ReviewDealTest : public GameTest {};

TEST_F(ReviewDealTest, DealsFromItsIdiomsKeepsTheLevelListAndLeavesOnNew)
{
    std::vector<QString> all = generatedIdioms(60);
    setList({all.begin(), all.begin() + 30});
    const std::vector<QString> review(all.begin() + 30, all.begin() + 50);
    horokata::testing::runFlow(game.dealReview(review));
    ASSERT_TRUE(game.playing());
    EXPECT_TRUE(game.reviewing());
    EXPECT_EQ(game.model().lblLEVEL, QStringLiteral("＜復習＞"));
    EXPECT_EQ(std::set<QString>(game.hiddenIdioms().begin() + 1, game.hiddenIdioms().end()),
              std::set<QString>(review.begin(), review.end()));
    EXPECT_EQ(game.idiomCount(), 30);
    EXPECT_EQ(QString(game.idiomList()[1]), all[0]);

    // 再度 lays the review board out again, still a review, now as practice.
    ASSERT_TRUE(findIdiom(3));
    const auto dealt = game.dealtCharacters();
    horokata::testing::runFlow(game.cmdRESET_Click());
    EXPECT_TRUE(game.reviewing());
    EXPECT_EQ(game.dealtCharacters(), dealt);
    EXPECT_EQ(game.model().lblLEVEL, QStringLiteral("＜練習＞"));
    EXPECT_EQ(game.model().lblLEVELName, QStringLiteral("練習　＜復習＞"));

    // 新規 deals from the level again.
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_FALSE(game.reviewing());
    EXPECT_EQ(game.model().lblLEVEL, QStringLiteral("＜初級＞"));
    for (int k = 1; k <= kIdioms; ++k)
        EXPECT_LT(std::find(all.begin(), all.end(), goku(k)) - all.begin(), 30);
}

TEST_F(ReviewDealTest, AnIdiomInAnotherOrderCountsWhenAnyLevelListHasIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeBytes(folder.filePath(QStringLiteral("特殊.txt")), shiftJis(QStringLiteral("二一石一\r\n")) + idiomFile(40)));
    globals.setProgramFolder(folder.path() + u'/');
    setList(generatedIdioms(20));
    std::vector<QString> review;
    for (int n = 0; n < kIdioms; ++n)
        review.push_back(sjisIdiom(n)); // 一石一二 among them
    horokata::testing::runFlow(game.dealReview(review));
    const std::vector<int> cells = cellsSpelling(QStringLiteral("二一石一"));
    ASSERT_EQ(cells.size(), 4u);
    pick(cells);
    EXPECT_EQ(game.foundCount(), 1);
    EXPECT_EQ(game.misses(), 0);
}

} // namespace
