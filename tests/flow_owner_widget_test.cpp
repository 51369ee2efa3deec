// The flows' owner and waits on the event loop: each waiter its own wake-up and answer, a stop
// that ends the waits quietly.
#include "platform/flow_owner.h"
#include "platform/flow_waits.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace horokata;

namespace {

FlowTask<> waitFor(FlowWaits &waits, QAction &signal, std::optional<bool> &answer)
{
    answer = co_await waits.until(&signal, &QAction::triggered);
}

// Two flows wait at once: the second's wake-up leaves the first waiting, and each gets the
// answer of its own signal; the stop at close then ends a third without a fault.
TEST(FlowOwner, TwoWaitersEachGetTheirOwnWakeUpAndAnswer)
{
    FlowWaits waits;
    FlowOwner owner;
    int faults = 0;
    owner.onFault([&](const QString &) { ++faults; });
    QAction first, second;
    std::optional<bool> a, b, c;
    owner.start(waitFor(waits, first, a));
    owner.start(waitFor(waits, second, b));
    EXPECT_EQ(owner.running(), 2);

    emit second.triggered(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.has_value(); }, 2000));
    EXPECT_TRUE(*b);
    QTest::qWait(20);
    EXPECT_FALSE(a.has_value()) << "the first waiter woke with the second";
    EXPECT_EQ(owner.running(), 1);
    emit first.triggered(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.has_value(); }, 2000));
    EXPECT_FALSE(*a);
    EXPECT_TRUE(owner.atRest());

    owner.start(waitFor(waits, first, c));
    waits.stopAll();
    EXPECT_TRUE(owner.atRest());
    EXPECT_FALSE(c.has_value());
    EXPECT_EQ(faults, 0);
}

} // namespace
