// The one owner of the running flows: starts them, holds them to their end, and knows when
// none runs.
#pragma once

#include "platform/flow_task.h"

#include <QString>
#include <functional>
#include <list>
#include <memory>

namespace horokata {

// Starts every flow of a window and holds its task until it ends. A flow stopped because the
// window closes (FlowStopped) ends quietly; any other exception is written to standard error
// and handed to the fault handler once the count of running flows has come back down.
class FlowOwner {
public:
    FlowOwner() = default;
    // Flows still waiting end later without a word to the handlers.
    ~FlowOwner() { state_->ended = nullptr; state_->fault = nullptr; }
    FlowOwner(const FlowOwner &) = delete;
    FlowOwner &operator=(const FlowOwner &) = delete;

    // After a flow ends normally (the window syncs to what it left).
    void onEnded(std::function<void()> handler) { state_->ended = std::move(handler); }
    // After a flow ended with an unexpected exception, with its description.
    void onFault(std::function<void(const QString &what)> handler) { state_->fault = std::move(handler); }

    // Runs `task` until it first waits, then holds it until it ends.
    void start(FlowTask<> task);
    // True while no flow started here runs (none waits either).
    bool atRest() const { return state_->running == 0; }
    int running() const { return state_->running; }

private:
    // Shared with the followers: a flow still waiting when its owner goes (a window deleted
    // without closing) ends later without touching the owner.
    struct State {
        int running = 0;
        std::function<void()> ended;
        std::function<void(const QString &)> fault;
    };
    static FlowTask<> follow(std::shared_ptr<State> state, FlowTask<> task);

    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::list<FlowTask<>> followers_; // one per flow started, dropped once it has ended
};

} // namespace horokata
