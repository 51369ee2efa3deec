// Tests of the celebration's sprite animation: dealing, moves, retiring, drawing and pacing.
#include "effect/animation_model.h"
#include "platform/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

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
    EXPECT_EQ(m.sngCOS[0], cosOf(16));
    EXPECT_EQ(m.sngSIN[0], sinOf(16));
    EXPECT_EQ(m.sngCOS[1], cosOf(15));
    EXPECT_EQ(m.sngCOS[16], cosOf(0));
    EXPECT_EQ(m.sngCOS[17], cosOf(35));
    EXPECT_EQ(m.sngSIN[17], sinOf(35));
    EXPECT_EQ(m.sngCOS[35], cosOf(17));
    EXPECT_EQ(m.intR, 7);
}

TEST(AnimationDeal, EvenStartIndexRunsTheTableUpwards)
{
    Script s;
    s.start = 0.48f; // 17.8 -> 18
    const AnimationModel m = dealt(s);
    EXPECT_EQ(m.sngCOS[0], cosOf(19));
    EXPECT_EQ(m.sngSIN[0], sinOf(19));
    EXPECT_EQ(m.sngCOS[16], cosOf(35));
    EXPECT_EQ(m.sngCOS[17], cosOf(0));
    EXPECT_EQ(m.sngSIN[17], sinOf(0));
}

TEST(AnimationDeal, StartIndexHalfwayRoundsToEven)
{
    Script s;
    s.start = 0.5f; // 18.5 -> 18 (even, upwards), not 19 (odd, downwards from 18)
    EXPECT_EQ(dealt(s).sngCOS[0], cosOf(19));
    s.start = 0.0f; // 1 -> odd, downwards from 0 wraps to 35
    EXPECT_EQ(dealt(s).sngCOS[1], cosOf(35));
}

TEST(AnimationDeal, SpriteZeroAlwaysShowsTheFirstCellAndTheShuffleIsAPermutation)
{
    for (float r : {0.0f, 0.5f, 0.99999994f}) {
        Script s;
        s.shuffle.fill(r);
        const AnimationModel m = dealt(s);
        EXPECT_EQ(m.udtPF[0].intSX, 0);
        EXPECT_EQ(m.udtPF[0].intSY, 0);
        std::set<int> cells;
        for (int i = 0; i < 36; ++i) {
            const PFSprite &p = m.udtPF[i];
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
    for (unsigned seed : {1u, 2u, 3u, 99u}) {
        FakePlatform fake;
        fake.seed(seed);
        AnimationModel m;
        m.INIT_PF(300, 200, fake);
        EXPECT_EQ(fake.count("randomize"), 1);
        for (int i = 0; i < 36; ++i) {
            const PFSprite &p = m.udtPF[i];
            EXPECT_EQ(p.intX, 300);
            EXPECT_EQ(p.intY, 200);
            EXPECT_EQ(p.intCNT, -i);
            if (i == 1)
                continue;
            EXPECT_GE(p.intMODE, 1);
            EXPECT_LE(p.intMODE, 4);
            EXPECT_GE(p.intDX, 4);
            EXPECT_LE(p.intDX, 51);
            EXPECT_GE(p.intDY, 5);
            EXPECT_LE(p.intDY, 52);
        }
        const PFSprite &spiral = m.udtPF[1];
        EXPECT_EQ(spiral.intMODE, 5);
        EXPECT_EQ(spiral.intDX, 0);
        EXPECT_EQ(spiral.intDY, 0);
        const PFSprite &emblem = m.udtPF[36];
        EXPECT_EQ(emblem.intMODE, 0);
        EXPECT_EQ(emblem.intCNT, -36);
        EXPECT_EQ(emblem.intX, 300);
        EXPECT_EQ(emblem.intY, 200);
        EXPECT_EQ(emblem.intSX, 0);
        EXPECT_EQ(emblem.intDX, 1);
        EXPECT_EQ(emblem.intDY, 1);
    }
}

TEST(AnimationDeal, EachTileDrawsStepsThenModeInOrder)
{
    Script s;
    s.sprite[0] = {0.99f, 0.0f, 0.5f};         // dx 51, dy 5, mode 3
    s.sprite[2] = {0.0f, 0.99999994f, 0.99f};  // dx 4, dy 52, mode 4
    const AnimationModel m = dealt(s);
    EXPECT_EQ(m.udtPF[0].intDX, 51);
    EXPECT_EQ(m.udtPF[0].intDY, 5);
    EXPECT_EQ(m.udtPF[0].intMODE, 3);
    EXPECT_EQ(m.udtPF[2].intDX, 4);
    EXPECT_EQ(m.udtPF[2].intDY, 52);
    EXPECT_EQ(m.udtPF[2].intMODE, 4);
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
    ASSERT_EQ(f36.draws.size() >= 1, true);
    const DrawCommand &first = f36.draws.front();
    EXPECT_EQ(first.sprite, 36) << "the emblem is drawn first, under the tiles";
    EXPECT_EQ(first.source, EffectSource::imgTITOL);
    EXPECT_EQ(first.x, 400);
    EXPECT_EQ(first.y, 300);
    EXPECT_EQ(first.size, 64);
    EXPECT_EQ(first.sw, 64);
    EXPECT_FALSE(first.moving);

    const auto last = drawsOf(runTo(m, 119), 36);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].x, 400 - 83);
    EXPECT_EQ(last[0].y, 300 - 83);
    EXPECT_EQ(last[0].size, 230);
    EXPECT_TRUE(last[0].moving);
}

TEST(AnimationFrames, TileAppearsOnItsOwnFrameAtStartSizeAndSpriteZeroIsDrawnLast)
{
    Script s;
    s.shuffle.fill(0.5f);
    AnimationModel m = dealt(s);
    const PFSprite seven = m.udtPF[7];
    const EffectFrame f1 = m.nextFrame();
    EXPECT_EQ(f1.draws.back().sprite, 0);
    EXPECT_TRUE(f1.draws.back().moving) << "sprite 0 moves from frame 1 on";

    const auto d7 = drawsOf(runTo(m, 7), 7);
    ASSERT_EQ(d7.size(), 1u);
    EXPECT_FALSE(d7[0].moving);
    EXPECT_EQ(d7[0].x, 512);
    EXPECT_EQ(d7[0].y, 384);
    EXPECT_EQ(d7[0].size, 48);
    EXPECT_EQ(d7[0].sx, seven.intSX);
    EXPECT_EQ(d7[0].sy, seven.intSY);

    const auto d7b = drawsOf(m.nextFrame(), 7);
    ASSERT_EQ(d7b.size(), 1u);
    EXPECT_TRUE(d7b[0].moving);
    EXPECT_EQ(d7b[0].size, 50);
    EXPECT_NE(d7b[0].x, 512);
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
    EXPECT_EQ(m.udtPF[0].intX, 1073);
    EXPECT_LT(m.udtPF[0].intCNT, 0);
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
    EXPECT_EQ(far.udtPF[5].intX, 0);
    EXPECT_EQ(far.udtPF[5].intY, 200);
}

// ---- Running the whole effect ---------------------------------------------------------------

namespace {

struct Painted {
    int frame;
    DrawCommand cmd;
};

// Records paints and jumps the fake clock to each deadline, noting how long it was.
class RecordingView : public PerformView {
public:
    explicit RecordingView(FakePlatform &fake) : fake_(fake) {}
    void frameStarted(int frame, int period) override
    {
        frame_ = frame;
        periods.push_back(period);
    }
    void paint(const DrawCommand &cmd) override
    {
        painted.push_back({frame_, cmd});
        fake_.clock += paintCost;
    }
    void waitUntil(std::uint32_t deadline, Platform &) override
    {
        waits.push_back(static_cast<std::int32_t>(deadline - fake_.clock));
        if (static_cast<std::int32_t>(deadline - fake_.clock) > 0)
            fake_.clock = deadline;
    }

    std::vector<Painted> painted;
    std::vector<int> waits;
    std::vector<int> periods;
    std::uint32_t paintCost = 0;

private:
    FakePlatform &fake_;
    int frame_ = 0;
};

// Paints only; waiting is left to the busy wait that processes events.
class PaintOnlyView : public PerformView {
public:
    void paint(const DrawCommand &) override { ++paints; }
    int paints = 0;
};

} // namespace

TEST(AnimationPerform, RunsFrames1To119AndDrawsNothingAfter)
{
    FakePlatform fake;
    AnimationModel m;
    m.INIT_PF(512, 384, fake);
    m.setScreen(1024, 768);
    RecordingView view(fake);
    m.PERFORM(fake, view);

    ASSERT_EQ(view.periods.size(), 119u);
    ASSERT_FALSE(view.painted.empty());
    EXPECT_EQ(view.painted.front().frame, 1);
    EXPECT_EQ(view.painted.back().frame, 119);
    // The emblem is still on screen at the end, and its last copy is the frame-119 size.
    const auto lastEmblem = std::find_if(view.painted.rbegin(), view.painted.rend(),
                                         [](const Painted &p) { return p.cmd.sprite == 36; });
    ASSERT_NE(lastEmblem, view.painted.rend());
    EXPECT_EQ(lastEmblem->cmd.size, 230);
    EXPECT_TRUE(m.finished());
    EXPECT_TRUE(m.nextFrame().draws.empty());
}

TEST(AnimationPerform, EachMovingSpriteWaitsOnePeriodFromBeforeItsDraw)
{
    FakePlatform fake;
    fake.clock = 1000;
    AnimationModel m;
    m.INIT_PF(512, 384, fake);
    m.setScreen(1024, 768);
    const int ideal = m.idealTotalMs();
    RecordingView view(fake);
    view.paintCost = 3;
    m.PERFORM(fake, view);

    int moving = 0;
    for (const Painted &p : view.painted)
        moving += p.cmd.moving ? 1 : 0;
    ASSERT_EQ(static_cast<int>(view.waits.size()), moving) << "first appearances do not wait";
    // The wait starts after the paint, so the paint's time comes off the period.
    for (std::size_t i = 0; i < view.waits.size(); ++i)
        ASSERT_GE(view.waits[i], 2) << "wait " << i;
    EXPECT_EQ(view.waits.front(), 10 - 3);
    EXPECT_EQ(view.waits.back(), 5 - 3);
    // First appearances only add their paint time.
    const int firstAppearances = static_cast<int>(view.painted.size()) - moving;
    EXPECT_EQ(static_cast<int>(fake.clock - 1000), ideal + 3 * firstAppearances);
    EXPECT_GT(ideal, 119 * 5);
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
    m.PERFORM(fake, view);
    EXPECT_EQ(static_cast<int>(fake.clock - 0xFFFFFF00u), ideal);
    EXPECT_EQ(fake.eventCount, ideal);
    EXPECT_GT(view.paints, 0);
}
