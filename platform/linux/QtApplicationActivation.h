#pragma once

#include "platform/ApplicationActivation.h"

namespace quillet {

// Raises the visible top-level widgets and asks the window manager to focus one of them. A
// window manager with focus-stealing prevention may only mark the window as demanding
// attention; there is no stronger request an X11 or Wayland client can make.
class QtApplicationActivation final : public ApplicationActivation {
public:
    void activateIgnoringOtherApps() override;
    bool isActive() const override;
};

}  // namespace quillet
