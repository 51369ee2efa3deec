// Applying a window outline (a rectangle list) to a widget, and the popup art resources.
#pragma once

#include "outline/region.h"

#include <QPixmap>
#include <QRegion>
#include <vector>

class QWidget;

namespace horokata {

// The union of the rectangles (empty ones contribute nothing), given in the design's pixels and
// made at the game's size.
QRegion regionFromRects(const std::vector<RECT> &rects);

// Cuts the widget to the outline; where a mask shapes input only (Wayland), the window is made
// translucent so that it can leave the outside of the outline unpainted. An empty outline is refused (false): it would either leave
// the window unshaped or make it vanish, neither of which is the window's outline.
bool applyWindowShape(QWidget *widget, const QRegion &region);

// A picture of the compiled-in popup art, by file name ("menu_arrow.png" ...).
QPixmap popupArt(const QString &name);

} // namespace horokata
