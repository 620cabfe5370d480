#pragma once

#include <QWidget>

#include <string>

#include "app/windows/OnboardingModel.h"

namespace quillet {

// One page of the walkthrough, showing `shortcut` (the Quick Create shortcut's display text) where
// the page names it. Its object name is "onboardingPage" followed by the index.
QWidget* makeOnboardingPage(int index, const std::string& shortcut, QWidget* parent);

}  // namespace quillet
