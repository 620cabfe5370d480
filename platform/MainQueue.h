#pragma once

#include <functional>

namespace quillet {

// Work deferred to the main thread's event loop: it runs after the current call returns.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    virtual void async(std::function<void()> work) = 0;
};

}  // namespace quillet
