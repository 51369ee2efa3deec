// The small layer between the game and the machine: every facility the game needs from the OS.
#pragma once

#include "platform/flow_task.h"
#include <QString>
#include <cstdint>
#include <optional>

namespace horokata {

// Flows are coroutines (QCoro::Task). They keep each awaited value in a local and test the
// local: GCC 12 miscompiles a co_await written inside an if's condition.

// Thrown out of a suspension point when the window that runs the flow closes: the flow's
// frames unwind, and nothing after the suspension runs.
struct FlowStopped {};

class Platform {
public:
    virtual ~Platform() = default;

    // Suspends the flow until the window events pending now (painting included) have run.
    virtual FlowTask<> doEvents() = 0;
    // Suspends the flow for the given time. The windows stay painted meanwhile, and input made
    // during the pause reaches them at once (a disabled window drops it) instead of queueing.
    virtual FlowTask<> sleepMs(int ms) = 0;
    // Ends every flow suspended in doEvents or sleepMs: each throws FlowStopped there.
    virtual void stopFlows() = 0;
    // Millisecond clock with an arbitrary origin; wraps like a 32-bit counter.
    virtual std::uint32_t tickMs() = 0;

    // Uniform pseudo-random number in [0, 1), single precision.
    virtual float rnd() = 0;
    // Reseed the random numbers from the clock.
    virtual void randomize() = 0;

    virtual void beep() = 0;
    // Starts playing a WAV file and returns at once; a newer sound cuts off one still playing,
    // a file that cannot be played stays silent. Returns false only when no sound could be
    // attempted at all (no sound system), which switches the slot off for the rest of the run.
    virtual bool playSound(const QString &path) = 0;
    // Cuts off the sound playing now, if any.
    virtual void stopSound() = 0;

    // Hourglass pointer while the game is busy, default arrow otherwise.
    virtual void setBusyPointer(bool busy) = 0;
    // Modal message box with a title, the stop icon and one OK button, returning once it is
    // closed: only for the start-up refusals and the fatal exit, after which the program ends.
    virtual void messageBox(const QString &text, const QString &title) = 0;
    // A message box with a title and one OK button, no icon: the flow suspends until it is closed.
    virtual FlowTask<> notice(const QString &text, const QString &title) = 0;

    // The folder holding "Media" with the four sounds, without trailing separator;
    // empty when there is none.
    virtual std::optional<QString> windowsDirectory() = 0;
    // True when another copy of the game runs for the same user.
    virtual bool previousInstance() = 0;
    // Asks that other copy to bring its window to the front.
    virtual void raisePreviousInstance() = 0;
    // Bits per pixel of the display.
    virtual int colorDepth() = 0;

    // True when the path names an ordinary file (not a directory, hidden or system file).
    virtual bool fileExistsNormal(const QString &path) = 0;
    // Length in bytes, or -1 when it cannot be read.
    virtual std::int64_t fileLength(const QString &path) = 0;
};

} // namespace horokata
