#pragma once

#include "platform/WindowOrdering.h"

namespace quillet {

// Looks through the application's top-level widgets in Qt's order; anything but an ordinary
// window (dialogs, tool windows such as the Quick Create panel, popups) counts as a panel.
// Desktops and the user's action time are told to the window manager through Qt's X11
// connection; without one (Wayland, offscreen) Qt's own raising is all there is.
class QtWindowOrdering final : public WindowOrdering {
public:
    bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) override;
    void orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) override;
};

}  // namespace quillet
