#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/observation/Subscription.h"

namespace quillet {

// An observable field. Subscribers receive later changes only, never the value current when
// they subscribe. Assigning publishes the new value to every subscriber, in subscription order.
template <typename T>
class Published {
public:
    using Observer = std::function<void(const T&)>;

    explicit Published(T initial = T{}) : value_(std::move(initial)), state_(std::make_shared<State>()) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }

    void set(T newValue) {
        value_ = std::move(newValue);
        // Copy first: an observer may subscribe or cancel while being told.
        std::vector<std::pair<long, Observer>> observers(state_->observers.begin(),
                                                         state_->observers.end());
        auto keep = state_;
        for (auto& [id, observer] : observers)
            if (keep->observers.count(id)) observer(value_);
    }

    [[nodiscard]] Subscription subscribe(Observer observer) {
        long id = state_->nextID++;
        state_->observers.emplace(id, std::move(observer));
        std::weak_ptr<State> weak = state_;
        return Subscription([weak, id] {
            if (auto s = weak.lock()) s->observers.erase(id);
        });
    }

    size_t subscriberCount() const { return state_->observers.size(); }

private:
    struct State {
        long nextID = 0;
        std::map<long, Observer> observers;
    };
    T value_;
    std::shared_ptr<State> state_;
};

// `changed` runs after a change of any of `fields` (anything with a `subscribe` like Published's),
// until the returned subscription is cancelled or dropped: how a view model tells its view to
// redraw, whichever of the values it shows moved.
template <typename... Fields>
[[nodiscard]] Subscription subscribeToAny(std::function<void()> changed, Fields&... fields) {
    if (!changed) return {};
    auto notify = std::make_shared<std::function<void()>>(std::move(changed));
    auto relay = [notify](const auto&) { (*notify)(); };
    auto subscriptions = std::make_shared<std::vector<Subscription>>();
    (subscriptions->push_back(fields.subscribe(relay)), ...);
    return Subscription([subscriptions] { subscriptions->clear(); });
}

}  // namespace quillet
