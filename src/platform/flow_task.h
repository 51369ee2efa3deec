// The task type of the game's coroutines: a QCoro task that the compiler will not let be dropped.
#pragma once

#include <QCoro/QCoroTask>

namespace horokata {

// A dropped task keeps running, but an exception it throws stays in its promise and is lost,
// and nobody knows when it ends. Every task is awaited or handed to the FlowOwner, which holds
// it to its end; [[nodiscard]] makes the compiler say so wherever one is forgotten.
template<typename T = void>
class [[nodiscard]] FlowTask : public QCoro::Task<T> {
public:
    FlowTask() = default;
    // The coroutine's promise hands out a QCoro task; ours takes its place.
    FlowTask(QCoro::Task<T> &&task) noexcept : QCoro::Task<T>(std::move(task)) {}
};

} // namespace horokata
