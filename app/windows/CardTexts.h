#pragma once

#include <string>

#include "shared/text/LinuxTexts.h"

namespace quillet {

struct QuickCreateShortcut;

// The texts of the main window's small cards; a span between double asterisks is shown in bold.
namespace cardtexts {

inline constexpr const char* kExtensionTitle = "Finder Extension";
inline constexpr const char* kExtensionDetail = linuxtexts::kExtensionStatusDetail;
inline constexpr const char* kExtensionButton = "Open Extension Settings";

inline constexpr const char* kGuideTitle = "Where Create File Appears";
inline constexpr const char* kGuideRightClick =
    "Right-click → **Create File** works in Dropbox, Downloads, and your own folders.";
inline constexpr const char* kGuideBlockedFolders = linuxtexts::kGuideBlockedFolders;
inline constexpr const char* kGuideTrayBullet = linuxtexts::kGuideTrayBullet;

inline constexpr const char* kUninstallTitle = "Uninstall Quillet+";
inline constexpr const char* kUninstallDetail =
    "Move the app to the Trash, remove saved settings, and restart Finder so the Finder extension is unloaded.";
inline constexpr const char* kUninstallButton = "Uninstall...";

// "Press **⌃ + ⌥ + N** to open Quick Create, or use the menu-bar icon."
std::string guideKeyboardLine(const QuickCreateShortcut& shortcut);

}  // namespace cardtexts
}  // namespace quillet
