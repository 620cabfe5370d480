#include "platform/linux/PlatformTheme.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quillet {

std::optional<std::string> platformThemeFor(std::string_view currentDesktop) {
    static constexpr std::array<std::string_view, 10> kGtkDesktops{
        "gnome", "x-cinnamon", "cinnamon", "mate", "xfce", "budgie", "pantheon", "unity", "lxde", "gnome-classic"};
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        const std::size_t end = std::min(currentDesktop.find(':', start), currentDesktop.size());
        std::string name(currentDesktop.substr(start, end - start));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == "kde" || name == "lxqt") return std::nullopt;
        if (std::find(kGtkDesktops.begin(), kGtkDesktops.end(), name) != kGtkDesktops.end()) return "gtk3";
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace quillet
