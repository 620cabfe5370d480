#pragma once

#include <functional>
#include <string>

#include "app/observation/Subscription.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"

namespace quillet {

class AppSettings;

// The pages of the welcome walkthrough; every index from 3 upward shows the Quick Create page.
enum class OnboardingPage { welcome, rightClick, blockedFolders, quickCreate };

// The walkthrough's navigation: which page shows, which buttons the bar offers, and finishing,
// which marks the walkthrough done in the settings before the presenter dismisses it (so a
// presenter that quits at once still leaves the flag stored).
class OnboardingModel {
public:
    static constexpr int kPageCount = 4;
    static constexpr const char* kBackTitle = N_("Back");
    static constexpr const char* kSkipTitle = N_("Skip");
    static constexpr const char* kNextTitle = N_("Next");
    static constexpr const char* kGetStartedTitle = N_("Get Started");

    // `words`: how the session names its file manager, for the pages' texts.
    OnboardingModel(AppSettings& settings, std::function<void()> onFinish, DesktopWords words = {});

    int page() const { return page_; }
    OnboardingPage pageKind() const { return pageKind(page_); }
    static OnboardingPage pageKind(int page);

    bool showsBack() const { return page_ >= 1; }
    bool isLastPage() const { return page_ >= kPageCount - 1; }
    // "Skip" shows on every page but the last, where "Get Started" replaces it and "Next".
    bool showsSkip() const { return !isLastPage(); }
    // The default button (Return): "Next", or "Get Started" on the last page.
    std::string primaryTitle() const { return translate(isLastPage() ? kGetStartedTitle : kNextTitle); }

    // What the default button does: the next page, or finishing on the last one.
    void primary();
    void back();
    void skip() { finish(); }
    void finish();

    // Called after every change of page, with the old and the new index.
    std::function<void(int from, int to)> onPageChanged;

    const DesktopWords& words() const { return words_; }

    // "Ctrl+Alt+N": the stored Quick Create shortcut as the pages show it.
    std::string shortcutText() const;
    // `changed` runs after every change of the stored shortcut, so a combination recorded while
    // the walkthrough is open shows on its page at once; until the subscription goes.
    [[nodiscard]] Subscription observeShortcut(std::function<void()> changed);

private:
    void setPage(int page);

    AppSettings& settings_;
    std::function<void()> onFinish_;
    DesktopWords words_;
    int page_ = 0;
};

}  // namespace quillet
