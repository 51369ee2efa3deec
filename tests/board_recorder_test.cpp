// The game's events as the store keeps them (deals, picks, ends, the clock), and a board in
// play saved and laid out again by a new game as it was.
#include "records/board_recorder.h"
#include "records/records_store.h"
#include "support/game_fixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace horokata;
using namespace horokata::testing;

namespace {

class BoardRecorderTest : public GameTest {
protected:
    BoardRecorderTest()
    {
        EXPECT_TRUE(dir.isValid());
        EXPECT_EQ(store.open(path()).status, OpenOutcome::Status::Ok);
        game.setObserver(&recorder);
        recorder.setWindowActive(true);
    }
    QString path() const { return dir.filePath(QStringLiteral("records.sqlite")); }
    LevelListSource listOf(const Game &g) const
    {
        return [&g](int) { return std::optional<std::vector<Idiom>>(g.idiomList()); };
    }
    const LevelStats &beginner() { return summary_ = store.summary(), summary_.levels[0]; }

    QTemporaryDir dir;
    RecordsStore store;
    BoardRecorder recorder{game, store, platform};
    RecordsSummary summary_;
};

TEST_F(BoardRecorderTest, EachBoardEndsOnceAsItEndedAndQuittingEndsNone)
{
    dealBoard();
    const std::int64_t firstBoard = recorder.boardId();
    ASSERT_NE(firstBoard, 0);
    missOnce();
    horokata::testing::runFlow(game.cmdNEW_Click()); // the board in play is left for a new one: abandoned
    ASSERT_TRUE(game.playing());
    EXPECT_NE(recorder.boardId(), firstBoard);
    EXPECT_EQ(beginner().played, 1);

    // A board left before any pick does not count.
    horokata::testing::runFlow(game.cmdNEW_Click());
    EXPECT_EQ(beginner().played, 1);

    ASSERT_TRUE(findIdiom(1));
    const std::int64_t replayed = recorder.boardId();
    horokata::testing::runFlow(game.cmdRESET_Click()); // 再度 while in play: abandoned, a new attempt at the same board
    EXPECT_EQ(recorder.boardId(), replayed);
    EXPECT_EQ(beginner().played, 2);

    loseBoard(); // the replay is practice: neither played nor lost
    EXPECT_EQ(beginner().played, 2);
    EXPECT_FALSE(recorder.inPlay());
    horokata::testing::runFlow(game.cmdRESET_Click());
    ASSERT_TRUE(findIdiom(2));
    host.answers = {false}; // yes: give up
    horokata::testing::runFlow(game.chkLIFE_MouseUp(0));
    ASSERT_EQ(game.overStage(), 1);
    EXPECT_EQ(beginner().played, 2);

    const RecordsSummary s = store.summary();
    ASSERT_EQ(s.recent.size(), 4u);
    EXPECT_EQ(s.recent[0].end, BoardEnd::GaveUp);
    EXPECT_TRUE(s.recent[0].practice && s.recent[1].practice);
    EXPECT_FALSE(s.recent[2].practice);
    EXPECT_EQ(s.recent[0].misses, 0) << "giving up is not three misses";
    EXPECT_EQ(s.recent[1].end, BoardEnd::Lost);
    EXPECT_EQ(s.recent[1].misses, 3);
    EXPECT_EQ(s.recent[2].end, BoardEnd::AbandonedReplay);
    EXPECT_EQ(s.recent[3].end, BoardEnd::AbandonedNew);
    EXPECT_EQ(s.recent[3].misses, 1);

    // Quitting with a board in play ends nothing: the board is there to resume.
    horokata::testing::runFlow(game.cmdNEW_Click());
    missOnce();
    recorder.closing(true);
    EXPECT_EQ(beginner().played, 2);
    const ResumeLoad resume = store.loadResume(listOf(game));
    ASSERT_EQ(resume.status, ResumeLoad::Status::Ok) << resume.problem.toStdString();
    EXPECT_EQ(resume.board.intMISS, 1);
    EXPECT_EQ(resume.board.attemptId, recorder.attemptId());
}

TEST_F(BoardRecorderTest, TheClockRunsWhileTheWindowIsActiveAndStopsAtTheLastFind)
{
    dealBoard();
    EXPECT_EQ(recorder.playMs(), 0) << "the deal's pause is not play";
    platform.clock += 1000;
    recorder.setWindowActive(false); // minimised, hidden or another window active
    platform.clock += 60000;
    recorder.setWindowActive(true);
    platform.clock += 500;
    EXPECT_EQ(recorder.playMs(), 1500);
    missOnce();
    platform.clock += 5500;
    completeBoard();
    platform.clock += 9000;
    EXPECT_EQ(recorder.playMs(), 7000);
    // The first win of a level is its best.
    EXPECT_EQ(game.model().lblGOKU, QStringLiteral("0:07　新記録"));
    const RecordsSummary s = store.summary();
    ASSERT_EQ(s.recent.size(), 1u);
    EXPECT_EQ(s.recent[0].end, BoardEnd::Won);
    EXPECT_EQ(s.recent[0].playMs, 7000);
    EXPECT_EQ(s.recent[0].misses, 1);

    // A slower win shows its time alone.
    horokata::testing::runFlow(game.cmdNEW_Click());
    platform.clock += 8000;
    completeBoard();
    EXPECT_EQ(game.model().lblGOKU, QStringLiteral("0:08"));
    // The clock across a wrap of the 32-bit tick.
    horokata::testing::runFlow(game.cmdNEW_Click());
    recorder.setWindowActive(false);
    platform.clock = 0xFFFFFF00u;
    recorder.setWindowActive(true);
    platform.clock += 0x200u;
    EXPECT_EQ(recorder.playMs(), 0x200);
}

// A board with a respelled line, moved tiles, a miss and a pick under way, saved on quit and
// laid out by a new game: the same board, and play goes on from it.
TEST_F(BoardRecorderTest, ASavedBoardIsLaidOutAgainAsItWas)
{
    // The list holds the first idiom also in another order; the board hides only the first.
    std::vector<QString> idioms = generatedIdioms(20);
    const QString first = idioms[0];
    const QString respelled = first.mid(2) + first.left(2);
    setList(idioms);
    dealBoard();
    setList([&] { idioms.push_back(respelled); return idioms; }());
    const std::vector<int> cells = cellsSpelling(respelled);
    ASSERT_EQ(cells.size(), 4u);
    pick(cells);
    ASSERT_EQ(game.foundCount(), 1);
    ASSERT_TRUE(findIdiom(7));
    missOnce();
    platform.clock += 4200;
    const std::vector<int> under = cellsSpelling(goku(3));
    pick({under[0], under[1]});
    recorder.closing(true);

    ProgramState globals2;
    globals2.setProgramFolder(globals.programFolder());
    FakeHost host2{globals2, platform};
    Game game2{globals2, platform, host2};
    RecordsStore store2;
    ASSERT_EQ(store2.open(path()).status, OpenOutcome::Status::Ok);
    const ResumeLoad resume = store2.loadResume(listOf(game));
    ASSERT_EQ(resume.status, ResumeLoad::Status::Ok) << resume.problem.toStdString();
    game2.takeLevel(resume.board.level, game.idiomList());
    game2.resumeBoard(resume.board);
    EXPECT_EQ(visibleState(game2), visibleState(game));
    EXPECT_EQ(game2.model().lblGO[0].Caption, QStringLiteral("01：") + respelled);
    EXPECT_EQ(game2.colorScheme(), game.colorScheme());
    EXPECT_EQ(game2.model().paintedScheme, game.model().paintedScheme);
    EXPECT_TRUE(checkInvariants(game2).isEmpty()) << checkInvariants(game2).toStdString();

    // Play goes on: the pick under way is completed, its clock carries on.
    BoardRecorder recorder2{game2, store2, platform};
    game2.setObserver(&recorder2);
    recorder2.setWindowActive(true);
    recorder2.resumed(resume.board);
    EXPECT_EQ(recorder2.playMs(), 4200);
    horokata::testing::runFlow(game2.clickTile(under[2], MouseButton::Left));
    horokata::testing::runFlow(game2.clickTile(under[3], MouseButton::Left));
    EXPECT_EQ(game2.foundCount(), 3);
    EXPECT_EQ(game2.model().lblGO[2].Caption, QStringLiteral("03：") + goku(3));
    horokata::testing::runFlow(game2.cmdRESET_Click());
    EXPECT_EQ(recorder2.boardId(), resume.board.boardId) << "再度 replays the stored board";
    EXPECT_EQ(store2.summary().levels[0].played, 1);
}

TEST_F(BoardRecorderTest, WritesThatFailKeepTheBoardAndTheNextRestSavesIt)
{
    dealBoard();
    ASSERT_TRUE(findIdiom(1));
    {
        // Another program holds the file: every write fails while it does.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        horokata::testing::runFlow(game.cmdNEW_Click()); // the board left, a new one dealt: neither can be written
        ASSERT_TRUE(game.playing());
        ASSERT_TRUE(findIdiom(2));
        missOnce();
        EXPECT_EQ(recorder.unsavedSteps(), 4u);
        EXPECT_TRUE(store.writeFailing());
        q.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    ASSERT_TRUE(findIdiom(3)); // the next rest writes all it kept, in order
    EXPECT_EQ(recorder.unsavedSteps(), 0u);
    EXPECT_EQ(beginner().played, 1); // the board left is counted
    recorder.closing(true);

    RecordsStore reader;
    ASSERT_EQ(reader.open(path(), RecordsStore::Mode::ReadOnly).status, OpenOutcome::Status::Ok);
    const ResumeLoad resume = reader.loadResume(listOf(game));
    ASSERT_EQ(resume.status, ResumeLoad::Status::Ok) << resume.problem.toStdString();
    EXPECT_EQ(resume.board.attemptId, recorder.attemptId());
    EXPECT_EQ(std::count(resume.board.intFIND.begin(), resume.board.intFIND.end(), true), 2);
    EXPECT_EQ(resume.board.intMISS, 1);
}

} // namespace
