#pragma once

#include <cstdint>
#include <functional>

#include "platform/ApplicationWindows.h"

namespace quillet {

// How the toolkit names one of the application's windows to the window system (an X11 window).
using NativeWindowID = std::uint64_t;

// Bringing one of the application's own windows back to the front.
class WindowOrdering {
public:
    virtual ~WindowOrdering() = default;
    // Shows and raises, with the keyboard focus, the first of the application's windows (hidden
    // ones included, in the order the toolkit keeps them) that `matches`. False when none does.
    virtual bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) = 0;
    // Asks the window manager to keep the shown window `window` on every desktop, like a panel
    // that joins all spaces, and, given the time of the user's action that asked for it
    // (`userActionTime`, the window system's time of that input event; 0: none), to give it the
    // keyboard focus: window managers that prevent focus stealing compare that time before they
    // do. Nothing where the window system takes no such requests.
    virtual void orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) = 0;
};

}  // namespace quillet
