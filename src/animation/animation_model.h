// The celebration's sprite animation as plain data: sprite table, moves, retire rule, pacing.
#pragma once

#include "platform/flow_task.h"
#include <array>
#include <cstdint>
#include <vector>

namespace horokata {

class Platform;

// One sprite: eight 16-bit fields, as the game keeps them.
struct PFSprite {
    std::int16_t intX = 0;    // left edge on the screen, pixels
    std::int16_t intY = 0;    // top edge on the screen, pixels
    std::int16_t intSX = 0;   // left of the source cell
    std::int16_t intSY = 0;   // top of the source cell
    std::int16_t intDX = 0;   // horizontal step per frame
    std::int16_t intDY = 0;   // vertical step per frame
    std::int16_t intMODE = 0; // 1-4 diagonal tile, 5 spiral tile, 0 title emblem
    std::int16_t intCNT = 0;  // <0 waiting or retired, 0 first appearance, >0 moving
};

// The two source pictures of the effect window.
enum class EffectSource {
    imgPF,    // 432 x 192 sheet of 36 kanji cells, 48 x 48 each
    imgTITOL, // 64 x 64 title emblem
};

// One stretched copy of a source rectangle onto the screen.
struct DrawCommand {
    int sprite = 0; // index into udtPF
    EffectSource source = EffectSource::imgPF;
    int sx = 0, sy = 0, sw = 0, sh = 0; // source rectangle
    int x = 0, y = 0, size = 0;         // destination square
    // The sprite moved on this frame, so the frame waits one period after drawing it;
    // a first appearance is drawn without waiting.
    bool moving = false;
};

struct EffectFrame {
    int frame = 0;  // 1 to kFrames
    int period = 0; // ms each moving sprite waits on this frame
    std::vector<DrawCommand> draws; // in drawing order: emblem first, sprite 0 last (on top)

    int movingCount() const;
    // The time the frame takes when every wait ends exactly on its deadline.
    int idealMs() const { return movingCount() * period; }
};

// Where PERFORM draws and how it waits. The default wait lets pending events run until the
// deadline passes on the platform clock, which spins; a window overrides it with a timed pause.
class PerformView {
public:
    virtual ~PerformView() = default;
    virtual void frameStarted(int frame, int period);
    virtual void paint(const DrawCommand &cmd) = 0;
    // Done once the 32-bit millisecond clock has reached `deadline`.
    virtual FlowTask<> waitUntil(std::uint32_t deadline, Platform &platform);
    // True once the run was skipped or closed: the frames left are not played.
    virtual bool stopped() const { return false; }
};

// Stores `value` into a 16-bit field when it fits; otherwise the assignment fails and the
// field keeps its old value, as the game's trapped overflow does.
inline void assign16(std::int16_t &field, long long value)
{
    if (value >= INT16_MIN && value <= INT16_MAX)
        field = static_cast<std::int16_t>(value);
}

// Screen-pixel centre coordinate of a window from its left (or top) and width (or height) in
// pixels, worked out in twips the way the game stores window positions.
std::int32_t centreInPixels(int leftPx, int widthPx);

class AnimationModel {
public:
    static constexpr int kSprites = 37;   // 0-35 kanji tiles (1 is the spiral), 36 the emblem
    static constexpr int kEmblem = 36;
    static constexpr int kSpiral = 1;
    static constexpr int kFrames = 119;
    static constexpr int kCell = 48;      // sprite-sheet cell size
    static constexpr int kCellsPerRow = 9;
    static constexpr int kEmblemSize = 64;
    static constexpr int kRetireMargin = -120; // a left or top edge below this is off the screen

    // Deals the sprites from the main window's centre: a random start angle and direction for
    // the spiral table, a shuffle of the sheet's cells, random speeds and diagonals.
    void INIT_PF(std::int32_t cx, std::int32_t cy, Platform &platform);

    // Screen size used by the retire rule; set before the first frame.
    void setScreen(std::int32_t pw, std::int32_t ph)
    {
        lngPW = pw;
        lngPH = ph;
    }

    // Advances every sprite by one frame and returns what to draw, in order. Frames run
    // 1 to kFrames; once they are done this returns an empty frame and changes nothing.
    EffectFrame nextFrame();
    bool finished() const { return frame_ >= kFrames; }
    int currentFrame() const { return frame_; }

    // Runs the remaining frames: each moving sprite is painted, then waits until its deadline
    // on the schedule (the run's start plus one period per moving sprite so far); a first
    // appearance does not wait. Ends early once the view says it stopped.
    FlowTask<> PERFORM(Platform &platform, PerformView &view);

    // Sum of all waits of a full run, frame by frame, from a fresh copy of this model.
    int idealTotalMs() const;

    // The state the frames are worked out from, to read.
    const std::array<PFSprite, kSprites> &sprites() const { return udtPF; }
    const std::array<float, 36> &cosTable() const { return sngCOS; }
    const std::array<float, 36> &sinTable() const { return sngSIN; }
    std::int16_t spiralGrowth() const { return intR; }

private:
    DrawCommand drawOf(int k, const PFSprite &s, bool moving) const;

    std::array<float, 36> sngCOS{};         // cosine of the spiral's 36 steps of 10 degrees
    std::array<float, 36> sngSIN{};         // sine of the same steps
    std::array<PFSprite, kSprites> udtPF{}; // the sprites
    std::int16_t intR = 0;                  // the spiral's growth: its radius is frame × intR pixels

    std::int32_t lngCX = 0, lngCY = 0; // where the sprites start: main window's centre
    std::int32_t lngPW = 0, lngPH = 0; // screen size in pixels

    int frame_ = 0;
    int period_ = 10; // ms per moving sprite; one less every 20 frames
    int a_ = 0;       // spiral's index into the cosine and sine tables
};

} // namespace horokata
