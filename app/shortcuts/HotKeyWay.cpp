#include "app/shortcuts/HotKeyWay.h"

namespace quillet {

namespace {

// $XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME").
bool isGnome(std::string_view desktops) {
    while (!desktops.empty()) {
        const size_t colon = desktops.find(':');
        if (desktops.substr(0, colon) == "GNOME") return true;
        if (colon == std::string_view::npos) break;
        desktops.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

bool isWaylandSession(const HotKeySession& session) {
    if (session.sessionType == "wayland") return true;
    if (session.sessionType == "x11") return false;
    return !session.waylandDisplay.empty();
}

HotKeyWay chooseHotKeyWay(const HotKeySession& session) {
    if (!isWaylandSession(session)) return HotKeyWay::x11;
    if (session.portalOffered) return HotKeyWay::portal;
    if (isGnome(session.currentDesktop) && session.gnomeKeybindingsInstalled) return HotKeyWay::gnomeKeybindings;
    return HotKeyWay::unavailable;
}

bool hasKeybindingFallback(const HotKeySession& session) {
    return chooseHotKeyWay(session) == HotKeyWay::portal && isGnome(session.currentDesktop) &&
           session.gnomeKeybindingsInstalled;
}

std::string_view hotKeyWayName(HotKeyWay way) {
    switch (way) {
        case HotKeyWay::x11: return "x11";
        case HotKeyWay::portal: return "portal";
        case HotKeyWay::gnomeKeybindings: return "gnome-keybindings";
        case HotKeyWay::unavailable: return "none";
    }
    return "none";
}

std::string unavailableReason(const HotKeySession& session) {
    if (chooseHotKeyWay(session) != HotKeyWay::unavailable) return {};
    const std::string desktop = session.currentDesktop.empty() ? "unnamed" : session.currentDesktop;
    if (isGnome(session.currentDesktop))
        return "the Wayland session has no global shortcuts portal and GNOME's key binding settings are not installed";
    return "the Wayland session has no global shortcuts portal and its desktop (" + desktop +
           ") takes no key bindings from applications";
}

}  // namespace quillet
