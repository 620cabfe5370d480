#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

#include "platform/MainQueueTimer.h"

namespace quillet::test {

// A timer the test turns by hand: each delayed call waits until the test fires it.
class ManualMainQueueTimer final : public MainQueueTimer {
public:
    void asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) override {
        delays.push_back(delay);
        pending_.push_back(std::move(work));
    }
    std::size_t pending() const { return pending_.size(); }
    // Fires the calls due, and the ones they schedule, until none is left.
    void runAll() {
        while (!pending_.empty()) {
            auto work = std::move(pending_.front());
            pending_.pop_front();
            work();
        }
    }
    // Fires only the calls booked so far, not the ones they book: one turn of a repeating timer.
    void runPending() {
        for (auto n = pending_.size(); n > 0 && !pending_.empty(); --n) {
            auto work = std::move(pending_.front());
            pending_.pop_front();
            work();
        }
    }
    std::vector<std::chrono::nanoseconds> delays;

private:
    std::deque<std::function<void()>> pending_;
};

}  // namespace quillet::test
