// Tests at the game's other sizes: a scope at a size, and what a popup picture drawn for a size
// shows of itself (every pixel but its key colour).
#pragma once

#include "outline/region.h"
#include "platform_qt/ui_scale.h"

#include <QImage>
#include <QRegion>

namespace horokata::testing {

// The game's size for one scope; back to 100 % after it, whatever the test did meanwhile.
class ScopedUiScale {
public:
    explicit ScopedUiScale(int percent) { setUiScalePercent(percent); }
    ~ScopedUiScale() { setUiScalePercent(100); }
    ScopedUiScale(const ScopedUiScale &) = delete;
    ScopedUiScale &operator=(const ScopedUiScale &) = delete;
};

// The pixels of a picture that are not the key colour (magenta), in image pixels; empty when
// the picture cannot be read.
inline QRegion paintedRegion(const QString &path)
{
    const QImage art = QImage(path).convertToFormat(QImage::Format_RGB32);
    QRegion painted;
    for (const RECT &r : bandMask(art.width(), art.height(), [&](int x, int y) { return art.pixel(x, y) != qRgb(255, 0, 255); }))
        painted += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return painted;
}

} // namespace horokata::testing
