#include "app/windows/OnboardingTexts.h"
#include "shared/text/Translation.h"

namespace quillet::onboardingtexts {

std::string shortcutStepText(const std::string& shortcutDisplay) {
    return formatText(translate("Press **%1** anytime to open Quick Create — it works in every folder too."),
                      {shortcutDisplay});
}

}  // namespace quillet::onboardingtexts
