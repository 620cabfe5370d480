#pragma once

#include <QWidget>

#include <string>

#include "app/windows/OnboardingModel.h"
#include "shared/text/DesktopWords.h"

namespace quillet {

// One page of the walkthrough, showing `shortcut` (the Quick Create shortcut's display text) where
// the page names it, and naming the file manager as `words` do. Its object name is
// "onboardingPage" followed by the index.
QWidget* makeOnboardingPage(int index, const std::string& shortcut, const DesktopWords& words, QWidget* parent);

}  // namespace quillet
