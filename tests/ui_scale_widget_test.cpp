// The game's own size: rounding, the style sheets made at that size and the pictures chosen for it.
#include "support/ui_scale_guard.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(UiScale, SizesRoundAndStylesFollowTheSize)
{
    {
        const horokata::testing::ScopedUiScale scale(150);
        EXPECT_EQ(scaled(QSize(610, 429)), QSize(915, 644));
        EXPECT_EQ(scaled(QRect(1, 1, 48, 48)), QRect(2, 2, 72, 72));
        // Pixel lengths round and a one-pixel line stays at least one; points keep their fraction.
        EXPECT_EQ(scaledStyle(QStringLiteral("a { border: 1px solid #404060; padding: 3px 10px; font-size: 14pt; }")),
                  QStringLiteral("a { border: 2px solid #404060; padding: 5px 15px; font-size: 21pt; }"));
        EXPECT_EQ(scaledStyle(QStringLiteral("span { font-size:20pt }")), QStringLiteral("span { font-size:30pt }"));
    }
    {
        const horokata::testing::ScopedUiScale scale(125);
        EXPECT_EQ(scaled(QSize(610, 429)), QSize(763, 536));
        EXPECT_EQ(scaledStyle(QStringLiteral("border: 1px")), QStringLiteral("border: 1px"));
        EXPECT_EQ(unscaled(25), 20);
    }
}

TEST(UiScale, PicturesAreThoseDrawnForWhatTheScreenShows)
{
    EXPECT_EQ(artPercentFor(1.0), 100);
    EXPECT_EQ(artPercentFor(2.0), 200);
    EXPECT_EQ(artFileAt(QStringLiteral(":/art/sys0.png"), 100), QStringLiteral(":/art/sys0.png"));
    EXPECT_EQ(artFileAt(QStringLiteral(":/art/sys0.png"), 175), QStringLiteral(":/art/sys0@1.75x.png"));
    const horokata::testing::ScopedUiScale scale(150);
    EXPECT_EQ(artPercentFor(1.0), 150);
    // A desktop that doubles every program: the largest pictures, the sharpest there are.
    EXPECT_EQ(artPercentFor(2.0), 200);
    EXPECT_EQ(artPercentFor(1.25), 200);
}

} // namespace
