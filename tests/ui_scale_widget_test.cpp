// The game's own size: the style sheets made at that size and the pictures chosen for it.
#include "support/ui_scale_guard.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(UiScale, StylesFollowTheSizeAndPicturesAreThoseDrawnForWhatTheScreenShows)
{
    EXPECT_EQ(artPercentFor(2.0), 200);
    const horokata::testing::ScopedUiScale scale(150);
    // Pixel lengths round, a colour is left alone, points keep their fraction.
    EXPECT_EQ(scaledStyle(QStringLiteral("a { border: 1px solid #404060; padding: 3px 10px; font-size: 14pt; }")),
              QStringLiteral("a { border: 2px solid #404060; padding: 5px 15px; font-size: 21pt; }"));
    EXPECT_EQ(artPercentFor(1.0), 150);
    // A desktop that scales every program: the sharpest pictures there are.
    EXPECT_EQ(artPercentFor(1.25), 200);
    EXPECT_EQ(artFileAt(QStringLiteral(":/art/sys0.png"), 175), QStringLiteral(":/art/sys0@1.75x.png"));
}

} // namespace
