#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quillet {

// Where Quillet+ shows itself: a taskbar presence, the tray, or both.
enum class AppPresence { dockAndMenuBar, dockOnly, menuBarOnly };

std::string_view rawValue(AppPresence presence);
std::optional<AppPresence> appPresenceFromRawValue(std::string_view raw);
std::string_view title(AppPresence presence);
std::string_view presenceDescription(AppPresence presence);

// The choices offered to the user: dockAndMenuBar is never among them.
inline constexpr std::array<AppPresence, 2> kOfferedAppPresences{AppPresence::dockOnly,
                                                                AppPresence::menuBarOnly};

}  // namespace quillet
