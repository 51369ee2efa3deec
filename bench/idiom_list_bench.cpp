// Reading the largest idiom list the size test allows, against decoding its bytes alone.
#include "idioms/idiom_list_reader.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace horokata;

namespace {

// 32,767 lines of four kanji with CR LF: 327,670 bytes, a full list.
const QByteArray &largestList()
{
    static const QByteArray bytes = [] {
        const QString kanji = QStringLiteral(u"一二三四五六七八九十百千万円日月火水木金土石鳥苦楽");
        QStringEncoder encoder("windows-31j");
        QString text;
        for (int i = 0; i < kMaxCapacity; ++i) {
            for (int k = 0, n = i; k < 4; ++k, n /= kanji.size())
                text += kanji[n % kanji.size()];
            text += u"\r\n";
        }
        return QByteArray(encoder.encode(text));
    }();
    return bytes;
}

void BM_ParseLargestList(benchmark::State &state)
{
    const QByteArray &bytes = largestList();
    const int capacity = listCapacity(bytes.size());
    for (auto _ : state) {
        ParsedIdiomList list = parseIdiomList(bytes, capacity);
        if (list.count != kMaxCapacity || list.overCapacity)
            state.SkipWithError("the list was not read in full");
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ParseLargestList)->Unit(benchmark::kMillisecond);

void BM_DecodeLargestListOnly(benchmark::State &state)
{
    const QByteArray &bytes = largestList();
    for (auto _ : state) {
        QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeLargestListOnly)->Unit(benchmark::kMillisecond);

// Prints the usual table, then how many times a plain decode the reader takes, in wall
// time and in processor time (the second hardly moves when other programs share the
// machine). With repetitions the medians are compared, otherwise the single runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const std::string name = run.run_name.function_name;
            const Times times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                median[name] = times;
            else if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                single[name] = times;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto &times = median.empty() ? single : median;
        const auto parse = times.find("BM_ParseLargestList");
        const auto decode = times.find("BM_DecodeLargestListOnly");
        if (parse == times.end() || decode == times.end() || decode->second.real <= 0
            || decode->second.cpu <= 0)
            return;
        std::printf("%lld bytes (%s): reader %.3f ms, decode alone %.3f ms, ratio %.2f;"
                    " processor time %.3f / %.3f ms, ratio %.2f\n",
                    static_cast<long long>(largestList().size()),
                    median.empty() ? "single runs" : "medians", parse->second.real,
                    decode->second.real, parse->second.real / decode->second.real,
                    parse->second.cpu, decode->second.cpu, parse->second.cpu / decode->second.cpu);
    }

private:
    struct Times {
        double real; // per iteration, in the unit shown
        double cpu;
    };
    std::map<std::string, Times> median;
    std::map<std::string, Times> single;
};

} // namespace

int main(int argc, char **argv)
{
    // By default both benchmarks run nine times each, in random order, so that a machine
    // busy with other work slows both alike; any flag given replaces these defaults.
    std::vector<char *> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (argc == 1) {
        args.push_back(repetitions.data());
        args.push_back(interleave.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
