// New game and replay as the player sees them: visible steps, the discard question, the gradient.
#include "support/game_fixture.h"

using namespace horokata;
using namespace horokata::testing;

namespace {

class CommandsTest : public GameTest {
protected:
    int logIndex(const QString &entry, int from = 0) const { return static_cast<int>(platform.log.indexOf(entry, from)); }
    int firstSnapshot(const std::function<bool(const Snapshot &)> &pred) const
    {
        for (std::size_t i = 0; i < snapshots.size(); ++i)
            if (pred(snapshots[i]))
                return static_cast<int>(i);
        return -1;
    }
    static int visibleIn(const BoardModel &m)
    {
        return static_cast<int>(std::count_if(m.MOJI.begin(), m.MOJI.end(), [](const Tile &t) { return t.Visible; }));
    }
};

TEST_F(CommandsTest, NewGameShowsTheStartMessagePausesThenDealsWithTheWindowDisabled)
{
    setList(generatedIdioms(30));
    recordSnapshots();
    horokata::testing::runFlow(game.cmdNEW_Click());
    ASSERT_TRUE(game.playing());

    const int busyOn = logIndex(QStringLiteral("busy 1"));
    const int start = firstSnapshot([](const Snapshot &s) {
        return messageRow(s.model) == QStringLiteral("＊新規開始＊") && visibleIn(s.model) == 6
               && std::all_of(kMessageCells.begin(), kMessageCells.end(),
                              [&](int i) { return s.model.MOJI[static_cast<std::size_t>(i)].Visible; });
    });
    ASSERT_GE(start, 0) << "the start message was never painted on its own";
    const int pause = logIndex(QStringLiteral("sleep 800"));
    const int deal = logIndex(QStringLiteral("randomize"));
    const int full = firstSnapshot([&](const Snapshot &s) {
        if (visibleIn(s.model) != kCells)
            return false;
        for (int i = 0; i < kCells; ++i)
            if (s.model.MOJI[static_cast<std::size_t>(i)].Caption != game.dealtCharacters()[static_cast<std::size_t>(i)])
                return false;
        return true;
    });
    ASSERT_GE(full, 0);
    const int busyOff = logIndex(QStringLiteral("busy 0"));

    EXPECT_GE(busyOn, 0);
    EXPECT_LT(busyOn, snapshots[static_cast<std::size_t>(start)].logSize);
    EXPECT_LE(snapshots[static_cast<std::size_t>(start)].logSize, pause);
    EXPECT_LT(pause, deal);
    EXPECT_LT(deal, snapshots[static_cast<std::size_t>(full)].logSize);
    EXPECT_LE(snapshots[static_cast<std::size_t>(full)].logSize, busyOff);
    EXPECT_EQ(platform.count(QStringLiteral("sleep 800")), 1);

    // No click can reach the board while it is dealt; the last paint gives the window back.
    for (std::size_t i = 0; i + 1 < snapshots.size(); ++i) {
        EXPECT_FALSE(snapshots[i].model.enabled) << "events call " << i;
        EXPECT_TRUE(snapshots[i].model.busyPointer) << "events call " << i;
    }
    EXPECT_TRUE(snapshots.back().model.enabled);
    EXPECT_FALSE(snapshots.back().model.busyPointer);
    EXPECT_FALSE(platform.busy);

    // The new board starts clean.
    for (int k = 0; k < kIdioms; ++k)
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(k)].Caption, lineNumber(k));
    for (const Lamp &l : model().chkLIFE) {
        EXPECT_TRUE(l.Visible);
        EXPECT_EQ(l.BackColor, kLampGreen);
    }
    EXPECT_EQ(model().lblLEVEL, QStringLiteral("＜初級＞"));
    EXPECT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();
}

TEST_F(CommandsTest, NewGameAndReplayDoNothingBeforeAListWasRead)
{
    horokata::testing::runFlow(game.cmdNEW_Click());
    horokata::testing::runFlow(game.cmdRESET_Click());
    horokata::testing::runFlow(game.clickTile(3, MouseButton::Left));
    EXPECT_FALSE(game.playing());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 0);
    EXPECT_TRUE(model().enabled);
}

TEST_F(CommandsTest, ReplayPutsEveryTileBackInItsDealtCell)
{
    dealBoard();
    const auto dealtMOJI = game.dealtCharacters();
    const auto dealtGOKU = game.hiddenIdioms();
    // Two finds move tiles about, a miss takes a lamp.
    ASSERT_TRUE(findIdiom(4));
    ASSERT_TRUE(findIdiom(11));
    missOnce();
    horokata::testing::runFlow(game.clickTile(0, MouseButton::Left)); // a pick left pending
    ASSERT_EQ(game.foundCount(), 2);
    const int paints = model().gradientPaints;

    platform.log.clear();
    recordSnapshots();
    horokata::testing::runFlow(game.cmdRESET_Click());

    EXPECT_TRUE(game.playing());
    EXPECT_EQ(game.hiddenIdioms(), dealtGOKU);
    EXPECT_EQ(game.dealtCharacters(), dealtMOJI);
    for (int i = 0; i < kCells; ++i) {
        EXPECT_EQ(tile(i).Caption, dealtMOJI[static_cast<std::size_t>(i)]) << "cell " << i;
        EXPECT_TRUE(tile(i).Visible);
        EXPECT_EQ(tile(i).Value, 0);
        EXPECT_EQ(game.occupiedCells()[static_cast<std::size_t>(i)], 1);
    }
    for (int k = 0; k < kIdioms; ++k)
        EXPECT_EQ(model().lblGO[static_cast<std::size_t>(k)].Caption, lineNumber(k));
    for (const Lamp &l : model().chkLIFE)
        EXPECT_EQ(l.BackColor, kLampGreen);
    EXPECT_EQ(game.misses(), 0);
    EXPECT_EQ(game.pickCount(), 0);
    EXPECT_EQ(model().lblGOKU, QString());
    EXPECT_EQ(model().gradientPaints, paints);
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 0);
    EXPECT_EQ(platform.count(QStringLiteral("sleep 800")), 1);
    EXPECT_TRUE(std::any_of(snapshots.begin(), snapshots.end(), [](const Snapshot &s) {
        return messageRow(s.model) == QStringLiteral("＊再度開始＊") && visibleIn(s.model) == 6;
    }));
    EXPECT_TRUE(model().enabled);
    EXPECT_FALSE(model().busyPointer);
    EXPECT_TRUE(checkInvariants(game).isEmpty()) << checkInvariants(game).toStdString();
}

TEST_F(CommandsTest, ReplayWithNothingFoundDoesNothingButWorksAfterALoss)
{
    dealBoard();
    horokata::testing::runFlow(game.clickTile(5, MouseButton::Left));
    const QStringList before = visibleState(game);
    platform.log.clear();
    horokata::testing::runFlow(game.cmdRESET_Click());
    EXPECT_TRUE(platform.log.isEmpty());
    EXPECT_EQ(visibleState(game), before);

    // A lost board with nothing found still replays (its lines show the revealed idioms).
    const auto dealtMOJI = game.dealtCharacters();
    horokata::testing::runFlow(game.picBACK_MouseDown(MouseButton::Right));
    loseBoard();
    horokata::testing::runFlow(game.cmdRESET_Click());
    EXPECT_TRUE(game.playing());
    EXPECT_EQ(game.overStage(), 0);
    for (int i = 0; i < kCells; ++i)
        EXPECT_EQ(tile(i).Caption, dealtMOJI[static_cast<std::size_t>(i)]);
    EXPECT_EQ(model().lblGO[0].Caption, lineNumber(0));
    EXPECT_EQ(model().lblGO[0].ForeColor, kLineGreen);
}

TEST_F(CommandsTest, DiscardQuestionOnlyForABoardInPlayWithAFoundIdiom)
{
    // Fresh board in play: replaced without a question.
    dealBoard();
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 2);

    // One idiom found: the question, shown with the cover over the title bar.
    ASSERT_TRUE(findIdiom(1));
    platform.log.clear();
    horokata::testing::runFlow(game.cmdNEW_Click());
    ASSERT_EQ(host.modes(), std::vector<int>{1});
    EXPECT_EQ(host.dialogs[0].imgOFFTop, 0);
    EXPECT_EQ(platform.log.value(host.dialogs[0].logSize - 1), QStringLiteral("beep"));
    EXPECT_EQ(model().imgOFFTop, 32);
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 1);
    EXPECT_EQ(game.foundCount(), 0);

    // Completed, lost and idle boards: no question.
    host.dialogs.clear();
    completeBoard();
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_TRUE(game.playing());
    loseBoard();
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_TRUE(game.playing());
    ASSERT_TRUE(findIdiom(2));
    loseBoard();
    horokata::testing::runFlow(game.clickTile(19, MouseButton::Left));         // prompt
    horokata::testing::runFlow(game.clickTile(51, MouseButton::Left));         // new board from the prompt
    EXPECT_TRUE(game.playing());
    completeBoard();
    horokata::testing::runFlow(game.clickTile(27, MouseButton::Left));         // celebration, then idle
    ASSERT_FALSE(game.playing());
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_TRUE(game.playing());
    EXPECT_TRUE(host.dialogs.empty());
}

TEST_F(CommandsTest, CancelledDiscardQuestionKeepsTheBoard)
{
    dealBoard();
    ASSERT_TRUE(findIdiom(3));
    missOnce();
    pick({cellsSpelling(goku(5)).at(0), cellsSpelling(goku(5)).at(1)});
    const QStringList before = visibleState(game);
    const int events = platform.eventCount;

    host.answers = {true};
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_EQ(host.modes(), std::vector<int>{1});
    EXPECT_EQ(visibleState(game), before);
    EXPECT_EQ(platform.eventCount, events);
    EXPECT_TRUE(model().enabled);

    // The kept pick still completes.
    const std::vector<int> rest = cellsSpelling(goku(5).mid(2));
    pick(rest);
    EXPECT_EQ(game.foundCount(), 2);
}

TEST_F(CommandsTest, GradientIsRepaintedOnlyAfterACompletedBoard)
{
    dealBoard();
    EXPECT_EQ(model().gradientPaints, 1);
    EXPECT_EQ(model().paintedScheme, 0);

    horokata::testing::runFlow(game.cmdNEW_Click());
    loseBoard();
    horokata::testing::runFlow(game.cmdNEW_Click());
    horokata::testing::runFlow(game.cmdRESET_Click());
    EXPECT_EQ(model().gradientPaints, 1);

    for (int board = 1; board <= 7; ++board) {
        completeBoard();
        EXPECT_EQ(game.colorScheme(), board % 7);
        horokata::testing::runFlow(game.clickTile(35, MouseButton::Left)); // celebration: no repaint yet
        EXPECT_EQ(model().gradientPaints, board);
        horokata::testing::runFlow(game.clickTile(0, MouseButton::Left));  // the new board shows the next scheme
        ASSERT_TRUE(game.playing());
        EXPECT_EQ(model().gradientPaints, board + 1);
        EXPECT_EQ(model().paintedScheme, board % 7);
    }
    EXPECT_EQ(game.colorScheme(), 0);
    EXPECT_EQ(host.celebrations, 7);
}

} // namespace
