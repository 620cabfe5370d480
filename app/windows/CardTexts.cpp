#include "app/windows/CardTexts.h"

#include "app/shortcuts/QuickCreateShortcut.h"

namespace quillet::cardtexts {

std::string guideKeyboardLine(const QuickCreateShortcut& shortcut) {
    return "Press **" + shortcut.displayString() + "** to open Quick Create, or use the menu-bar icon.";
}

}  // namespace quillet::cardtexts
