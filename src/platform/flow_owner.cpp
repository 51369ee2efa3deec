// The one owner of the running flows: starts them, holds them to their end, and knows when
// none runs.
#include "platform/flow_owner.h"

#include "platform/platform.h"

#include <cstdio>
#include <exception>

namespace horokata {

void FlowOwner::start(FlowTask<> task)
{
    // Followers that have ended go now: a follower cannot drop its own task while it runs.
    followers_.remove_if([](const FlowTask<> &f) { return f.isReady(); });
    followers_.push_back(follow(state_, std::move(task)));
}

FlowTask<> FlowOwner::follow(std::shared_ptr<State> state, FlowTask<> task)
{
    ++state->running;
    QString failure;
    try {
        co_await std::move(task);
    } catch (const FlowStopped &) {
        // The window is closing: nothing of it may be touched beyond this count.
        --state->running;
        co_return;
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
        if (failure.isEmpty())
            failure = QStringLiteral("std::exception");
    } catch (...) {
        failure = QStringLiteral("unknown exception");
    }
    --state->running;
    if (failure.isNull()) {
        if (state->ended)
            state->ended();
        co_return;
    }
    std::fprintf(stderr, "horokata: a flow ended with an error: %s\n", failure.toLocal8Bit().constData());
    std::fflush(stderr);
    if (state->fault)
        state->fault(failure);
}

} // namespace horokata
