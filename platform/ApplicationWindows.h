#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

// How the application appears among the running ones: regular windows are listed in the
// taskbar and the application switcher; an accessory application's windows are left out.
enum class ActivationPolicyKind { regular, accessory };

// What a caller may know of one of the application's windows to decide about it.
struct WindowDescription {
    std::string title;
    bool isPanel = false;  // anything but an ordinary window: dialogs, tool windows, popups

    bool operator==(const WindowDescription&) const = default;
};

// Marks a window that closeWindows closed, as opposed to one the user closed: only the user's
// closing of the last window ends a Quillet+ that has no tray icon.
inline constexpr const char* kClosedByApplicationProperty = "quilletClosedByApplication";

// How the toolkit names one of the application's windows to the window system (an X11 window).
using NativeWindowID = std::uint64_t;

// This application's windows as the desktop shows them: in front or not, listed in the taskbar
// or not, and closed on request.
class ApplicationWindows {
public:
    virtual ~ApplicationWindows() = default;

    // Raises the application's visible windows and makes it the active application, even when
    // another application is in front. Without a visible window there is nothing to raise.
    virtual void activateIgnoringOtherApps() = 0;
    // Whether one of the application's windows has the keyboard focus of the desktop.
    virtual bool isActive() const = 0;

    virtual void setActivationPolicy(ActivationPolicyKind policy) = 0;
    virtual ActivationPolicyKind activationPolicy() const = 0;

    // Closes each visible window for which `shouldClose` answers true.
    virtual void closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) = 0;

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
