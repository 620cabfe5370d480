#pragma once

namespace quillet {

// Bringing this application to the front.
class ApplicationActivation {
public:
    virtual ~ApplicationActivation() = default;
    // Raises the application's visible windows and makes it the active application, even when
    // another application is in front. Without a visible window there is nothing to raise.
    virtual void activateIgnoringOtherApps() = 0;
    // Whether one of the application's windows has the keyboard focus of the desktop.
    virtual bool isActive() const = 0;
};

}  // namespace quillet
