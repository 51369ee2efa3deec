// Dealing a board alone and the whole new-game command, on the fake platform (no 800 ms pause).
#include "support/fake_platform.h"
#include "puzzle/game.h"
#include "idioms/levels.h"

#include <benchmark/benchmark.h>

using namespace horokata;

namespace {

class NullHost : public GameHost {
public:
    horokata::FlowTask<bool> SET_FORM2(horokata::DialogMode, QString) override { co_return true; }
    horokata::FlowTask<> playCelebration() override { co_return; }
    horokata::FlowTask<> closeMainWindow() override { co_return; }
};

struct Bench {
    ProgramState globals;
    FakePlatform platform;
    NullHost host;
    Game game{globals, platform, host};

    explicit Bench(int idioms)
    {
        std::vector<Idiom> list{Idiom()};
        for (int n = 0; n < idioms; ++n) {
            QString s;
            for (int k = 0; k < 4; ++k)
                s += QChar(static_cast<char16_t>(0x4E00 + (4 * n + k) % 20000));
            list.emplace_back(s);
        }
        game.takeLevel(kStartLevel, std::move(list));
    }
};

void BM_SET_RND(benchmark::State &state)
{
    Bench b(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.game.SET_RND());
        b.platform.log.clear();
    }
    state.SetLabel(std::to_string(state.range(0)) + " idioms");
}
BENCHMARK(BM_SET_RND)->Arg(20)->Arg(200)->Arg(32767)->Unit(benchmark::kMicrosecond);

void BM_cmdNEW_Click(benchmark::State &state)
{
    Bench b(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const horokata::FlowTask<> deal = b.game.cmdNEW_Click(); // a fresh board in play: replaced without a question
        benchmark::DoNotOptimize(deal.isReady());
        b.platform.log.clear();
    }
    state.SetLabel(std::to_string(state.range(0)) + " idioms");
}
BENCHMARK(BM_cmdNEW_Click)->Arg(20)->Arg(200)->Arg(32767)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
