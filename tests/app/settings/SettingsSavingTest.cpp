#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <optional>
#include <vector>

#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "app/settings/SettingNotSavedError.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ManualMainQueueTimer.h"
#include "tests/support/SettingsLockHolder.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;
using namespace quillet::test;

namespace {

// The settings of one suite, with every refusal they report.
struct Saving {
    explicit Saving(DefaultsSuite& suite) : settings(suite) {
        settings.saver().reportFailuresTo([this](const SettingNotSavedError& e) { reports.push_back(e); });
    }
    AppSettings settings;
    std::vector<SettingNotSavedError> reports;
};

std::optional<bool> storedOnboarding(const DefaultsSuite& suite) {
    auto value = suite.get(settingsKey::hasCompletedOnboarding);
    return value ? value->boolean() : std::nullopt;
}

}  // namespace

TEST(SettingsSaving, AssignmentWritesOnlyItsKeyThenPublishes) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    Saving s(*suite);
    std::vector<std::string> keysWhenPublished;
    auto sub = s.settings.directShortcutDestination.subscribe(
        [&](const CreationDestinationMode&) { keysWhenPublished = suite->keys(); });
    s.settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    // Told only once the suite holds it.
    EXPECT_EQ(keysWhenPublished, (std::vector<std::string>{"appPresence", "directShortcutDestination"}));
    EXPECT_TRUE(s.reports.empty());
}

// A switch of the file types list on a real full disk (a private tmpfs): the switch, the
// settings and the file all keep the earlier state, and the refusal says why.
TEST(SettingsSaving, OnAFullDiskASwitchKeepsItsStoredStateAndSaysWhy) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small disk";
    TemporaryConfigHome home;
    auto outcome = runInChild([&] {
        if (!mountSmallDisk(home.path(), 1024 * 1024)) return std::string("skip");
        std::string result;
        {
            auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
            if (!suite) return std::string("no suite");
            Saving s(*suite);
            FileTypesListModel list(s.settings);
            int changes = 0;
            auto sub = list.observe([&] { ++changes; });
            leaveRoom(home.path() / "filler", 0);
            list.setEnabled("md", false);
            if (!list.isEnabled("md")) return std::string("the switch shows a value that was not stored");
            if (changes != 0) return std::string("a refused change was published");
            if (s.reports.size() != 1) return "reports: " + std::to_string(s.reports.size());
            result = s.reports[0].key() + "|" + s.reports[0].description();
            if (!loadEnabledFileTypeIDs(*suite).count("md")) return std::string("the suite changed");
            // With room again the same switch is stored and shown.
            std::filesystem::remove(home.path() / "filler");
            list.setEnabled("md", false);
            if (list.isEnabled("md") || changes != 1 || loadEnabledFileTypeIDs(*suite).count("md"))
                return std::string("not stored once there was room");
        }
        return result;
    });
    if (outcome.output == "skip") GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(outcome.output,
              "enabledFileTypeIDs|Your change to the file types to offer was not saved. There is no room left on the disk.");
}

// Every field, refused by the kernel (a file size limit): nothing published, nothing stored, one
// report per assignment naming its setting.
TEST(SettingsSaving, EveryFieldKeepsItsValueWhenTheFileCannotGrow) {
    TemporaryConfigHome home;
    auto outcome = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
        if (!suite) return std::string("no suite");
        Saving s(*suite);
        int published = 0;
        auto any = subscribeToAny([&] { ++published; }, s.settings.enabledFileTypeIDs, s.settings.fileTypeOrder,
                                  s.settings.appPresence, s.settings.quickCreateShortcut,
                                  s.settings.fileTypeShortcuts, s.settings.directShortcutDestination,
                                  s.settings.hasCompletedOnboarding);
        rlimit limit{1, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        s.settings.setEnabled(false, "txt");
        s.settings.fileTypeOrder.set({"md"});
        s.settings.appPresence.set(AppPresence::menuBarOnly);
        s.settings.quickCreateShortcut.set(QuickCreateShortcut{46, 6144});
        s.settings.setShortcut(QuickCreateShortcut{46, 6144}, "md");
        s.settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
        s.settings.hasCompletedOnboarding.set(true);
        std::string out = std::to_string(published);
        for (const auto& r : s.reports) out += "|" + settingTitle(r.key());
        AppSettings reread(*suite);
        if (!reread.enabledFileTypeIDs->count("txt") || reread.appPresence.get() != AppPresence::dockOnly ||
            reread.hasCompletedOnboarding.get() || !reread.fileTypeShortcuts->empty() ||
            s.settings.enabledFileTypeIDs->count("txt") != 1 || s.settings.hasCompletedOnboarding.get())
            out += "|changed";
        return out;
    });
    EXPECT_EQ(outcome.output,
              "0|the file types to offer|the order of the file types|App Presence|the Quick Create shortcut|the "
              "direct file shortcuts|where direct shortcuts create files|the state of the welcome walkthrough");
}

// Another process holds the suite's write lock: the assignment waits on the event loop (the
// timer), shows nothing meanwhile, and lands once the lock goes.
TEST(SettingsSaving, ALockHeldElsewhereIsWaitedOutWithoutBlockingAndTheChangeLands) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    ManualMainQueueTimer timer;
    Saving s(*suite);
    s.settings.saver().waitForLocksOn(timer);
    int published = 0;
    auto sub = s.settings.hasCompletedOnboarding.subscribe([&](const bool&) { ++published; });

    SettingsLockHolder holder(suite->databasePath(), 30);
    ASSERT_TRUE(holder.isLocked());
    const auto before = std::chrono::steady_clock::now();
    s.settings.hasCompletedOnboarding.set(true);
    // The main thread is handed back at once rather than after the suite's five seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_TRUE(s.settings.saver().isWaiting(settingsKey::hasCompletedOnboarding));
    EXPECT_FALSE(s.settings.hasCompletedOnboarding.get());
    timer.runPending();
    EXPECT_EQ(published, 0);
    EXPECT_EQ(timer.pending(), 1u);

    holder.release();
    timer.runPending();
    EXPECT_EQ(published, 1);
    EXPECT_TRUE(s.settings.hasCompletedOnboarding.get());
    EXPECT_EQ(storedOnboarding(*suite), true);
    EXPECT_FALSE(s.settings.saver().isWaiting(settingsKey::hasCompletedOnboarding));
    EXPECT_TRUE(s.reports.empty());
    EXPECT_EQ(timer.pending(), 0u);
}

TEST(SettingsSaving, ALockThatOutlastsThePatienceIsReportedAndALaterChangeReplacesAWaitingOne) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    ManualMainQueueTimer timer;
    Saving s(*suite);
    s.settings.saver().waitForLocksOn(timer, std::chrono::milliseconds(0));
    SettingsLockHolder holder(suite->databasePath(), 30);
    ASSERT_TRUE(holder.isLocked());

    s.settings.appPresence.set(AppPresence::menuBarOnly);
    timer.runAll();
    ASSERT_EQ(s.reports.size(), 1u);
    EXPECT_EQ(s.reports[0].description(),
              "Your change to App Presence was not saved. Another program kept the settings locked.");
    EXPECT_EQ(settingNotSavedAlert(s.reports[0]),
              (Alert{"The setting stays as it was", s.reports[0].description(), AlertStyle::warning}));
    EXPECT_EQ(s.settings.appPresence.get(), AppPresence::dockOnly);

    // Two changes of one setting while locked: only the later one is written.
    s.settings.saver().waitForLocksOn(timer);
    s.settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    s.settings.directShortcutDestination.set(CreationDestinationMode::desktop);
    holder.release();
    timer.runAll();
    EXPECT_EQ(s.settings.directShortcutDestination.get(), CreationDestinationMode::desktop);
    EXPECT_EQ(*suite->get(settingsKey::directShortcutDestination)->string(), "desktop");
    EXPECT_EQ(s.reports.size(), 1u);
}

// The command line has no event loop to come back to: it waits for the lock on the spot.
TEST(SettingsSaving, WithoutATimerABriefLockIsWaitedForInPlace) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    Saving s(*suite);
    SettingsLockHolder holder(suite->databasePath(), 0.5);
    ASSERT_TRUE(holder.isLocked());
    s.settings.hasCompletedOnboarding.set(true);
    EXPECT_TRUE(s.settings.hasCompletedOnboarding.get());
    EXPECT_EQ(storedOnboarding(*suite), true);
    EXPECT_TRUE(s.reports.empty());
}
