#pragma once

#include <functional>
#include <memory>

namespace quillet {

// A live subscription to a published field. Dropping it (or calling cancel) stops delivery, so
// an owner that keeps its subscriptions as members is never called after it is destroyed.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel);
    ~Subscription();
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void cancel();
    bool isActive() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

}  // namespace quillet
