#include <gtest/gtest.h>

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

TEST(AppSettings, UnusableOrMalformedShortcutsFallBackWithoutRewriting) {
    Fixture f;
    f.suite->set("quickCreateShortcut", f.data(R"({"keyCode": 45, "carbonModifiers": 0})"));
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(*f.suite->get("quickCreateShortcut")->data(), f.data(R"({"keyCode": 45, "carbonModifiers": 0})"));
    f.suite->set("quickCreateShortcut", R"({"keyCode": 31, "carbonModifiers": 6144})");  // a string, not data
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), defaultQuickCreateShortcut);
    f.suite->set("quickCreateShortcut", f.data(R"({"keyCode": 31, "carbonModifiers": 6144})"));
    EXPECT_EQ(AppSettings(*f.suite).quickCreateShortcut.get(), (QuickCreateShortcut{31, 6144}));

    f.suite->set("fileTypeShortcuts",
                 f.data(R"({"md": {"keyCode": 46, "carbonModifiers": 6144},
                            "ghost": {"keyCode": 5, "carbonModifiers": 6144},
                            "txt": {"keyCode": 17, "carbonModifiers": 0}})"));
    EXPECT_EQ(AppSettings(*f.suite).fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", {46, 6144}}}));
    f.suite->set("fileTypeShortcuts", f.data(R"({"md": {"keyCode": 46}})"));
    EXPECT_TRUE(AppSettings(*f.suite).fileTypeShortcuts->empty());
    f.suite->set("fileTypeShortcuts", f.data("not json"));
    EXPECT_TRUE(AppSettings(*f.suite).fileTypeShortcuts->empty());
}

TEST(AppSettings, AssignmentPublishesThenWritesOnlyItsKey) {
    Fixture f;
    AppSettings settings(*f.suite);
    std::vector<std::string> seenKeysAtPublish;
    auto sub = settings.directShortcutDestination.subscribe([&](const CreationDestinationMode& m) {
        EXPECT_EQ(m, CreationDestinationMode::frontFinderFolder);
        seenKeysAtPublish = f.suite->keys();  // published before the write
    });
    settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(seenKeysAtPublish, (std::vector<std::string>{"appPresence"}));
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
