#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The file manager process a create link came from, or 0. Our modules start the link's program
// through our desktop entry with their process in kRequestingProcessVariable; GLib names the entry
// in GIO_LAUNCHED_DESKTOP_FILE. Both are inherited by whatever that program starts, so the entry
// must be ours, and the application drops the variable once read.
std::int64_t desktopLaunchRequester(const std::function<std::optional<std::string>(const char*)>& variable);

// A process identifier written in decimal digits only, 0 for anything else (a sign, a space, a
// leading zero, 0 or 1, a number past what a process identifier can be).
std::int64_t processIdentifierFromText(std::string_view text);

}  // namespace quillet
