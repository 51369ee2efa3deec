// Dealing a board: which idioms are drawn, where their characters land, and failed deals.
#include "support/game_fixture.h"

#include <QHash>

#include <cmath>
#include <random>
#include <set>

using namespace horokata;
using namespace horokata::testing;

namespace {

// j = floor((n - 1) * r + 1), worked out here apart from the game's own code.
int expectedPartner(int n, float r)
{
    return static_cast<int>(std::floor(static_cast<double>(n - 1) * static_cast<double>(r) + 1.0));
}

std::deque<float> scriptedRandoms(unsigned seed, int count)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(0.0f, 0.9999999f);
    std::deque<float> out;
    for (int i = 0; i < count; ++i)
        out.push_back(dist(gen));
    return out;
}

QHash<QChar, int> characterCounts(const QString &text)
{
    QHash<QChar, int> counts;
    for (QChar ch : text)
        ++counts[ch];
    return counts;
}

class DealTest : public GameTest {
protected:
    int cellOf(const QString &ch) const
    {
        for (int i = 0; i < kCells; ++i)
            if (game.dealtCharacters()[static_cast<std::size_t>(i)] == ch)
                return i;
        return -1;
    }
    int listIndexOf(const QString &idiom) const
    {
        for (std::size_t i = 1; i < game.idiomList().size(); ++i)
            if (game.idiomList()[i] == idiom)
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(DealTest, TwentyIdiomListIsDrawnAsOneCycleThroughTheList)
{
    setList(generatedIdioms(20));
    for (unsigned seed = 1; seed <= 200; ++seed) {
        platform.seed(seed);
        ASSERT_TRUE(result(game.SET_RND()));
        // Follow k -> list position of strGOKU(k): one cycle through all twenty entries.
        std::vector<bool> seen(21, false);
        int k = 1;
        for (int step = 0; step < 20; ++step) {
            ASSERT_FALSE(seen[static_cast<std::size_t>(k)]) << "seed " << seed << ": cycle shorter than 20";
            seen[static_cast<std::size_t>(k)] = true;
            const int next = listIndexOf(goku(k));
            ASSERT_GE(next, 1);
            ASSERT_NE(next, k) << "seed " << seed << ": idiom kept its list position";
            k = next;
        }
        EXPECT_EQ(k, 1) << "seed " << seed;
    }
}

TEST_F(DealTest, LargerListNeverDrawsAnIdiomAtItsOwnPositionAndNeverTwice)
{
    setList(generatedIdioms(100));
    for (unsigned seed = 1; seed <= 300; ++seed) {
        platform.seed(seed);
        ASSERT_TRUE(result(game.SET_RND()));
        QSet<QString> drawn;
        for (int k = 1; k <= kIdioms; ++k) {
            EXPECT_NE(goku(k), game.idiomList()[static_cast<std::size_t>(k)]) << "seed " << seed << " k " << k;
            drawn.insert(goku(k));
        }
        EXPECT_EQ(drawn.size(), kIdioms) << "seed " << seed;
    }
}

TEST_F(DealTest, FirstCharacterOfTheFirstIdiomNeverLandsOnACorner)
{
    setList(generatedIdioms(20));
    // The last random number decides the final exchange with cell 0: its extremes give cells 1 and 78.
    const std::array<std::pair<float, int>, 2> extremes = {{{0.0f, 1}, {0.9999999f, 78}}};
    for (const auto &[last, cell] : extremes) {
        platform.randoms = scriptedRandoms(7, 20 + 79);
        platform.randoms.push_back(last);
        ASSERT_TRUE(result(game.SET_RND()));
        EXPECT_TRUE(platform.randoms.empty());
        EXPECT_EQ(cellOf(goku(1).left(1)), cell) << "last random " << last;
    }

    std::set<int> cells;
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        platform.seed(seed);
        ASSERT_TRUE(result(game.SET_RND()));
        const int cell = cellOf(goku(1).left(1));
        ASSERT_GE(cell, 1) << "seed " << seed;
        ASSERT_LE(cell, 78) << "seed " << seed;
        cells.insert(cell);
    }
    EXPECT_EQ(cells.size(), 78u) << "every cell from 1 to 78 should be reachable";
}

TEST_F(DealTest, TilesCarryExactlyTheCharactersOfTheTwentyIdioms)
{
    // Lists whose idioms share characters, dealt with ordinary and with extreme random numbers.
    std::vector<QString> list;
    const QString alphabet = QStringLiteral(u"天地人山川草木花鳥風月雪");
    for (int n = 0; list.size() < 60; ++n) {
        QString s;
        for (int k = 0, v = n * 7 + 3; k < 4; ++k, v /= alphabet.size())
            s += alphabet[v % alphabet.size()];
        if (std::find(list.begin(), list.end(), s) == list.end())
            list.push_back(s);
    }
    setList(list);
    // The deal neither shows, hides nor unpicks tiles (the callers do that): a message-row tile
    // stays hidden as the reset left it, and a tile flipped by a press stays picked.
    horokata::testing::runFlow(game.SET_INIT());
    game.MOJI_Flip(6);
    for (int round = 0; round < 60; ++round) {
        if (round % 3 == 1)
            platform.randoms.assign(60 + 80, 0.0f);
        else if (round % 3 == 2)
            platform.randoms.assign(60 + 80, 0.9999999f);
        else
            platform.seed(static_cast<unsigned>(round));
        platform.log.clear();
        ASSERT_TRUE(result(game.SET_RND())) << "round " << round;
        EXPECT_EQ(platform.count(QStringLiteral("randomize")), 1);
        EXPECT_FALSE(tile(kMessageCells[0]).Visible);
        EXPECT_EQ(tile(6).Value, 1);

        QString hidden, shown;
        for (int k = 1; k <= kIdioms; ++k)
            hidden += goku(k);
        for (int i = 0; i < kCells; ++i) {
            ASSERT_EQ(tile(i).Caption.size(), 1) << "cell " << i;
            EXPECT_EQ(tile(i).Caption, game.dealtCharacters()[static_cast<std::size_t>(i)]);
            EXPECT_EQ(game.occupiedCells()[static_cast<std::size_t>(i)], 1);
            shown += tile(i).Caption;
        }
        EXPECT_EQ(characterCounts(shown), characterCounts(hidden)) << "round " << round;
    }
}

TEST_F(DealTest, ScriptedRandomNumbersPlaceCharactersByTheShuffleRule)
{
    const int count = 33;
    setList(generatedIdioms(count));
    const std::deque<float> script = scriptedRandoms(99, count + 80);
    platform.randoms = script;
    ASSERT_TRUE(result(game.SET_RND()));

    std::size_t r = 0;
    std::vector<int> order(count + 1);
    for (int i = 0; i <= count; ++i)
        order[static_cast<std::size_t>(i)] = i;
    for (int i = count; i >= 1; --i)
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(expectedPartner(i, script[r++]))]);
    QString text;
    for (int k = 1; k <= kIdioms; ++k) {
        const QString idiom = game.idiomList()[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
        EXPECT_EQ(goku(k), idiom) << "k " << k;
        text += idiom;
    }
    std::array<int, kCells> cell{};
    for (int m = 0; m < kCells; ++m)
        cell[static_cast<std::size_t>(m)] = m;
    for (int m = kCells - 1; m >= 1; --m)
        std::swap(cell[static_cast<std::size_t>(m)], cell[static_cast<std::size_t>(expectedPartner(m, script[r++]))]);
    std::swap(cell[0], cell[static_cast<std::size_t>(expectedPartner(79, script[r++]))]);
    for (int m = 0; m < kCells; ++m)
        EXPECT_EQ(game.dealtCharacters()[static_cast<std::size_t>(m)], text.mid(cell[static_cast<std::size_t>(m)], 1)) << "cell " << m;
}

TEST_F(DealTest, TooShortListsStopAtStageOneAndKeepWhatWasCopied)
{
    // The idioms of an earlier board, from a list the later ones do not share.
    setList(generatedIdioms(40));
    ASSERT_TRUE(result(game.SET_RND()));
    const auto before = game.hiddenIdioms();

    const std::vector<QString> all = generatedIdioms(60);
    const std::vector<QString> nineteen(all.begin() + 40, all.begin() + 59);
    setList(nineteen);
    platform.log.clear();
    EXPECT_FALSE(result(game.SET_RND()));
    EXPECT_FALSE(game.dealt());
    EXPECT_EQ(platform.log.filter(QStringLiteral("box ")), QStringList{QStringLiteral("box ホロカタ|1")});
    QSet<QString> copied;
    for (int k = 1; k <= 19; ++k) {
        EXPECT_NE(std::find(nineteen.begin(), nineteen.end(), goku(k)), nineteen.end()) << "k " << k;
        copied.insert(goku(k));
    }
    EXPECT_EQ(copied.size(), 19);
    EXPECT_EQ(goku(20), before[20]);

    const auto left = game.hiddenIdioms();
    setList({});
    platform.log.clear();
    EXPECT_FALSE(result(game.SET_RND()));
    EXPECT_EQ(platform.log.filter(QStringLiteral("box ")), QStringList{QStringLiteral("box ホロカタ|1")});
    EXPECT_EQ(game.hiddenIdioms(), left);
}

TEST_F(DealTest, FailedDealLeavesTheIdleTitleBoardNotABoardInPlay)
{
    setList(generatedIdioms(19));
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_EQ(platform.count(QStringLiteral("box ホロカタ|1")), 1);
    EXPECT_FALSE(game.playing());
    EXPECT_TRUE(model().enabled);
    EXPECT_FALSE(model().busyPointer);
    EXPECT_FALSE(platform.busy);
    EXPECT_EQ(messageRow(), QStringLiteral("＊ホロカタ＊"));
    for (int i = 0; i < kCells; ++i)
        EXPECT_EQ(game.occupiedCells()[static_cast<std::size_t>(i)], 0);

    // The board stays idle: a click tries a new deal again, a replay has nothing to lay out.
    platform.log.clear();
    horokata::testing::runFlow(game.clickTile(0, MouseButton::Left));
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 1);
    EXPECT_FALSE(game.playing());
    platform.log.clear();
    horokata::testing::runFlow(game.cmdRESET_Click());
    EXPECT_TRUE(platform.log.isEmpty());

    // Once the list is long enough the next click deals normally.
    setList(generatedIdioms(20));
    horokata::testing::runFlow(game.clickTile(0, MouseButton::Left));
    EXPECT_TRUE(game.playing());
    EXPECT_TRUE(game.dealt());
}

TEST_F(DealTest, EveryDealReseedsTheGenerator)
{
    setList(generatedIdioms(25));
    horokata::testing::runFlow(game.cmdNEW_Click());
    horokata::testing::runFlow(game.cmdNEW_Click());
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 3);
}

} // namespace
