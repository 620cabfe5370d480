#include "app/settings/AppPresence.h"

#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

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
        case AppPresence::dockAndMenuBar: return translate(linuxtexts::kPresenceBothTitle);
        case AppPresence::dockOnly: return translate(linuxtexts::kPresenceTaskbarTitle);
        case AppPresence::menuBarOnly: return translate(linuxtexts::kPresenceTrayTitle);
    }
    return {};
}

std::string_view presenceDescription(AppPresence presence) {
    switch (presence) {
        case AppPresence::dockAndMenuBar: return translate(linuxtexts::kPresenceBothDescription);
        case AppPresence::dockOnly: return translate(linuxtexts::kPresenceTaskbarDescription);
        case AppPresence::menuBarOnly: return translate(linuxtexts::kPresenceTrayDescription);
    }
    return {};
}

}  // namespace quillet
