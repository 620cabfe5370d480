#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/creation/FileCreationError.h"
#include "app/quickcreate/DesktopCreationController.h"
#include "shared/logging/Logger.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"
#include "tests/support/QuickCreateHarness.h"

using namespace quillet;
using quillet::test::QuickCreateHarness;

namespace {

const FileTypeDefinition& type(const char* id) { return *fileType(id); }

std::vector<std::string> names(const std::vector<FileTypeDefinition>& types) {
    std::vector<std::string> result;
    for (const auto& t : types) result.push_back(t.displayName);
    return result;
}

// Registered combinations as (key code, hot key id), whatever the references.
std::map<uint32_t, uint32_t> registeredIDs(const quillet::test::FakeHotKeyService& service) {
    return service.idsByKeyCode();
}

class DesktopCreationControllerTest : public ::testing::Test {
protected:
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scopedLog{log};
    QuickCreateHarness h;
};

// ---- creation and its status line

TEST_F(DesktopCreationControllerTest, CreatingOnTheDesktopReportsInDesktopAndRevealsTheFile) {
    h.controller.createFile(type("txt"));
    const auto created = h.desktop / "Untitled.txt";
    EXPECT_TRUE(std::filesystem::is_regular_file(created));
    EXPECT_EQ(h.controller.statusMessage.get(), "Created Untitled.txt in Desktop");
    ASSERT_EQ(h.fileViewer.reveals.size(), 1u);
    EXPECT_EQ(h.fileViewer.reveals[0], std::vector<std::filesystem::path>{created});
    EXPECT_TRUE(log->contains("Created " + created.string()));
    EXPECT_EQ(log->records().back().category, "DesktopCreation");
    EXPECT_TRUE(h.alert.shown.empty());
}

TEST_F(DesktopCreationControllerTest, TheFrontFolderNamesTheStatusAndTheNextFileIsNumbered) {
    const auto reports = h.root.path() / "Reports";
    std::filesystem::create_directories(reports);
    h.destinations.frontFolder = reports;
    h.controller.destinationMode.set(CreationDestinationMode::frontFinderFolder);
    h.controller.createFile(type("md"));
    h.controller.createFile(type("md"));
    EXPECT_TRUE(std::filesystem::exists(reports / "Untitled 2.md"));
    EXPECT_EQ(h.controller.statusMessage.get(), "Created Untitled 2.md in Reports");
}

TEST_F(DesktopCreationControllerTest, WithoutAFileManagerFolderItCreatesOnTheDesktopAndSaysSo) {
    h.controller.createFile(type("json"), CreationDestinationMode::frontFinderFolder);
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.json"));
    EXPECT_EQ(h.controller.statusMessage.get(), "Created Untitled.json on Desktop");
    // The explicit mode wins over the panel's, which stays as it was.
    EXPECT_EQ(h.controller.destinationMode.get(), CreationDestinationMode::desktop);
}

TEST_F(DesktopCreationControllerTest, AFailedCreationKeepsTheStatusAndShowsTheAlertAfterActivating) {
    h.controller.createFile(type("txt"));
    const auto before = h.controller.statusMessage.get();
    h.destinations.frontFolder = h.root.path() / "missing";
    int activationsDuringAlert = -1;
    h.alert.onRun = [&] { activationsDuringAlert = h.windows.activations(); };

    h.controller.createFile(type("csv"), CreationDestinationMode::frontFinderFolder);

    EXPECT_EQ(h.controller.statusMessage.get(), before);
    ASSERT_EQ(h.alert.shown.size(), 1u);
    EXPECT_EQ(h.alert.shown[0].messageText, "Could not create file");
    EXPECT_EQ(h.alert.shown[0].style, AlertStyle::warning);
    EXPECT_NE(h.alert.shown[0].informativeText.find("missing"), std::string::npos);
    EXPECT_EQ(activationsDuringAlert, 1);
    EXPECT_TRUE(log->contains("Create failed: " + h.alert.shown[0].informativeText));
    EXPECT_EQ(h.fileViewer.reveals.size(), 1u);  // only the first file
}

TEST_F(DesktopCreationControllerTest, AnyErrorOfTheCreationEntryEndsInTheAlertNotInTheEventLoop) {
    h.failure = [] { throw std::runtime_error("disk on fire"); };
    EXPECT_NO_THROW(h.controller.createFile(type("txt")));
    ASSERT_EQ(h.alert.shown.size(), 1u);
    EXPECT_EQ(h.alert.shown[0].informativeText, "disk on fire");
    EXPECT_FALSE(h.controller.statusMessage.get().has_value());
}

TEST_F(DesktopCreationControllerTest, DirectShortcutsUseTheirOwnDestinationAndUnknownIDsAreOnlyLogged) {
    h.settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    h.controller.createFile(std::string("py"));
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.py"));
    EXPECT_EQ(h.controller.statusMessage.get(), "Created Untitled.py on Desktop");

    h.controller.createFile(std::string("exe"));
    EXPECT_TRUE(log->contains("Unknown file type shortcut requested: exe"));
    EXPECT_EQ(h.creations, 1);
    EXPECT_TRUE(h.alert.shown.empty());
    EXPECT_EQ(h.controller.statusMessage.get(), "Created Untitled.py on Desktop");
}

TEST_F(DesktopCreationControllerTest, ATemplatesShortcutCreatesItsCopyAndAnAbsentTemplateIsOnlyLogged) {
    const std::filesystem::path templates = h.root.path() / "Templates";
    std::filesystem::create_directories(templates);
    test::writeFile(templates / "Letter.odt", "letter");
    h.files.fileWriter.setTemplates(UserTemplates(templates));
    h.settings.adoptTemplates({"template:Letter.odt"});

    h.controller.createFile(std::string("template:Letter.odt"));
    EXPECT_EQ(test::readFile(h.desktop / "Letter.odt"), "letter");
    for (const char* id : {"template:Other.odt", "template:../Templates/Letter.odt"}) {
        h.controller.createFile(std::string(id));
        EXPECT_TRUE(log->contains(std::string("Unknown file type shortcut requested: ") + id));
    }
    EXPECT_EQ(h.creations, 1);
    EXPECT_TRUE(h.alert.shown.empty());
}

// A key binding of the desktop brings its own destination; the rest of the road is the press's.
TEST_F(DesktopCreationControllerTest, ADirectShortcutFromTheDesktopUsesTheDestinationItCarries) {
    h.settings.directShortcutDestination.set(CreationDestinationMode::desktop);
    h.destinations.frontFolder = h.root.path() / "front";
    std::filesystem::create_directories(*h.destinations.frontFolder);
    h.controller.perform(HotKeyAction::createFile("md", CreationDestinationMode::frontFinderFolder));
    EXPECT_TRUE(std::filesystem::exists(h.root.path() / "front" / "Untitled.md"));
    h.failure = [] { throw std::runtime_error("disk on fire"); };
    h.controller.perform(HotKeyAction::createFile("md", CreationDestinationMode::desktop));
    ASSERT_EQ(h.alert.shown.size(), 1u);
    EXPECT_EQ(h.alert.shown[0].informativeText, "disk on fire");
}

// ---- hot keys

TEST_F(DesktopCreationControllerTest, StartRegistersQuickCreateAndTheUsableShortcutsOfEnabledTypes) {
    h.settings.setShortcut(QuickCreateShortcut{17, kCarbonControlKey}, "txt");  // key T
    h.settings.setShortcut(QuickCreateShortcut{38, kCarbonControlKey}, "js");   // key J
    h.settings.setEnabled(false, "js");
    h.controller.start();
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{45, 1}, {17, 100}}));
}

TEST_F(DesktopCreationControllerTest, HotKeysFollowEveryChangeOfTheirSettings) {
    h.controller.start();
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{45, 1}}));

    h.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{11, 1}}));

    h.settings.setShortcut(QuickCreateShortcut{17, kCarbonControlKey}, "txt");
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{11, 1}, {17, 100}}));

    h.settings.setEnabled(false, "txt");  // disabling unregisters its shortcut at once
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{11, 1}}));
    h.settings.setEnabled(true, "txt");
    EXPECT_EQ(registeredIDs(h.hotKeys), (std::map<uint32_t, uint32_t>{{11, 1}, {17, 100}}));
}

// Desktops that run a command for a key get the launcher's words, with the destination setting
// in them, rewritten when it changes.
TEST_F(DesktopCreationControllerTest, HotKeyCommandsCarryTheDirectShortcutDestination) {
    h.settings.setShortcut(QuickCreateShortcut{17, kCarbonControlKey}, "txt");
    h.controller.start();
    const auto commands = [this] {
        std::map<std::string, std::vector<std::string>> byName;
        for (const auto& [ref, r] : h.hotKeys.registered) byName[r.purpose.name] = r.purpose.command;
        return byName;
    };
    EXPECT_EQ(commands(), (std::map<std::string, std::vector<std::string>>{
                              {"quick-create", {"quick-create"}},
                              {"create-txt", {"create", "txt", "--destination", "desktop"}}}));
    h.settings.directShortcutDestination.set(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(commands()["create-txt"], (std::vector<std::string>{"create", "txt", "--destination", "frontFinderFolder"}));
}

TEST_F(DesktopCreationControllerTest, SettingsChangesAfterTheControllerIsGoneAreHarmless) {
    quillet::test::FakeHotKeyService otherService;
    {
        DesktopCreationController other(DesktopCreationEnvironment{
            h.settings, otherService, h.mainQueue, [](const FileTypeDefinition&, const FolderPath&) {
                return std::filesystem::path();
            },
            h.destinations, h.fileViewer, h.alert, h.windows, h.recordingPanels, h.screens, {}});
        other.start();
        EXPECT_EQ(otherService.registered.size(), 1u);
    }
    EXPECT_TRUE(otherService.registered.empty());  // released with the controller
    h.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey});
    h.settings.setEnabled(false, "md");
    EXPECT_TRUE(otherService.registered.empty());
    EXPECT_EQ(h.settings.quickCreateShortcut.get().keyCode, 11u);
}

TEST_F(DesktopCreationControllerTest, PressesArePerformedLaterOnTheMainQueue) {
    h.settings.setShortcut(QuickCreateShortcut{17, kCarbonControlKey}, "txt");
    h.controller.start();
    h.hotKeys.press({GlobalHotKeyManager::kSignature, 1});
    h.hotKeys.press({GlobalHotKeyManager::kSignature, 100});
    EXPECT_TRUE(h.recordingPanels.made.empty());
    EXPECT_EQ(h.creations, 0);

    h.mainQueue.drain();
    ASSERT_EQ(h.recordingPanels.made.size(), 1u);
    // The panel is asked for the focus with the press's own time.
    EXPECT_EQ(h.recordingPanels.made[0]->shownWithTimestamps, std::vector<uint32_t>{1234});
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.txt"));
}

TEST_F(DesktopCreationControllerTest, StopEndsSubscriptionsHotKeysAndThePanel) {
    h.controller.start();
    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    h.controller.stop();
    EXPECT_TRUE(h.hotKeys.registered.empty());
    EXPECT_FALSE(h.recordingPanels.made[0]->visible);
    h.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey});
    EXPECT_TRUE(h.hotKeys.registered.empty());
}

// ---- the panel

TEST_F(DesktopCreationControllerTest, EveryOpeningReusesThePanelAndStartsAfresh) {
    h.controller.showQuickCreatePanel(CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(h.controller.destinationMode.get(), CreationDestinationMode::frontFinderFolder);
    h.controller.searchText.set("mark");
    h.controller.createFile(type("txt"));
    ASSERT_TRUE(h.controller.statusMessage.get().has_value());

    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    ASSERT_EQ(h.recordingPanels.made.size(), 1u);
    EXPECT_EQ(h.controller.destinationMode.get(), CreationDestinationMode::desktop);
    EXPECT_EQ(h.controller.searchText.get(), "");
    EXPECT_FALSE(h.controller.statusMessage.get().has_value());
    EXPECT_EQ(h.recordingPanels.made[0]->shownWithTimestamps, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(h.windows.activations(), 2);
}

TEST_F(DesktopCreationControllerTest, ThePanelIsPlacedAtThePointer) {
    h.screens.pointer = {1900, 20};  // bottom right corner
    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    ASSERT_EQ(h.recordingPanels.made[0]->origins.size(), 1u);
    EXPECT_EQ(h.recordingPanels.made[0]->origins[0], (ScreenPoint{1920 - 560 - 12, 12}));
}

// ---- search

TEST_F(DesktopCreationControllerTest, SearchMatchesNameOrExtensionIgnoringCaseAndSpaces) {
    h.controller.searchText.set(" JS \n");  // JavaScript by its extension, JSON by its own
    EXPECT_EQ(names(h.controller.fileTypes(FileTypeCategory::code)), (std::vector<std::string>{"JSON", "JavaScript"}));
    EXPECT_TRUE(h.controller.fileTypes(FileTypeCategory::plainText).empty());

    h.controller.searchText.set("script");
    EXPECT_EQ(names(h.controller.fileTypes(FileTypeCategory::code)),
              (std::vector<std::string>{"JavaScript", "Shell Script"}));

    h.controller.searchText.set("txt");
    EXPECT_EQ(names(h.controller.matchingFileTypes()), std::vector<std::string>{"Text"});

    h.controller.searchText.set("plain");  // categories are not searched
    EXPECT_TRUE(h.controller.matchingFileTypes().empty());
}

TEST_F(DesktopCreationControllerTest, SearchKeepsTheUsersOrderAndOnlyEnabledTypes) {
    h.settings.fileTypeOrder.set({"sh", "js", "txt"});
    h.controller.searchText.set("script");
    EXPECT_EQ(names(h.controller.fileTypes(FileTypeCategory::code)),
              (std::vector<std::string>{"Shell Script", "JavaScript"}));
    h.settings.setEnabled(false, "sh");
    EXPECT_EQ(names(h.controller.fileTypes(FileTypeCategory::code)), std::vector<std::string>{"JavaScript"});
    h.controller.searchText.set("   ");
    EXPECT_EQ(names(h.controller.matchingFileTypes()), (std::vector<std::string>{"JavaScript", "Text"}));
}

// ---- the main window

TEST_F(DesktopCreationControllerTest, OpenMainWindowRunsTheInstalledActionElseFindsTheWindowByTitle) {
    h.windows.windows = {{"Quillet+", true}, {"Help", false}, {"Quillet+", false}};
    h.controller.openMainWindow();
    EXPECT_EQ(h.windows.orderedFront, std::vector<std::string>{"Quillet+"});
    EXPECT_EQ(h.windows.activations(), 1);

    int opened = 0;
    h.controller.openMainWindowAction = [&] { ++opened; };
    h.controller.openMainWindow();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(h.windows.orderedFront.size(), 1u);
    EXPECT_EQ(h.windows.activations(), 2);
}

}  // namespace
