#include "app/desktop/ExtensionSettingsOpener.h"

#include "platform/URLOpener.h"

namespace quillet {

ExtensionSettingsOpener::ExtensionSettingsOpener(URLOpener& opener, std::optional<std::string> settingsURL,
                                                 std::function<void()> fallback)
    : opener_(opener), settingsURL_(std::move(settingsURL)), fallback_(std::move(fallback)) {}

void ExtensionSettingsOpener::open() {
    if (settingsURL_) {
        if (opener_.openWithoutActivating(*settingsURL_)) {
            log_.log("Opened the extension settings at %{public}s", *settingsURL_);
            return;
        }
        log_.log("Could not open the extension settings at %{public}s; showing the extension help instead",
                 *settingsURL_);
    } else {
        log_.log("This desktop has no extension settings page; showing the extension help instead");
    }
    if (fallback_) fallback_();
}

std::optional<std::string> ExtensionSettingsOpener::settingsURLForDesktop(std::string_view) { return std::nullopt; }

}  // namespace quillet
