#include <gtest/gtest.h>

#include <filesystem>

#include "app/quickcreate/QuickCreatePanelModel.h"
#include "app/quickcreate/SymbolIcons.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/QuickCreateHarness.h"

using namespace quillet;

namespace {

std::vector<std::string> headings(const std::vector<QuickCreatePanelModel::Section>& sections) {
    std::vector<std::string> result;
    for (const auto& s : sections) result.push_back(s.heading);
    return result;
}

TEST(QuickCreatePanelModel, SectionsFollowTheCategoriesAndSkipEmptyOnes) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    EXPECT_EQ(headings(model.sections()), (std::vector<std::string>{"Plain Text", "Code", "Office"}));
    EXPECT_FALSE(model.showsEmptyState());

    h.settings.enabledFileTypeIDs.set({"md", "json"});
    const auto sections = model.sections();
    EXPECT_EQ(headings(sections), (std::vector<std::string>{"Plain Text", "Code"}));
    EXPECT_EQ(sections[0].types, std::vector<FileTypeDefinition>{*fileType("md")});
    EXPECT_EQ(sections[1].types, std::vector<FileTypeDefinition>{*fileType("json")});
}

TEST(QuickCreatePanelModel, AllTypesDisabledLeavesOnlyTheEmptyState) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    h.settings.enabledFileTypeIDs.set({});
    EXPECT_TRUE(model.sections().empty());
    EXPECT_TRUE(model.showsEmptyState());
}

TEST(QuickCreatePanelModel, FooterShowsTheStatusOrTheDestination) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    EXPECT_EQ(model.footer(), (QuickCreatePanelModel::Footer{"desktopcomputer", "Desktop", false, h.desktop.string()}));

    model.setDestinationMode(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(model.footer(),
              (QuickCreatePanelModel::Footer{"folder", "Open Folder", false, "Folder of the front file manager window"}));

    model.createFile(*fileType("txt"));  // no front folder: the Desktop
    EXPECT_EQ(model.footer(),
              (QuickCreatePanelModel::Footer{"folder", "Created Untitled.txt on Desktop", true,
                                             "Folder of the front file manager window"}));
}

TEST(QuickCreatePanelModel, ObserversHearControllerAndSettingsChangesUntilCancelled) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    int changes = 0;
    Subscription observation = model.observe([&] { ++changes; });
    model.setSearchText("x");
    model.setSearchText("x");  // unchanged: no redraw
    model.setDestinationMode(CreationDestinationMode::frontFinderFolder);
    h.controller.statusMessage.set("done");
    h.settings.setEnabled(false, "txt");
    h.settings.fileTypeOrder.set({"md"});
    EXPECT_EQ(changes, 5);
    observation.cancel();
    h.controller.searchText.set("y");
    EXPECT_EQ(changes, 5);
}

// The grid as drawn by default: txt md rtf / csv / json yaml xml / html css js / sh py swift /
// docx xlsx pptx. The arrows walk it as the eye does.
TEST(QuickCreatePanelModel, TheArrowsMoveTheSelectionThroughTheGridAsDrawn) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    using Move = QuickCreatePanelModel::Move;
    auto selected = [&] { return model.selectedType() ? model.selectedType()->id : std::string("(none)"); };
    auto walk = [&](std::initializer_list<Move> moves) {
        std::vector<std::string> seen;
        for (Move move : moves) {
            model.moveSelection(move);
            seen.push_back(selected());
        }
        return seen;
    };
    EXPECT_EQ(selected(), "txt") << "the first match";
    EXPECT_EQ(walk({Move::left, Move::up, Move::right, Move::right, Move::right, Move::down, Move::right, Move::up,
                    Move::down, Move::down, Move::down, Move::left}),
              (std::vector<std::string>{"txt", "txt", "md", "rtf", "csv", "json", "yaml", "csv", "json", "html",
                                        "sh", "js"}));
    EXPECT_EQ(walk({Move::right, Move::right, Move::down, Move::down, Move::right, Move::right, Move::up}),
              (std::vector<std::string>{"sh", "py", "xlsx", "xlsx", "pptx", "pptx", "swift"}));

    model.resetSelection();
    EXPECT_EQ(selected(), "txt");
}

// A new search starts again at its first match; a selected type that no longer shows gives way
// to the first one; with nothing to show there is no selection and Return creates nothing.
TEST(QuickCreatePanelModel, EachSearchSelectsItsFirstMatchAndReturnCreatesTheSelection) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    int changes = 0;
    Subscription observation = model.observe([&] { ++changes; });
    model.setSearchText("script");
    EXPECT_EQ(model.selectedType()->id, "js");
    changes = 0;
    model.moveSelection(QuickCreatePanelModel::Move::right);
    EXPECT_EQ(model.selectedType()->id, "sh");
    EXPECT_EQ(changes, 1) << "a move redraws";
    model.moveSelection(QuickCreatePanelModel::Move::right);
    EXPECT_EQ(changes, 1) << "at the edge nothing moves";
    h.settings.setEnabled(false, "sh");
    EXPECT_EQ(model.selectedType()->id, "js");
    h.settings.setEnabled(true, "sh");
    model.setSearchText("scrip");
    EXPECT_EQ(model.selectedType()->id, "js");

    model.moveSelection(QuickCreatePanelModel::Move::down);
    EXPECT_EQ(model.selectedType()->id, "js") << "one row: nothing below";
    model.moveSelection(QuickCreatePanelModel::Move::right);
    EXPECT_TRUE(model.createSelected());
    EXPECT_EQ(h.controller.statusMessage.get(), std::optional<std::string>("Created Untitled.sh in Desktop"));
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.sh"));

    model.setSearchText("plain");
    EXPECT_EQ(model.selectedType(), std::nullopt);
    model.moveSelection(QuickCreatePanelModel::Move::down);
    EXPECT_FALSE(model.createSelected());
}

// Dismissing the panel puts it back to how the next opening starts while it is hidden, so that
// opening it again redraws nothing.
TEST(QuickCreatePanelModel, ADismissedPanelIsReadyForTheNextOpeningWhileHidden) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    h.controller.showQuickCreatePanel(CreationDestinationMode::frontFinderFolder);
    model.setSearchText("script");
    model.moveSelection(QuickCreatePanelModel::Move::right);
    EXPECT_TRUE(model.createSelected());
    ASSERT_TRUE(h.controller.statusMessage.get().has_value());

    model.prepareNextOpening();
    EXPECT_EQ(model.destinationMode(), CreationDestinationMode::desktop);
    EXPECT_EQ(model.searchText(), "");
    EXPECT_FALSE(h.controller.statusMessage.get().has_value());
    EXPECT_EQ(model.selectedType()->id, "txt");

    int redraws = 0;
    Subscription observation = model.observe([&] { ++redraws; });
    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    EXPECT_EQ(redraws, 0);
    h.controller.showQuickCreatePanel(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(redraws, 1) << "another mode is drawn";
}

TEST(QuickCreatePanelModel, EachObserverHearsUntilItsSubscriptionIsDropped) {
    test::QuickCreateHarness h;
    QuickCreatePanelModel model(h.controller);
    const size_t searchSubscribers = h.controller.searchText.subscriberCount();
    const size_t statusSubscribers = h.controller.statusMessage.subscriberCount();
    int first = 0, second = 0;
    Subscription kept = model.observe([&] { ++first; });
    {
        Subscription dropped = model.observe([&] { ++second; });
        model.setSearchText("a");
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 1);
    }
    model.setSearchText("b");
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);
    kept = Subscription();
    // Nothing of either observer stays behind on the fields it watched.
    EXPECT_EQ(h.controller.searchText.subscriberCount(), searchSubscribers);
    EXPECT_EQ(h.controller.statusMessage.subscriberCount(), statusSubscribers);
}

TEST(SymbolIcons, EverySymbolInUseHasAThemeName) {
    for (const auto& type : allTypes()) EXPECT_TRUE(themeIconName(type.sfSymbolName)) << type.sfSymbolName;
    for (const char* symbol : {QuickCreatePanelModel::kTitleSymbol, QuickCreatePanelModel::kSearchSymbol,
                               QuickCreatePanelModel::kEmptyStateSymbol})
        EXPECT_TRUE(themeIconName(symbol)) << symbol;
    for (const auto& choice : destinationChoices())
        EXPECT_TRUE(themeIconName(choice.symbolName)) << choice.symbolName;
    EXPECT_FALSE(themeIconName("no.such.symbol"));
}

}  // namespace
