#include "app/windows/OnboardingTexts.h"

namespace quillet::onboardingtexts {

std::string shortcutStepText(const std::string& shortcutDisplay) {
    return "Press **" + shortcutDisplay + "** anytime to open Quick Create — it works in every folder too.";
}

}  // namespace quillet::onboardingtexts
