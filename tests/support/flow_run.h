// Runs a flow from a test without dropping its task: an error it ends with fails the test.
#pragma once

#include "platform/platform.h"

#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

#include <exception>

namespace horokata::testing {

// Flows on the scripted platform end when the call returns; one that threw has its error
// rethrown here. A flow still waiting (on a host that has not answered) is left to run on.
inline QCoro::Task<> finishFlow(FlowTask<> task)
{
    try {
        co_await std::move(task);
    } catch (const FlowStopped &) {
        // A flow that closed the window ends this way.
    } catch (const std::exception &e) {
        ADD_FAILURE() << "the flow threw: " << e.what();
    }
}

inline void runFlow(FlowTask<> task)
{
    // An ended task is awaited at once, within this call.
    if (task.isReady())
        finishFlow(std::move(task));
}

} // namespace horokata::testing
