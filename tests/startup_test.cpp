// Start-up refusals and the fatal exit's message.
#include "app/startup.h"
#include "platform/fake_platform.h"

#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(StartupTest, RefusesASecondInstanceAndA256ColourDisplay)
{
    FakePlatform second;
    second.otherInstance = true;
    EXPECT_FALSE(startupAllowed(second));
    // The refusal first; once it is dismissed the running copy is asked to come forward.
    EXPECT_EQ(second.log, (QStringList{QStringLiteral("box ホロカタ|既に「ホロカタ」は起動しています！　　　　"),
                                       QStringLiteral("raise other")}));

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

TEST(StartupTest, FatalMessageLeadsWithTheTroubleNumber)
{
    EXPECT_EQ(fatalMessage(Trouble::MenuOutlineRefused), QStringLiteral("5 重大なトラブル発生！　　　　"));
    EXPECT_EQ(fatalMessage(Trouble::DialogOutlineRefused).left(2), QStringLiteral("3 "));
}

} // namespace
