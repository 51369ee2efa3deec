// Start-up refusals, sound slots and the small helpers of the program-wide module.
#include "app/module1.h"
#include "platform/fake_platform.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(StartupTest, RefusesASecondInstanceAndA256ColourDisplay)
{
    FakePlatform second;
    second.otherInstance = true;
    EXPECT_FALSE(startupAllowed(second));
    EXPECT_EQ(second.log, QStringList{QStringLiteral("box ホロカタ|既に「ホロカタ」は起動しています！　　　　")});

    FakePlatform depth8;
    depth8.depth = 8;
    EXPECT_FALSE(startupAllowed(depth8));
    EXPECT_EQ(depth8.log, QStringList{QStringLiteral("box ホロカタ|２５６色環境ではソフトを起動できません！　　　　")});

    for (int depth : {4, 15, 16, 24, 32}) {
        FakePlatform p;
        p.depth = depth;
        EXPECT_TRUE(startupAllowed(p)) << depth;
        EXPECT_TRUE(p.log.isEmpty()) << depth;
    }
}

TEST(SoundSlotTest, SlotsArePlayableOnlyWhenTheirFileExists)
{
    FakePlatform none;
    Module1 silent;
    SET_SOUND(silent, none);
    for (const SoundSlot &s : silent.wav)
        EXPECT_FALSE(s.playable);
    playSlot(silent, none, 2);
    EXPECT_TRUE(none.log.isEmpty());

    FakePlatform p;
    p.windowsDir = QStringLiteral("/win") + QChar(u'\0') + QStringLiteral("junk");
    for (const char *name : {"The Microsoft Sound.wav", "Chimes.wav", "Tada.wav", "Chord.wav"})
        p.extraFiles.insert(QStringLiteral("/win/Media/") + QString::fromUtf8(name));
    p.hiddenFiles.insert(QStringLiteral("/win/Media/Chord.wav")); // present but not an ordinary file
    Module1 g;
    SET_SOUND(g, p);
    EXPECT_EQ(g.strWIN, QStringLiteral("/win"));
    EXPECT_EQ(g.wav[1].path, QStringLiteral("/win/Media/Chord.wav"));
    EXPECT_EQ(g.wav[0].playable, vbTrue);
    EXPECT_EQ(g.wav[1].playable, vbFalse);
    EXPECT_EQ(g.wav[2].playable, vbTrue);
    EXPECT_EQ(g.wav[3].playable, vbTrue);

    playSlot(g, p, 2);
    playSlot(g, p, 3);
    EXPECT_EQ(p.log, QStringList{QStringLiteral("sound /win/Media/Chimes.wav")});

    // A call that cannot be made switches only that slot off.
    p.soundSystem = false;
    playSlot(g, p, 4);
    playSlot(g, p, 4);
    EXPECT_EQ(p.count(QStringLiteral("sound /win/Media/Tada.wav")), 1);
    EXPECT_EQ(g.wav[3].playable, vbFalse);
    EXPECT_EQ(g.wav[2].playable, vbTrue);
}

TEST(HelperTest, CutNullFatalMessageAndTrailingSeparator)
{
    EXPECT_EQ(CUT_NULL(QString(QChar(u'\0')) + QStringLiteral("abc")), QString());
    EXPECT_EQ(CUT_NULL(QStringLiteral("C:\\WINDOWS")), QStringLiteral("C:\\WINDOWS"));
    EXPECT_EQ(CUT_NULL(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd")), QStringLiteral("ab"));

    EXPECT_EQ(fatalMessage(5), QStringLiteral("5 重大なトラブル発生！　　　　"));
    EXPECT_EQ(fatalMessage(3).left(2), QStringLiteral("3 "));

    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/horokata")), QStringLiteral("/opt/horokata/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/horokata/")), QStringLiteral("/opt/horokata/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("C:\\GAME\\")), QStringLiteral("C:\\GAME\\"));
}

} // namespace
