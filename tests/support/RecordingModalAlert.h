#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/ModalAlert.h"

namespace quillet::test {

// Keeps every alert it was asked to show; each is dismissed at once. A question is answered
// with `answer` (the index of a button), the first button unless the test says otherwise.
class RecordingModalAlert final : public ModalAlert {
public:
    void runModal(const Alert& alert) override {
        shown.push_back(alert);
        buttonsShown.push_back({"OK"});
        if (onRun) onRun();
    }
    std::size_t runModal(const Alert& alert, const std::vector<std::string>& buttons) override {
        shown.push_back(alert);
        buttonsShown.push_back(buttons);
        if (onRun) onRun();
        return answer;
    }
    std::vector<Alert> shown;
    // The buttons of each alert shown, in the same order.
    std::vector<std::vector<std::string>> buttonsShown;
    std::size_t answer = 0;
    // Called while the alert is up, to observe the state at that moment.
    std::function<void()> onRun;
};

}  // namespace quillet::test
