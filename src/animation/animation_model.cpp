// The celebration's sprite animation as plain data: sprite table, moves, retire rule, pacing.
#include "animation/animation_model.h"

#include "puzzle/program_state.h"
#include "platform/platform.h"

#include <cmath>

namespace horokata {

namespace {

// 3.141592 / 18: ten degrees, as the game writes it.
constexpr double kTenDegrees = 0.1745328888888889;

// Rounds to the nearest integer, halves to even.
long long roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return static_cast<long long>(f) + 1;
    if (diff < 0.5)
        return static_cast<long long>(f);
    const auto i = static_cast<long long>(f);
    return (i % 2 == 0) ? i : i + 1;
}

// Largest integer not above v.
int intOf(double v)
{
    return static_cast<int>(std::floor(v));
}

} // namespace

int EffectFrame::movingCount() const
{
    int n = 0;
    for (const DrawCommand &d : draws)
        n += d.moving ? 1 : 0;
    return n;
}

void PerformView::frameStarted(int, int) {}

FlowTask<> PerformView::waitUntil(std::uint32_t deadline, Platform &platform)
{
    while (static_cast<std::int32_t>(deadline - platform.tickMs()) >= 1)
        co_await platform.doEvents();
}

std::int32_t centreInPixels(int leftPx, int widthPx)
{
    const long long left = static_cast<long long>(leftPx) * kTwipsPerPixel;
    const long long width = static_cast<long long>(widthPx) * kTwipsPerPixel;
    // Integer division truncates towards zero, as the game's "\" does.
    return static_cast<std::int32_t>((left + width / 2) / kTwipsPerPixel);
}

void AnimationModel::INIT_PF(std::int32_t cx, std::int32_t cy, Platform &platform)
{
    lngCX = cx;
    lngCY = cy;
    frame_ = 0;
    period_ = 10;
    a_ = 0;

    platform.randomize();
    intR = 7;

    // The spiral's table steps round the circle by ten degrees from a random angle; an even
    // start runs it one way, an odd start the other.
    long long k = roundHalfEven(static_cast<double>(platform.rnd()) * 35.0 + 1.0);
    const bool upwards = (k % 2 == 0);
    for (int i = 0; i < 36; ++i) {
        if (upwards) {
            if (++k > 35)
                k = 0;
        } else {
            if (--k < 0)
                k = 35;
        }
        sngCOS[i] = static_cast<float>(std::cos(static_cast<double>(k) * kTenDegrees));
        sngSIN[i] = static_cast<float>(std::sin(static_cast<double>(k) * kTenDegrees));
    }

    // Shuffle of the sheet's cells; j never reaches 0, so sprite 0 always shows cell 0.
    std::array<int, 36> p{};
    for (int i = 0; i < 36; ++i)
        p[i] = i;
    for (int i = 35; i >= 1; --i) {
        const int j = intOf((i - 1) * static_cast<double>(platform.rnd()) + 1.0);
        std::swap(p[i], p[j]);
    }

    for (int i = 0; i < 36; ++i) {
        PFSprite &s = udtPF[i];
        assign16(s.intX, lngCX);
        assign16(s.intY, lngCY);
        assign16(s.intSX, (p[i] % kCellsPerRow) * kCell);
        assign16(s.intSY, (p[i] / kCellsPerRow) * kCell);
        assign16(s.intDX, intOf(platform.rnd() * 48.0) + 4);
        assign16(s.intDY, intOf(platform.rnd() * 48.0) + 5);
        assign16(s.intMODE, intOf(platform.rnd() * 4.0) + 1);
        assign16(s.intCNT, -i);
    }

    PFSprite &spiral = udtPF[kSpiral];
    spiral.intDX = 0;
    spiral.intDY = 0;
    spiral.intMODE = 5;

    PFSprite &emblem = udtPF[kEmblem];
    assign16(emblem.intX, lngCX);
    assign16(emblem.intY, lngCY);
    emblem.intSX = 0;
    emblem.intSY = 0;
    emblem.intDX = 1;
    emblem.intDY = 1;
    emblem.intMODE = 0;
    emblem.intCNT = -kEmblem;
}

DrawCommand AnimationModel::drawOf(int k, const PFSprite &s, bool moving) const
{
    DrawCommand d;
    d.sprite = k;
    d.x = s.intX;
    d.y = s.intY;
    d.moving = moving;
    if (s.intMODE == 0) {
        d.source = EffectSource::imgTITOL;
        d.sx = 0;
        d.sy = 0;
        d.sw = d.sh = kEmblemSize;
        d.size = moving ? 2 * s.intCNT + kEmblemSize : kEmblemSize;
    } else {
        d.source = EffectSource::imgPF;
        d.sx = s.intSX;
        d.sy = s.intSY;
        d.sw = d.sh = kCell;
        if (!moving)
            d.size = kCell;
        else if (s.intMODE == 5)
            d.size = s.intCNT + kCell;
        else
            d.size = 2 * s.intCNT + kCell;
    }
    return d;
}

EffectFrame AnimationModel::nextFrame()
{
    EffectFrame out;
    if (finished())
        return out;
    const int frame = ++frame_;
    if (frame % 20 == 0)
        --period_;
    out.frame = frame;
    out.period = period_;

    for (int k = kEmblem; k >= 0; --k) {
        PFSprite &s = udtPF[k];
        assign16(s.intCNT, s.intCNT + 1);
        if (s.intCNT < 0)
            continue;
        if (s.intCNT == 0) {
            out.draws.push_back(drawOf(k, s, false));
            continue;
        }

        switch (s.intMODE) {
        case 1:
            assign16(s.intX, s.intX + s.intDX);
            assign16(s.intY, s.intY + s.intDY);
            break;
        case 2:
            assign16(s.intX, s.intX + s.intDX);
            assign16(s.intY, s.intY - s.intDY);
            break;
        case 3:
            assign16(s.intX, s.intX - s.intDX);
            assign16(s.intY, s.intY + s.intDY);
            break;
        case 4:
        case 0:
            assign16(s.intX, s.intX - s.intDX);
            assign16(s.intY, s.intY - s.intDY);
            break;
        case 5: {
            if (++a_ > 35)
                a_ = 0;
            std::int16_t r = 0;
            assign16(r, static_cast<long long>(frame) * intR);
            // Single-precision product, as the table is single precision.
            const float px = static_cast<float>(r) * sngCOS[a_];
            const float py = static_cast<float>(r) * sngSIN[a_];
            assign16(s.intX, roundHalfEven(px) + lngCX);
            assign16(s.intY, roundHalfEven(py) + lngCY);
            break;
        }
        default:
            break;
        }

        out.draws.push_back(drawOf(k, s, true));

        // Off the screen: retired for the rest of the run.
        if (s.intX > lngPW || s.intX < kRetireMargin)
            s.intCNT = -200;
        if (s.intY > lngPH || s.intY < kRetireMargin)
            s.intCNT = -200;
    }
    return out;
}

FlowTask<> AnimationModel::PERFORM(Platform &platform, PerformView &view)
{
    // Every deadline is the run's start plus the schedule's waits up to it, so drawing time
    // and a late wake-up come off the next wait instead of adding up over the run.
    const std::uint32_t start = platform.tickMs();
    std::uint32_t scheduled = 0;
    while (!finished() && !view.stopped()) {
        const EffectFrame f = nextFrame();
        view.frameStarted(f.frame, f.period);
        for (const DrawCommand &d : f.draws) {
            if (!d.moving) {
                view.paint(d);
                continue;
            }
            scheduled += static_cast<std::uint32_t>(f.period);
            view.paint(d);
            co_await view.waitUntil(start + scheduled, platform);
            if (view.stopped())
                co_return;
        }
    }
}

int AnimationModel::idealTotalMs() const
{
    AnimationModel copy = *this;
    int total = 0;
    while (!copy.finished())
        total += copy.nextFrame().idealMs();
    return total;
}

} // namespace horokata
