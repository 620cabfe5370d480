#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace quillet {

// A symbol the catalog or a view names, and the freedesktop icon theme name that shows the same
// thing where a theme is installed.
struct SymbolIcon {
    std::string_view symbolName;
    std::string_view themeIconName;
};

// Every symbol in use: each sfSymbolName of the catalog and the symbols of the Quick Create panel,
// the tray menu and the shortcuts card.
const std::vector<SymbolIcon>& symbolIcons();
// The theme name for a symbol; nothing for a symbol the table does not know.
std::optional<std::string_view> themeIconName(std::string_view symbolName);

}  // namespace quillet
