// The look the game's own windows share: the dark green of the board's frame, the green of
// the side panel behind headings, white words on green, and the lavender bevelled buttons
// of the title bar.
#pragma once

#include <QString>

class QWidget;

namespace horokata {

// Style sheet and fonts for a top-level window of the game and everything in it.
void applyGameLook(QWidget *window);

// Centres a window that is about to be shown for the first time over the window of its
// parent, kept on the parent's screen.
void placeOverParent(QWidget *window);

// A local date and time as the game's windows show it: "2026/12/08 13:05".
QString formatLocalDateTime(qint64 msSinceEpoch);

} // namespace horokata
