// Tests of the player's store against temporary files: records and streaks, migration, files
// set aside, going without records, and resuming a board, hostile rows included.
#include "records/records_store.h"
#include "records/records_store_impl.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

using namespace horokata;

static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// Twenty idioms of distinct characters, and the level's list holding them and one of them
// in another order (the line may show either).
std::array<QString, kIdioms> idiomsFrom(int seed)
{
    std::array<QString, kIdioms> out;
    for (int k = 0; k < kIdioms; ++k)
        for (int j = 0; j < 4; ++j)
            out[std::size_t(k)] += QChar(char16_t(0x4E00 + seed * 80 + k * 4 + j));
    return out;
}

QString reversed(QString s)
{
    std::reverse(s.begin(), s.end());
    return s;
}

std::vector<Idiom> listOf(const std::array<QString, kIdioms> &idioms)
{
    std::vector<Idiom> list{Idiom()};
    for (const QString &s : idioms)
        list.emplace_back(QStringView(s));
    list.emplace_back(QStringView(reversed(idioms[0])));
    return list;
}

// A deal whose first idiom stands in the rightmost column, rows 0 to 3 (cells 72..75).
DealtBoard deal(int level, int seed = 0)
{
    DealtBoard b;
    b.level = level;
    b.strGOKU = idiomsFrom(seed);
    QString text;
    for (const QString &s : b.strGOKU)
        text += s;
    for (int m = 0; m < kCells; ++m)
        b.strMOJI[std::size_t(m)] = text.mid((m + 8) % kCells, 1);
    return b;
}

// The board in play after the first idiom was found (spelled backwards), one miss, and one
// tile picked: rows 0..3 each closed up one cell to the right.
SavedBoard restingBoard(const DealtBoard &d, DealIds ids)
{
    SavedBoard b;
    b.boardId = ids.boardId;
    b.attemptId = ids.attemptId;
    b.level = d.level;
    b.strMOJI = d.strMOJI;
    b.strGOKU = d.strGOKU;
    b.intFIND[0] = true;
    b.lines[0] = reversed(d.strGOKU[0]);
    b.captions = d.strMOJI;
    b.intMOJI.fill(true);
    for (int row = 0; row < 4; ++row) {
        for (int column = kColumns - 1; column >= 1; --column)
            b.captions[std::size_t(cellIndex(column, row))] = d.strMOJI[std::size_t(cellIndex(column - 1, row))];
        b.intMOJI[std::size_t(cellIndex(0, row))] = false;
    }
    b.pick = {cellIndex(5, 6)};
    b.intMISS = 1;
    b.intCOLOR = 3;
    b.intGRADE = 2;
    b.playMs = 61234;
    return b;
}

class RecordsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("data/horokata/records.sqlite"));
    }
    OpenOutcome open(RecordsStore &s, RecordsStore::Mode mode = RecordsStore::Mode::ReadWrite)
    {
        s.setClock([this] { return now += 1000; });
        return s.open(path, mode);
    }
    // One counted attempt, ended as given; a win's time is `ms`.
    void play(RecordsStore &s, int level, BoardEnd end, std::int64_t ms = 60000, int misses = 0)
    {
        const DealIds ids = s.recordDeal(deal(level));
        ASSERT_GT(ids.attemptId, 0);
        for (int m = 0; m < misses; ++m)
            ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Miss, 0, QStringLiteral("一二三四"), ms));
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 2, deal(level).strGOKU[1], ms));
        ASSERT_TRUE(s.endAttempt(ids.attemptId, end, misses, ms));
    }
    // Runs SQL on the file beside the store; false when the database refused a statement.
    bool sql(const QStringList &statements, bool mustRun = true)
    {
        bool ran = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(path);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            for (const QString &s : statements) {
                ran = ran && q.exec(s);
                EXPECT_TRUE(ran || !mustRun) << s.toStdString() << ": " << q.lastError().text().toStdString();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        return ran;
    }
    QByteArray bytes(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // In memory where the machine offers it: the hostile-row test rewrites the file hundreds of times.
    QTemporaryDir dir{QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/horokata-XXXXXX")
                                                                            : QDir::tempPath() + QStringLiteral("/horokata-XXXXXX")};
    QString path;
    std::int64_t now = 1'700'000'000'000;
};

TEST_F(RecordsStoreTest, CountsBoardsStreaksAndTimes)
{
    RecordsStore s;
    const OpenOutcome o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
    EXPECT_TRUE(QFileInfo::exists(path)); // the folder was made

    // A board abandoned before any pick never counts.
    const DealIds idle = s.recordDeal(deal(0));
    ASSERT_TRUE(s.endAttempt(idle.attemptId, BoardEnd::AbandonedNew, 0, 0));
    play(s, 0, BoardEnd::Won, 90000, 1);
    play(s, 0, BoardEnd::Won, 70000);
    play(s, 0, BoardEnd::AbandonedLevel); // counted: a loss for the streak
    play(s, 1, BoardEnd::Won, 50000);     // another level: breaks nothing on level 0
    play(s, 0, BoardEnd::Won, 80000);
    play(s, 0, BoardEnd::Lost, 10000, 3);
    EXPECT_TRUE(s.isNewBest(0, 69999));
    EXPECT_FALSE(s.isNewBest(0, 70000));
    EXPECT_TRUE(s.isNewBest(2, 999999)); // the first win on a level is a record
    play(s, 0, BoardEnd::Won, 60000);
    // 再度 is a new attempt at the same board, practice; ending the first one by it counts as a loss.
    const DealIds again = s.recordDeal(deal(0));
    ASSERT_TRUE(s.recordPick(again.attemptId, PickResult::Miss, 0, QStringLiteral("一二三四"), 1000));
    ASSERT_TRUE(s.endAttempt(again.attemptId, BoardEnd::AbandonedReplay, 1, 1000));
    const std::int64_t second = s.startAttempt(again.boardId);
    ASSERT_GT(second, again.attemptId);
    ASSERT_TRUE(s.recordPick(second, PickResult::Found, 1, deal(0).strGOKU[0], 55000));
    ASSERT_TRUE(s.endAttempt(second, BoardEnd::Won, 0, 55000));
    EXPECT_FALSE(s.endAttempt(second, BoardEnd::Lost, 3, 1)); // an ended attempt stays ended
    EXPECT_TRUE(s.isNewBest(0, 59999)) << "a practice win is no best";
    // A win helped by hints counts as won and in the average, not as best or ノーミス.
    const DealIds hinted = s.recordDeal(deal(0));
    ASSERT_TRUE(s.recordPick(hinted.attemptId, PickResult::Found, 1, deal(0).strGOKU[0], 30000));
    ASSERT_TRUE(s.endAttempt(hinted.attemptId, BoardEnd::Won, 0, 30000, false, 2));
    EXPECT_TRUE(s.isNewBest(0, 59999));

    const RecordsSummary r = s.summary();
    const LevelStats &l0 = r.levels[0];
    EXPECT_EQ(l0.played, 8);
    EXPECT_EQ(l0.won, 5);
    EXPECT_EQ(l0.winPercent(), 63);
    EXPECT_EQ(l0.currentStreak, 1);
    EXPECT_EQ(l0.longestStreak, 2);
    EXPECT_EQ(l0.bestMs, 60000);
    EXPECT_EQ(l0.averageMs, (90000 + 70000 + 80000 + 60000 + 30000) / 5);
    EXPECT_EQ(l0.noMiss, 3);
    EXPECT_EQ(r.levels[1].played, 1);
    EXPECT_EQ(r.levels[2].played, 0);
    EXPECT_EQ(r.levels[2].winPercent(), 0);
    EXPECT_FALSE(r.levels[2].bestMs.has_value());
    EXPECT_EQ(r.total.played, 9);
    EXPECT_EQ(r.total.longestStreak, 2); // by time: W W A W(一般) W L W A (practice W) W
    ASSERT_EQ(r.recent.size(), 10u); // practice is listed, as practice
    EXPECT_EQ(r.recent.front().hints, 2);
    EXPECT_FALSE(r.recent.front().practice);
    EXPECT_EQ(r.recent[1].end, BoardEnd::Won);
    EXPECT_EQ(r.recent[1].playMs, 55000);
    EXPECT_TRUE(r.recent[1].practice);
    EXPECT_EQ(r.recent[2].end, BoardEnd::AbandonedReplay);
    EXPECT_FALSE(r.recent[2].practice);
    EXPECT_GT(r.recent[1].endedAtMs, r.recent[2].endedAtMs);
    EXPECT_EQ(formatPlayTime(l0.bestMs), QStringLiteral("1:00"));
    EXPECT_EQ(formatPlayTime(std::int64_t(59 * 60000 + 59999)), QStringLiteral("59:59"));
    EXPECT_EQ(formatPlayTime(std::int64_t(75 * 60000 + 9999)), QStringLiteral("1:15:09"));
    EXPECT_EQ(s.lastLevel(), 0);

    // Clearing a level leaves the others and the board dealt last.
    ASSERT_TRUE(s.clearLevel(0));
    s.close();
    RecordsStore reopened;
    ASSERT_EQ(open(reopened).status, OpenOutcome::Status::Ok);
    const RecordsSummary after = reopened.summary();
    EXPECT_EQ(after.levels[0].played, 0);
    EXPECT_EQ(after.levels[1].won, 1);
    EXPECT_EQ(after.recent.size(), 1u);
    const std::optional<DealtBoard> last = reopened.lastBoard();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->strMOJI, deal(0).strMOJI);
    EXPECT_EQ(last->strGOKU, deal(0).strGOKU);
    for (int i = 0; i < 30; ++i)
        play(reopened, 3, BoardEnd::Won, 1000 + i);
    EXPECT_EQ(reopened.summary().recent.size(), std::size_t(kRecentBoards));
    EXPECT_EQ(reopened.summary().levels[3].longestStreak, 30);
}

TEST_F(RecordsStoreTest, MigratesAVersion1FileAndFillsTheNotebook)
{
    std::vector<NotebookRecord> live;
    {
        RecordsStore s;
        ASSERT_EQ(open(s).status, OpenOutcome::Status::Ok);
        play(s, 0, BoardEnd::Won);
        play(s, 2, BoardEnd::Lost, 5000, 3); // 19 idioms revealed
        const DealIds ids = s.recordDeal(deal(1, 1));
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, reversed(deal(1, 1).strGOKU[0]), 100));
        ASSERT_TRUE(s.endAttempt(ids.attemptId, BoardEnd::GaveUp, 3, 200));
        // The same board played again and won.
        const std::int64_t again = s.startAttempt(ids.boardId);
        ASSERT_TRUE(s.recordPick(again, PickResult::Found, 1, reversed(deal(1, 1).strGOKU[0]), 100));
        ASSERT_TRUE(s.endAttempt(again, BoardEnd::Won, 0, 300));
        live = s.notebook();
    }
    ASSERT_EQ(live.size(), 2u + 19u + 19u);
    // A version 1 file is the same file without the notebook and without what later versions
    // added to the attempts and the saved board.
    sql({QStringLiteral("DROP TABLE notebook"), QStringLiteral("ALTER TABLE attempts DROP COLUMN practice"),
         QStringLiteral("ALTER TABLE attempts DROP COLUMN hints"), QStringLiteral("ALTER TABLE boards DROP COLUMN review"),
         QStringLiteral("DROP TABLE resume"), QStringLiteral("PRAGMA user_version = 1")});

    RecordsStore s;
    const OpenOutcome o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
    EXPECT_EQ(o.migratedFrom, 1);
    std::vector<NotebookRecord> migrated = s.notebook();
    const auto byIdiom = [](const NotebookRecord &a, const NotebookRecord &b) { return a.idiom < b.idiom; };
    std::sort(live.begin(), live.end(), byIdiom);
    std::sort(migrated.begin(), migrated.end(), byIdiom);
    ASSERT_EQ(migrated.size(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i) {
        EXPECT_EQ(migrated[i].idiom, live[i].idiom);
        EXPECT_EQ(migrated[i].levels, live[i].levels);
        EXPECT_EQ(migrated[i].found, live[i].found);
        EXPECT_EQ(migrated[i].missed, live[i].missed);
        EXPECT_EQ(migrated[i].lastFound, live[i].lastFound);
        EXPECT_EQ(migrated[i].firstMetMs, live[i].firstMetMs);
        EXPECT_EQ(migrated[i].lastMetMs, live[i].lastMetMs);
    }
    // The replay, from before practice was kept, is practice now: listed, not counted.
    const RecordsSummary r = s.summary();
    EXPECT_EQ(r.total.played, 3);
    EXPECT_EQ(r.total.won, 1);
    ASSERT_EQ(r.recent.size(), 4u);
    EXPECT_TRUE(r.recent.front().practice);
    EXPECT_FALSE(r.recent[1].practice);
}

TEST_F(RecordsStoreTest, SetsAsideAFileThatIsNotReadableRecords)
{
    // Each case makes a file the store must not use, and must not lose.
    const std::vector<std::pair<const char *, std::function<void()>>> cases = {
        {"garbage", [&] {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(5000, '\x5a'));
         }},
        {"garbage after a database header", [&] {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xff'));
         }},
        {"truncated", [&] {
             {
                 RecordsStore s;
                 open(s);
                 for (int i = 0; i < 40; ++i)
                     play(s, i % 4, BoardEnd::Won);
             }
             QFile f(path);
             ASSERT_TRUE(f.resize(f.size() / 2 + 100));
         }},
    };
    for (const auto &[name, make] : cases) {
        SCOPED_TRACE(name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(QFileInfo(path).absolutePath());
        make();
        if (::testing::Test::HasFatalFailure())
            return;
        const QByteArray before = bytes(path);
        ASSERT_FALSE(before.isEmpty());

        RecordsStore s;
        const OpenOutcome o = open(s);
        ASSERT_EQ(o.status, OpenOutcome::Status::SetAside) << o.reason.toStdString();
        EXPECT_TRUE(s.available());
        EXPECT_FALSE(o.reason.isEmpty());
        EXPECT_EQ(QFileInfo(o.setAsidePath).absolutePath(), QFileInfo(path).absolutePath());
        EXPECT_TRUE(o.setAsidePath.contains(QDateTime::fromMSecsSinceEpoch(now).date().toString(Qt::ISODate)));
        EXPECT_EQ(bytes(o.setAsidePath), before);
        play(s, 1, BoardEnd::Won);
        EXPECT_EQ(s.summary().total.won, 1);
        s.close();

        // A second bad file the same day is kept too, under another name.
        QFile::remove(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database at all, but longer than one hundred bytes......................................");
        f.close();
        RecordsStore again;
        const OpenOutcome second = open(again);
        ASSERT_EQ(second.status, OpenOutcome::Status::SetAside);
        EXPECT_NE(second.setAsidePath, o.setAsidePath);
        EXPECT_EQ(bytes(o.setAsidePath), before);
    }
}

TEST_F(RecordsStoreTest, GoesWithoutRecordsWhenTheFileCannotBeUsed)
{
    // A file where the folder should be: the folder cannot be made.
    {
        QFile blocker(dir.filePath(QStringLiteral("data")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    RecordsStore s;
    OpenOutcome o = open(s);
    EXPECT_EQ(o.status, OpenOutcome::Status::Unavailable);
    EXPECT_FALSE(s.available());
    EXPECT_EQ(s.recordDeal(deal(0)).attemptId, 0);
    EXPECT_FALSE(s.saveResume(SavedBoard()));
    EXPECT_EQ(s.summary().total.played, 0);
    EXPECT_EQ(s.loadResume({}).status, ResumeLoad::Status::None);
    EXPECT_TRUE(s.notebook().empty());
    QFile::remove(dir.filePath(QStringLiteral("data")));

    // A file locked by another program for writing.
    RecordsStore first;
    ASSERT_EQ(open(first).status, OpenOutcome::Status::Ok);
    first.close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        RecordsStore locked;
        o = open(locked);
        EXPECT_EQ(o.status, OpenOutcome::Status::Unavailable) << o.reason.toStdString();
        EXPECT_TRUE(o.setAsidePath.isEmpty());
        q.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    RecordsStore after;
    EXPECT_EQ(open(after).status, OpenOutcome::Status::Ok); // the locked file was left alone

    // Locked while in use: the writes fail, told once, and the first write after the lock goes
    // works again.
    QStringList told;
    after.setFailureHandler([&](StoreNotice n, const QString &why) {
        EXPECT_EQ(n, StoreNotice::WriteFailed);
        told << why;
    });
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_EQ(after.recordDeal(deal(0)).attemptId, 0);
        EXPECT_TRUE(after.writeFailing());
        EXPECT_FALSE(after.setLastLevel(1));
        q.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    EXPECT_EQ(told.size(), 1);
    EXPECT_TRUE(after.setLastLevel(1));
    EXPECT_FALSE(after.writeFailing());
    EXPECT_EQ(after.lastLevel(), 1);

    // The folder moved away while in use: nothing is written into a file no longer there, and
    // writing goes on once it is back.
    const QString folder = QFileInfo(path).absolutePath();
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral("-moved")));
    EXPECT_FALSE(after.setLastLevel(2));
    EXPECT_TRUE(after.writeFailing());
    ASSERT_TRUE(QDir().rename(folder + QStringLiteral("-moved"), folder));
    EXPECT_TRUE(after.setLastLevel(2));
    EXPECT_EQ(after.lastLevel(), 2);
    EXPECT_EQ(told.size(), 2);
}

TEST_F(RecordsStoreTest, KeepsAFileFoundDamagedInUseAndStopsWritingIt)
{
    {
        RecordsStore s;
        open(s);
        for (int i = 0; i < 40; ++i)
            play(s, i % 4, BoardEnd::Won);
    }
    // Every page but the first (the table of tables) overwritten.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_GT(f.size(), 4 * 4096);
    f.seek(4096);
    f.write(QByteArray(int(f.size()) - 4096, '\x5a'));
    f.close();
    const QByteArray damaged = bytes(path);

    RecordsStore s;
    ASSERT_EQ(open(s).status, OpenOutcome::Status::Ok);
    QList<StoreNotice> told;
    s.setFailureHandler([&](StoreNotice n, const QString &) { told << n; });
    EXPECT_EQ(s.summary().total.played, 0);
    EXPECT_EQ(told, QList<StoreNotice>{StoreNotice::Damaged});
    EXPECT_TRUE(s.available());
    EXPECT_FALSE(s.writable());
    EXPECT_EQ(s.recordDeal(deal(0)).attemptId, 0);
    EXPECT_EQ(told.size(), 1);
    s.close();
    EXPECT_EQ(bytes(path), damaged); // kept where it was, as it was
}

TEST_F(RecordsStoreTest, MakesAgainWhatIsMissingAndKeepsTheRest)
{
    const auto count = [&](const char *table) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        const int n = q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))) && q.next() ? q.value(0).toInt() : -1;
        q.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("count"));
        return n;
    };
    // Each damage leaves the other tables' rows where they were, and the store writes on.
    const std::vector<std::pair<QStringList, const char *>> cases = {
        {{QStringLiteral("DROP TABLE boards")}, "boards"},
        {{QStringLiteral("DROP TABLE attempts")}, "attempts"},
        {{QStringLiteral("DROP TABLE picks")}, "picks"},
        {{QStringLiteral("DROP TABLE settings")}, "settings"},
        {{QStringLiteral("DROP TABLE resume")}, "resume"},
        {{QStringLiteral("DROP TABLE notebook")}, "notebook"},
        {{QStringLiteral("ALTER TABLE attempts DROP COLUMN misses")}, "attempts.misses"},
        {{QStringLiteral("ALTER TABLE notebook DROP COLUMN levels")}, "notebook.levels"},
        // A table that lost its key is made again with the rows that still fit.
        {{QStringLiteral("CREATE TABLE s2 (value, extra)"), QStringLiteral("INSERT INTO s2 (value) SELECT value FROM settings"),
          QStringLiteral("DROP TABLE settings"), QStringLiteral("ALTER TABLE s2 RENAME TO settings")}, "settings.key"},
    };
    for (const auto &[damage, what] : cases) {
        SCOPED_TRACE(what);
        QDir(dir.path()).removeRecursively();
        {
            RecordsStore s;
            open(s);
            play(s, 0, BoardEnd::Lost);
            play(s, 1, BoardEnd::Won);
            const DealIds ids = s.recordDeal(deal(1, 1));
            ASSERT_TRUE(s.saveResume(restingBoard(deal(1, 1), ids)));
        }
        sql(damage);
        const QString table = QString::fromLatin1(what).section(u'.', 0, 0);
        std::map<QString, int> before;
        for (const char *t : {"boards", "attempts", "picks", "resume"})
            before[QLatin1String(t)] = count(t);

        RecordsStore s;
        const OpenOutcome o = open(s);
        ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
        ASSERT_FALSE(o.repaired.isEmpty());
        EXPECT_TRUE(o.repaired.join(u' ').contains(table));
        for (const auto &[t, n] : before)
            if (t != table) {
                EXPECT_EQ(count(t.toLatin1()), n) << t.toStdString();
            }
        // A notebook made again from the boards kept holds what it held.
        EXPECT_EQ(s.notebook().size(), 20u);
        if (table != QLatin1String("boards") && table != QLatin1String("attempts") && table != QLatin1String("resume")) {
            EXPECT_EQ(s.loadResume([](int) { return std::optional(listOf(idiomsFrom(1))); }).status, ResumeLoad::Status::Ok);
        }
        play(s, 2, BoardEnd::Won);
        EXPECT_EQ(s.summary().levels[2].won, 1);
        s.close();
        RecordsStore again;
        EXPECT_TRUE(open(again).repaired.isEmpty()); // repaired once, for good
    }
}

TEST_F(RecordsStoreTest, ReadsByNameWhateverTheColumnOrderAndExtraColumns)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    sql({QStringLiteral("CREATE TABLE resume (saved_at INTEGER, extra TEXT, play_ms INTEGER, painted INTEGER,"
                        " color INTEGER, misses INTEGER, pick TEXT, standing TEXT, cells TEXT, lines TEXT, found TEXT,"
                        " board_id INTEGER, attempt_id INTEGER, id INTEGER PRIMARY KEY)"),
         QStringLiteral("PRAGMA application_id = %1").arg(kRecordsApplicationId), QStringLiteral("PRAGMA user_version = 2")});
    RecordsStore s;
    const OpenOutcome o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
    const DealIds ids = s.recordDeal(deal(1));
    const SavedBoard b = restingBoard(deal(1), ids);
    ASSERT_TRUE(s.saveResume(b));
    const ResumeLoad r = s.loadResume([](int) { return std::optional(listOf(idiomsFrom(0))); });
    ASSERT_EQ(r.status, ResumeLoad::Status::Ok) << r.problem.toStdString();
    EXPECT_EQ(r.board.captions, b.captions);
    EXPECT_EQ(r.board.playMs, b.playMs);
    EXPECT_EQ(r.board.intCOLOR, b.intCOLOR);
}

TEST_F(RecordsStoreTest, LeavesANewerOrAnotherProgramsFileAsItIs)
{
    {
        RecordsStore s;
        open(s);
        play(s, 3, BoardEnd::Won);
    }
    sql({QStringLiteral("PRAGMA user_version = %1").arg(kRecordsSchemaVersion + 1)});
    const QByteArray newer = bytes(path);
    RecordsStore s;
    OpenOutcome o = open(s);
    EXPECT_EQ(o.status, OpenOutcome::Status::Newer);
    EXPECT_EQ(s.summary().levels[3].won, 1); // read as it stands
    EXPECT_FALSE(s.writable());
    EXPECT_EQ(s.recordDeal(deal(0)).attemptId, 0);
    s.close();
    EXPECT_EQ(bytes(path), newer);
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("*unreadable*")}), QStringList());

    QFile::remove(path);
    sql({QStringLiteral("CREATE TABLE boards (id INTEGER PRIMARY KEY, name TEXT)"),
         QStringLiteral("INSERT INTO boards (name) VALUES ('chess')")});
    const QByteArray foreign = bytes(path);
    o = open(s);
    EXPECT_EQ(o.status, OpenOutcome::Status::Unavailable);
    EXPECT_TRUE(o.reason.contains(QStringLiteral("another program")));
    s.close();
    EXPECT_EQ(bytes(path), foreign);
}

TEST_F(RecordsStoreTest, SetsAsideTheFileWithItsLogAndNeverLendsALogToAnother)
{
    // The game still holds the file, its last commits in the log, when the file turns out
    // unreadable: file, log and shared memory go aside together.
    RecordsStore game;
    open(game);
    play(game, 0, BoardEnd::Won);
    ASSERT_GT(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
    QFile::copy(path + QStringLiteral("-wal"), dir.filePath(QStringLiteral("log")));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(100, 'x'));
    }
    RecordsStore s;
    OpenOutcome o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::SetAside);
    EXPECT_TRUE(QFileInfo::exists(o.setAsidePath + QStringLiteral("-wal")));
    EXPECT_EQ(bytes(o.setAsidePath + QStringLiteral("-wal")), bytes(dir.filePath(QStringLiteral("log"))));
    s.close();
    game.close();

    // A log beside no file is set aside on its own: the new file starts clean.
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::copy(dir.filePath(QStringLiteral("log")), path + QStringLiteral("-wal"));
    o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::Ok);
    EXPECT_EQ(s.summary().total.played, 0);
    const QStringList kept = QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("*unreadable*-wal")});
    EXPECT_EQ(kept.size(), 2);
    s.close();

    // A setting aside cut short after the log moved: the file follows its log on the next open.
    const QString cut = QFileInfo(path).absolutePath() + QStringLiteral("/records.unreadable-2020-01-01.sqlite");
    QFile::copy(dir.filePath(QStringLiteral("log")), cut + QStringLiteral("-wal"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(5000, 'x'));
    }
    o = open(s);
    ASSERT_EQ(o.status, OpenOutcome::Status::SetAside);
    EXPECT_EQ(o.setAsidePath, cut);
}

TEST_F(RecordsStoreTest, ReadsAFileOrFolderThatCannotBeWritten)
{
    {
        RecordsStore s;
        open(s);
        play(s, 2, BoardEnd::Won);
    }
    const auto chattr = [](const char *flag, const QString &file) {
        return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(flag), file}) == 0;
    };
    // The file alone (SQLite makes its -shm beside it), then the folder alone (it cannot).
    for (const QString &locked : {path, QFileInfo(path).absolutePath()}) {
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        if (!chattr("+i", locked))
            GTEST_SKIP() << "this file system cannot make a file immutable (chattr +i)";
        const QByteArray before = bytes(path);
        RecordsStore s;
        const OpenOutcome o = open(s);
        EXPECT_EQ(o.status, OpenOutcome::Status::ReadOnly) << o.reason.toStdString();
        EXPECT_EQ(s.summary().levels[2].won, 1);
        EXPECT_FALSE(s.clearLevel(2));
        s.close();
        chattr("-i", locked);
        EXPECT_EQ(bytes(path), before);
    }
}

TEST_F(RecordsStoreTest, ReadsBesideTheRunningGame)
{
    RecordsStore game;
    ASSERT_EQ(open(game).status, OpenOutcome::Status::Ok);
    play(game, 2, BoardEnd::Won);
    const DealIds ids = game.recordDeal(deal(2));
    ASSERT_TRUE(game.saveResume(restingBoard(deal(2), ids)));

    RecordsStore reader;
    ASSERT_EQ(open(reader, RecordsStore::Mode::ReadOnly).status, OpenOutcome::Status::Ok);
    EXPECT_EQ(reader.notebook().size(), 1u);
    EXPECT_EQ(reader.summary().levels[2].won, 1);
    EXPECT_EQ(reader.recordDeal(deal(0)).boardId, 0); // it writes nothing
    ASSERT_TRUE(game.recordPick(ids.attemptId, PickResult::Found, 3, deal(2).strGOKU[2], 5)); // the game goes on
    EXPECT_EQ(reader.notebook().size(), 2u);
    reader.close();
    game.close();
    ASSERT_EQ(open(reader, RecordsStore::Mode::ReadOnly).status, OpenOutcome::Status::Ok);
    EXPECT_EQ(reader.notebook().size(), 2u);
    QFile::remove(path);
    EXPECT_EQ(open(reader, RecordsStore::Mode::ReadOnly).status, OpenOutcome::Status::Unavailable);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(RecordsStoreTest, ResumesTheBoardInPlayAsItWas)
{
    const DealtBoard d = deal(1);
    const std::vector<Idiom> list = listOf(d.strGOKU);
    SavedBoard saved;
    {
        RecordsStore s;
        open(s);
        const DealIds ids = s.recordDeal(d);
        saved = restingBoard(d, ids);
        saved.paused = true;
        saved.hints = 3;
        saved.practice = true;
        ASSERT_EQ(checkSavedBoard(saved, list), QString());
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, saved.lines[0], 30000));
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Miss, 0, QStringLiteral("一二三四"), saved.playMs, &saved));
    }
    RecordsStore s;
    open(s);
    int asked = -1;
    const ResumeLoad r = s.loadResume([&](int level) {
        asked = level;
        return std::optional<std::vector<Idiom>>(list);
    });
    ASSERT_EQ(r.status, ResumeLoad::Status::Ok) << r.problem.toStdString();
    EXPECT_EQ(asked, 1);
    const SavedBoard &b = r.board;
    EXPECT_EQ(b.boardId, saved.boardId);
    EXPECT_EQ(b.attemptId, saved.attemptId);
    EXPECT_EQ(b.level, 1);
    EXPECT_EQ(b.strMOJI, saved.strMOJI);
    EXPECT_EQ(b.strGOKU, saved.strGOKU);
    EXPECT_EQ(b.intFIND, saved.intFIND);
    EXPECT_EQ(b.lines, saved.lines);
    EXPECT_EQ(b.captions, saved.captions);
    EXPECT_EQ(b.intMOJI, saved.intMOJI);
    EXPECT_EQ(b.pick, saved.pick);
    EXPECT_EQ(b.strPICK(), saved.captions[std::size_t(cellIndex(5, 6))]);
    EXPECT_EQ(b.intMISS, 1);
    EXPECT_EQ(b.intCOLOR, 3);
    EXPECT_EQ(b.intGRADE, 2);
    EXPECT_EQ(b.playMs, 61234);
    EXPECT_TRUE(b.paused);
    EXPECT_EQ(b.hints, 3);
    EXPECT_TRUE(b.practice);

    // A board just dealt, nothing found or picked yet.
    SavedBoard fresh = restingBoard(d, {b.boardId, b.attemptId});
    fresh.intFIND.fill(false);
    fresh.lines.fill(QString());
    fresh.captions = d.strMOJI;
    fresh.intMOJI.fill(true);
    fresh.pick.clear();
    ASSERT_TRUE(s.saveResume(fresh));
    const ResumeLoad dealt = s.loadResume([&](int) { return std::optional<std::vector<Idiom>>(list); });
    ASSERT_EQ(dealt.status, ResumeLoad::Status::Ok) << dealt.problem.toStdString();
    EXPECT_EQ(dealt.board.intGOT(), 0);
    EXPECT_TRUE(dealt.board.pick.empty());
    EXPECT_EQ(dealt.board.captions, d.strMOJI);

    // A finished board is not resumed.
    ASSERT_TRUE(s.endAttempt(b.attemptId, BoardEnd::Won, 1, 90000));
    EXPECT_EQ(s.loadResume([&](int) { return std::optional<std::vector<Idiom>>(list); }).status,
              ResumeLoad::Status::None);

    // A board whose list no longer reads is set aside and counted abandoned.
    const DealIds next = s.recordDeal(d);
    ASSERT_TRUE(s.recordPick(next.attemptId, PickResult::Found, 1, saved.lines[0], 10, &(saved = restingBoard(d, next))));
    const ResumeLoad gone = s.loadResume([](int) { return std::optional<std::vector<Idiom>>(); });
    EXPECT_EQ(gone.status, ResumeLoad::Status::SetAside);
    EXPECT_FALSE(gone.problem.isEmpty());
    EXPECT_EQ(s.summary().recent.front().end, BoardEnd::SetAside);
    EXPECT_EQ(s.loadResume([&](int) { return std::optional<std::vector<Idiom>>(list); }).status,
              ResumeLoad::Status::None);
}

TEST_F(RecordsStoreTest, RefusesBoardsTheRulesCannotProduce)
{
    const DealtBoard d = deal(0);
    const std::vector<Idiom> list = listOf(d.strGOKU);
    const SavedBoard good = restingBoard(d, {1, 1});
    ASSERT_EQ(checkSavedBoard(good, list), QString());
    const std::vector<std::pair<const char *, std::function<void(SavedBoard &)>>> bad = {
        {"a gap inside a row", [](SavedBoard &b) { std::swap(b.intMOJI[std::size_t(cellIndex(0, 0))], b.intMOJI[std::size_t(cellIndex(4, 0))]); }},
        {"a line of an idiom not found", [](SavedBoard &b) { b.lines[0] = b.strGOKU[1]; }},
        {"found without its line", [](SavedBoard &b) { b.intFIND[1] = true; }},
        {"a line spelled from found characters but not listed", [](SavedBoard &b) { std::swap(b.lines[0][0], b.lines[0][1]); }},
        {"a tile that was never dealt", [](SavedBoard &b) { b.captions[79] = QStringLiteral("龍"); }},
        {"two tiles swapped", [](SavedBoard &b) { std::swap(b.captions[10], b.captions[20]); }},
        {"a row moved down", [](SavedBoard &b) {
             for (int c = 1; c < kColumns; ++c) {
                 std::swap(b.captions[std::size_t(cellIndex(c, 3))], b.captions[std::size_t(cellIndex(c, 4))]);
                 std::swap(b.intMOJI[std::size_t(cellIndex(c, 3))], b.intMOJI[std::size_t(cellIndex(c, 4))]);
             }
             std::swap(b.intMOJI[std::size_t(cellIndex(0, 3))], b.intMOJI[std::size_t(cellIndex(0, 4))]);
             std::swap(b.captions[std::size_t(cellIndex(0, 3))], b.captions[std::size_t(cellIndex(0, 4))]);
         }},
        {"a third miss at rest", [](SavedBoard &b) { b.intMISS = 3; }},
        {"a hidden tile picked", [](SavedBoard &b) { b.pick = {cellIndex(0, 0)}; }},
        {"a tile picked twice", [](SavedBoard &b) { b.pick = {40, 40}; }},
        {"a level out of range", [](SavedBoard &b) { b.level = 4; }},
        {"an idiom of five characters", [](SavedBoard &b) { b.strGOKU[5] += QStringLiteral("字"); }},
        {"an idiom not in the list", [&](SavedBoard &b) { std::swap(b.strGOKU[7], b.strGOKU[8]); b.strGOKU[7][0] = b.strGOKU[8][0]; }},
        {"a negative clock", [](SavedBoard &b) { b.playMs = -1; }},
    };
    for (const auto &[name, spoil] : bad) {
        SavedBoard b = good;
        spoil(b);
        EXPECT_NE(checkSavedBoard(b, list), QString()) << name;
    }
}

// Every column of a real saved board, its board and its attempt, changed in turn to values
// the game never writes: the restore either refuses the board or lays out one the rules
// could produce, and never gives back a miss.
TEST_F(RecordsStoreTest, HostileRowsNeverLayOutAnImpossibleBoard)
{
    const DealtBoard d = deal(3);
    const std::vector<Idiom> list = listOf(d.strGOKU);
    {
        RecordsStore s;
        open(s);
        const DealIds ids = s.recordDeal(d);
        const SavedBoard b = restingBoard(d, ids);
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, b.lines[0], 100));
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Miss, 0, QStringLiteral("一二三四"), 200, &b));
    }
    const QString base = dir.filePath(QStringLiteral("base.sqlite"));
    ASSERT_TRUE(QFile::copy(path, base));

    const QStringList values = {
        "NULL", "-1", "0", "1", "2", "3", "7", "81", "1099511627776", "1.5", "''", "'1'", "'x'", "x'00ff'",
        "%1 || '1'", "%1 || '一'", "substr(%1, 2)", "substr(%1, 2) || substr(%1, 1, 1)", "replace(%1, '1', '0')",
        "replace(%1, '0', '1')", "replace(%1, ',', ',,')", "%1 + 1", "%1 - 1", "-%1", "%1 * 1000000"};
    const std::vector<std::pair<QString, QStringList>> tables = {
        {"resume", {"id", "attempt_id", "board_id", "found", "lines", "cells", "standing", "pick", "misses", "color",
                    "painted", "play_ms", "saved_at"}},
        {"boards", {"id", "level", "dealt_at", "tiles", "idioms"}},
        {"attempts", {"id", "board_id", "level", "result", "picks", "misses", "play_ms"}},
    };
    int refused = 0, restored = 0;
    for (const auto &[table, columns] : tables) {
        for (const QString &column : columns) {
            for (const QString &value : values) {
                const QString expr = QString(value).replace(QStringLiteral("%1"), column);
                SCOPED_TRACE(QStringLiteral("%1.%2 = %3").arg(table, column, expr).toStdString());
                QFile::remove(path);
                ASSERT_TRUE(QFile::copy(base, path));
                QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
                if (!sql({QStringLiteral("UPDATE OR IGNORE %1 SET %2 = %3").arg(table, column, expr)}, false))
                    continue; // a value the database itself refuses
                RecordsStore s;
                ASSERT_EQ(open(s).status, OpenOutcome::Status::Ok);
                const ResumeLoad r = s.loadResume([&](int) { return std::optional<std::vector<Idiom>>(list); });
                if (r.status == ResumeLoad::Status::Ok) {
                    ++restored;
                    EXPECT_EQ(checkSavedBoard(r.board, list), QString());
                    EXPECT_GE(r.board.intMISS, 1);
                    EXPECT_EQ(r.board.strMOJI, d.strMOJI);
                } else {
                    ++refused;
                    EXPECT_EQ(r.status, ResumeLoad::Status::SetAside);
                    EXPECT_EQ(s.loadResume([&](int) { return std::optional<std::vector<Idiom>>(list); }).status,
                              ResumeLoad::Status::None);
                }
            }
        }
    }
    EXPECT_GT(refused, 300);
    EXPECT_GT(restored, 20); // harmless changes (the save time, a count) still resume
}

// The writer the kill test starts in a process of its own: it plays one board after another,
// saving at rest after each pick, and prints each step once it is committed.
TEST(RecordsStoreKill, Writer)
{
    const QString path = qEnvironmentVariable("HOROKATA_RECORDS_WRITER");
    if (path.isEmpty())
        GTEST_SKIP() << "run by RecordsStoreKill.LosesAtMostTheStepBeingWritten";
    RecordsStore s;
    ASSERT_NE(s.open(path).status, OpenOutcome::Status::Unavailable);
    const DealtBoard d = deal(0);
    DealIds ids = s.recordDeal(d);
    SavedBoard b = restingBoard(d, ids);
    for (int step = 1;; ++step) {
        b.playMs = step;
        ASSERT_TRUE(s.recordPick(ids.attemptId, PickResult::Found, 1, b.lines[0], step, &b));
        std::printf("step %d\n", step);
        std::fflush(stdout);
        if (step % 50 == 0) {
            ASSERT_TRUE(s.endAttempt(ids.attemptId, BoardEnd::Won, 0, step));
            ids = s.recordDeal(d);
            b = restingBoard(d, ids);
            b.playMs = step;
            ASSERT_TRUE(s.saveResume(b));
        }
    }
}

// A kill at any moment: the file opens as it was at the last committed step, and the board
// in play resumes from there.
TEST(RecordsStoreKill, LosesAtMostTheStepBeingWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    std::mt19937 random(20261208);
    int lastStep = 0;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOROKATA_RECORDS_WRITER"), path);
        writer.setProcessEnvironment(env);
        writer.start(self, {QStringLiteral("--gtest_filter=RecordsStoreKill.Writer")});
        ASSERT_TRUE(writer.waitForStarted());
        QByteArray out;
        const int target = int(random() % 150) + 5;
        while (out.count("step ") < target && writer.waitForReadyRead(10000))
            out += writer.readAllStandardOutput();
        writer.kill();
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        const qsizetype at = out.lastIndexOf("step ");
        ASSERT_GE(at, 0) << out.toStdString();
        const int step = out.mid(at + 5, out.indexOf('\n', at) - at - 5).toInt();
        ASSERT_GT(step, 0);
        lastStep = step;

        RecordsStore s;
        ASSERT_EQ(s.open(path).status, OpenOutcome::Status::Ok) << s.outcome().reason.toStdString();
        EXPECT_GE(s.summary().total.won, (lastStep - 1) / 50);
        const ResumeLoad r = s.loadResume([](int) { return std::optional<std::vector<Idiom>>(listOf(deal(0).strGOKU)); });
        ASSERT_NE(r.status, ResumeLoad::Status::SetAside) << r.problem.toStdString();
        if (r.status == ResumeLoad::Status::None)
            EXPECT_EQ(lastStep % 50, 0); // killed between a won board and the next deal
        else
            EXPECT_GE(r.board.playMs, lastStep);
    }
}

} // namespace
