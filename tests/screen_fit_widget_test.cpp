// Keeping windows on the screen's usable area.
#include "platform_qt/screen_fit.h"

#include <gtest/gtest.h>

using namespace horokata;

TEST(ScreenFit, WindowsAreKeptWhollyOnTheAreaOrAgainstItsTopLeftWhenTooBig)
{
    const QRect area(0, 27, 1366, 741); // a 1366 x 768 screen under a 27-pixel top panel
    EXPECT_EQ(fitOnScreen(QRect(100, 100, 610, 429), area), QPoint(100, 100));
    EXPECT_EQ(fitOnScreen(QRect(1200, 700, 380, 85), area), QPoint(986, 683));
    EXPECT_EQ(fitOnScreen(QRect(-40, 0, 60, 79), area), QPoint(0, 27));
    // Twice the scale on that screen: the window is taller than the area, so its title bar
    // goes to the area's top while it stays centred across.
    const QRect scaled(0, 13, 683, 371);
    EXPECT_EQ(fitOnScreen(QRect(36, -15, 610, 429), scaled), QPoint(36, 13));
    EXPECT_EQ(fitOnScreen(QRect(-200, -15, 900, 429), scaled), QPoint(0, 13));
}
