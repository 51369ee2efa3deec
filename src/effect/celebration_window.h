// The full-screen celebration window: plays the sprite animation over a capture of the screen.
#pragma once

#include "platform/flow_task.h"
#include <QtGlobal>

class QWidget;

namespace horokata {

class Platform;

// Figures of one celebration, for measuring it.
struct CelebrationStats {
    int idealMs = 0;       // sum of the schedule's waits: per frame, moving sprites x period
    qint64 performMs = 0;  // wall time of the 119 frames
    int paints = 0;        // sprite copies drawn
    int screenWidth = 0;   // lngPW x lngPH
    int screenHeight = 0;
    bool captured = false; // false when the screen could not be read (drawn over black)
};

// Plays the celebration; done when it is over. Creates a fresh frameless window over the
// whole screen that holds the main window, shows the screen as captured just before, lets
// the sprites burst from the main window's centre, then hides and deletes the window (also
// when the flow is stopped on the way). A fresh press of Escape, Space or Enter, or a click,
// in any of the game's windows skips the rest: sound cut off, window gone, done as if played
// out. The caller disables the main window and shows the busy pointer. Pacing, randomness,
// the painted steps and the final pause go through `platform`; each wait pauses until
// `platform.tickMs()` reaches the sprite's deadline on the schedule. `mainWindow` may be null: the sprites then start at the screen's centre.
FlowTask<> playCelebration(QWidget *mainWindow, Platform &platform, CelebrationStats *stats = nullptr);

} // namespace horokata
