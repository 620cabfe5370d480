#pragma once

#include <filesystem>
#include <string>

namespace quillet {

// Where the desktop session's displays and bus are, as the composition root read them from the
// environment (DISPLAY, WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR); empty when
// unset. Adapters that reach the session on connections of their own take them from here.
struct DesktopSessionAddresses {
    std::string display;
    std::string sessionBusAddress;
    std::filesystem::path runtimeDirectory;
    std::string waylandDisplay;
    // QT_QPA_PLATFORM: the platforms the user asked for, in order, separated by ";"; empty when unset.
    std::string requestedPlatform;
    // XDG_SESSION_TYPE ("x11", "wayland"); empty when unset.
    std::string sessionType;

    // A Wayland session, by its type, else by its display: there no client can read which window
    // is in front.
    bool isWayland() const { return sessionType == "wayland" || (sessionType.empty() && !waylandDisplay.empty()); }
};

}  // namespace quillet
