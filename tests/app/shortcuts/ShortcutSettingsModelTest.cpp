#include <gtest/gtest.h>

#include <memory>

#include "app/settings/AppSettings.h"
#include "app/shortcuts/ShortcutSettingsModel.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/DefaultsSuite.h"

using namespace quillet;
using Row = ShortcutSettingsModel::DirectShortcutRow;

namespace {

constexpr QuickCreateShortcut kCommandM{46, kCarbonCommandKey};
constexpr QuickCreateShortcut kCommandShiftT{17, kCarbonCommandKey | kCarbonShiftKey};

struct Fixture {
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openInMemory("shortcut-settings-test");
    AppSettings settings{*suite};
    ShortcutSettingsModel model{settings};

    Row row(const std::string& typeID) const { return model.directShortcutRow(*fileType(typeID)); }
    // What a fresh launch would read back from the suite.
    std::unique_ptr<AppSettings> reloaded() const { return std::make_unique<AppSettings>(*suite); }
};

}  // namespace

TEST(ShortcutSettingsModel, RowsListEveryTypeInTheUsersOrderWithItsExtension) {
    Fixture f;
    f.settings.fileTypeOrder.set({"py", "md"});  // as loaded, the rest would follow in catalog order
    f.settings.setEnabled(false, "py");
    const auto rows = f.model.directShortcutRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (Row{*fileType("py"), std::nullopt, ".py disabled", false, false, "Clear Python shortcut"}));
    EXPECT_EQ(rows[1], (Row{*fileType("md"), std::nullopt, ".md", false, false, "Clear Markdown shortcut"}));
}

TEST(ShortcutSettingsModel, ConflictWithQuickCreateIsNamedOnBothSides) {
    Fixture f;
    EXPECT_EQ(f.model.quickCreateConflict(), std::nullopt);
    f.model.setShortcut("md", defaultQuickCreateShortcut);
    EXPECT_EQ(f.row("md").status, "Conflicts with Quick Create");
    EXPECT_TRUE(f.row("md").statusIsConflict);
    EXPECT_EQ(f.model.quickCreateConflict(), "Conflicts with Markdown");

    // Recording another Quick Create shortcut ends it on both sides.
    f.model.setQuickCreateShortcut(kCommandM);
    EXPECT_EQ(f.row("md").status, ".md");
    EXPECT_FALSE(f.row("md").statusIsConflict);
    EXPECT_EQ(f.model.quickCreateConflict(), std::nullopt);
    EXPECT_EQ(f.reloaded()->quickCreateShortcut.get(), kCommandM);
}

TEST(ShortcutSettingsModel, TwoTypesWithOneShortcutEachNameTheOther) {
    Fixture f;
    f.model.setShortcut("txt", kCommandShiftT);
    f.model.setShortcut("json", kCommandShiftT);
    EXPECT_EQ(f.row("txt").status, "Conflicts with JSON");
    EXPECT_EQ(f.row("json").status, "Conflicts with Text");
    EXPECT_TRUE(f.row("txt").statusIsConflict && f.row("json").statusIsConflict);
    EXPECT_EQ(f.row("md").status, ".md");
}

TEST(ShortcutSettingsModel, DisabledTypeShowsItsStateButStillCountsForTheOthers) {
    Fixture f;
    f.model.setShortcut("md", defaultQuickCreateShortcut);
    f.model.setShortcut("txt", kCommandM);
    f.model.setShortcut("csv", kCommandM);
    f.settings.setEnabled(false, "md");
    f.settings.setEnabled(false, "txt");

    const Row md = f.row("md");
    EXPECT_EQ(md.status, ".md disabled");
    EXPECT_FALSE(md.statusIsConflict);
    EXPECT_EQ(md.shortcut, defaultQuickCreateShortcut);  // still shown and editable
    EXPECT_TRUE(md.canClear);
    EXPECT_EQ(f.model.quickCreateConflict(), "Conflicts with Markdown");
    EXPECT_EQ(f.row("txt").status, ".txt disabled");
    EXPECT_EQ(f.row("csv").status, "Conflicts with Text");
}

TEST(ShortcutSettingsModel, ClearIsOfferedOnlyForAStoredShortcutAndRemovesIt) {
    Fixture f;
    EXPECT_FALSE(f.row("md").canClear);
    EXPECT_EQ(f.row("md").clearHelp, "Clear Markdown shortcut");
    f.model.setShortcut("md", kCommandM);
    EXPECT_TRUE(f.row("md").canClear);
    EXPECT_EQ(f.row("md").shortcut, kCommandM);
    EXPECT_EQ(f.reloaded()->fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", kCommandM}}));

    f.model.clearShortcut("md");
    EXPECT_FALSE(f.row("md").canClear);
    EXPECT_EQ(f.row("md").shortcut, std::nullopt);
    EXPECT_TRUE(f.reloaded()->fileTypeShortcuts->empty());
}

TEST(ShortcutSettingsModel, ResetRestoresTheDefaultQuickCreateShortcut) {
    Fixture f;
    f.model.setQuickCreateShortcut(kCommandShiftT);
    int changes = 0;
    Subscription s = f.model.observe([&] { ++changes; });
    f.model.resetQuickCreateShortcut();
    EXPECT_EQ(f.model.quickCreateShortcut(), defaultQuickCreateShortcut);
    EXPECT_EQ(f.reloaded()->quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(changes, 1);
}

TEST(ShortcutSettingsModel, DestinationIsStoredAndItsSymbolFollows) {
    Fixture f;
    int changes = 0;
    Subscription s = f.model.observe([&] { ++changes; });
    EXPECT_EQ(f.model.destinationSymbol(), "desktopcomputer");
    f.model.setDestination(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(f.model.destinationSymbol(), "folder");
    EXPECT_EQ(f.reloaded()->directShortcutDestination.get(), CreationDestinationMode::frontFinderFolder);
    // A type switched off in the file types list redraws the card too.
    f.settings.setEnabled(false, "md");
    EXPECT_EQ(changes, 2);
    s.cancel();
    f.model.setShortcut("md", kCommandM);
    EXPECT_EQ(changes, 2);
}

TEST(ShortcutSettingsModel, ATemplateGetsARowAndAShortcutThatCollidesByName) {
    Fixture f;
    f.settings.adoptTemplates({"template:Letter.odt"});
    const auto rows = f.model.directShortcutRows();
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows.back().type.displayName, "Letter");
    EXPECT_EQ(rows.back().clearHelp, "Clear Letter shortcut");
    f.model.setShortcut("template:Letter.odt", kCommandM);
    f.model.setShortcut("md", kCommandM);
    EXPECT_EQ(f.model.directShortcutRows()[1].status, "Conflicts with Letter");
    // Kept across a launch while the template is there; dropped once it is gone.
    auto reloaded = f.reloaded();
    reloaded->adoptTemplates({"template:Letter.odt"});
    EXPECT_EQ(reloaded->fileTypeShortcuts->count("template:Letter.odt"), 1u);
    reloaded->adoptTemplates({});
    EXPECT_EQ(reloaded->fileTypeShortcuts->count("template:Letter.odt"), 0u);
}
