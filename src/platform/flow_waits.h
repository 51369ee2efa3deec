// Where the flows wait on the one event loop, and how a closing window ends every wait.
#pragma once

#include "platform/platform.h"

#include <QCoro/QCoroSignal>
#include <QObject>
#include <QScopeGuard>

namespace horokata {

// The waits of the flows on the Qt side: a pause, or a signal such as a popup's answer. Only
// one flow waits at a time (the windows take no input that could start a second one).
class FlowWaits : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Resumes once `ms` milliseconds have passed; 0 resumes once the events pending now have run.
    QCoro::Task<> pause(int ms);

    // Resumes once `sender` emits `signal`, with the signal's value.
    template<typename Sender, typename Arg>
    QCoro::Task<Arg> until(Sender *sender, void (Sender::*signal)(Arg))
    {
        Arg value{};
        const QMetaObject::Connection c = connect(sender, signal, this, [this, &value](Arg a) {
            value = a;
            emit woke(false);
        });
        const auto cut = qScopeGuard([c] { disconnect(c); });
        const bool stop = co_await qCoro(this, &FlowWaits::woke);
        if (stop)
            throw FlowStopped{};
        co_return value;
    }

    // Throws FlowStopped into every flow waiting here; they have unwound when this returns.
    void stopAll();

signals:
    // A wait ends; `stop` when it ends through stopAll.
    void woke(bool stop);
};

} // namespace horokata
