#include <gtest/gtest.h>

#include "app/settings/AppSettings.h"
#include "app/settings/SettingsChangeWatcher.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ManualMainQueueTimer.h"
#include "tests/support/PolledReadableDescriptors.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

DefaultsValue::Data data(const std::string& s) { return DefaultsValue::Data(s.begin(), s.end()); }

struct Fixture {
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
    test::ManualMainQueueTimer timer;
    int shortcutDeliveries = 0;
    Subscription subscription =
        settings.quickCreateShortcut.subscribe([this](const QuickCreateShortcut&) { ++shortcutDeliveries; });
};

}  // namespace

TEST(SettingsChangeWatcher, ReloadsOnTheNextTurnAfterAnotherProcessWritesAndKeepsLooking) {
    Fixture f;
    SettingsChangeWatcher watcher(f.settings, f.timer);
    watcher.start();
    watcher.start();
    ASSERT_EQ(f.timer.pending(), 1u);
    EXPECT_EQ(f.timer.delays.back(), SettingsChangeWatcher::kInterval);
    EXPECT_GE(SettingsChangeWatcher::kInterval, std::chrono::milliseconds(250));
    EXPECT_LE(SettingsChangeWatcher::kInterval, std::chrono::milliseconds(500));

    // The command line writes from its own process while the application runs.
    auto outcome = test::runInChild([&] {
        auto child = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
        return child && child->set("quickCreateShortcut", data(R"({"keyCode": 31, "carbonModifiers": 6144})"))
                   ? "ok"
                   : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_EQ(f.settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);  // not before the timer fires
    f.timer.runPending();
    EXPECT_EQ(f.settings.quickCreateShortcut.get(), (QuickCreateShortcut{31, 6144}));
    EXPECT_EQ(f.shortcutDeliveries, 1);
    // The next look, and the suite's rest after this one.
    ASSERT_EQ(f.timer.pending(), 2u);
    EXPECT_EQ(f.timer.delays.back(), SettingsChangeWatcher::kRestAfter);
    f.timer.runPending();
    EXPECT_EQ(f.timer.pending(), 1u);  // still looking
    EXPECT_TRUE(f.suite->isResting());

    // A later foreign write, made while the suite rests, is seen on a later turn, once.
    auto other = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
    other->remove("quickCreateShortcut");
    f.timer.runPending();
    f.timer.runPending();
    EXPECT_EQ(f.settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(f.shortcutDeliveries, 2);
    EXPECT_TRUE(f.suite->isResting());
}

TEST(SettingsChangeWatcher, TheApplicationsOwnWritesCauseNoReload) {
    Fixture f;
    SettingsChangeWatcher watcher(f.settings, f.timer);
    watcher.start();
    int presenceDeliveries = 0;
    auto presence = f.settings.appPresence.subscribe([&](const AppPresence&) { ++presenceDeliveries; });

    // A subscriber that writes another setting whenever it is told: its writes, and the
    // application's other assignments, are told once and never again by a later look.
    auto writer = f.settings.quickCreateShortcut.subscribe(
        [&](const QuickCreateShortcut&) { f.settings.hasCompletedOnboarding.set(!f.settings.hasCompletedOnboarding.get()); });
    f.settings.quickCreateShortcut.set({31, 6144});
    f.settings.appPresence.set(AppPresence::menuBarOnly);
    for (int turn = 0; turn < 3; ++turn) f.timer.runPending();
    EXPECT_EQ(f.shortcutDeliveries, 1);
    EXPECT_EQ(presenceDeliveries, 1);
    EXPECT_TRUE(f.settings.hasCompletedOnboarding.get());
    EXPECT_EQ(f.timer.pending(), 1u);
}

TEST(SettingsChangeWatcher, ALookBookedBeforeTheWatcherWentAwayDoesNothing) {
    Fixture f;
    {
        SettingsChangeWatcher watcher(f.settings, f.timer);
        watcher.start();
    }
    auto other = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
    other->set("quickCreateShortcut", data(R"({"keyCode": 31, "carbonModifiers": 6144})"));
    f.timer.runPending();
    EXPECT_EQ(f.timer.pending(), 0u);
    EXPECT_EQ(f.shortcutDeliveries, 0);
}

TEST(SettingsChangeWatcher, GivenReadableDescriptorsItSleepsUntilAWriteInTheSuitesFolder) {
    Fixture f;
    test::PolledReadableDescriptors descriptors;
    SettingsChangeWatcher watcher(f.settings, f.timer, &descriptors);
    watcher.start();
    // Only the suite's rest is booked: no look until a write.
    ASSERT_EQ(f.timer.pending(), 1u);
    f.timer.runPending();
    EXPECT_TRUE(f.suite->isResting());
    ASSERT_EQ(descriptors.watched(), 1u);
    // Closing the database (an event of its own) reads as no change.
    descriptors.dispatch();
    EXPECT_EQ(f.timer.pending(), 0u);
    EXPECT_EQ(descriptors.dispatch(), 0);

    // The command line writes from its own process: the write wakes the watcher, which reloads.
    auto outcome = test::runInChild([&] {
        auto child = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
        return child && child->set("quickCreateShortcut", data(R"({"keyCode": 31, "carbonModifiers": 6144})"))
                   ? "ok"
                   : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_GE(descriptors.dispatch(), 1);
    EXPECT_EQ(f.settings.quickCreateShortcut.get(), (QuickCreateShortcut{31, 6144}));
    EXPECT_EQ(f.shortcutDeliveries, 1);

    // The application's own assignment wakes it too, but reloads nothing.
    f.settings.quickCreateShortcut.set(QuickCreateShortcut{32, 6144});
    descriptors.dispatch();
    EXPECT_EQ(f.shortcutDeliveries, 2);
    f.timer.runPending();
    descriptors.dispatch();
    EXPECT_EQ(f.shortcutDeliveries, 2);
    EXPECT_EQ(descriptors.dispatch(), 0);
    EXPECT_EQ(f.timer.pending(), 0u);
    EXPECT_TRUE(f.suite->isResting());
}
