#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shared/logging/Logger.h"

namespace quillet {

class URLOpener;

// Takes the user to where the file manager extension is managed: the desktop's own settings page
// when it has one, else the fallback (the help window's extension section).
class ExtensionSettingsOpener {
public:
    static constexpr const char* kLogCategory = "Extension";

    // `settingsURL`: the running desktop's page for file manager extensions, if it has one.
    ExtensionSettingsOpener(URLOpener& opener, std::optional<std::string> settingsURL, std::function<void()> fallback);

    void open();

    // The settings page of the desktop named by XDG_CURRENT_DESKTOP. None has one: Nautilus loads
    // every module in its extension folder, with no switch to turn one on, and GNOME Settings (like
    // the other desktops' settings) has no page for file manager extensions.
    static std::optional<std::string> settingsURLForDesktop(std::string_view currentDesktop);

private:
    URLOpener& opener_;
    std::optional<std::string> settingsURL_;
    std::function<void()> fallback_;
    Logger log_{kAppSubsystem, kLogCategory};
};

}  // namespace quillet
