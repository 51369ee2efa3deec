// The player's view settings (window size and sound), kept apart from the records.
#pragma once

#include <QSize>
#include <QString>
#include <array>
#include <optional>

namespace horokata {

// The window sizes offered, in percent of the 610 × 429 window.
constexpr std::array<int, 5> kScaleSteps{100, 125, 150, 175, 200};
constexpr int kDefaultScale = 100;
constexpr QSize kBaseWindowSize(610, 429);

// True for one of kScaleSteps.
bool isScaleStep(int percent);
// The window's size on the screen at `percent`: each side rounded as round(v × scale).
QSize scaledWindowSize(int percent);
// The largest step not above `percent` whose window fits in `available` (screen pixels); the
// smallest step when none does.
int largestFittingScale(int percent, const QSize &available);
// The step after (direction +1) or before (-1) `percent`, if there is one that fits in `available`.
std::optional<int> neighbourScale(int percent, int direction, const QSize &available);

// Settings file: an INI file under $XDG_CONFIG_HOME (the records store may be read-only or of
// a later version, so nothing of the view is kept there). Bad or missing values read as defaults.
class ViewSettings {
public:
    static int scale();
    static void setScale(int percent);
    static bool soundOn();
    static void setSoundOn(bool on);
    // Where the settings are read and written.
    static QString filePath();
};

} // namespace horokata
