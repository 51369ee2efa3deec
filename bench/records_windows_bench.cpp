// The records window over 10,000 boards and the notebook window with every dictionary idiom
// met: opened (built, shown and painted once), and a keystroke in the notebook's search box
// (the query, the list reset and the list painted), in kana and in romaji. Windows are drawn
// offscreen.
#include "records/records_store.h"
#include "store_boards.h"
#include "records_ui/notebook_window.h"
#include "records_ui/records_window.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace horokata;

namespace {

using bench::boardOf;
using bench::kDictionary;

// A store holding `boards` boards of twenty dictionary idioms each, the first ten of each
// found; wins, losses and abandoned boards in turn, or all lost (every idiom met).
struct PlayedStore {
    QTemporaryDir dir;
    IdiomDictionary dictionary = readIdiomDictionary(kDictionary);
    RecordsStore store;

    PlayedStore(int boards, bool allLost)
    {
        QStringList idioms = dictionary.keys();
        idioms.sort();
        std::int64_t now = 1'700'000'000'000;
        store.setClock([&now] { return now += 1000; });
        store.open(dir.filePath(QStringLiteral("records.sqlite")));
        for (int n = 0; n < boards; ++n) {
            const DealtBoard deal = boardOf(idioms, (qsizetype(n) * kIdioms) % idioms.size(), n % kLevelCount);
            const DealIds ids = store.recordDeal(deal);
            for (int k = 0; k < kIdioms / 2; ++k)
                store.recordPick(ids.attemptId, PickResult::Found, k + 1, deal.strGOKU[std::size_t(k)], 1000);
            const BoardEnd end = allLost ? BoardEnd::Lost : n % 3 ? BoardEnd::Won : (n % 2 ? BoardEnd::Lost : BoardEnd::AbandonedNew);
            store.endAttempt(ids.attemptId, end, n % 3, 60000 + n);
        }
        store.setClock({});
    }
};

PlayedStore &tenThousandBoards()
{
    static PlayedStore s(10000, false);
    return s;
}

PlayedStore &everyIdiomMet()
{
    static PlayedStore s(int((readIdiomDictionary(kDictionary).size() + kIdioms - 1) / kIdioms), true);
    return s;
}

void BM_OpenRecordsWindow10kBoards(benchmark::State &state)
{
    RecordsStore &store = tenThousandBoards().store;
    for (auto _ : state) {
        RecordsWindow w(store, [](int) -> horokata::FlowTask<bool> { co_return false; });
        w.show();
        benchmark::DoNotOptimize(w.grab());
    }
    state.counters["boards"] = store.summary().total.played;
}
BENCHMARK(BM_OpenRecordsWindow10kBoards)->Unit(benchmark::kMillisecond);

void BM_OpenNotebookWindowEveryIdiom(benchmark::State &state)
{
    PlayedStore &s = everyIdiomMet();
    int shown = 0;
    for (auto _ : state) {
        NotebookWindow w(s.store, s.dictionary);
        w.show();
        benchmark::DoNotOptimize(w.grab());
        shown = w.shownCount();
    }
    state.counters["idioms"] = shown;
}
BENCHMARK(BM_OpenNotebookWindowEveryIdiom)->Unit(benchmark::kMillisecond);

// One keystroke of "かいかく" after another, then the search cleared again, sorted by
// reading; each followed by the list's repaint. Time per keystroke.
void BM_NotebookSearchKeystroke(benchmark::State &state)
{
    PlayedStore &s = everyIdiomMet();
    NotebookWindow w(s.store, s.dictionary);
    w.show();
    w.grab();
    const QString typed = QStringLiteral("かいかく");
    qsizetype n = 0;
    for (auto _ : state) {
        n = (n + 1) % (typed.size() + 1);
        w.searchBox()->setText(typed.left(n));
        w.list()->viewport()->repaint();
    }
}
BENCHMARK(BM_NotebookSearchKeystroke)->Unit(benchmark::kMillisecond);

// The same in romaji ("ichijitsusenshuu" typed letter by letter, each a half-typed syllable
// or a whole one), with the list sorted by a header click so that every keystroke sorts too.
void BM_NotebookSearchKeystrokeRomaji(benchmark::State &state)
{
    PlayedStore &s = everyIdiomMet();
    NotebookWindow w(s.store, s.dictionary);
    w.show();
    w.list()->horizontalHeader()->sectionClicked(1); // 読み
    w.grab();
    const QString typed = QStringLiteral("ichijitsusenshuu");
    qsizetype n = 0;
    for (auto _ : state) {
        n = (n + 1) % (typed.size() + 1);
        w.searchBox()->setText(typed.left(n));
        w.list()->viewport()->repaint();
    }
    state.counters["idioms"] = double(s.dictionary.size());
}
BENCHMARK(BM_NotebookSearchKeystrokeRomaji)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
