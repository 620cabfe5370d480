#include "app/windows/CardTexts.h"

#include "app/keys/QuickCreateShortcut.h"

namespace quillet::cardtexts {

std::string guideKeyboardLine(const QuickCreateShortcut& shortcut) {
    return "Press **" + shortcut.displayString() + linuxtexts::kGuideKeyboardLineEnd;
}

}  // namespace quillet::cardtexts
