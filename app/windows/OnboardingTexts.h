#pragma once

#include <string>

#include "shared/text/LinuxTexts.h"

namespace quillet::onboardingtexts {

// The walkthrough's texts; a span between double asterisks is shown in bold.

inline constexpr const char* kWelcomeTitle = "Welcome to Quillet+";
inline constexpr const char* kWelcomeDetail = linuxtexts::kOnboardingWelcomeDetail;

inline constexpr const char* kRightClickTitle = "Right-click in Finder";
inline constexpr const char* kRightClickSubtitle = linuxtexts::kOnboardingRightClickSubtitle;
inline constexpr const char* kRightClickWorksIn = "Works in **Dropbox**, **Downloads**, and **your own folders**.";
inline constexpr const char* kRightClickHowTo =
    "Right-click an empty spot in a folder → **Create File** → choose a type. The new file appears right there.";

inline constexpr const char* kBlockedTitle = "OneDrive, iCloud, Desktop & Documents";
inline constexpr const char* kBlockedSubtitle = linuxtexts::kOnboardingBlockedSubtitle;
inline constexpr const char* kBlockedStep1Heading = linuxtexts::kOnboardingTrayHeading;
inline constexpr const char* kBlockedStep1Text = linuxtexts::kOnboardingTrayText;
inline constexpr const char* kBlockedStep2Heading = "Or press the Quick Create shortcut";

inline constexpr const char* kQuickCreateTitle = "Quick Create shortcut";
inline constexpr const char* kQuickCreateSubtitle = "Create a file from anywhere — no Finder window needed.";
inline constexpr const char* kQuickCreatePress = "Press";
inline constexpr const char* kQuickCreateAnytime = "anytime to open Quick Create:";
inline constexpr const char* kQuickCreateDestination =
    "Choose a destination: **Desktop**, or the **front Finder folder** you're viewing.";
inline constexpr const char* kQuickCreateFilter =
    "Type to filter, then click a file type — it's created instantly and revealed in Finder.";

// "Press **⌃ + ⌥ + N** anytime to open Quick Create — it works in every folder too."
std::string shortcutStepText(const std::string& shortcutDisplay);

}  // namespace quillet::onboardingtexts
