#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings/AppSettings.h"
#include "app/windows/OnboardingModel.h"
#include "app/windows/OnboardingTexts.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

struct Fixture {
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
    std::vector<std::pair<int, int>> changes;
    int finishes = 0;
    // What a new launch would read at the moment onFinish runs.
    std::optional<bool> storedWhenFinished;
    OnboardingModel model{settings, [this] {
                              ++finishes;
                              auto reopened = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
                              storedWhenFinished = AppSettings(*reopened).hasCompletedOnboarding.get();
                          }};
    Fixture() {
        model.onPageChanged = [this](int from, int to) { changes.emplace_back(from, to); };
    }
};

TEST(OnboardingModelTest, NextWalksThePagesAndTheBarFollows) {
    Fixture f;
    EXPECT_EQ(f.model.page(), 0);
    EXPECT_FALSE(f.model.showsBack());
    EXPECT_TRUE(f.model.showsSkip());
    EXPECT_EQ(f.model.primaryTitle(), "Next");
    f.model.back();  // nothing before the first page
    EXPECT_EQ(f.model.page(), 0);

    f.model.primary();
    EXPECT_EQ(f.model.page(), 1);
    EXPECT_TRUE(f.model.showsBack());
    f.model.primary();
    f.model.primary();
    EXPECT_EQ(f.model.page(), 3);
    EXPECT_EQ(f.model.pageKind(), OnboardingPage::quickCreate);
    EXPECT_FALSE(f.model.showsSkip());
    EXPECT_EQ(f.model.primaryTitle(), "Get Started");
    f.model.back();
    EXPECT_EQ(f.model.page(), 2);
    EXPECT_EQ(f.changes, (std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2, 3}, {3, 2}}));
    EXPECT_EQ(f.finishes, 0);
    EXPECT_FALSE(f.settings.hasCompletedOnboarding.get());
}

TEST(OnboardingModelTest, GetStartedOnTheLastPageStoresTheFlagBeforeDismissing) {
    Fixture f;
    for (int i = 0; i < 3; ++i) f.model.primary();
    f.model.primary();
    EXPECT_EQ(f.finishes, 1);
    EXPECT_EQ(f.storedWhenFinished, true);
    EXPECT_EQ(f.model.page(), 3);  // finishing is no change of page
    EXPECT_EQ(f.changes.size(), 3u);
}

TEST(OnboardingModelTest, SkipOnTheFirstPageFinishesAtOnce) {
    Fixture f;
    f.model.skip();
    EXPECT_EQ(f.finishes, 1);
    EXPECT_EQ(f.storedWhenFinished, true);
    EXPECT_TRUE(f.changes.empty());
}

TEST(OnboardingModelTest, PagesFromThreeUpwardShowQuickCreate) {
    EXPECT_EQ(OnboardingModel::pageKind(0), OnboardingPage::welcome);
    EXPECT_EQ(OnboardingModel::pageKind(1), OnboardingPage::rightClick);
    EXPECT_EQ(OnboardingModel::pageKind(2), OnboardingPage::blockedFolders);
    EXPECT_EQ(OnboardingModel::pageKind(3), OnboardingPage::quickCreate);
    EXPECT_EQ(OnboardingModel::pageKind(7), OnboardingPage::quickCreate);
}

TEST(OnboardingModelTest, ShortcutTextFollowsTheStoredShortcut) {
    Fixture f;
    EXPECT_EQ(f.model.shortcutText(), "Ctrl+Alt+N");
    EXPECT_EQ(onboardingtexts::shortcutStepText(f.model.shortcutText()),
              "Press **Ctrl+Alt+N** anytime to open Quick Create — it works in every folder too.");
    f.settings.quickCreateShortcut.set(QuickCreateShortcut{49, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(f.model.shortcutText(), "Shift+Super+Space");
}

TEST(OnboardingModelTest, ObservingTheShortcutTellsOfEveryChangeUntilDropped) {
    Fixture f;
    std::vector<std::string> seen;
    Subscription subscription = f.model.observeShortcut([&] { seen.push_back(f.model.shortcutText()); });
    f.settings.quickCreateShortcut.set(QuickCreateShortcut{49, kCarbonCommandKey | kCarbonShiftKey});
    f.settings.hasCompletedOnboarding.set(true);  // not the shortcut
    EXPECT_EQ(seen, (std::vector<std::string>{"Shift+Super+Space"}));
    subscription.cancel();
    f.settings.quickCreateShortcut.set(defaultQuickCreateShortcut);
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
