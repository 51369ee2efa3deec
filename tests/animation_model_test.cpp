// Tests of the celebration's sprite animation: dealing, moves, retiring, drawing and pacing.
#include "animation/animation_model.h"
#include "support/flow_run.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

using namespace horokata;

namespace {

constexpr double kStep = 0.1745328888888889;

// The random numbers INIT_PF draws: the start index, 35 for the shuffle, then dx, dy, mode
// for each of the 36 tiles.
struct Script {
    float start = 0.0f;
    std::array<float, 35> shuffle{};
    std::array<std::array<float, 3>, 36> sprite{};

    void load(FakePlatform &fake) const
    {
        fake.randoms.clear();
        fake.randoms.push_back(start);
        for (float r : shuffle)
            fake.randoms.push_back(r);
        for (const auto &s : sprite)
            for (float r : s)
                fake.randoms.push_back(r);
    }
};

float cosOf(int k) { return static_cast<float>(std::cos(k * kStep)); }
float sinOf(int k) { return static_cast<float>(std::sin(k * kStep)); }

std::vector<DrawCommand> drawsOf(const EffectFrame &f, int sprite)
{
    std::vector<DrawCommand> out;
    for (const DrawCommand &d : f.draws)
        if (d.sprite == sprite)
            out.push_back(d);
    return out;
}

// Runs frames up to and including `frame`, returning that frame.
EffectFrame runTo(AnimationModel &m, int frame)
{
    EffectFrame f;
    while (m.currentFrame() < frame)
        f = m.nextFrame();
    return f;
}

AnimationModel dealt(const Script &script, int cx = 512, int cy = 384, int pw = 1024, int ph = 768)
{
    FakePlatform fake;
    script.load(fake);
    AnimationModel m;
    m.INIT_PF(cx, cy, fake);
    m.setScreen(pw, ph);
    return m;
}

} // namespace

// ---- Dealing the sprites -------------------------------------------------------------------

TEST(AnimationDeal, OddStartIndexRunsTheTableDownwards)
{
    Script s;
    s.start = 0.46f; // 0.46 * 35 + 1 = 17.1 -> 17
    const AnimationModel m = dealt(s);
    EXPECT_EQ(m.cosTable()[0], cosOf(16));
    EXPECT_EQ(m.sinTable()[0], sinOf(16));
    EXPECT_EQ(m.cosTable()[1], cosOf(15));
    EXPECT_EQ(m.cosTable()[16], cosOf(0));
    EXPECT_EQ(m.cosTable()[17], cosOf(35));
    EXPECT_EQ(m.sinTable()[17], sinOf(35));
    EXPECT_EQ(m.cosTable()[35], cosOf(17));
    EXPECT_EQ(m.spiralGrowth(), 7);
}

TEST(AnimationDeal, EvenStartIndexRunsTheTableUpwards)
{
    Script s;
    s.start = 0.48f; // 17.8 -> 18
    const AnimationModel m = dealt(s);
    EXPECT_EQ(m.cosTable()[0], cosOf(19));
    EXPECT_EQ(m.sinTable()[0], sinOf(19));
    EXPECT_EQ(m.cosTable()[16], cosOf(35));
    EXPECT_EQ(m.cosTable()[17], cosOf(0));
    EXPECT_EQ(m.sinTable()[17], sinOf(0));
    s.start = 0.5f; // 18.5 halves to even 18 (upwards), not 19 (downwards from 18)
    EXPECT_EQ(dealt(s).cosTable()[0], cosOf(19));
}

TEST(AnimationDeal, SpriteZeroAlwaysShowsTheFirstCellAndTheShuffleIsAPermutation)
{
    for (float r : {0.0f, 0.5f, 0.99999994f}) {
        Script s;
        s.shuffle.fill(r);
        const AnimationModel m = dealt(s);
        EXPECT_EQ(m.sprites()[0].intSX, 0);
        EXPECT_EQ(m.sprites()[0].intSY, 0);
        std::set<int> cells;
        for (int i = 0; i < 36; ++i) {
            const PFSprite &p = m.sprites()[i];
            ASSERT_EQ(p.intSX % 48, 0);
            ASSERT_EQ(p.intSY % 48, 0);
            ASSERT_LT(p.intSX, 432);
            ASSERT_LT(p.intSY, 192);
            cells.insert(p.intSY / 48 * 9 + p.intSX / 48);
        }
        EXPECT_EQ(cells.size(), 36u) << "shuffle with every draw " << r;
    }
}

TEST(AnimationDeal, ModesStartsAndCounters)
{
    FakePlatform fake;
    AnimationModel m;
    m.INIT_PF(300, 200, fake);
    EXPECT_EQ(fake.count("randomize"), 1);
    for (int i = 0; i < 36; ++i) {
        const PFSprite &p = m.sprites()[i];
        EXPECT_EQ(std::tie(p.intX, p.intY, p.intCNT), std::make_tuple(300, 200, -i)) << i;
        if (i != 1) {
            EXPECT_TRUE(p.intMODE >= 1 && p.intMODE <= 4 && p.intDX >= 4 && p.intDX <= 51
                        && p.intDY >= 5 && p.intDY <= 52) << "sprite " << i;
        }
    }
    const PFSprite &sp = m.sprites()[1];
    EXPECT_EQ(std::tie(sp.intMODE, sp.intDX, sp.intDY), std::make_tuple(5, 0, 0));
    const PFSprite &e = m.sprites()[36];
    EXPECT_EQ(std::tie(e.intX, e.intY, e.intSX, e.intSY, e.intDX, e.intDY, e.intMODE, e.intCNT),
              std::make_tuple(300, 200, 0, 0, 1, 1, 0, -36));
}

TEST(AnimationDeal, EachTileDrawsStepsThenModeInOrder)
{
    Script s;
    s.sprite[0] = {0.99f, 0.0f, 0.5f};         // dx 51, dy 5, mode 3
    s.sprite[2] = {0.0f, 0.99999994f, 0.99f};  // dx 4, dy 52, mode 4
    const AnimationModel m = dealt(s);
    EXPECT_EQ(m.sprites()[0].intDX, 51);
    EXPECT_EQ(m.sprites()[0].intDY, 5);
    EXPECT_EQ(m.sprites()[0].intMODE, 3);
    EXPECT_EQ(m.sprites()[2].intDX, 4);
    EXPECT_EQ(m.sprites()[2].intDY, 52);
    EXPECT_EQ(m.sprites()[2].intMODE, 4);
}

TEST(AnimationDeal, CentreOfTheMainWindowInPixels)
{
    EXPECT_EQ(centreInPixels(207, 610), 512);
    // Partly off the screen: the twips division truncates towards zero.
    EXPECT_EQ(centreInPixels(-400, 611), -94);
}

// ---- Frames --------------------------------------------------------------------------------

TEST(AnimationFrames, EmblemAppearsOnFrame36AndGrowsAroundItsCentre)
{
    AnimationModel m = dealt(Script{}, 400, 300);
    for (int f = 1; f < 36; ++f)
        ASSERT_TRUE(drawsOf(m.nextFrame(), 36).empty()) << "frame " << f;

    const EffectFrame f36 = m.nextFrame();
    ASSERT_FALSE(f36.draws.empty());
    const DrawCommand &first = f36.draws.front();
    EXPECT_EQ(first.sprite, 36) << "the emblem is drawn first, under the tiles";
    EXPECT_EQ(first.source, EffectSource::imgTITOL);
    EXPECT_EQ(std::tie(first.x, first.y, first.size, first.sw), std::make_tuple(400, 300, 64, 64));
    EXPECT_FALSE(first.moving);

    const auto last = drawsOf(runTo(m, 119), 36);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(std::tie(last[0].x, last[0].y, last[0].size), std::make_tuple(400 - 83, 300 - 83, 230));
    EXPECT_TRUE(last[0].moving);
}

TEST(AnimationFrames, TileAppearsOnItsOwnFrameAtStartSizeAndSpriteZeroIsDrawnLast)
{
    AnimationModel m = dealt(Script{});
    const EffectFrame f1 = m.nextFrame();
    EXPECT_EQ(f1.draws.back().sprite, 0);
    EXPECT_TRUE(f1.draws.back().moving) << "sprite 0 moves from frame 1 on";
    const auto d7 = drawsOf(runTo(m, 7), 7);
    ASSERT_EQ(d7.size(), 1u);
    EXPECT_FALSE(d7[0].moving);
    EXPECT_EQ(std::tie(d7[0].x, d7[0].y, d7[0].size), std::make_tuple(512, 384, 48));
    const auto d8 = drawsOf(m.nextFrame(), 7);
    ASSERT_EQ(d8.size(), 1u);
    EXPECT_TRUE(d8[0].moving);
    EXPECT_EQ(d8[0].size, 50);
}

TEST(AnimationFrames, SpiralTurnsTenDegreesAndMovesSevenPixelsOutPerFrame)
{
    Script s;
    s.start = 0.46f; // table from 16 downwards
    AnimationModel m = dealt(s, 500, 400);
    const auto f1 = drawsOf(m.nextFrame(), 1);
    ASSERT_EQ(f1.size(), 1u);
    EXPECT_FALSE(f1[0].moving);
    EXPECT_EQ(f1[0].x, 500);

    // Frame 2: the index has moved on to 1 (15 x 10 degrees), radius 14.
    const auto f2 = drawsOf(m.nextFrame(), 1);
    ASSERT_EQ(f2.size(), 1u);
    EXPECT_EQ(f2[0].x, 500 + std::lrint(14.0f * cosOf(15)));
    EXPECT_EQ(f2[0].y, 400 + std::lrint(14.0f * sinOf(15)));
    EXPECT_EQ(f2[0].size, 49);

    // Frame 37: the index has wrapped round to 0 (160 degrees), radius 259.
    const auto f37 = drawsOf(runTo(m, 37), 1);
    ASSERT_EQ(f37.size(), 1u);
    EXPECT_EQ(f37[0].x, 500 + std::lrint(259.0f * cosOf(16)));
    EXPECT_EQ(f37[0].y, 400 + std::lrint(259.0f * sinOf(16)));
    EXPECT_EQ(f37[0].size, 36 + 48);
}

TEST(AnimationFrames, FastTileIsRetiredOnTheMoveThatLeavesTheScreen)
{
    Script s;
    s.sprite[0] = {0.99f, 0.0f, 0.0f}; // dx 51, dy 5, mode 1 (right and down)
    AnimationModel m = dealt(s, 512, 384, 1024, 768);
    int moves = 0;
    for (int f = 1; f <= 11; ++f) {
        const auto d = drawsOf(m.nextFrame(), 0);
        ASSERT_EQ(d.size(), 1u) << "frame " << f;
        ++moves;
        EXPECT_EQ(d[0].x, 512 + 51 * f);
        EXPECT_EQ(d[0].size, 2 * f + 48);
    }
    EXPECT_EQ(m.sprites()[0].intX, 1073);
    EXPECT_LT(m.sprites()[0].intCNT, 0);
    for (int f = 12; f <= 119; ++f)
        ASSERT_TRUE(drawsOf(m.nextFrame(), 0).empty()) << "retired sprite drawn on frame " << f;
    EXPECT_EQ(moves, 11);
}

TEST(AnimationFrames, TileLeavingUpwardsIsRetiredBelowMinus120)
{
    Script s;
    s.sprite[0] = {0.0f, 0.99f, 0.99f}; // dx 4, dy 52, mode 4 (left and up)
    AnimationModel m = dealt(s, 512, 0);
    // y: -52, -104, -156: the third move goes past -120.
    for (int f = 1; f <= 3; ++f)
        ASSERT_EQ(drawsOf(m.nextFrame(), 0).size(), 1u);
    EXPECT_TRUE(drawsOf(m.nextFrame(), 0).empty());
}

TEST(AnimationFrames, PeriodShortensEveryTwentyFrames)
{
    AnimationModel m = dealt(Script{});
    EXPECT_EQ(runTo(m, 19).period, 10);
    EXPECT_EQ(m.nextFrame().period, 9);
    EXPECT_EQ(runTo(m, 39).period, 9);
    EXPECT_EQ(m.nextFrame().period, 8);
    EXPECT_EQ(runTo(m, 99).period, 6);
    EXPECT_EQ(m.nextFrame().period, 5);
    EXPECT_EQ(runTo(m, 119).period, 5);
}

TEST(AnimationFrames, CoordinateThatWouldLeaveSixteenBitsKeepsItsValue)
{
    Script s;
    s.sprite[0] = {0.0f, 0.0f, 0.0f}; // dx 4, dy 5, mode 1
    AnimationModel m = dealt(s, 100, 32760, 1024, 100000);
    const auto d1 = drawsOf(m.nextFrame(), 0);
    ASSERT_EQ(d1.size(), 1u);
    EXPECT_EQ(d1[0].y, 32765);
    // 32765 + 5 does not fit: y stays while x goes on and the frame carries on.
    for (int f = 2; f <= 4; ++f) {
        const auto d = drawsOf(m.nextFrame(), 0);
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].y, 32765);
        EXPECT_EQ(d[0].x, 100 + 4 * f);
    }
    // A start outside 16 bits cannot be stored: the fields keep their fresh value 0.
    FakePlatform fake;
    AnimationModel far;
    far.INIT_PF(40000, 200, fake);
    EXPECT_EQ(far.sprites()[5].intX, 0);
    EXPECT_EQ(far.sprites()[5].intY, 200);
}

// ---- Running the whole effect ---------------------------------------------------------------

namespace {

// Records paints with their frame, and jumps the fake clock to each deadline, noting the wait.
class RecordingView : public PerformView {
public:
    explicit RecordingView(FakePlatform &fake) : fake_(fake) {}
    void frameStarted(int frame, int) override { frame_ = frame; ++frames; }
    void paint(const DrawCommand &cmd) override
    {
        painted.push_back({frame_, cmd});
        fake_.clock += 3; // drawing takes 3 ms
    }
    horokata::FlowTask<> waitUntil(std::uint32_t deadline, Platform &) override
    {
        waits.push_back(static_cast<std::int32_t>(deadline - fake_.clock));
        fake_.clock = std::max(fake_.clock, deadline) + oversleep;
        co_return;
    }
    bool stopped() const override { return static_cast<int>(waits.size()) >= stopAfter; }
    std::vector<std::pair<int, DrawCommand>> painted;
    std::vector<int> waits;
    int frames = 0;
    std::uint32_t oversleep = 0; // each wait wakes this late
    int stopAfter = 1 << 30;     // skipped after this many waits

private:
    FakePlatform &fake_;
    int frame_ = 0;
};

struct PaintOnlyView : PerformView {
    void paint(const DrawCommand &) override {}
};

} // namespace

TEST(AnimationPerform, RunsFrames1To119AndEachMovingSpriteWaitsOnePeriodFromBeforeItsDraw)
{
    FakePlatform fake;
    fake.clock = 1000;
    AnimationModel m;
    m.INIT_PF(512, 384, fake);
    m.setScreen(1024, 768);
    const int ideal = m.idealTotalMs();
    RecordingView view(fake);
    horokata::testing::runFlow(m.PERFORM(fake, view));

    EXPECT_EQ(view.frames, 119);
    ASSERT_FALSE(view.painted.empty());
    EXPECT_EQ(view.painted.back().first, 119);
    EXPECT_TRUE(m.nextFrame().draws.empty()) << "nothing is drawn after frame 119";
    // The emblem grows to the end: its last copy is the frame-119 size.
    const auto emblem = std::find_if(view.painted.rbegin(), view.painted.rend(),
                                     [](const auto &p) { return p.second.sprite == 36; });
    ASSERT_NE(emblem, view.painted.rend());
    EXPECT_EQ(emblem->second.size, 230);

    const auto moving = std::count_if(view.painted.begin(), view.painted.end(),
                                      [](const auto &p) { return p.second.moving; });
    ASSERT_EQ(static_cast<long>(view.waits.size()), moving) << "first appearances do not wait";
    // The deadlines follow the schedule, so the drawing time (first appearances included)
    // comes off the waits.
    const auto firstMoving = std::find_if(view.painted.begin(), view.painted.end(), [](const auto &p) { return p.second.moving; });
    EXPECT_EQ(view.waits.front(), 10 - 3 * static_cast<int>(firstMoving - view.painted.begin() + 1));
    EXPECT_EQ(static_cast<int>(fake.clock - 1000), ideal);
}

TEST(AnimationPerform, LateWakeUpsDoNotAddUpAndAStopEndsTheRun)
{
    FakePlatform fake;
    AnimationModel m;
    m.INIT_PF(512, 384, fake);
    m.setScreen(1024, 768);
    const int ideal = m.idealTotalMs();
    RecordingView view(fake);
    view.oversleep = 2;
    horokata::testing::runFlow(m.PERFORM(fake, view));
    // Only the last wake-up's lateness is left at the end.
    EXPECT_EQ(static_cast<int>(fake.clock), ideal + 2);

    AnimationModel skipped;
    skipped.INIT_PF(512, 384, fake);
    RecordingView stopping(fake);
    stopping.stopAfter = 5;
    horokata::testing::runFlow(skipped.PERFORM(fake, stopping));
    EXPECT_EQ(stopping.waits.size(), 5u);
    EXPECT_LT(skipped.currentFrame(), AnimationModel::kFrames);
}

TEST(AnimationPerform, BusyWaitEndsOnTheDeadlineAcrossTheClockWrap)
{
    FakePlatform fake;
    fake.clock = 0xFFFFFF00u; // wraps a few frames in
    fake.onEvents = [&fake] { fake.clock += 1; };
    AnimationModel m;
    m.INIT_PF(512, 384, fake);
    m.setScreen(1024, 768);
    const int ideal = m.idealTotalMs();
    PaintOnlyView view;
    horokata::testing::runFlow(m.PERFORM(fake, view));
    EXPECT_EQ(static_cast<int>(fake.clock - 0xFFFFFF00u), ideal);
    EXPECT_EQ(fake.eventCount, ideal);
}
