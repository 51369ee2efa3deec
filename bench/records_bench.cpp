// The player's store: a save at rest, the records window's figures over 10,000 boards, and
// the notebook opened and searched with every dictionary idiom met. The files live in the
// system's temporary folder, on disk like the player's own.
#include "puzzle/game.h"
#include "records/notebook.h"
#include "records/review_choice.h"
#include "records/records_store.h"
#include "records/records_store_impl.h"
#include "store_boards.h"
#include "support/fake_platform.h"
#include "idioms/levels.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace horokata;

namespace {

using bench::boardOf;
using bench::kDictionary;

QStringList dictionaryIdioms(const IdiomDictionary &dictionary)
{
    QStringList idioms = dictionary.keys();
    idioms.sort();
    return idioms;
}

// The board in play after one find in the rightmost column and one miss.
SavedBoard restingBoard(const DealtBoard &d, DealIds ids)
{
    SavedBoard b;
    b.boardId = ids.boardId;
    b.attemptId = ids.attemptId;
    b.level = d.level;
    b.strMOJI = d.strMOJI;
    b.strGOKU = d.strGOKU;
    b.captions = d.strMOJI;
    b.intMOJI.fill(true);
    b.intFIND[0] = true;
    b.lines[0] = d.strGOKU[0];
    b.intMISS = 1;
    b.playMs = 12345;
    return b;
}

// A store with one board dealt and at rest after a find and a miss.
struct BoardAtRest {
    QTemporaryDir dir;
    RecordsStore store;
    DealtBoard deal;
    DealIds ids;
    SavedBoard board;
    BoardAtRest()
    {
        store.open(dir.filePath(QStringLiteral("records.sqlite")));
        deal = boardOf(dictionaryIdioms(readIdiomDictionary(kDictionary)), 0, 0);
        ids = store.recordDeal(deal);
        board = restingBoard(deal, ids);
    }
};

void BM_SaveAtRest(benchmark::State &state)
{
    BoardAtRest rest;
    for (auto _ : state) {
        ++rest.board.playMs;
        if (!rest.store.saveResume(rest.board))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveAtRest)->Unit(benchmark::kMillisecond);

// A pick recorded with the board after it, in one transaction (what a find or a miss costs).
void BM_PickAndSaveAtRest(benchmark::State &state)
{
    BoardAtRest rest;
    for (auto _ : state) {
        ++rest.board.playMs;
        if (!rest.store.recordPick(rest.ids.attemptId, PickResult::Found, 1, rest.deal.strGOKU[0], rest.board.playMs,
                                   &rest.board))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_PickAndSaveAtRest)->Unit(benchmark::kMillisecond);

// 10,000 boards played through the store, then each given its twenty-odd picks in bulk.
struct TenThousandBoards {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("records.sqlite"));

    TenThousandBoards()
    {
        const IdiomDictionary dictionary = readIdiomDictionary(kDictionary);
        const QStringList idioms = dictionaryIdioms(dictionary);
        {
            RecordsStore store;
            store.open(path);
            for (int n = 0; n < 10000; ++n) {
                const DealtBoard deal = boardOf(idioms, (n * kIdioms) % idioms.size(), n % kLevelCount);
                const DealIds ids = store.recordDeal(deal);
                store.recordPick(ids.attemptId, PickResult::Found, 1, deal.strGOKU[0], 1000);
                const BoardEnd end = n % 3 ? BoardEnd::Won : (n % 2 ? BoardEnd::Lost : BoardEnd::AbandonedNew);
                store.endAttempt(ids.attemptId, end, n % 3, 60000 + n);
            }
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bulk"));
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 2 UNION ALL SELECT k + 1 FROM n WHERE k < 24)"
                                  " INSERT INTO picks (attempt_id, seq, found, idiom, spelled, play_ms, at) SELECT a.id, n.k, 1, n.k % 20 + 1, '一二三四', 1000 * n.k, 0"
                                  " FROM attempts a, n"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bulk"));
    }
};

TenThousandBoards &tenThousand()
{
    static TenThousandBoards boards;
    return boards;
}

// What the records window shows, from an open store.
void BM_RecordsWindow10kBoards(benchmark::State &state)
{
    RecordsStore store;
    store.open(tenThousand().path);
    int played = 0;
    for (auto _ : state)
        played = store.summary().total.played;
    state.counters["boards"] = played;
}
BENCHMARK(BM_RecordsWindow10kBoards)->Unit(benchmark::kMillisecond);

// Opening the store alone, as the game does on start, with the board-in-play check.
void BM_OpenStore10kBoards(benchmark::State &state)
{
    for (auto _ : state) {
        RecordsStore store;
        store.open(tenThousand().path);
        benchmark::DoNotOptimize(store.loadResume([](int) { return std::optional<std::vector<Idiom>>(); }));
    }
}
BENCHMARK(BM_OpenStore10kBoards)->Unit(benchmark::kMillisecond);

// The check of every table's columns by name that each open makes (SQLite's own quick check is
// not part of it: it runs only once SQLite has reported damage).
void BM_SchemaCheck10kBoards(benchmark::State &state)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(tenThousand().path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.open();
        SchemaGaps gaps;
        QSqlError error;
        for (auto _ : state)
            if (!findSchemaGaps(db, &gaps, &error) || !gaps.empty())
                state.SkipWithError("the check failed");
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}
BENCHMARK(BM_SchemaCheck10kBoards)->Unit(benchmark::kMicrosecond);

// The same with the store opened first (the window opened beside a game without records open).
void BM_OpenStoreAndRecordsWindow10kBoards(benchmark::State &state)
{
    for (auto _ : state) {
        RecordsStore store;
        store.open(tenThousand().path);
        benchmark::DoNotOptimize(store.summary());
    }
}
BENCHMARK(BM_OpenStoreAndRecordsWindow10kBoards)->Unit(benchmark::kMillisecond);

// Every dictionary idiom met: the first ten of each board found, the rest revealed.
struct WholeNotebook {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("records.sqlite"));
    IdiomDictionary dictionary = readIdiomDictionary(kDictionary);

    WholeNotebook()
    {
        const QStringList idioms = dictionaryIdioms(dictionary);
        RecordsStore store;
        store.open(path);
        for (qsizetype first = 0; first < idioms.size(); first += kIdioms) {
            const DealtBoard deal = boardOf(idioms, first, int(first / kIdioms) % kLevelCount);
            const DealIds ids = store.recordDeal(deal);
            for (int k = 0; k < kIdioms / 2; ++k)
                store.recordPick(ids.attemptId, PickResult::Found, k + 1, deal.strGOKU[std::size_t(k)], 1000);
            store.endAttempt(ids.attemptId, BoardEnd::Lost, 3, 2000);
        }
    }
};

WholeNotebook &wholeNotebook()
{
    static WholeNotebook notebook;
    return notebook;
}

// Opening the notebook window's data: rows read, joined with the cards, sorted, first query.
void BM_NotebookOpen(benchmark::State &state)
{
    RecordsStore store;
    store.open(wholeNotebook().path);
    std::size_t shown = 0;
    for (auto _ : state) {
        const Notebook notebook(store.notebook(), wholeNotebook().dictionary);
        shown = notebook.query({}).size();
    }
    state.counters["idioms"] = double(shown);
}
BENCHMARK(BM_NotebookOpen)->Unit(benchmark::kMillisecond);

// The same when no card was shown yet this run: the dictionary file is read too.
void BM_NotebookOpenReadingTheDictionary(benchmark::State &state)
{
    RecordsStore store;
    store.open(wholeNotebook().path);
    for (auto _ : state) {
        const Notebook notebook(store.notebook(), readIdiomDictionary(kDictionary));
        benchmark::DoNotOptimize(notebook.query({}));
    }
}
BENCHMARK(BM_NotebookOpenReadingTheDictionary)->Unit(benchmark::kMillisecond);

// Typing "かいかく" into the search box: one query per keystroke, sorted by reading.
void BM_NotebookSearchAsYouType(benchmark::State &state)
{
    RecordsStore store;
    store.open(wholeNotebook().path);
    const Notebook notebook(store.notebook(), wholeNotebook().dictionary);
    const QString typed = QStringLiteral("かいかく");
    for (auto _ : state)
        for (qsizetype n = 1; n <= typed.size(); ++n)
            benchmark::DoNotOptimize(notebook.query({NotebookSort::Reading, -1, typed.left(n)}));
    state.counters["keystrokes"] = double(typed.size());
}
BENCHMARK(BM_NotebookSearchAsYouType)->Unit(benchmark::kMillisecond);

class NullHost : public GameHost {
public:
    FlowTask<bool> SET_FORM2(DialogMode, QString) override { co_return true; }
    FlowTask<> playCelebration() override { co_return; }
    FlowTask<> closeMainWindow() override { co_return; }
};

// 復習 with every dictionary idiom met: the notebook read, the twenty chosen, and the board
// dealt on the fake platform (no start pause), the four level lists read for the reorder rule.
void BM_ReviewBoardDeal(benchmark::State &state)
{
    RecordsStore store;
    store.open(wholeNotebook().path);
    std::size_t met = 0;
    for (auto _ : state) {
        ProgramState globals;
        globals.setProgramFolder(QStringLiteral(HOROKATA_PROGRAM_DIR "/"));
        FakePlatform platform;
        NullHost host;
        Game game(globals, platform, host);
        game.takeLevel(kStartLevel, {Idiom(), Idiom(QStringLiteral("一石二鳥"))});
        const std::vector<NotebookRecord> notebook = store.notebook();
        met = notebook.size();
        QCoro::waitFor(game.dealReview(chooseReview(notebook, QDate::currentDate()).idioms));
        if (!game.reviewing() || !game.playing())
            state.SkipWithError("no review board was dealt");
    }
    state.counters["idioms met"] = double(met);
}
BENCHMARK(BM_ReviewBoardDeal)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
