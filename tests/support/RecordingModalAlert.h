#pragma once

#include <functional>
#include <vector>

#include "platform/ModalAlert.h"

namespace quillet::test {

// Keeps every alert it was asked to show; each is dismissed at once.
class RecordingModalAlert final : public ModalAlert {
public:
    void runModal(const Alert& alert) override {
        shown.push_back(alert);
        if (onRun) onRun();
    }
    std::vector<Alert> shown;
    // Called while the alert is up, to observe the state at that moment.
    std::function<void()> onRun;
};

}  // namespace quillet::test
