// The one-off cost of the first idiom card: reading the shipped readings-and-meanings file,
// and parsing the largest file the reader takes in.
#include "idioms/idiom_dictionary.h"

#include <benchmark/benchmark.h>

using namespace horokata;

namespace {

const QString kShipped = QStringLiteral(HOROKATA_PROGRAM_DIR "/") + QString::fromUtf8(kDictionaryFileName);

// What the first found idiom costs: the file read, parsed and one card made.
void BM_FirstCardFromShippedFile(benchmark::State &state)
{
    for (auto _ : state) {
        IdiomCards cards(kShipped);
        const QString card = cards.cardForLine(QStringLiteral("01：一石二鳥"));
        if (card.isEmpty())
            state.SkipWithError("no card for 一石二鳥 in the shipped file");
        benchmark::DoNotOptimize(card);
    }
}
BENCHMARK(BM_FirstCardFromShippedFile)->Unit(benchmark::kMillisecond);

// The worst the read limit allows: kMaxDictionaryBytes of distinct, well-formed entries.
void BM_ParseLargestFile(benchmark::State &state)
{
    const QString kanji = QStringLiteral(u"一二三四五六七八九十百千万円日月火水木金土石鳥苦楽");
    QByteArray bytes;
    for (int i = 0; bytes.size() < kMaxDictionaryBytes - 200; ++i) {
        QString idiom;
        for (int k = 0, n = i; k < 4; ++k, n /= kanji.size())
            idiom += kanji[n % kanji.size()];
        bytes += idiom.toUtf8() + "\tいっせきにちょう\tkilling two birds with one stone; "
                                  "doing two things at once; a meaning of ordinary length\n";
    }
    qsizetype entries = 0;
    for (auto _ : state)
        entries = parseIdiomDictionary(bytes).size();
    state.counters["entries"] = double(entries);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ParseLargestFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
