#include <gtest/gtest.h>

#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

std::vector<std::string> titles(const std::vector<FileTypesListSection>& sections) {
    std::vector<std::string> out;
    for (const auto& section : sections) out.push_back(section.title);
    return out;
}

std::vector<std::string> names(const FileTypesListSection& section) {
    std::vector<std::string> out;
    for (const auto& row : section.rows) out.push_back(row.type.displayName);
    return out;
}

DefaultsValue stringArray(const std::vector<std::string>& strings) {
    DefaultsValue::Array array;
    for (const auto& s : strings) array.emplace_back(s);
    return DefaultsValue(std::move(array));
}

struct Fixture {
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
};

}  // namespace

TEST(FileTypesList, AFreshInstallationShowsEveryTypeOnInThreeSections) {
    Fixture f;
    AppSettings settings(*f.suite);
    const auto sections = fileTypesListSections(settings.orderedFileTypes(), settings.enabledFileTypeIDs.get());
    EXPECT_EQ(titles(sections), (std::vector<std::string>{"Plain Text", "Code", "Office"}));
    EXPECT_EQ(names(sections[0]), (std::vector<std::string>{"Text", "Markdown", "Rich Text", "CSV"}));
    EXPECT_EQ(names(sections[1]), (std::vector<std::string>{"JSON", "YAML", "XML", "HTML", "CSS", "JavaScript",
                                                            "Shell Script", "Python", "Swift"}));
    EXPECT_EQ(names(sections[2]),
              (std::vector<std::string>{"Word Document", "Excel Spreadsheet", "PowerPoint Presentation"}));
    for (const auto& section : sections)
        for (const auto& row : section.rows) {
            EXPECT_TRUE(row.isEnabled) << row.type.id;
            EXPECT_EQ(row.extensionText, "." + row.type.fileExtension);
        }
    EXPECT_EQ(sections[0].rows[1].extensionText, ".md");
}

TEST(FileTypesList, RowsFollowTheUsersOrderWithinCatalogOrderedSections) {
    Fixture f;
    // Stored order puts Office first and Markdown before Text; sections keep catalog order.
    f.suite->set("fileTypeOrder", stringArray({"pptx", "docx", "md", "py", "txt"}));
    f.suite->set("enabledFileTypeIDs", stringArray({"txt", "py", "unknown"}));
    AppSettings settings(*f.suite);
    const auto sections = fileTypesListSections(settings.orderedFileTypes(), settings.enabledFileTypeIDs.get());
    EXPECT_EQ(titles(sections), (std::vector<std::string>{"Plain Text", "Code", "Office"}));
    EXPECT_EQ(names(sections[0]), (std::vector<std::string>{"Markdown", "Text", "Rich Text", "CSV"}));
    EXPECT_EQ(sections[1].rows.front().type.id, "py");
    EXPECT_EQ(names(sections[2]),
              (std::vector<std::string>{"PowerPoint Presentation", "Word Document", "Excel Spreadsheet"}));
    EXPECT_FALSE(sections[0].rows[0].isEnabled);
    EXPECT_TRUE(sections[0].rows[1].isEnabled);
    EXPECT_TRUE(sections[1].rows[0].isEnabled);

    // A category without types keeps its section, title alone.
    std::vector<FileTypeDefinition> textOnly;
    for (const auto& type : allTypes())
        if (type.category == FileTypeCategory::plainText) textOnly.push_back(type);
    const auto sparse = fileTypesListSections(textOnly, {});
    EXPECT_EQ(titles(sparse), (std::vector<std::string>{"Plain Text", "Code", "Office"}));
    EXPECT_TRUE(sparse[1].rows.empty());
    EXPECT_TRUE(sparse[2].rows.empty());
}

TEST(FileTypesListModel, ShowsTheSettingsAsTheyAreNowAndASwitchWritesOnlyTheEnabledSet) {
    Fixture f;
    AppSettings settings(*f.suite);
    FileTypesListModel model(settings);
    EXPECT_EQ(model.sections(), fileTypesListSections(settings.orderedFileTypes(), settings.enabledFileTypeIDs.get()));
    EXPECT_TRUE(model.isEnabled("md"));

    const auto order = settings.fileTypeOrder.get();
    model.setEnabled("md", false);
    EXPECT_FALSE(model.isEnabled("md"));
    EXPECT_EQ(settings.enabledFileTypeIDs->count("md"), 0u);
    EXPECT_EQ(settings.fileTypeOrder.get(), order);
    EXPECT_FALSE(model.sections()[0].rows[1].isEnabled);
    model.setEnabled("md", true);
    EXPECT_TRUE(model.isEnabled("md"));
}

TEST(FileTypesListModel, TellsOfEveryChangeOfTheEnabledTypesOrTheirOrderUntilDropped) {
    Fixture f;
    AppSettings settings(*f.suite);
    FileTypesListModel model(settings);
    int changes = 0;
    Subscription subscription = model.observe([&] { ++changes; });
    settings.setEnabled(false, "txt");
    settings.fileTypeOrder.set({"md", "txt"});
    EXPECT_EQ(changes, 2);
    settings.quickCreateShortcut.set(QuickCreateShortcut{49, kCarbonCommandKey});  // not shown in the list
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(model.sections()[0].rows[0].type.id, "md");

    subscription.cancel();
    settings.setEnabled(true, "txt");
    EXPECT_EQ(changes, 2);
}
