#pragma once

#include "platform/ApplicationActivation.h"

namespace quillet::test {

// Counts the requests to come to the front.
class RecordingApplicationActivation final : public ApplicationActivation {
public:
    void activateIgnoringOtherApps() override {
        ++activations_;
        active_ = true;
    }
    bool isActive() const override { return active_; }
    // Puts the application in front (or behind) without counting an activation.
    void setActive(bool active) { active_ = active; }
    int activations() const { return activations_; }

private:
    int activations_ = 0;
    bool active_ = false;
};

}  // namespace quillet::test
