#pragma once

#include "platform/MainQueueTimer.h"

namespace quillet {

// A single-shot timer on the Qt event loop of the application's main thread.
class QtMainQueueTimer final : public MainQueueTimer {
public:
    void asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) override;
};

}  // namespace quillet
