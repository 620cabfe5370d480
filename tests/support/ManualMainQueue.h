#pragma once

#include <deque>
#include <functional>

#include "platform/MainQueue.h"

namespace quillet::test {

// A main queue the test turns by hand, so "later" is observable.
class ManualMainQueue final : public MainQueue {
public:
    void async(std::function<void()> work) override { pending_.push_back(std::move(work)); }
    size_t pending() const { return pending_.size(); }
    void drain() {
        while (!pending_.empty()) {
            auto work = std::move(pending_.front());
            pending_.pop_front();
            work();
        }
    }

private:
    std::deque<std::function<void()>> pending_;
};

}  // namespace quillet::test
