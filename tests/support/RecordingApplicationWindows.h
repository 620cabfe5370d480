#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ApplicationWindows.h"

namespace quillet::test {

// The application's windows as a list tests fill at any moment, which closing really shortens;
// records each request to come to the front, each window brought forward and put on every
// desktop, and each activation policy set.
class RecordingApplicationWindows final : public ApplicationWindows {
public:
    struct EveryDesktopRequest {
        NativeWindowID window;
        uint32_t userActionTime;
    };

    void activateIgnoringOtherApps() override {
        ++activations_;
        active_ = true;
    }
    bool isActive() const override { return active_; }
    // Puts the application in front (or behind) without counting an activation.
    void setActive(bool active) { active_ = active; }
    int activations() const { return activations_; }

    void setActivationPolicy(ActivationPolicyKind policy) override { policies.push_back(policy); }
    ActivationPolicyKind activationPolicy() const override {
        return policies.empty() ? ActivationPolicyKind::regular : policies.back();
    }

    void open(std::string title, bool isPanel = false) { windows.push_back({std::move(title), isPanel}); }
    void closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) override {
        ++passes;
        std::vector<WindowDescription> kept;
        for (auto& window : windows) {
            if (shouldClose(window))
                closed.push_back(window);
            else
                kept.push_back(window);
        }
        windows = std::move(kept);
    }

    bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) override {
        for (const auto& window : windows)
            if (matches(window)) {
                orderedFront.push_back(window.title);
                return true;
            }
        return false;
    }
    void orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) override {
        onEveryDesktop.push_back({window, userActionTime});
    }

    std::vector<ActivationPolicyKind> policies;
    std::vector<WindowDescription> windows;
    std::vector<WindowDescription> closed;
    int passes = 0;  // calls of closeWindows
    std::vector<std::string> orderedFront;
    std::vector<EveryDesktopRequest> onEveryDesktop;

private:
    int activations_ = 0;
    bool active_ = false;
};

}  // namespace quillet::test
