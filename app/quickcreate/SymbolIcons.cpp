#include "app/quickcreate/SymbolIcons.h"

namespace quillet {

const std::vector<SymbolIcon>& symbolIcons() {
    // Names from the freedesktop icon naming standard where it has one for the idea,
    // else the name the common themes (Adwaita, Breeze) use.
    static const std::vector<SymbolIcon> table{
        {"doc.text", "text-x-generic"},
        {"doc.richtext", "text-markdown"},
        {"doc.richtext.fill", "text-rtf"},
        {"tablecells", "text-csv"},
        {"curlybraces", "application-json"},
        {"list.bullet.indent", "format-indent-more"},
        {"chevron.left.forwardslash.chevron.right", "text-x-script"},
        {"globe", "text-html"},
        {"paintbrush", "text-css"},
        {"scroll", "application-javascript"},
        {"terminal", "utilities-terminal"},
        {"swift", "text-x-swift"},
        {"doc.fill", "x-office-document"},
        {"tablecells.fill", "x-office-spreadsheet"},
        {"rectangle.on.rectangle", "x-office-presentation"},
        {"doc.badge.plus", "document-new"},
        {"desktopcomputer", "user-desktop"},
        {"folder", "folder"},
        {"magnifyingglass", "edit-find"},
        {"plus.square.on.square", "list-add"},
        {"macwindow", "window-new"},
        {"arrow.triangle.2.circlepath", "view-refresh"},
        {"trash", "user-trash"},
        {"power", "application-exit"},
        {"folder.badge.gearshape", "folder-remote"},
        {"house", "user-home"},
        {"externaldrive", "drive-removable-media"},
        {"xmark.circle", "window-close"},
        {"keyboard", "input-keyboard"},
        {"arrow.counterclockwise", "edit-undo"},
        {"bolt.fill", "thunderbolt"},
    };
    return table;
}

std::optional<std::string_view> themeIconName(std::string_view symbolName) {
    for (const auto& icon : symbolIcons())
        if (icon.symbolName == symbolName) return icon.themeIconName;
    return std::nullopt;
}

}  // namespace quillet
