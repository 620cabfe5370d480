#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The version a person is shown: a build number in a fourth all-digit piece is dropped
// ("2.1.0.17" shows as "2.1.0"); anything else is shown as written, trimmed. Without a short
// version string at all, "1.0.0".
std::string displayVersion(const std::optional<std::string>& shortVersion);

// "Version " and the display version: the line under the title of the main and help windows.
std::string versionLine(const std::optional<std::string>& shortVersion);

}  // namespace quillet
