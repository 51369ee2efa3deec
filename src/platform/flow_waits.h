// Where the flows wait on the one event loop, and how a closing window ends every wait.
#pragma once

#include "platform/flow_task.h"
#include "platform/platform.h"

#include <QObject>
#include <QScopeGuard>

#include <coroutine>
#include <list>
#include <memory>

namespace horokata {

// The waits of the flows on the Qt side: a pause, or a signal such as a popup's answer. Each
// waiting flow has its own wake-up and its own answer, so two flows may wait at once.
class FlowWaits : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Resumes once `ms` milliseconds have passed; 0 resumes once the events pending now have run.
    FlowTask<> pause(int ms);

    // Resumes once `sender` emits `signal`, with the signal's value.
    template<typename Sender, typename Arg>
    FlowTask<Arg> until(Sender *sender, void (Sender::*signal)(Arg))
    {
        Waiting me(*this);
        Arg value{};
        const QMetaObject::Connection c = connect(sender, signal, this, [this, wake = me.wake(), &value](Arg a) {
            // Only the first emission answers; a later one finds the wait over.
            if (!wake->woken)
                value = a;
            this->wake(wake, false);
        });
        const auto cut = qScopeGuard([c] { disconnect(c); });
        co_await me.suspend();
        co_return value;
    }

    // Throws FlowStopped into every flow waiting here; they have unwound when this returns.
    void stopAll();

private:
    // One waiting flow's wake-up.
    struct Wake {
        std::coroutine_handle<> flow; // the flow suspended in the wait
        bool woken = false;           // its wake-up is on its way
        bool stop = false;            // it wakes to end (FlowStopped)
        bool gone = false;            // the wait's frame has gone: nothing to resume
    };
    // The suspension of one wait.
    struct Suspend {
        std::shared_ptr<Wake> wake;
        bool await_ready() const noexcept { return wake->woken && wake->stop; }
        void await_suspend(std::coroutine_handle<> flow) const noexcept { wake->flow = flow; }
        void await_resume() const;
    };
    // One wait, living in the waiting flow's frame: registered while it lasts.
    class Waiting {
    public:
        explicit Waiting(FlowWaits &waits);
        ~Waiting();
        Waiting(const Waiting &) = delete;
        Waiting &operator=(const Waiting &) = delete;
        const std::shared_ptr<Wake> &wake() const { return wake_; }
        Suspend suspend() const { return Suspend{wake_}; }

    private:
        FlowWaits &waits_;
        std::shared_ptr<Wake> wake_;
    };

    // Resumes the wait through a queued call to this object (once, whichever comes first).
    void wake(const std::shared_ptr<Wake> &wake, bool stop);

    std::list<std::shared_ptr<Wake>> waiting_;
    bool stopping_ = false; // stopAll is ending the waits: a new wait ends at once
};

} // namespace horokata
