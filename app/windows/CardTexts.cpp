#include "app/windows/CardTexts.h"

#include "app/keys/QuickCreateShortcut.h"
#include "shared/text/Translation.h"

namespace quillet::cardtexts {

std::string guideKeyboardLine(const QuickCreateShortcut& shortcut, bool hasTray) {
    return formatText(translate(hasTray ? linuxtexts::kGuideKeyboardLine : linuxtexts::kGuideKeyboardLineNoTray),
                      {shortcut.displayString()});
}

}  // namespace quillet::cardtexts
