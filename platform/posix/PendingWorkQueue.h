#pragma once

#include <deque>
#include <functional>

#include "platform/MainQueue.h"

namespace quillet {

// The main queue of a process without an event loop (the command line): work waits until the
// owner calls runPending(), which also runs work queued meanwhile.
class PendingWorkQueue final : public MainQueue {
public:
    void async(std::function<void()> work) override { pending_.push_back(std::move(work)); }
    void runPending() {
        while (!pending_.empty()) {
            auto work = std::move(pending_.front());
            pending_.pop_front();
            runQueuedWork(work);
        }
    }
    bool isEmpty() const { return pending_.empty(); }

private:
    std::deque<std::function<void()>> pending_;
};

}  // namespace quillet
