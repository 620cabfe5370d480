#pragma once

#include <string>
#include <vector>

#include "platform/ApplicationWindows.h"

namespace quillet::test {

// A list of open windows that closing really removes; tests open windows at any moment.
class FakeApplicationWindows final : public ApplicationWindows {
public:
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

    std::vector<WindowDescription> windows;
    std::vector<WindowDescription> closed;
    int passes = 0;
};

}  // namespace quillet::test
