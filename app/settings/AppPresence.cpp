#include "app/settings/AppPresence.h"

namespace quillet {

std::string_view rawValue(AppPresence presence) {
    switch (presence) {
        case AppPresence::dockAndMenuBar: return "dockAndMenuBar";
        case AppPresence::dockOnly: return "dockOnly";
        case AppPresence::menuBarOnly: return "menuBarOnly";
    }
    return {};
}

std::optional<AppPresence> appPresenceFromRawValue(std::string_view raw) {
    for (auto p : {AppPresence::dockAndMenuBar, AppPresence::dockOnly, AppPresence::menuBarOnly})
        if (rawValue(p) == raw) return p;
    return std::nullopt;
}

std::string_view title(AppPresence presence) {
    switch (presence) {
        case AppPresence::dockAndMenuBar: return "Dock + Menu";
        case AppPresence::dockOnly: return "Dock";
        case AppPresence::menuBarOnly: return "Menu Bar";
    }
    return {};
}

std::string_view presenceDescription(AppPresence presence) {
    switch (presence) {
        case AppPresence::dockAndMenuBar: return "Show Quillet+ in the Dock and the menu bar.";
        case AppPresence::dockOnly: return "Show Quillet+ in the Dock only.";
        case AppPresence::menuBarOnly: return "Keep Quillet+ available from the menu bar only.";
    }
    return {};
}

}  // namespace quillet
