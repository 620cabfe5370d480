#include "app/observation/Subscription.h"

namespace quillet {

Subscription::Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}

Subscription::~Subscription() { cancel(); }

Subscription::Subscription(Subscription&& other) noexcept : cancel_(std::move(other.cancel_)) {
    other.cancel_ = nullptr;
}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        cancel();
        cancel_ = std::move(other.cancel_);
        other.cancel_ = nullptr;
    }
    return *this;
}

void Subscription::cancel() {
    if (cancel_) {
        auto c = std::move(cancel_);
        cancel_ = nullptr;
        c();
    }
}

}  // namespace quillet
