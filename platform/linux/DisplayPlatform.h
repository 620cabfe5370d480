#pragma once

#include <optional>
#include <string>

#include "platform/linux/DesktopSessionAddresses.h"

namespace quillet {

// The Qt platform plugin ("wayland" or "xcb") through which this process can show windows:
// the session's display answers and the plugin is installed. Nothing without a display, so a
// caller never has Qt abort on a plugin that cannot start. The user's QT_QPA_PLATFORM comes
// first where it can start; otherwise X11 (XWayland in a Wayland session) is preferred.
std::optional<std::string> availableDisplayPlatform(const DesktopSessionAddresses& session);

}  // namespace quillet
