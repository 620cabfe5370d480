#pragma once

#include <functional>
#include <utility>

namespace quillet {

// Held while a shortcut recorder records: Quillet+'s own hot keys stay released, so a
// combination they hold reaches the recorder instead of firing. Dropping it, or end(), lets them
// be registered again.
class HotKeySuspension {
public:
    HotKeySuspension() = default;
    explicit HotKeySuspension(std::function<void()> end) : end_(std::move(end)) {}
    ~HotKeySuspension() { end(); }
    HotKeySuspension(HotKeySuspension&& other) noexcept : end_(std::exchange(other.end_, nullptr)) {}
    HotKeySuspension& operator=(HotKeySuspension&& other) noexcept {
        if (this != &other) {
            end();
            end_ = std::exchange(other.end_, nullptr);
        }
        return *this;
    }
    HotKeySuspension(const HotKeySuspension&) = delete;
    HotKeySuspension& operator=(const HotKeySuspension&) = delete;

    void end() {
        if (auto end = std::exchange(end_, nullptr)) end();
    }
    bool isActive() const { return static_cast<bool>(end_); }

private:
    std::function<void()> end_;
};

// Hands out suspensions. The composition root passes one that reaches the hot key manager; views
// built without it (tests, a session without hot keys) record all the same.
using HotKeySuspender = std::function<HotKeySuspension()>;

}  // namespace quillet
