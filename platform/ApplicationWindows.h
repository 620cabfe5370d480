#pragma once

#include <functional>
#include <string>

namespace quillet {

// What a caller may know of one of the application's windows to decide about it.
struct WindowDescription {
    std::string title;
    bool isPanel = false;  // anything but an ordinary window: dialogs, tool windows, popups

    bool operator==(const WindowDescription&) const = default;
};

// The application's visible windows.
class ApplicationWindows {
public:
    virtual ~ApplicationWindows() = default;
    // Closes each visible window for which `shouldClose` answers true.
    virtual void closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) = 0;
};

}  // namespace quillet
