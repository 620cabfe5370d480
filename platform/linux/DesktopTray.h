#pragma once

#include <string_view>

class QDBusConnection;

namespace quillet {

// Whether the desktop shows tray icons now: an XEmbed tray on X11, or a StatusNotifier host
// registered with the watcher on the session bus (Plasma, GNOME with an AppIndicator extension,
// most Wayland panels). GNOME's own shell has neither.
bool desktopShowsTray(const QDBusConnection& sessionBus);

// Whether the tray draws symbolic icons in the panel's own colour: GNOME Shell's (through its
// AppIndicator extension, a StatusNotifier host) does. `currentDesktop` is $XDG_CURRENT_DESKTOP.
bool trayRecoloursSymbolicIcons(std::string_view currentDesktop, const QDBusConnection& sessionBus);

// Only the StatusNotifier part: the watcher runs and says a host registered with it.
bool statusNotifierHostRegistered(const QDBusConnection& sessionBus);

}  // namespace quillet
