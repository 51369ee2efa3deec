// Keeping the game's windows within the screen's usable area.
#include "platform_qt/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace horokata {

namespace {

int fitAxis(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

} // namespace

QPoint fitOnScreen(const QRect &wanted, const QRect &available)
{
    if (available.isEmpty())
        return wanted.topLeft();
    return {fitAxis(wanted.x(), wanted.width(), available.x(), available.width()),
            fitAxis(wanted.y(), wanted.height(), available.y(), available.height())};
}

QRect availableAreaAt(const QPoint &point)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void moveOnScreen(QWidget *window, const QPoint &topLeft)
{
    // The screen is the one under the window's centre where it is wanted.
    const QRect wanted(topLeft, window->frameSize());
    window->move(fitOnScreen(wanted, availableAreaAt(wanted.center())));
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect wanted(QPoint(), window->frameSize());
    wanted.moveCenter(area.center());
    window->move(fitOnScreen(wanted, area));
}

} // namespace horokata
