#include "app/windows/OnboardingModel.h"

#include "app/observation/Published.h"
#include "app/settings/AppSettings.h"

namespace quillet {

OnboardingModel::OnboardingModel(AppSettings& settings, std::function<void()> onFinish, DesktopWords words)
    : settings_(settings), onFinish_(std::move(onFinish)), words_(std::move(words)) {}

OnboardingPage OnboardingModel::pageKind(int page) {
    switch (page) {
    case 0: return OnboardingPage::welcome;
    case 1: return OnboardingPage::rightClick;
    case 2: return OnboardingPage::blockedFolders;
    default: return page < 0 ? OnboardingPage::welcome : OnboardingPage::quickCreate;
    }
}

void OnboardingModel::primary() {
    if (isLastPage()) {
        finish();
    } else {
        setPage(page_ + 1);
    }
}

void OnboardingModel::back() {
    if (showsBack()) setPage(page_ - 1);
}

void OnboardingModel::finish() {
    settings_.hasCompletedOnboarding.set(true);
    if (onFinish_) onFinish_();
}

std::string OnboardingModel::shortcutText() const { return settings_.quickCreateShortcut->displayString(); }

Subscription OnboardingModel::observeShortcut(std::function<void()> changed) {
    return subscribeToAny(std::move(changed), settings_.quickCreateShortcut);
}

void OnboardingModel::setPage(int page) {
    const int from = page_;
    page_ = page;
    if (onPageChanged) onPageChanged(from, page_);
}

}  // namespace quillet
