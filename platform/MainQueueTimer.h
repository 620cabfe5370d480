#pragma once

#include <chrono>
#include <functional>

namespace quillet {

// Work run on the main thread's event loop once a delay has passed; the loop keeps serving
// everything else meanwhile, so waiting this way never blocks the user interface.
class MainQueueTimer {
public:
    virtual ~MainQueueTimer() = default;
    virtual void asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) = 0;
};

}  // namespace quillet
