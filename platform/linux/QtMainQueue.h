#pragma once

#include "platform/MainQueue.h"

namespace quillet {

// Queues work on the Qt event loop of the application's main thread.
class QtMainQueue final : public MainQueue {
public:
    void async(std::function<void()> work) override;
};

}  // namespace quillet
