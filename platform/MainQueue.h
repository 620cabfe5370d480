#pragma once

#include <functional>

namespace quillet {

// Work deferred to the main thread's event loop: it runs after the current call returns.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    virtual void async(std::function<void()> work) = 0;
};

// Runs one piece of queued work. Whatever it throws is logged here and goes no further: an
// exception must never unwind through the event loop that called it.
void runQueuedWork(const std::function<void()>& work) noexcept;

}  // namespace quillet
