// Applying a window outline (a rectangle list) to a widget, and the popup art resources.
#include "popups/window_shape.h"

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
    QRegion region;
    for (const RECT &r : rects)
        if (r.left < r.right && r.top < r.bottom)
            region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
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
    // Past 100 % the picture drawn at twice the pixels, so that nothing shows stretched.
    if (qApp->devicePixelRatio() > 1.0) {
        QString twice = name;
        twice.insert(twice.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap sharp(QStringLiteral(":/popups/") + twice);
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(QStringLiteral(":/popups/") + name);
}

} // namespace horokata
