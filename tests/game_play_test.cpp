// Picking tiles, the idiom check, the board's end by completion, misses or giving up, and the
// clicks on a board that is not in play.
#include "support/game_fixture.h"

using namespace horokata;
using namespace horokata::testing;

namespace {

class PlayTest : public GameTest {
protected:
    std::vector<int> pickedCells() const
    {
        std::vector<int> out;
        for (int i = 0; i < kCells; ++i)
            if (game.model().MOJI[static_cast<std::size_t>(i)].Value != 0)
                out.push_back(i);
        return out;
    }
    int hiddenIndexOf(const QString &idiom) const
    {
        for (int k = 1; k <= kIdioms; ++k)
            if (goku(k) == idiom)
                return k;
        return 0;
    }
};

// ---------------------------------------------------------------- picking

TEST_F(PlayTest, SecondClickOnAPickedTileKeepsItPickedAndAddsNothing)
{
    dealBoard();
    const std::vector<int> cells = cellsSpelling(goku(6));
    pick({cells[0], cells[1]});
    horokata::testing::runFlow(game.clickTile(cells[0], MouseButton::Left));
    horokata::testing::runFlow(game.clickTile(cells[1], MouseButton::Left));
    EXPECT_EQ(tile(cells[0]).Value, 1);
    EXPECT_EQ(tile(cells[1]).Value, 1);
    EXPECT_EQ(game.pickCount(), 2);
    EXPECT_EQ(game.picked(), goku(6).left(2));
    EXPECT_EQ(model().lblGOKU, goku(6).left(2));
    EXPECT_FALSE(game.holding());

    pick({cells[2], cells[3]});
    EXPECT_EQ(game.foundCount(), 1);
    EXPECT_EQ(game.misses(), 0);
}

TEST_F(PlayTest, NonLeftClicksCancelThePickAnywhere)
{
    dealBoard();
    const std::vector<int> cells = cellsSpelling(goku(2));
    const int other = cellsSpelling(goku(3)).front();
    struct Cancel {
        const char *what;
        std::function<void()> run;
    };
    const std::vector<Cancel> cancels = {
        {"right click on another tile", [&] { horokata::testing::runFlow(game.clickTile(other, MouseButton::Right)); }},
        {"right click on a picked tile", [&] { horokata::testing::runFlow(game.clickTile(cells[1], MouseButton::Right)); }},
        {"middle click", [&] { horokata::testing::runFlow(game.clickTile(other, MouseButton::Middle)); }},
        {"right press on the bare board", [&] { horokata::testing::runFlow(game.picBACK_MouseDown(MouseButton::Right)); }},
    };
    for (const Cancel &c : cancels) {
        pick({cells[0], cells[1], cells[2]});
        ASSERT_EQ(game.pickCount(), 3);
        c.run();
        EXPECT_TRUE(pickedCells().empty()) << c.what;
        EXPECT_EQ(game.pickCount(), 0) << c.what;
        EXPECT_EQ(game.picked(), QString()) << c.what;
        EXPECT_EQ(model().lblGOKU, QString()) << c.what;
        EXPECT_TRUE(model().enabled) << c.what;
        EXPECT_TRUE(game.playing()) << c.what;
    }
    EXPECT_EQ(visibleTiles(), kCells);
    EXPECT_EQ(game.misses(), 0);
}

TEST_F(PlayTest, OnlyTheSpellingCountsNotWhichIdiomTheTilesWereDealtFor)
{
    // 甲乙丙丁 is hidden once on its own and once more spread over four other idioms.
    std::vector<QString> list = {u"甲乙丙丁"_qs, u"甲一二三"_qs, u"四乙五六"_qs, u"七八丙九"_qs, u"十百千丁"_qs};
    for (int n = 0; n < 15; ++n)
        list.push_back(generatedIdiom(100 + n));
    setList(list);
    dealBoard();
    const int x = hiddenIndexOf(u"甲乙丙丁"_qs);
    ASSERT_GT(x, 0);

    // Two finds use all eight tiles, so at least one of them takes tiles dealt for other idioms.
    ASSERT_TRUE(findIdiom(x));
    ASSERT_TRUE(findIdiom(x));
    EXPECT_EQ(game.foundCount(), 2);
    EXPECT_EQ(game.misses(), 0);
    EXPECT_EQ(game.foundFlags()[static_cast<std::size_t>(x)], 1);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0) + u"甲乙丙丁"_qs);
    EXPECT_EQ(model().lblGO[1].Caption, lineNumber(1) + u"甲乙丙丁"_qs);
    EXPECT_EQ(visibleTiles(), kCells - 8);
    EXPECT_TRUE(cellsSpelling(u"甲"_qs).empty());
    EXPECT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();
}

TEST_F(PlayTest, PickOrderIsTheReadingOrder)
{
    // The other order is not in the list: a miss.
    dealBoard();
    const QString idiom = goku(9);
    const QString shuffled = QString(idiom[1]) + idiom[0] + idiom[2] + idiom[3];
    pick(cellsSpelling(shuffled));
    EXPECT_EQ(game.foundCount(), 0);
    EXPECT_EQ(game.misses(), 1);
    EXPECT_EQ(game.foundFlags()[9], 0);
    EXPECT_EQ(visibleTiles(), kCells);
    EXPECT_TRUE(pickedCells().empty());
}

TEST_F(PlayTest, AListedIdiomSpelledWithAHiddenIdiomsCharactersFindsIt)
{
    // 甲乙丙丁 is hidden, and its characters lie on the board twice; the list also holds the
    // other order 丙丁甲乙, which was not dealt.
    std::vector<QString> list = {u"甲乙丙丁"_qs, u"甲一二三"_qs, u"四乙五六"_qs, u"七八丙九"_qs, u"十百千丁"_qs};
    for (int n = 0; n < 15; ++n)
        list.push_back(generatedIdiom(100 + n));
    setList(list);
    dealBoard();
    const int x = hiddenIndexOf(u"甲乙丙丁"_qs);
    ASSERT_GT(x, 0);
    list.push_back(u"丙丁甲乙"_qs); // the level's list holds it too, the board does not
    setList(list);

    pick(cellsSpelling(u"丙丁甲乙"_qs));
    EXPECT_EQ(game.foundCount(), 1);
    EXPECT_EQ(game.misses(), 0);
    EXPECT_EQ(game.foundFlags()[static_cast<std::size_t>(x)], 1);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0) + u"丙丁甲乙"_qs);
    EXPECT_EQ(visibleTiles(), kCells - 4);
    // The idiom is found now: the same characters again are a miss.
    pick(cellsSpelling(u"丙丁甲乙"_qs));
    EXPECT_EQ(game.foundCount(), 1);
    EXPECT_EQ(game.misses(), 1);
    EXPECT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();

    // The lost board reveals the nineteen others, not the idiom found in the other order.
    missOnce();
    missOnce();
    ASSERT_EQ(game.overStage(), 1);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0) + u"丙丁甲乙"_qs);
    for (int n = 1; n < kIdioms; ++n) {
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(n)].Caption.size(), lineNumber(n).size() + 4) << n;
        EXPECT_FALSE(model().lblGO[static_cast<std::size_t>(n)].Caption.endsWith(u"甲乙丙丁"_qs)) << n;
    }
}

TEST_F(PlayTest, AnyClickOnTheIdleBoardDealsANewBoard)
{
    setList(generatedIdioms(20));
    horokata::testing::runFlow(game.clickTile(30, MouseButton::Left));
    EXPECT_TRUE(game.playing());
    EXPECT_EQ(tile(30).Value, 0) << "the click that dealt the board must not pick its tile";
    EXPECT_EQ(game.pickCount(), 0);

    completeBoard();
    horokata::testing::runFlow(game.clickTile(19, MouseButton::Left)); // celebration, then idle
    ASSERT_FALSE(game.playing());
    platform.log.clear();
    horokata::testing::runFlow(game.clickTile(44, MouseButton::Right));
    EXPECT_TRUE(game.playing());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 1);
}

TEST_F(PlayTest, ClickAfterACompletedBoardPlaysTheCelebrationThenShowsTheTitle)
{
    dealBoard();
    completeBoard();
    platform.log.clear();
    horokata::testing::runFlow(game.clickTile(43, MouseButton::Left));

    EXPECT_EQ(host.celebrations, 1);
    const int chime = static_cast<int>(platform.log.indexOf(soundEntry(1)));
    ASSERT_GE(chime, 0);
    EXPECT_LT(chime, host.celebrationLogSize);
    EXPECT_FALSE(host.celebrationEnabled);
    EXPECT_TRUE(host.celebrationBusy);

    EXPECT_EQ(messageRow(), QStringLiteral("＊ホロカタ＊"));
    EXPECT_EQ(visibleTiles(), kCells);
    EXPECT_FALSE(game.playing());
    EXPECT_EQ(game.clearStage(), 0);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0));
    EXPECT_TRUE(model().enabled);
    EXPECT_FALSE(model().busyPointer);
    EXPECT_FALSE(platform.busy);
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 0);
}

TEST_F(PlayTest, AfterALossTheFirstClickPromptsAndTheSecondChooses)
{
    dealBoard();
    for (int cell : kMessageCells) {
        const auto dealtMOJI = game.dealtCharacters();
        loseBoard();
        platform.log.clear();
        horokata::testing::runFlow(game.clickTile(27, MouseButton::Left));
        EXPECT_EQ(platform.log, QStringList{QStringLiteral("beep")});
        EXPECT_EQ(messageRow(), QStringLiteral("再度？新規？"));
        EXPECT_EQ(game.overStage(), 2);
        for (int i : kMessageCells)
            EXPECT_EQ(tile(i).Value, 0);

        // Outside the prompt nothing happens.
        platform.log.clear();
        horokata::testing::runFlow(game.clickTile(0, MouseButton::Left));
        horokata::testing::runFlow(game.clickTile(20, MouseButton::Right));
        EXPECT_TRUE(platform.log.isEmpty());
        EXPECT_EQ(game.overStage(), 2);

        horokata::testing::runFlow(game.clickTile(cell, MouseButton::Left));
        ASSERT_TRUE(game.playing()) << "cell " << cell;
        EXPECT_EQ(game.overStage(), 0);
        const bool replay = cell == 19 || cell == 27 || cell == 35;
        EXPECT_EQ(platform.count(QStringLiteral("randomize")), replay ? 0 : 1) << "cell " << cell;
        if (replay) {
            EXPECT_EQ(game.dealtCharacters(), dealtMOJI);
        }
        EXPECT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();
    }
}

// ---------------------------------------------------------------- clearing

TEST_F(PlayTest, TheTwentiethIdiomCompletesTheBoardWithItsOwnSound)
{
    dealBoard();
    // Found in reverse: the lines fill in the order found, not in the hidden order.
    for (int k = kIdioms; k >= 2; --k)
        ASSERT_TRUE(findIdiom(k));
    EXPECT_EQ(platform.count(soundEntry(3)), 19);
    EXPECT_EQ(game.colorScheme(), 0);
    platform.log.clear();
    const int events = platform.eventCount;
    ASSERT_TRUE(findIdiom(1));

    EXPECT_EQ(platform.log.filter(QStringLiteral("sound ")), QStringList{soundEntry(4)});
    EXPECT_LT(platform.eventCount - events, 8) << "nothing is left to move on a completed board";
    EXPECT_FALSE(game.playing());
    EXPECT_EQ(game.clearStage(), 1);
    EXPECT_EQ(game.colorScheme(), 1);
    EXPECT_EQ(messageRow(), QStringLiteral("！拍手喝采！"));
    EXPECT_EQ(visibleTiles(), 6);
    for (int i : kMessageCells) {
        EXPECT_TRUE(tile(i).Visible);
        EXPECT_EQ(tile(i).Value, 0);
    }
    for (int n = 0; n < kIdioms; ++n) {
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(n)].Caption, lineNumber(n) + goku(kIdioms - n));
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(n)].ForeColor, kLineGreen);
    }
    EXPECT_EQ(model().lblGOKU, QString());
    EXPECT_TRUE(model().enabled);
}

// ---------------------------------------------------------------- misses and giving up

TEST_F(PlayTest, EachMissTakesALampAndTheThirdRevealsTheRestInBlack)
{
    dealBoard();
    ASSERT_TRUE(findIdiom(7));
    ASSERT_TRUE(findIdiom(2));

    platform.log.clear();
    missOnce();
    EXPECT_EQ(platform.log.filter(QStringLiteral("sound ")), QStringList{soundEntry(2)});
    EXPECT_FALSE(model().chkLIFE[2].Visible);
    EXPECT_TRUE(model().chkLIFE[1].Visible);
    EXPECT_EQ(model().chkLIFE[1].BackColor, kLampYellow);
    EXPECT_EQ(model().chkLIFE[0].BackColor, kLampYellow);
    EXPECT_TRUE(game.playing());
    EXPECT_TRUE(pickedCells().empty());
    EXPECT_EQ(visibleTiles(), kCells - 8);
    EXPECT_EQ(model().lblGOKU, QString());

    missOnce();
    EXPECT_FALSE(model().chkLIFE[1].Visible);
    EXPECT_TRUE(model().chkLIFE[0].Visible);
    EXPECT_EQ(model().chkLIFE[0].BackColor, kLampRed);
    EXPECT_TRUE(game.playing());

    const auto cellMap = game.occupiedCells();
    missOnce();
    EXPECT_FALSE(model().chkLIFE[0].Visible);
    EXPECT_FALSE(game.playing());
    EXPECT_EQ(game.overStage(), 1);
    EXPECT_EQ(messageRow(), QStringLiteral("…残念至極…"));
    EXPECT_EQ(visibleTiles(), 6);
    EXPECT_EQ(game.occupiedCells(), cellMap);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0) + goku(7));
    EXPECT_EQ(model().lblGO[1].Caption, lineNumber(1) + goku(2));
    EXPECT_EQ(model().lblGO[1].ForeColor, kLineGreen);
    std::vector<int> rest = {1, 3, 4, 5, 6};
    for (int k = 8; k <= kIdioms; ++k)
        rest.push_back(k);
    for (std::size_t n = 0; n < rest.size(); ++n) {
        const IdiomLine &line = model().lblGO[n + 2];
        EXPECT_EQ(line.Caption, lineNumber(static_cast<int>(n + 2)) + goku(rest[n]));
        EXPECT_EQ(line.ForeColor, kLineBlack);
    }
    for (int k = 1; k <= kIdioms; ++k)
        EXPECT_EQ(game.foundFlags()[static_cast<std::size_t>(k)], 1);
    EXPECT_EQ(platform.count(soundEntry(2)), 3);
    EXPECT_EQ(host.celebrations, 0);
}

TEST_F(PlayTest, LossWithNothingFoundRevealsAllTwentyInHiddenOrder)
{
    dealBoard();
    loseBoard();
    for (int n = 0; n < kIdioms; ++n) {
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(n)].Caption, lineNumber(n) + goku(n + 1));
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(n)].ForeColor, kLineBlack);
    }
}

TEST_F(PlayTest, GivingUpEndsTheBoardLikeAThirdMissAndCancelKeepsIt)
{
    dealBoard();
    ASSERT_TRUE(findIdiom(5));
    pick({cellsSpelling(goku(8)).at(0)});

    host.answers = {true};
    QStringList before = visibleState(game);
    horokata::testing::runFlow(game.chkLIFE_MouseUp(2));
    EXPECT_EQ(host.modes(), std::vector<int>{6});
    EXPECT_EQ(visibleState(game), before);

    platform.log.clear();
    horokata::testing::runFlow(game.chkLIFE_MouseUp(0));
    EXPECT_EQ(host.modes(), (std::vector<int>{6, 6}));
    EXPECT_EQ(platform.log.filter(QStringLiteral("sound ")), QStringList{soundEntry(2)});
    for (const Lamp &l : model().chkLIFE)
        EXPECT_FALSE(l.Visible);
    EXPECT_EQ(game.misses(), 3);
    EXPECT_EQ(game.overStage(), 1);
    EXPECT_FALSE(game.playing());
    EXPECT_EQ(messageRow(), QStringLiteral("…残念至極…"));
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0) + goku(5));
    EXPECT_EQ(model().lblGO[1].Caption, lineNumber(1) + goku(1));
    EXPECT_EQ(model().lblGO[1].ForeColor, kLineBlack);

    // With no board in play a lamp asks nothing.
    horokata::testing::runFlow(game.chkLIFE_MouseUp(1));
    EXPECT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(game.overStage(), 1);
}

TEST_F(PlayTest, AMissWithoutItsSoundIsStillCounted)
{
    dealBoard();
    globals.slot(Sound::Miss).playable = false; // Chord.wav missing
    platform.log.clear();
    missOnce();
    EXPECT_TRUE(platform.log.filter(QStringLiteral("sound ")).isEmpty());
    EXPECT_EQ(game.misses(), 1);
    EXPECT_FALSE(model().chkLIFE[2].Visible);

    horokata::testing::runFlow(game.cmdNEW_Click());
    globals.slot(Sound::Miss).playable = true;
    platform.soundSystem = false; // the play call cannot be made at all
    platform.log.clear();
    missOnce();
    EXPECT_EQ(platform.log.filter(QStringLiteral("sound ")), QStringList{soundEntry(2)});
    EXPECT_EQ(globals.slot(Sound::Miss).playable, false);
    EXPECT_EQ(game.misses(), 1);
    EXPECT_FALSE(model().chkLIFE[2].Visible);
    missOnce();
    EXPECT_EQ(platform.count(soundEntry(2)), 1) << "the slot stays off";
    EXPECT_EQ(game.misses(), 2);
    EXPECT_EQ(model().chkLIFE[0].BackColor, kLampRed);
}

} // namespace
