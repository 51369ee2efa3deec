// Where the flows wait on the one event loop, and how a closing window ends every wait.
#include "platform/flow_waits.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace horokata {

FlowWaits::Waiting::Waiting(FlowWaits &waits) : waits_(waits), wake_(std::make_shared<Wake>())
{
    waits_.waiting_.push_back(wake_);
    // A flow that goes on waiting while every wait is being ended ends with them.
    if (waits_.stopping_)
        wake_->woken = wake_->stop = true;
}

FlowWaits::Waiting::~Waiting()
{
    wake_->gone = true;
    waits_.waiting_.remove(wake_);
}

void FlowWaits::Suspend::await_resume() const
{
    if (wake->stop)
        throw FlowStopped{};
}

void FlowWaits::wake(const std::shared_ptr<Wake> &wake, bool stop)
{
    if (wake->woken || wake->gone)
        return;
    wake->woken = true;
    wake->stop = stop;
    QMetaObject::invokeMethod(
        this,
        [wake] {
            if (!wake->gone && wake->flow)
                wake->flow.resume();
        },
        Qt::QueuedConnection);
}

FlowTask<> FlowWaits::pause(int ms)
{
    Waiting me(*this);
    QTimer::singleShot(std::max(ms, 0), this, [this, wake = me.wake()] { this->wake(wake, false); });
    co_await me.suspend();
}

void FlowWaits::stopAll()
{
    stopping_ = true;
    const std::list<std::shared_ptr<Wake>> waiting = waiting_;
    for (const std::shared_ptr<Wake> &w : waiting)
        wake(w, true);
    // The waits resume through queued calls to this object: delivered here and now, so that
    // every waiting flow has unwound before its window goes.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    stopping_ = false;
}

} // namespace horokata
