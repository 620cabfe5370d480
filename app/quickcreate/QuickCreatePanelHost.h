#pragma once

#include <cstdint>
#include <memory>

#include "platform/ScreenLayout.h"

namespace quillet {

class DesktopCreationController;

// The floating window the Quick Create panel lives in, as the controller drives it. Created once
// and then only hidden and shown again.
class QuickCreatePanelHost {
public:
    virtual ~QuickCreatePanelHost() = default;
    // The window's outer size, frame included.
    virtual ScreenSize frameSize() const = 0;
    // Moves the window's outer frame, in placement coordinates (bottom left, y up).
    virtual void setFrameOrigin(ScreenPoint origin) = 0;
    // Shows the window above the others with the keyboard focus in its search field.
    // `eventTimestamp` is the server time of the key press that asked for it (0: none), which
    // window managers want before they hand the focus to a window.
    virtual void makeKeyAndOrderFront(uint32_t eventTimestamp) = 0;
    // Hides the window; it is kept for the next opening.
    virtual void orderOut() = 0;
    virtual bool isVisible() const = 0;
};

// Builds the panel window with its content bound to the controller.
class QuickCreatePanelFactory {
public:
    virtual ~QuickCreatePanelFactory() = default;
    virtual std::unique_ptr<QuickCreatePanelHost> makeQuickCreatePanel(DesktopCreationController& controller) = 0;
};

}  // namespace quillet
