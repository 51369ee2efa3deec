// The window size chosen at start (remembered or --scale), the fallback when it does not fit,
// and the restart that applies a new size: the windows are built once, at the size of the run.
#pragma once

#include <QSize>
#include <QStringList>
#include <optional>

namespace horokata {

// Before the application object exists: the size for this run, from `--scale PERCENT` or the
// remembered one. A --scale that is not one of the steps gives exit
// code 2 with a message. Also keeps the arguments for a restart.
std::optional<int> chooseStartScale(int argc, char **argv, int *percent);

// The size this run started with.
int startScale();
// The QT_SCALE_FACTOR found in the environment at start (1 without one): the game's sizes
// multiply it, and what fits the screen is measured in its units.
double outerScale();

// Once the application exists: when the window at this run's size would not fit in
// `available` (screen pixels), asks for a restart at the largest size that fits and returns true.
// The smallest size is kept even where it does not fit: the window then keeps its title bar
// on the screen.
bool restartIfTooLarge(const QSize &available);

// Asks that the program start again once it has ended, with the remembered size.
void requestRestart();
// After the program has let go of its windows, its lock and its records: starts it again when
// asked to, with the same arguments (less --scale). Returns the exit code otherwise.
int restartIfRequested(int exitCode);

// The arguments without any --scale option (tests).
QStringList withoutScaleOption(const QStringList &arguments);

} // namespace horokata
