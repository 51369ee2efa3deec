// Tests of the celebration window: it covers the screen while playing and is gone afterwards.
#include "effect/celebration_window.h"
#include "effect/effect_art.h"
#include "support/ui_scale_guard.h"
#include "support/flow_run.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>

using namespace horokata;

namespace {

// A clock that jumps well past every deadline each time it is read, so the run takes no time.
class FastClockPlatform : public FakePlatform {
public:
    std::uint32_t tickMs() override
    {
        clock += 50;
        return clock;
    }
};

std::set<QWidget *> topLevels()
{
    const auto list = QApplication::topLevelWidgets();
    return {list.begin(), list.end()};
}

struct Seen {
    bool visible = false;
    bool enabled = true;
    bool frameless = false;
    QRect geometry;
};

} // namespace

class CelebrationWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.resize(610, 429);
        main.move(100, 80);
        main.show();
        QApplication::processEvents();
    }

    QWidget main;
    FastClockPlatform platform;
};

TEST_F(CelebrationWindowTest, PlaysOverTheWholeScreenWithoutInputAndLeavesNoWindowBehind)
{
    const auto before = topLevels();
    std::vector<Seen> seen;
    platform.onEvents = [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Form3"))
                seen.push_back({w->isVisible(), w->isEnabled(),
                                bool(w->windowFlags() & Qt::FramelessWindowHint), w->geometry()});
    };

    CelebrationStats stats;
    horokata::testing::runFlow(playCelebration(&main, platform, &stats));

    // Events were let through after INIT_PF, after PERFORM and after hiding.
    ASSERT_EQ(seen.size(), 3u);
    const QRect screen = main.screen()->geometry();
    EXPECT_TRUE(seen[0].visible);
    EXPECT_TRUE(seen[0].enabled) << "it takes the skip's key or click";
    EXPECT_TRUE(seen[0].frameless);
    EXPECT_EQ(seen[0].geometry, screen);
    EXPECT_FALSE(seen[2].visible);

    EXPECT_EQ(topLevels(), before) << "the effect window must be deleted, not just hidden";
    EXPECT_EQ(platform.count("randomize"), 1);
    EXPECT_EQ(platform.count("sleep 20"), 10) << "the final pause, in steps a skip can cut";
    EXPECT_EQ(stats.screenWidth, screen.width());
    EXPECT_EQ(stats.screenHeight, screen.height());
    EXPECT_GT(stats.paints, 119);
    EXPECT_GT(stats.idealMs, 0);
}

TEST_F(CelebrationWindowTest, EachCelebrationMakesAFreshWindowAndCapture)
{
    std::set<QWidget *> watched;
    int destroyed = 0;
    platform.onEvents = [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Form3") && watched.insert(w).second)
                QObject::connect(w, &QObject::destroyed, [&destroyed, &watched, w] {
                    ++destroyed;
                    watched.erase(w);
                });
    };
    const auto before = topLevels();
    horokata::testing::runFlow(playCelebration(&main, platform));
    EXPECT_EQ(destroyed, 1);
    horokata::testing::runFlow(playCelebration(nullptr, platform)); // without a main window it runs from the screen's centre
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(platform.count("randomize"), 2) << "each celebration deals its sprites anew";
    EXPECT_EQ(topLevels(), before);
}

// At 150 % the sprites are painted at that size, in as many pixels as they cover, rather than
// stretched from the pictures of 100 %; back at 100 % they are the pictures of 100 % again.
TEST(CelebrationArt, PicturesArePaintedAtTheGameSize)
{
    const QImage atFull = spriteSheet();
    ASSERT_EQ(atFull.size(), QSize(432, 192));
    {
        const horokata::testing::ScopedUiScale scale(150);
        const QImage &sheet = spriteSheet();
        EXPECT_EQ(sheet.size(), QSize(648, 288));
        EXPECT_EQ(sheet.deviceIndependentSize(), QSizeF(648, 288));
        EXPECT_NE(sheet, atFull.scaled(648, 288, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        EXPECT_EQ(titleEmblem().size(), QSize(96, 96));
    }
    EXPECT_EQ(spriteSheet(), atFull);
}
