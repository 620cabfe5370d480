#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The Qt platform theme that gives Quillet+ the palette, dark mode, fonts, icon theme and dialogs
// of the desktop named by $XDG_CURRENT_DESKTOP (a colon-separated list): "gtk3" on the GTK
// desktops (GNOME, Cinnamon, MATE, XFCE, Budgie, Pantheon, Unity, LXDE). Nothing elsewhere:
// Plasma and LXQt set their own theme plugin for every Qt program, and an unknown desktop keeps
// Qt's choice.
std::optional<std::string> platformThemeFor(std::string_view currentDesktop);

}  // namespace quillet
