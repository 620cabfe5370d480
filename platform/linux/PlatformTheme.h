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

// The GTK_THEME that shows the desktop's dark mode to GTK and so to Qt's GTK theme: GNOME keeps
// dark mode in the "color-scheme" key of org.gnome.desktop.interface, which GTK 3 itself does
// not read. "<gtk-theme>:dark" while the desktop prefers dark and its theme is not a dark one
// already; nothing otherwise, or where the settings schema is not installed.
std::optional<std::string> gtkThemeForDarkMode();

}  // namespace quillet
