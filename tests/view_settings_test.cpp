// Window sizes: their rounding, the fallback to a size that fits, the steps offered, the
// arguments a restart keeps, and the settings file read back with bad values.
#include "app/scale_restart.h"
#include "app/view_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace horokata;

TEST(ViewSettings, SizesRoundAndFitTheScreen)
{
    EXPECT_EQ(scaledWindowSize(100), QSize(610, 429));
    EXPECT_EQ(scaledWindowSize(150), QSize(915, 644));
    EXPECT_EQ(scaledWindowSize(125), QSize(763, 536));
    // A 1024 × 768 screen less a panel holds 150 % but not 175 %.
    const QSize small(1024, 740);
    EXPECT_EQ(largestFittingScale(200, small), 150);
    EXPECT_EQ(largestFittingScale(200, QSize(600, 400)), 100); // nothing fits: the smallest
    EXPECT_EQ(neighbourScale(125, +1, small), 150);
    EXPECT_EQ(neighbourScale(150, +1, small), std::nullopt); // 175 % is not offered there
    EXPECT_EQ(neighbourScale(100, -1, small), std::nullopt);
    EXPECT_EQ(neighbourScale(200, +1, QSize(4000, 3000)), std::nullopt);
}

TEST(ViewSettings, RestartDropsOnlyTheScaleOption)
{
    const QStringList args{"horokata", "--scale", "150", "-platform", "xcb", "--scale=200", "--", "--scale"};
    EXPECT_EQ(withoutScaleOption(args), (QStringList{"horokata", "-platform", "xcb", "--", "--scale"}));
}

TEST(ViewSettings, BadSettingsReadAsDefaults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(ViewSettings::scale(), 100);
    EXPECT_TRUE(ViewSettings::soundOn());
    ViewSettings::setScale(175);
    ViewSettings::setSoundOn(false);
    EXPECT_EQ(ViewSettings::scale(), 175);
    EXPECT_FALSE(ViewSettings::soundOn());
    EXPECT_TRUE(ViewSettings::filePath().startsWith(dir.path()));
    {
        QFile f(ViewSettings::filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[view]\nscale=300\n");
    }
    EXPECT_EQ(ViewSettings::scale(), 100);
    qputenv("XDG_CONFIG_HOME", before);
}
