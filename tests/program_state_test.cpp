// Sound slots and the small helpers of the program-wide state.
#include "puzzle/program_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(SoundSlotTest, SlotsArePlayableOnlyWhenTheirFileExists)
{
    FakePlatform none;
    ProgramState silent;
    SET_SOUND(silent, none);
    for (const SoundSlot &s : silent.soundSlots())
        EXPECT_FALSE(s.playable);
    playSound(silent, none, Sound::Miss);
    EXPECT_TRUE(none.log.isEmpty());

    FakePlatform p;
    p.windowsDir = QStringLiteral("/win") + QChar(u'\0') + QStringLiteral("junk");
    for (const char *name : {"The Microsoft Sound.wav", "Chimes.wav", "Tada.wav", "Chord.wav"})
        p.extraFiles.insert(QStringLiteral("/win/Media/") + QString::fromUtf8(name));
    p.hiddenFiles.insert(QStringLiteral("/win/Media/Chord.wav")); // present but not an ordinary file
    ProgramState g;
    SET_SOUND(g, p);
    EXPECT_EQ(g.systemFolder(), QStringLiteral("/win"));
    EXPECT_EQ(g.slot(Sound(2)).path, QStringLiteral("/win/Media/Chord.wav"));
    EXPECT_EQ(g.slot(Sound(1)).playable, true);
    EXPECT_EQ(g.slot(Sound(2)).playable, false);
    EXPECT_EQ(g.slot(Sound(3)).playable, true);
    EXPECT_EQ(g.slot(Sound(4)).playable, true);

    playSound(g, p, Sound::Miss);
    playSound(g, p, Sound::IdiomFound);
    EXPECT_EQ(p.log, QStringList{QStringLiteral("sound /win/Media/Chimes.wav")});

    // A call that cannot be made switches only that slot off.
    p.soundSystem = false;
    playSound(g, p, Sound::BoardComplete);
    playSound(g, p, Sound::BoardComplete);
    EXPECT_EQ(p.count(QStringLiteral("sound /win/Media/Tada.wav")), 1);
    EXPECT_EQ(g.slot(Sound(4)).playable, false);
    EXPECT_EQ(g.slot(Sound(3)).playable, true);
}

TEST(HelperTest, CutNullAndTrailingSeparator)
{
    EXPECT_EQ(CUT_NULL(QString(QChar(u'\0')) + QStringLiteral("abc")), QString());
    EXPECT_EQ(CUT_NULL(QStringLiteral("C:\\WINDOWS")), QStringLiteral("C:\\WINDOWS"));
    EXPECT_EQ(CUT_NULL(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd")), QStringLiteral("ab"));

    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/horokata")), QStringLiteral("/opt/horokata/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/horokata/")), QStringLiteral("/opt/horokata/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("C:\\GAME\\")), QStringLiteral("C:\\GAME\\"));
}

} // namespace
