// Applying a window outline (a rectangle list) to a widget, and the popup art resources.
#include "popups/window_shape.h"

#include "platform_qt/ui_scale.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

// Resources of a static library are registered by name, outside any namespace.
static void initPopupResources()
{
    Q_INIT_RESOURCE(popups);
}

namespace horokata {

QRegion regionFromRects(const std::vector<RECT> &rects)
{
    // Each edge goes through the game's size on its own, so that rectangles that meet at 100 %
    // meet at every size: the outline is cut again at the window's size, with no gap or seam.
    QRegion region;
    for (const RECT &r : rects)
        if (r.left < r.right && r.top < r.bottom)
            region += scaledEdges(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    return region;
}

bool applyWindowShape(QWidget *widget, const QRegion &region)
{
    if (widget == nullptr || region.isEmpty())
        return false;
    widget->setMask(region);
    // On Wayland a mask only shapes where the window takes input; what lies outside the
    // outline is cut by painting it transparent instead (the window paints inside its mask).
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        widget->setAttribute(Qt::WA_TranslucentBackground);
    return true;
}

QPixmap popupArt(const QString &name)
{
    static const bool registered = (initPopupResources(), true);
    (void)registered;
    // The picture drawn for the game's size, so that nothing shows stretched.
    return loadArt(QStringLiteral(":/popups/") + name);
}

} // namespace horokata
