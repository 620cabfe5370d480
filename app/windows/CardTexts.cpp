#include "app/windows/CardTexts.h"

#include "app/keys/QuickCreateShortcut.h"

namespace quillet::cardtexts {

std::string guideKeyboardLine(const QuickCreateShortcut& shortcut, bool hasTray) {
    return "Press **" + shortcut.displayString() +
           (hasTray ? linuxtexts::kGuideKeyboardLineEnd : linuxtexts::kGuideKeyboardLineEndNoTray);
}

}  // namespace quillet::cardtexts
