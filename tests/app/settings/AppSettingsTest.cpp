#include <gtest/gtest.h>

#include <map>

#include "app/settings/AppSettings.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

struct Fixture {
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);

    DefaultsValue::Data data(const std::string& s) { return DefaultsValue::Data(s.begin(), s.end()); }
    std::vector<std::string> ids(const std::vector<FileTypeDefinition>& types) {
        std::vector<std::string> out;
        for (const auto& t : types) out.push_back(t.id);
        return out;
    }
};

DefaultsValue stringArray(const std::set<std::string>& strings) {
    DefaultsValue::Array array;
    for (const auto& s : strings) array.emplace_back(s);
    return DefaultsValue(std::move(array));
}

std::vector<std::string> catalogTail(std::initializer_list<const char*> skip) {
    std::vector<std::string> out;
    for (const auto& id : defaultOrder()) {
        bool skipped = false;
        for (auto s : skip) skipped |= id == s;
        if (!skipped) out.push_back(id);
    }
    return out;
}

}  // namespace

TEST(AppSettings, DefaultsWhenNothingIsStoredAndPresenceIsWrittenAtOnce) {
    Fixture f;
    AppSettings settings(*f.suite);
    EXPECT_EQ(settings.enabledFileTypeIDs.get(), allIDs());
    EXPECT_EQ(settings.fileTypeOrder.get(), defaultOrder());
    EXPECT_EQ(settings.appPresence.get(), AppPresence::dockOnly);
    EXPECT_EQ(settings.quickCreateShortcut.get(), (QuickCreateShortcut{45, 6144}));
    EXPECT_TRUE(settings.fileTypeShortcuts->empty());
    EXPECT_EQ(settings.directShortcutDestination.get(), CreationDestinationMode::desktop);
    EXPECT_FALSE(settings.hasCompletedOnboarding.get());
    // Only the presence is written during loading.
    EXPECT_EQ(f.suite->keys(), (std::vector<std::string>{"appPresence"}));
    EXPECT_EQ(*f.suite->get("appPresence")->string(), "dockOnly");
    EXPECT_EQ(f.ids(settings.enabledFileTypesInOrder()), defaultOrder());
}

TEST(AppSettings, EnabledSetRejectsMixedArraysButKeepsUnknownStrings) {
    Fixture f;
    f.suite->set("enabledFileTypeIDs", DefaultsValue::Array{"txt", 5});
    EXPECT_EQ(AppSettings(*f.suite).enabledFileTypeIDs.get(), allIDs());
    f.suite->set("enabledFileTypeIDs", DefaultsValue::Array{"txt", "ghost"});
    AppSettings settings(*f.suite);
    EXPECT_EQ(settings.enabledFileTypeIDs.get(), (std::set<std::string>{"ghost", "txt"}));
    EXPECT_EQ(f.ids(settings.enabledFileTypesInOrder()), (std::vector<std::string>{"txt"}));
    f.suite->set("enabledFileTypeIDs", DefaultsValue::Array{});
    EXPECT_TRUE(AppSettings(*f.suite).enabledFileTypeIDs->empty());
    f.suite->set("enabledFileTypeIDs", "txt");
    EXPECT_EQ(AppSettings(*f.suite).enabledFileTypeIDs.get(), allIDs());
}

TEST(AppSettings, OrderDropsUnknownKeepsRepeatsAndAppendsMissingInCatalogOrder) {
    Fixture f;
    f.suite->set("fileTypeOrder", DefaultsValue::Array{"md", "nope", "txt", "md"});
    AppSettings settings(*f.suite);
    std::vector<std::string> expected{"md", "txt", "md"};
    for (const auto& id : catalogTail({"md", "txt"})) expected.push_back(id);
    EXPECT_EQ(settings.fileTypeOrder.get(), expected);
    EXPECT_EQ(settings.fileTypeOrder->size(), 17u);
    // Loading wrote nothing back.
    EXPECT_EQ(f.suite->get("fileTypeOrder")->array()->size(), 4u);

    for (auto stored : {DefaultsValue(DefaultsValue::Array{}), DefaultsValue(DefaultsValue::Array{"x", "y"}),
                        DefaultsValue(DefaultsValue::Array{"md", 1})}) {
        f.suite->set("fileTypeOrder", stored);
        EXPECT_EQ(AppSettings(*f.suite).fileTypeOrder.get(), defaultOrder());
    }
}

TEST(AppSettings, RetiredOrUnknownPresenceLoadsAsDockOnlyAndIsWrittenBack) {
    Fixture f;
    f.suite->set("appPresence", "dockAndMenuBar");
    EXPECT_EQ(AppSettings(*f.suite).appPresence.get(), AppPresence::dockOnly);
    EXPECT_EQ(*f.suite->get("appPresence")->string(), "dockOnly");
    f.suite->set("appPresence", "menuBarOnly");
    EXPECT_EQ(AppSettings(*f.suite).appPresence.get(), AppPresence::menuBarOnly);
    f.suite->set("appPresence", 3);
    EXPECT_EQ(AppSettings(*f.suite).appPresence.get(), AppPresence::dockOnly);
    EXPECT_EQ(*f.suite->get("appPresence")->string(), "dockOnly");
}

// Where the desktop has a tray, the first launch puts Quillet+ there; whatever is stored, even a
// retired or foreign value, loads as before, so a user's choice is never overruled.
TEST(AppSettings, OnlyAnUnsetPresenceTakesTheDesktopsDefault) {
    Fixture f;
    EXPECT_EQ(AppSettings(*f.suite, AppPresence::menuBarOnly).appPresence.get(), AppPresence::menuBarOnly);
    EXPECT_EQ(*f.suite->get("appPresence")->string(), "menuBarOnly");
    f.suite->set("appPresence", "dockOnly");
    EXPECT_EQ(AppSettings(*f.suite, AppPresence::menuBarOnly).appPresence.get(), AppPresence::dockOnly);
    f.suite->set("appPresence", "dockAndMenuBar");
    EXPECT_EQ(AppSettings(*f.suite, AppPresence::menuBarOnly).appPresence.get(), AppPresence::dockOnly);
    EXPECT_EQ(*f.suite->get("appPresence")->string(), "dockOnly");
    f.suite->set("appPresence", "tray");
    EXPECT_EQ(AppSettings(*f.suite, AppPresence::menuBarOnly).appPresence.get(), AppPresence::dockOnly);
}

TEST(AppSettings, UnusableOrMalformedShortcutsFallBackWithoutRewriting) {
    Fixture f;
    f.suite->set("quickCreateShortcut", f.data(R"({"keyCode": 45, "carbonModifiers": 0})"));
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(*f.suite->get("quickCreateShortcut")->data(), f.data(R"({"keyCode": 45, "carbonModifiers": 0})"));
    f.suite->set("quickCreateShortcut", R"({"keyCode": 31, "carbonModifiers": 6144})");  // a string, not data
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), defaultQuickCreateShortcut);
    f.suite->set("quickCreateShortcut", f.data(R"({"keyCode": 31, "carbonModifiers": 6144})"));
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), (QuickCreateShortcut{31, 6144}));
    // Shift alone (512) is no system-wide shortcut: a capital O typed anywhere would open the panel.
    f.suite->set("quickCreateShortcut", f.data(R"({"keyCode": 31, "carbonModifiers": 512})"));
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), defaultQuickCreateShortcut);

    f.suite->set("fileTypeShortcuts",
                 f.data(R"({"md": {"keyCode": 46, "carbonModifiers": 6144},
                            "ghost": {"keyCode": 5, "carbonModifiers": 6144},
                            "txt": {"keyCode": 17, "carbonModifiers": 0},
                            "csv": {"keyCode": 8, "carbonModifiers": 512}})"));
    EXPECT_EQ(AppSettings(*f.suite).fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", {46, 6144}}}));
    f.suite->set("fileTypeShortcuts", f.data(R"({"md": {"keyCode": 46}})"));
    EXPECT_TRUE(AppSettings(*f.suite).fileTypeShortcuts->empty());
    f.suite->set("fileTypeShortcuts", f.data("not json"));
    EXPECT_TRUE(AppSettings(*f.suite).fileTypeShortcuts->empty());
}

TEST(AppSettings, AssignmentWritesOnlyItsKey) {
    Fixture f;
    AppSettings settings(*f.suite);
    settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(*f.suite->get("directShortcutDestination")->string(), "frontFinderFolder");
    EXPECT_EQ(f.suite->keys().size(), 2u);

    settings.hasCompletedOnboarding.set(true);
    settings.setEnabled(false, "txt");
    settings.setEnabled(true, "anything");
    AppSettings reloaded(*f.suite);
    EXPECT_TRUE(reloaded.hasCompletedOnboarding.get());
    EXPECT_EQ(reloaded.directShortcutDestination.get(), CreationDestinationMode::frontFinderFolder);
    EXPECT_FALSE(reloaded.enabledFileTypeIDs->count("txt"));
    EXPECT_TRUE(reloaded.enabledFileTypeIDs->count("anything"));
}

TEST(AppSettings, SwitchingOffEveryTypeLeavesNothingOffered) {
    Fixture f;
    AppSettings settings(*f.suite);
    int notifications = 0;
    auto sub = settings.enabledFileTypeIDs.subscribe([&](const auto&) { ++notifications; });
    for (const auto& id : defaultOrder()) settings.setEnabled(false, id);
    EXPECT_EQ(notifications, 16);
    EXPECT_TRUE(settings.enabledFileTypesInOrder().empty());
    EXPECT_TRUE(AppSettings(*f.suite).enabledFileTypeIDs->empty());
}

TEST(AppSettings, SetShortcutIgnoresUnknownIdsAndRemovesUnusableOnes) {
    Fixture f;
    AppSettings settings(*f.suite);
    int notifications = 0;
    auto sub = settings.fileTypeShortcuts.subscribe([&](const auto&) { ++notifications; });
    settings.setShortcut(QuickCreateShortcut{46, 6144}, "ghost");
    EXPECT_EQ(notifications, 0);
    EXPECT_FALSE(f.suite->get("fileTypeShortcuts"));

    settings.setShortcut(std::nullopt, "md");  // nothing to remove, still written
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(f.suite->get("fileTypeShortcuts"));

    settings.setShortcut(QuickCreateShortcut{46, 6144}, "md");
    settings.setShortcut(QuickCreateShortcut{17, 0}, "txt");
    EXPECT_EQ(AppSettings(*f.suite).fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", {46, 6144}}}));
    settings.setShortcut(QuickCreateShortcut{46, 0}, "md");
    EXPECT_TRUE(AppSettings(*f.suite).fileTypeShortcuts->empty());
}

TEST(AppSettings, ConflictsNameQuickCreateFirstThenTheEarliestTypeInTheUsersOrder) {
    Fixture f;
    f.suite->set("fileTypeOrder", DefaultsValue::Array{"py", "md"});
    AppSettings settings(*f.suite);
    settings.setShortcut(QuickCreateShortcut{46, 6144}, "md");
    settings.setShortcut(QuickCreateShortcut{46, 6144}, "py");
    EXPECT_EQ(settings.conflictDescription(defaultQuickCreateShortcut, std::nullopt), "Conflicts with Quick Create");
    EXPECT_EQ(settings.conflictDescription({46, 6144}, std::nullopt), "Conflicts with Python");
    EXPECT_EQ(settings.conflictDescription({46, 6144}, std::string("py")), "Conflicts with Markdown");
    EXPECT_EQ(settings.conflictDescription({47, 6144}, std::nullopt), std::nullopt);
}

namespace {

// How many times each field told its subscribers, for the reload tests.
struct Deliveries {
    explicit Deliveries(AppSettings& settings) {
        auto count = [this](const char* name) { return [this, name](const auto&) { ++counts[name]; }; };
        subscriptions.push_back(settings.enabledFileTypeIDs.subscribe(count("enabledFileTypeIDs")));
        subscriptions.push_back(settings.fileTypeOrder.subscribe(count("fileTypeOrder")));
        subscriptions.push_back(settings.appPresence.subscribe(count("appPresence")));
        subscriptions.push_back(settings.quickCreateShortcut.subscribe(count("quickCreateShortcut")));
        subscriptions.push_back(settings.fileTypeShortcuts.subscribe(count("fileTypeShortcuts")));
        subscriptions.push_back(settings.directShortcutDestination.subscribe(count("directShortcutDestination")));
        subscriptions.push_back(settings.hasCompletedOnboarding.subscribe(count("hasCompletedOnboarding")));
    }
    std::map<std::string, int> counts;
    std::vector<Subscription> subscriptions;
};

}  // namespace

TEST(AppSettings, ReloadPublishesOnlyTheFieldsAnotherConnectionChanged) {
    Fixture f;
    AppSettings settings(*f.suite);
    Deliveries deliveries(settings);
    auto other = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
    ASSERT_TRUE(other);

    // Nothing changed: nothing is told and nothing is written.
    const auto keysBefore = f.suite->keys();
    settings.reloadFromSuite();
    EXPECT_TRUE(deliveries.counts.empty());
    EXPECT_EQ(f.suite->keys(), keysBefore);

    // A real change, a write of the value already loaded, and a key the settings do not read.
    other->set("quickCreateShortcut", f.data(R"({"keyCode": 31, "carbonModifiers": 6144})"));
    other->set("enabledFileTypeIDs", stringArray(allIDs()));
    other->set("directShortcutDestination", "desktop");
    other->set("somethingElse", 5);
    EXPECT_TRUE(f.suite->changedElsewhere());
    settings.reloadFromSuite();
    EXPECT_EQ(deliveries.counts, (std::map<std::string, int>{{"quickCreateShortcut", 1}}));
    EXPECT_EQ(settings.quickCreateShortcut.get(), (QuickCreateShortcut{31, 6144}));
    // Reloading wrote nothing back, so it cannot look like a change to anyone.
    EXPECT_FALSE(f.suite->changedElsewhere());
    EXPECT_FALSE(other->changedElsewhere());

    settings.reloadFromSuite();
    EXPECT_EQ(deliveries.counts.size(), 1u);
    EXPECT_EQ(deliveries.counts["quickCreateShortcut"], 1);

    // Every field is reloaded; each is told once.
    other->set("fileTypeOrder", DefaultsValue::Array{"md", "txt"});
    other->set("enabledFileTypeIDs", DefaultsValue::Array{"md"});
    other->set("appPresence", "menuBarOnly");
    other->set("fileTypeShortcuts", f.data(R"({"md": {"keyCode": 46, "carbonModifiers": 6144}})"));
    other->set("directShortcutDestination", "frontFinderFolder");
    other->set("hasCompletedOnboarding", true);
    other->remove("quickCreateShortcut");
    EXPECT_TRUE(f.suite->changedElsewhere());
    settings.reloadFromSuite();
    for (const auto& [name, count] : deliveries.counts)
        EXPECT_EQ(count, name == "quickCreateShortcut" ? 2 : 1) << name;
    EXPECT_EQ(deliveries.counts.size(), 7u);
    std::vector<std::string> order{"md", "txt"};
    for (const auto& id : catalogTail({"md", "txt"})) order.push_back(id);
    EXPECT_EQ(settings.fileTypeOrder.get(), order);
    EXPECT_EQ(settings.enabledFileTypeIDs.get(), (std::set<std::string>{"md"}));
    EXPECT_EQ(settings.appPresence.get(), AppPresence::menuBarOnly);
    EXPECT_EQ(settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(settings.fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", {46, 6144}}}));
    EXPECT_EQ(settings.directShortcutDestination.get(), CreationDestinationMode::frontFinderFolder);
    EXPECT_TRUE(settings.hasCompletedOnboarding.get());

    // The application's own assignments are no change from elsewhere.
    settings.setEnabled(true, "txt");
    settings.hasCompletedOnboarding.set(false);
    EXPECT_FALSE(f.suite->changedElsewhere());
    EXPECT_TRUE(other->changedElsewhere());
}

TEST(AppSettings, MalformedValuesWrittenElsewhereFallBackAsAtLaunch) {
    Fixture f;
    AppSettings settings(*f.suite);
    settings.quickCreateShortcut.set({31, 6144});
    settings.setShortcut(QuickCreateShortcut{46, 6144}, "md");
    settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    settings.appPresence.set(AppPresence::menuBarOnly);
    settings.hasCompletedOnboarding.set(true);
    settings.setEnabled(false, "txt");
    settings.fileTypeOrder.set({"md"});
    Deliveries deliveries(settings);

    auto other = DefaultsSuite::open(f.home.path(), DefaultsSuite::kSharedSuiteName);
    ASSERT_TRUE(other);
    other->set("quickCreateShortcut", f.data("not json"));
    other->set("fileTypeShortcuts", f.data(R"({"md": {"keyCode": 46}})"));
    other->set("directShortcutDestination", "nowhere");
    other->set("appPresence", "dockAndMenuBar");
    other->set("hasCompletedOnboarding", "yes");
    other->set("enabledFileTypeIDs", DefaultsValue::Array{"txt", 5});
    other->set("fileTypeOrder", 42);
    settings.reloadFromSuite();

    EXPECT_EQ(deliveries.counts.size(), 7u);
    EXPECT_EQ(settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_TRUE(settings.fileTypeShortcuts->empty());
    EXPECT_EQ(settings.directShortcutDestination.get(), CreationDestinationMode::desktop);
    EXPECT_EQ(settings.appPresence.get(), AppPresence::dockOnly);
    EXPECT_FALSE(settings.hasCompletedOnboarding.get());
    EXPECT_EQ(settings.enabledFileTypeIDs.get(), allIDs());
    EXPECT_EQ(settings.fileTypeOrder.get(), defaultOrder());
    // As at launch, only the retired presence is written back; the other values stay as found.
    EXPECT_EQ(*other->get("appPresence")->string(), "dockOnly");
    EXPECT_EQ(*other->get("quickCreateShortcut")->data(), f.data("not json"));
    EXPECT_EQ(*other->get("directShortcutDestination")->string(), "nowhere");
    // And what was reloaded is what a fresh launch loads.
    AppSettings launched(*other);
    EXPECT_EQ(launched.quickCreateShortcut.get(), settings.quickCreateShortcut.get());
    EXPECT_EQ(launched.enabledFileTypeIDs.get(), settings.enabledFileTypeIDs.get());
    EXPECT_EQ(launched.fileTypeOrder.get(), settings.fileTypeOrder.get());
}
