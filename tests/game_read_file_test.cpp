// Reading a level's idiom list into the game, the start-up read and switching level.
#include "support/game_fixture.h"

#include "idioms/levels.h"

#include <unistd.h>

using namespace horokata;
using namespace horokata::testing;

namespace {

class ReadFileTest : public GameTest {
protected:
    ReadFileTest()
    {
        globals.setProgramFolder(dir.path() + u'/');
        globals.makeAllLevelsChoosable();
    }
    QString levelPath(int index) const { return globals.programFolder() + QString::fromUtf8(levelAt(index).fileName); }
    void writeLevel(int index, const QByteArray &bytes) { ASSERT_TRUE(writeBytes(levelPath(index), bytes)); }
    // Reads level `index`'s file the way a level switch names it.
    void read(int index)
    {
        horokata::testing::runFlow(game.readLevelFile(index));
    }
    // A previously read list that failures must leave alone.
    void loadOldList()
    {
        setList(generatedIdioms(25));
    }
    void expectOldList()
    {
        EXPECT_EQ(game.idiomCount(), 25);
        ASSERT_EQ(game.idiomList().size(), 26u);
        EXPECT_EQ(game.idiomList()[25], generatedIdiom(24));
        EXPECT_TRUE(game.listRead());
    }

    QTemporaryDir dir;
};

TEST_F(ReadFileTest, AcceptedFilesReplaceTheListInFileOrder)
{
    writeLevel(1, idiomFile(20)); // exactly 200 bytes
    read(1);
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_EQ(game.idiomCount(), 20);
    EXPECT_EQ(game.idiomList()[0], QString());
    EXPECT_EQ(game.idiomList()[1], sjisIdiom(0));
    EXPECT_EQ(game.idiomList()[20], sjisIdiom(19));
    EXPECT_TRUE(game.listRead());
    EXPECT_FALSE(globals.listReadFailed());

    // The largest acceptable file: 327,679 bytes, a full list of 32,767.
    QByteArray big;
    const QByteArray line = shiftJis(u"一二三四\r\n"_qs);
    while (big.size() + line.size() <= 327679)
        big += line;
    big += QByteArray(327679 - big.size(), ',');
    ASSERT_EQ(big.size(), 327679);
    writeLevel(2, big);
    read(2);
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_EQ(game.idiomCount(), 32767);
}

TEST_F(ReadFileTest, MissingOrInvalidFilesAreReportedAndKeepTheOldList)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8(levelAt(3).fileName)));
    writeLevel(1, idiomFile(19) + "abcdefg\r\n"); // 199 bytes
    QByteArray tooBig = idiomFile(20);
    tooBig += QByteArray(327680 - tooBig.size(), '\n');
    writeLevel(0, tooBig);

    struct Case {
        int index;
        int mode;
        const char *name;
    };
    const std::vector<Case> cases = {{2, 3, "特殊"}, {3, 3, "其他"}, {1, 4, "一般"}, {0, 4, "初級"}};
    for (const Case &c : cases) {
        loadOldList();
        host.dialogs.clear();
        platform.log.clear();
        globals.makeAllLevelsChoosable();
        read(c.index);
        ASSERT_EQ(host.modes(), std::vector<int>{c.mode}) << c.name;
        EXPECT_EQ(host.dialogs[0].strNAME, QString::fromUtf8(c.name));
        EXPECT_EQ(host.dialogs[0].imgOFFTop, 0);
        EXPECT_EQ(platform.log.value(host.dialogs[0].logSize - 1), QStringLiteral("beep"));
        EXPECT_EQ(model().imgOFFTop, 32);
        EXPECT_TRUE(globals.listReadFailed()) << c.name;
        for (int level = 0; level < kLevelCount; ++level)
            EXPECT_EQ(globals.levelChoosable(static_cast<std::size_t>(level)), level == c.index ? false : true) << c.name;
        expectOldList();
        EXPECT_EQ(host.closes, 0);
        globals.setListReadFailed(false);
    }
}

TEST_F(ReadFileTest, MoreIdiomsThanTheSizeAllowsClosesTheGameWithoutDealing)
{
    // 200 lines with LF only: 1,800 bytes, room for 180.
    writeLevel(2, idiomFile(200, "\n"));
    dealBoard();
    ASSERT_TRUE(findIdiom(1));
    platform.log.clear();

    horokata::testing::runFlow(game.NEW_FILE(2));
    EXPECT_EQ(host.modes(), (std::vector<int>{2, 0}));
    EXPECT_EQ(host.dialogs[1].strNAME, QStringLiteral("特殊"));
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(game.idiomCount(), 0);
    // One paint between the message and the close; nothing dealt from the discarded list.
    EXPECT_EQ(platform.log.mid(host.dialogs[1].logSize), (QStringList{QStringLiteral("events")}));
    EXPECT_EQ(platform.log.filter(QStringLiteral("box ")), QStringList());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 0);
    EXPECT_EQ(globals.level(), 0);
}

TEST_F(ReadFileTest, UnreadableFileIsAReadError)
{
    // The folder listed the file with a good size, but a directory stands at its name by the
    // time it is read: no one can read that, root included.
    ASSERT_TRUE(QDir().mkpath(levelPath(1)));
    platform.extraFiles.insert(levelPath(1));
    platform.fileSizes.insert(levelPath(1), 300);
    read(1);
    EXPECT_EQ(host.modes(), std::vector<int>{0});
    EXPECT_EQ(host.closes, 1);

    // A file without read permission (root reads it all the same).
    if (::geteuid() != 0) {
        writeLevel(2, idiomFile(30));
        ASSERT_TRUE(QFile::setPermissions(levelPath(2), QFileDevice::Permissions()));
        read(2);
        EXPECT_EQ(host.modes(), (std::vector<int>{0, 0}));
        EXPECT_EQ(host.closes, 2);
    }
}

TEST_F(ReadFileTest, StartUpReadsTheBeginnerListOrReportsItMissing)
{
    writeLevel(0, idiomFile(40));
    horokata::testing::runFlow(game.loadFirstList(dir.path()));
    game.finishLoad();
    EXPECT_EQ(globals.programFolder(), dir.path() + u'/');
    EXPECT_EQ(game.idiomCount(), 40);
    EXPECT_EQ(model().lblLEVEL, QStringLiteral("＜初級＞"));
    EXPECT_EQ(model().lblGOKU, QStringLiteral("準備完了"));
    EXPECT_EQ(messageRow(), QStringLiteral("＊ホロカタ＊"));
    EXPECT_FALSE(game.playing());
    horokata::testing::runFlow(game.clickTile(0, MouseButton::Left));
    EXPECT_TRUE(game.playing());

    ProgramState g2;
    FakePlatform p2;
    FakeHost h2(g2, p2);
    Game fresh(g2, p2, h2);
    QTemporaryDir empty;
    horokata::testing::runFlow(fresh.loadFirstList(empty.path()));
    fresh.finishLoad();
    ASSERT_EQ(h2.modes(), std::vector<int>{3});
    EXPECT_EQ(h2.dialogs[0].strNAME, QStringLiteral("初級"));
    EXPECT_EQ(g2.levelChoosable(0), false);
    EXPECT_EQ(g2.levelChoosable(1), true);
    EXPECT_FALSE(g2.listReadFailed());
    EXPECT_EQ(fresh.model().lblLEVEL, QStringLiteral("＜なし＞"));
    EXPECT_EQ(fresh.model().lblGOKU, QStringLiteral("異常事態！"));
    horokata::testing::runFlow(fresh.clickTile(0, MouseButton::Left));
    EXPECT_FALSE(fresh.playing()) << "no list, no board";
}

// ---------------------------------------------------------------- switching level

TEST_F(ReadFileTest, SwitchingLevelOnAFreshBoardAsksNothingAndDealsInTheLevelColours)
{
    writeLevel(2, idiomFile(50));
    dealBoard();
    horokata::testing::runFlow(game.NEW_FILE(2));
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_TRUE(game.playing());
    EXPECT_EQ(globals.level(), 2);
    EXPECT_EQ(globals.levelLabel(), QStringLiteral("＜特殊＞"));
    EXPECT_EQ(model().lblLEVEL, QStringLiteral("＜特殊＞"));
    EXPECT_EQ(game.idiomCount(), 50);
    for (int i = 0; i < kCells; ++i) {
        EXPECT_TRUE(tile(i).Visible);
        EXPECT_EQ(tile(i).BackColor, RGB(255, 0, 0));
        EXPECT_EQ(tile(i).ForeColor, RGB(0, 0, 0));
        EXPECT_TRUE(tile(i).Caption == game.dealtCharacters()[static_cast<std::size_t>(i)]);
    }
    for (int k = 1; k <= kIdioms; ++k)
        EXPECT_TRUE(sjisIdiom(0).left(2) == goku(k).left(2)) << "drawn from the new list";
    EXPECT_EQ(platform.count(QStringLiteral("sleep 800")), 2);
    EXPECT_TRUE(model().enabled);
    EXPECT_FALSE(platform.busy);
    EXPECT_TRUE(checkInvariants(game).isEmpty());
}

TEST_F(ReadFileTest, SwitchingAfterAFindAsksAndCancelKeepsTheBoard)
{
    writeLevel(1, idiomFile(50));
    dealBoard();
    ASSERT_TRUE(findIdiom(3));
    const QStringList before = visibleState(game);

    host.answers = {true};
    horokata::testing::runFlow(game.NEW_FILE(1));
    EXPECT_EQ(host.modes(), std::vector<int>{2});
    EXPECT_EQ(visibleState(game), before);
    EXPECT_EQ(globals.level(), 0);
    EXPECT_EQ(game.idiomCount(), 20);

    horokata::testing::runFlow(game.NEW_FILE(1));
    EXPECT_EQ(host.modes(), (std::vector<int>{2, 2}));
    EXPECT_EQ(globals.level(), 1);
    EXPECT_EQ(game.foundCount(), 0);
    EXPECT_EQ(tile(0).BackColor, RGB(128, 128, 255));
}

TEST_F(ReadFileTest, SwitchingToAMissingLevelKeepsBoardLabelAndLevel)
{
    dealBoard();
    ASSERT_TRUE(findIdiom(2));
    const QStringList before = visibleState(game);

    horokata::testing::runFlow(game.NEW_FILE(3));
    EXPECT_EQ(host.modes(), (std::vector<int>{2, 3}));
    EXPECT_EQ(host.dialogs[1].strNAME, QStringLiteral("其他"));
    EXPECT_EQ(visibleState(game), before);
    EXPECT_EQ(globals.level(), 0);
    EXPECT_EQ(globals.levelLabel(), QStringLiteral("＜初級＞"));
    EXPECT_EQ(globals.levelChoosable(3), false);
    EXPECT_FALSE(globals.listReadFailed());
    EXPECT_TRUE(game.playing());
    EXPECT_EQ(platform.count(QStringLiteral("randomize")), 1);
}

} // namespace
