#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// A stored combination (macOS virtual key code, Carbon modifier mask) in the two spellings the
// Wayland desktops take: nothing for a key the key table does not know or a combination without
// a modifier, which no desktop would accept as a global shortcut.

// The freedesktop shortcut format the global shortcuts portal takes as a preferred trigger:
// modifiers in the order CTRL, ALT, SHIFT, LOGO joined by "+", then the key's symbol name with
// letters in capitals ("CTRL+ALT+N", "LOGO+F5").
std::optional<std::string> portalShortcutTrigger(uint32_t keyCode, uint32_t carbonModifiers);

// The accelerator text of a GNOME key binding ("<Control><Alt>n", "<Super>F5").
std::optional<std::string> gnomeAccelerator(uint32_t keyCode, uint32_t carbonModifiers);

}  // namespace quillet
