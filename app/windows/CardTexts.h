#pragma once

#include <string>

#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

struct QuickCreateShortcut;

// The texts of the main window's small cards; a span between double asterisks is shown in bold.
// Those that name the file manager are filled in with DesktopWords where shown.
namespace cardtexts {

inline constexpr const char* kExtensionTitle = linuxtexts::kExtensionStatusTitle;
inline constexpr const char* kExtensionDetail = linuxtexts::kExtensionStatusDetail;
inline constexpr const char* kExtensionButton = N_("Open Extension Settings");

inline constexpr const char* kGuideTitle = N_("Where Create File Appears");
inline constexpr const char* kGuideRightClick =
    N_("Right-click → **Create File** works in Dropbox, Downloads, and your own folders.");
inline constexpr const char* kGuideBlockedFolders = linuxtexts::kGuideBlockedFolders;
inline constexpr const char* kGuideTrayBullet = linuxtexts::kGuideTrayBullet;

inline constexpr const char* kUninstallTitle = N_("Uninstall Quillet+");
inline constexpr const char* kUninstallDetail = linuxtexts::kUninstallCardDetail;
inline constexpr const char* kUninstallButton = N_("Uninstall...");

// "Press **Ctrl+Alt+N** to open Quick Create, or use the tray icon."; without a tray, the
// sentence ends after "Quick Create".
std::string guideKeyboardLine(const QuickCreateShortcut& shortcut, bool hasTray = true);

}  // namespace cardtexts
}  // namespace quillet
