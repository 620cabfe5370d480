#pragma once

#include <string>

#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet::onboardingtexts {

// The walkthrough's texts; a span between double asterisks is shown in bold. Those that name the
// file manager are filled in with DesktopWords where shown.

inline constexpr const char* kWelcomeTitle = N_("Welcome to Quillet+");
inline constexpr const char* kWelcomeDetail = linuxtexts::kOnboardingWelcomeDetail;

inline constexpr const char* kRightClickTitle = linuxtexts::kOnboardingRightClickTitle;
inline constexpr const char* kRightClickSubtitle = linuxtexts::kOnboardingRightClickSubtitle;
inline constexpr const char* kRightClickWorksIn = N_("Works in **Dropbox**, **Downloads**, and **your own folders**.");
inline constexpr const char* kRightClickHowTo =
    N_("Right-click an empty spot in a folder → **Create File** → choose a type. The new file appears right there.");

inline constexpr const char* kBlockedTitle = linuxtexts::kOnboardingBlockedTitle;
inline constexpr const char* kBlockedSubtitle = linuxtexts::kOnboardingBlockedSubtitle;
inline constexpr const char* kBlockedStep1Heading = linuxtexts::kOnboardingTrayHeading;
inline constexpr const char* kBlockedStep1Text = linuxtexts::kOnboardingTrayText;
inline constexpr const char* kBlockedStep2Heading = N_("Or press the Quick Create shortcut");

inline constexpr const char* kQuickCreateTitle = N_("Quick Create shortcut");
inline constexpr const char* kQuickCreateSubtitle = linuxtexts::kOnboardingQuickCreateSubtitle;
inline constexpr const char* kQuickCreatePress = N_("Press");
inline constexpr const char* kQuickCreateAnytime = N_("anytime to open Quick Create:");
inline constexpr const char* kQuickCreateDestination = linuxtexts::kOnboardingQuickCreateDestination;
inline constexpr const char* kQuickCreateFilter = linuxtexts::kOnboardingQuickCreateFilter;

// "Press **⌃ + ⌥ + N** anytime to open Quick Create — it works in every folder too."
std::string shortcutStepText(const std::string& shortcutDisplay);

}  // namespace quillet::onboardingtexts
