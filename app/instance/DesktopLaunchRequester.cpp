#include "app/instance/DesktopLaunchRequester.h"

#include <filesystem>

#include "shared/Identifiers.h"

namespace quillet {

std::int64_t desktopLaunchRequester(const std::function<std::optional<std::string>(const char*)>& variable) {
    const auto entry = variable("GIO_LAUNCHED_DESKTOP_FILE");
    const auto pid = variable(kRequestingProcessVariable);
    if (!entry || !pid) return 0;
    if (std::filesystem::path(*entry).filename() != std::string(kBundleIdentifier) + ".desktop") return 0;
    return processIdentifierFromText(*pid);
}

std::int64_t processIdentifierFromText(std::string_view text) {
    // One spelling per number ("042" is none), so a request reads back exactly as it was written.
    if (text.empty() || text.size() > 10 || text.front() == '0') return 0;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    // Positive and within an int; 1 is init, which asks for no file.
    return value > 1 && value <= 0x7fffffff ? value : 0;
}

}  // namespace quillet
