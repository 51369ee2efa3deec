// Keeping the game's windows within the screen's usable area.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace horokata {

// Top-left for a window wanted at `wanted` so that it lies inside `available`. A window that
// does not fit on an axis starts at the area's left or top edge, so its title bar stays reachable.
QPoint fitOnScreen(const QRect &wanted, const QRect &available);

// The usable area (without panels and docks) of the screen holding `point`, else of the
// primary screen; empty when there is no screen.
QRect availableAreaAt(const QPoint &point);

// Moves a top-level window to `topLeft`, or as near to it as keeps it on that screen.
void moveOnScreen(QWidget *window, const QPoint &topLeft);

// Places a top-level window at the centre of the primary screen's usable area, kept on it.
void centreOnScreen(QWidget *window);

} // namespace horokata
