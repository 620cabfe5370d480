#pragma once

#include <string>
#include <string_view>

namespace quillet {

// How this session lets Quillet+ hold its shortcuts while another application is in front.
enum class HotKeyWay {
    x11,               // key grabs on the X server
    portal,            // the desktop's global shortcuts portal
    gnomeKeybindings,  // GNOME's custom key bindings, which run the `quillet` launcher
    unavailable,       // none: the shortcuts card says so
};

// What the session offers, as the composition root finds it.
struct HotKeySession {
    std::string sessionType;     // $XDG_SESSION_TYPE
    std::string waylandDisplay;  // $WAYLAND_DISPLAY
    std::string currentDesktop;  // $XDG_CURRENT_DESKTOP
    bool portalOffered = false;
    bool gnomeKeybindingsInstalled = false;
};

// A Wayland session (by its type, else by its display) never gets X11 grabs: an X11 client on
// XWayland only sees keys while one of its own windows has the focus. There the portal comes
// first, then GNOME's key bindings on GNOME.
HotKeyWay chooseHotKeyWay(const HotKeySession& session);
// Whether GNOME's key bindings can stand in when the chosen way fails in this session.
bool hasKeybindingFallback(const HotKeySession& session);
// Whether the session is a Wayland one, by the same rule.
bool isWaylandSession(const HotKeySession& session);
// For the log: "x11", "portal", "gnome-keybindings", "none".
std::string_view hotKeyWayName(HotKeyWay way);
// Why a Wayland session offers no way, for the log; empty for the others.
std::string unavailableReason(const HotKeySession& session);

}  // namespace quillet
