#pragma once

#include <any>
#include <functional>
#include <string>
#include <vector>

namespace quillet {

// One entry of the tray menu as plain data, so the menu can be built and checked without a
// toolkit and rendered by whichever tray the desktop offers.
struct StatusMenuItem {
    enum class Kind { action, separator, header, submenu };

    Kind kind = Kind::action;
    std::string title;
    // A symbol name the icon code knows; empty for none.
    std::string symbolName;
    // What assistive technology reads for the image; the title unless the menu says otherwise.
    std::string accessibilityDescription;
    bool isEnabled = true;
    // The items of a submenu (kind submenu only).
    std::vector<StatusMenuItem> submenu;
    // The payload the chosen item hands to its action; empty for most items.
    std::any representedObject;
    // Runs when the item is chosen; empty for headers, separators and submenus.
    std::function<void()> action;

    static StatusMenuItem separator() {
        StatusMenuItem item;
        item.kind = Kind::separator;
        return item;
    }
};

using StatusMenu = std::vector<StatusMenuItem>;

}  // namespace quillet
