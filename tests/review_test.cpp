// Tests of review boards in the core: the choice of the twenty idioms, the schedule each
// meeting moves in the store, the review row of the records, and an older file brought forward.
#include "records/records_store.h"
#include "records/review_choice.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

QString idiomNo(int n)
{
    QString s;
    for (int j = 0; j < 4; ++j)
        s += QChar(char16_t(0x4E00 + n * 4 + j));
    return s;
}

NotebookRecord met(int n, std::int64_t lastMetMs, bool lastFound, QDate due)
{
    NotebookRecord r{idiomNo(n), 1, 1, lastFound ? 0 : 1, lastFound, 0, lastMetMs, {}};
    r.card.reps = 1;
    r.card.due = due;
    r.card.lastReview = due.addDays(-1);
    return r;
}

// A deal of idioms n .. n + 19, tiles in order.
DealtBoard deal(int first, bool review = false)
{
    DealtBoard b;
    b.review = review;
    QString text;
    for (int k = 0; k < kIdioms; ++k)
        text += b.strGOKU[std::size_t(k)] = idiomNo(first + k);
    for (int m = 0; m < kCells; ++m)
        b.strMOJI[std::size_t(m)] = text.mid(m, 1);
    return b;
}

} // namespace

TEST(ReviewChoiceTest, DueMissedFirstThenDueThenMetLongestAgo)
{
    const QDate today(2026, 12, 9);
    std::vector<NotebookRecord> notebook;
    for (int n = 0; n < 19; ++n)
        notebook.push_back(met(n, 1000 + n, true, today.addDays(5))); // not due
    ReviewChoice c = chooseReview(notebook, today);
    EXPECT_TRUE(c.idioms.empty());
    EXPECT_EQ(c.moreNeeded, 1);
    // One idiom spelled two ways counts once.
    QString respelled = idiomNo(0);
    std::reverse(respelled.begin(), respelled.end());
    notebook.push_back(met(0, 5000, true, today.addDays(5)));
    notebook.back().idiom = respelled;
    EXPECT_EQ(chooseReview(notebook, today).moreNeeded, 1);

    notebook.push_back(met(40, 9000, true, today.addDays(-1))); // due
    notebook.push_back(met(41, 9000, false, today));            // due, missed last
    notebook.push_back(met(42, 9000, true, today.addDays(-3))); // due earliest
    c = chooseReview(notebook, today);
    EXPECT_EQ(c.dueToday, 3);
    ASSERT_EQ(c.idioms.size(), std::size_t(kIdioms));
    EXPECT_EQ(c.idioms[0], idiomNo(41));
    EXPECT_EQ(c.idioms[1], idiomNo(42));
    EXPECT_EQ(c.idioms[2], idiomNo(40));
    EXPECT_EQ(c.idioms[3], idiomNo(0)); // then the longest ago met
    EXPECT_EQ(c.idioms[19], idiomNo(16));
}

class ReviewStoreTest : public ::testing::Test {
protected:
    void SetUp() override { path = dir.filePath(QStringLiteral("records.sqlite")); }
    OpenOutcome open(RecordsStore &s)
    {
        s.setClock([this] { return now; });
        return s.open(path);
    }
    NotebookRecord record(RecordsStore &s, const QString &idiom)
    {
        for (const NotebookRecord &r : s.notebook())
            if (r.idiom == idiom)
                return r;
        ADD_FAILURE() << "not in the notebook";
        return {};
    }
    QTemporaryDir dir;
    QString path;
    std::int64_t now = QDateTime(QDate(2026, 12, 1), QTime(12, 0)).toMSecsSinceEpoch();
    static constexpr std::int64_t kDay = 24 * 3600 * 1000;
};

TEST_F(ReviewStoreTest, MeetingsMoveTheScheduleAndReviewBoardsKeepApart)
{
    RecordsStore s;
    ASSERT_EQ(open(s).status, OpenOutcome::Status::Ok);
    DealIds ids = s.recordDeal(deal(0));
    ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, idiomNo(0), 10));
    ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 2, idiomNo(1), 10, nullptr, fsrs::Rating::Hard));
    ASSERT_TRUE(s.endAttempt(ids.attemptId, BoardEnd::Lost, 3, 20));
    const fsrs::Scheduler fsrs;
    const QDate today = QDate(2026, 12, 1);
    EXPECT_EQ(record(s, idiomNo(0)).card.due, fsrs.review({}, fsrs::Rating::Good, today).due);
    EXPECT_EQ(record(s, idiomNo(1)).card.due, fsrs.review({}, fsrs::Rating::Hard, today).due);
    EXPECT_EQ(record(s, idiomNo(5)).card.memory.stability, fsrs.review({}, fsrs::Rating::Again, today).memory.stability);

    // A review board on level 2 a week later: finds stay under level 0, and the board is a
    // row of its own, with recall; a reveal on a practice attempt moves nothing.
    now += 7 * kDay;
    ids = s.recordDeal([] { DealtBoard b = deal(0, true); b.level = 2; return b; }());
    ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 6, idiomNo(5), 10));
    const fsrs::Card before = record(s, idiomNo(0)).card;
    ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, idiomNo(0), 10, nullptr, std::nullopt)); // practice
    EXPECT_EQ(record(s, idiomNo(0)).card.lastReview, before.lastReview);
    ASSERT_TRUE(s.endAttempt(ids.attemptId, BoardEnd::GaveUp, 0, 20, true));
    const NotebookRecord r = record(s, idiomNo(5));
    EXPECT_EQ(r.levels, 1);
    EXPECT_EQ(r.card.reps, 2);
    EXPECT_EQ(r.card.lastReview, today.addDays(7));
    EXPECT_EQ(record(s, idiomNo(6)).card.reps, 1);
    const RecordsSummary sum = s.summary();
    EXPECT_EQ(sum.levels[2].played, 0);
    EXPECT_EQ(sum.total.played, 1);
    EXPECT_EQ(sum.review.played, 1);
    EXPECT_EQ(sum.recallPercent(), 10);
    EXPECT_TRUE(sum.recent.front().review);
    EXPECT_TRUE(s.board(ids.boardId)->review);
}

TEST_F(ReviewStoreTest, AVersion2FileStartsEachIdiomFromItsCountsAndKeepsEveryRow)
{
    {
        RecordsStore s;
        ASSERT_EQ(open(s).status, OpenOutcome::Status::Ok);
        const DealIds ids = s.recordDeal(deal(0));
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, idiomNo(0), 10));
        ASSERT_TRUE(s.endAttempt(ids.attemptId, BoardEnd::Lost, 3, 20));
    }
    {
        // The same file as version 2 wrote it, with a notebook row whose boards were cleared.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char *column : {"stability", "difficulty", "last_review", "due", "reps", "lapses"})
            ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE notebook DROP COLUMN %1").arg(QLatin1String(column))));
        ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE boards DROP COLUMN review")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO notebook VALUES ('%1', 8, 3, 2, 1, %2, %3)")
                               .arg(idiomNo(70)).arg(now - 30 * kDay).arg(now - 2 * kDay)));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version = 2")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    {
        // A reader beside an older game reads it as it stands, each idiom started from its counts.
        RecordsStore reader;
        ASSERT_EQ(reader.open(path, RecordsStore::Mode::ReadOnly).status, OpenOutcome::Status::Ok);
        EXPECT_EQ(reader.notebook().size(), 21u);
        EXPECT_EQ(reader.summary().total.played, 1);
        EXPECT_FALSE(record(reader, idiomNo(70)).card.isNew());
    }
    RecordsStore s;
    const OpenOutcome o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
    EXPECT_EQ(o.migratedFrom, 2);
    EXPECT_TRUE(o.repaired.isEmpty());
    EXPECT_EQ(s.notebook().size(), 21u);
    const fsrs::Card expected =
        fsrs::Scheduler().fromHistory(3, 2, true, QDate(2026, 11, 1), QDate(2026, 11, 29));
    const NotebookRecord r = record(s, idiomNo(70));
    EXPECT_EQ(r.card.due, expected.due);
    EXPECT_DOUBLE_EQ(r.card.memory.stability, expected.memory.stability);
    EXPECT_EQ(r.card.reps, expected.reps);
    EXPECT_FALSE(s.board(1)->review);
}
