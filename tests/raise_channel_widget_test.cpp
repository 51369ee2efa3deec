// The request by which a refused later start brings the running copy forward.
#include "platform_qt/raise_channel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace horokata;

TEST(RaiseChannel, ARequestReachesTheListenerOnceAndNothingElseDoes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("horokata.raise"));
    EXPECT_FALSE(RaiseChannel::send(path)) << "nobody listens yet";

    // Whatever a killed copy left at the name is taken over.
    {
        QFile left(path);
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.write("left behind");
    }
    int requests = 0;
    auto channel = RaiseChannel::listen(path, [&requests] { ++requests; });
    ASSERT_TRUE(channel);
    EXPECT_TRUE(RaiseChannel::send(path));
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return requests == 1; }));

    // Other words written to the pipe are dropped.
    QFile pipe(path);
    ASSERT_TRUE(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    pipe.write("lower\nraisex\n");
    pipe.close();
    QTest::qWait(100);
    EXPECT_EQ(requests, 1);

    // Gone with the channel: a later send finds nobody.
    channel.reset();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(RaiseChannel::send(path));
}
