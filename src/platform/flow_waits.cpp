// Where the flows wait on the one event loop, and how a closing window ends every wait.
#include "platform/flow_waits.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>

namespace horokata {

QCoro::Task<> FlowWaits::pause(int ms)
{
    const std::optional<bool> woken = co_await qCoro(this, &FlowWaits::woke, std::chrono::milliseconds(std::max(ms, 0)));
    if (woken && *woken)
        throw FlowStopped{};
}

void FlowWaits::stopAll()
{
    emit woke(true);
    // The waits resume through queued calls to this object: delivered here and now, so that
    // every waiting flow has unwound before its window goes.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

} // namespace horokata
