#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/presence/AppPresenceController.h"
#include "app/presence/FileCreationMenuAction.h"
#include "app/update/QuilletSelfUpdater.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/PresenceDoubles.h"
#include "tests/support/QuickCreateHarness.h"
#include "tests/support/UninstallDoubles.h"
#include "tests/support/UpdateDoubles.h"

using namespace quillet;
using Kind = StatusMenuItem::Kind;

namespace {

// An updater over scripted engine ports; configured or not.
struct TestUpdater {
    explicit TestUpdater(bool configured)
        : updater(configured ? QuilletSelfUpdateConfiguration{"https://updates.example/appcast.xml", "public-key"}
                             : QuilletSelfUpdateConfiguration{},
                  [this](const QuilletSelfUpdateConfiguration& configuration) {
                      return std::make_unique<SoftwareUpdateController>(SoftwareUpdateEnvironment{
                          transport, verifier, unpacker, userDriver, relauncher, engineQueue,
                          *configuration.feedURL, *configuration.publicEDKey, "1.0",
                          std::filesystem::path("/nonexistent/Quillet+.app")});
                  }) {}

    test::ScriptedUpdateTransport transport;
    test::FakeSignatureVerifier verifier;
    test::ScriptedArchiveUnpacker unpacker;
    test::RecordingUpdateUserDriver userDriver;
    test::RecordingApplicationLifecycle relauncher;
    test::ManualMainQueue engineQueue;
    QuilletSelfUpdater updater;
};

struct PresenceHarness {
    // A GNOME session by default, whose file manager is "Files".
    explicit PresenceHarness(bool uiTesting = false, bool updaterConfigured = true,
                             DesktopWords words = DesktopWords::forDesktop("GNOME"))
        : quick(nullptr, nullptr, std::move(words)),
          updater(updaterConfigured),
          presence(AppPresenceEnvironment{statusBar, policy, quick.mainQueue, quick.controller,
                                          [this] { ++uninstallRequests; }, termination, uiTesting}) {
        quick.controller.openMainWindowAction = [this] { ++mainWindowOpenings; };
    }

    void start() { presence.start(quick.settings, updater.updater); }
    void setPresence(AppPresence value) {
        quick.settings.appPresence.set(value);
        quick.mainQueue.drain();
    }

    test::QuickCreateHarness quick;
    test::RecordingStatusBar statusBar;
    test::RecordingApplicationWindows policy;
    test::Journal journal;
    test::RecordingApplicationLifecycle termination{journal};
    TestUpdater updater;
    int uninstallRequests = 0;
    int mainWindowOpenings = 0;
    AppPresenceController presence;
};

std::vector<std::string> titles(const StatusMenu& menu) {
    std::vector<std::string> result;
    for (const auto& item : menu) result.push_back(item.kind == Kind::separator ? "---" : item.title);
    return result;
}

const StatusMenuItem& itemTitled(const StatusMenu& menu, const std::string& title) {
    auto it = std::find_if(menu.begin(), menu.end(), [&](const auto& item) { return item.title == title; });
    if (it == menu.end()) throw std::runtime_error("no item " + title);
    return *it;
}

}  // namespace

// The presence decides the tray icon and the taskbar listing, at start and at every change.
TEST(AppPresenceController, EachPresenceSetsTheTrayIconAndThePolicyAndFollowsChanges) {
    PresenceHarness h;
    h.quick.settings.appPresence.set(AppPresence::dockOnly);
    h.start();
    EXPECT_EQ(h.statusBar.records.size(), 0u);
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::regular);
    EXPECT_EQ(h.quick.mainQueue.pending(), 0u) << "the value current at start is not a change";

    // The change is carried out on the main queue, not while it is being stored.
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    EXPECT_EQ(h.statusBar.shownCount(), 0);
    h.quick.mainQueue.drain();
    ASSERT_EQ(h.statusBar.shownCount(), 1);
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::accessory);
    EXPECT_EQ(titles(h.statusBar.currentMenu()),
              (std::vector<std::string>{"Quick Create...", "Create on Desktop", "Create in Files Folder", "---",
                                        "Open Quillet+", "Check for Updates...", "---", "Uninstall Quillet+...",
                                        "Quit Quillet+"}));

    // The same icon stays, with a new menu.
    h.setPresence(AppPresence::dockAndMenuBar);
    EXPECT_EQ(h.statusBar.records.size(), 1u);
    EXPECT_EQ(h.statusBar.shownCount(), 1);
    EXPECT_EQ(h.statusBar.records[0]->menus.size(), 2u);
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::regular);
    EXPECT_TRUE(h.presence.hasStatusItem());

    h.setPresence(AppPresence::dockOnly);
    EXPECT_EQ(h.statusBar.shownCount(), 0);
    EXPECT_FALSE(h.presence.hasStatusItem());
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::regular);

    h.setPresence(AppPresence::menuBarOnly);
    EXPECT_EQ(h.statusBar.records.size(), 2u) << "a removed icon is made anew";
    EXPECT_EQ(h.statusBar.shownCount(), 1);

    // Stopping removes the icon, ends the subscriptions and drops reactions already queued; the
    // policy stays as it was.
    h.quick.settings.appPresence.set(AppPresence::dockAndMenuBar);
    const auto policies = h.policy.policies.size();
    h.presence.stop();
    h.quick.mainQueue.drain();
    EXPECT_EQ(h.statusBar.shownCount(), 0);
    EXPECT_EQ(h.policy.policies.size(), policies);
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::accessory);
    h.setPresence(AppPresence::menuBarOnly);
    EXPECT_EQ(h.statusBar.shownCount(), 0);
    EXPECT_EQ(h.updater.updater.canCheckForUpdates.subscriberCount(), 0u);
}

// The front folder's item names the session's file manager, or the open folder where the
// desktop is unknown.
TEST(AppPresenceController, TheFolderItemNamesTheSessionsFileManager) {
    for (const auto& [desktop, title] : {std::pair{"KDE", "Create in Dolphin Folder"},
                                         std::pair{"ubuntu:GNOME", "Create in Files Folder"},
                                         std::pair{"", "Create in Open Folder"}}) {
        PresenceHarness h(false, true, DesktopWords::forDesktop(desktop));
        h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
        h.start();
        EXPECT_EQ(titles(h.statusBar.currentMenu())[2], title) << desktop;
    }
}

// The menu's items, their images and actions, and both destination submenus by category.
TEST(AppPresenceController, TheMenuListsEveryItemAndBothSubmenusByCategory) {
    PresenceHarness h;
    h.quick.settings.fileTypeOrder.set(defaultOrder());
    h.quick.settings.enabledFileTypeIDs.set(allIDs());
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    h.start();
    const StatusMenu& menu = h.statusBar.currentMenu();

    const std::vector<std::pair<std::string, std::string>> symbols{
        {"Quick Create...", "plus.square.on.square"}, {"Create on Desktop", "desktopcomputer"},
        {"Create in Files Folder", "folder"},       {"Open Quillet+", "macwindow"},
        {"Check for Updates...", "arrow.triangle.2.circlepath"},
        {"Uninstall Quillet+...", "trash"},           {"Quit Quillet+", "power"}};
    for (const auto& [title, symbol] : symbols) {
        const auto& item = itemTitled(menu, title);
        EXPECT_EQ(item.symbolName, symbol) << title;
        EXPECT_TRUE(item.isEnabled) << title;
    }
    EXPECT_EQ(itemTitled(menu, "Create on Desktop").accessibilityDescription, "Desktop");
    EXPECT_EQ(itemTitled(menu, "Create in Files Folder").accessibilityDescription, "Files Folder");
    EXPECT_EQ(itemTitled(menu, "Quit Quillet+").accessibilityDescription, "Quit Quillet+");

    const std::vector<std::string> expected{
        "Plain Text", "Text", "Markdown", "Rich Text", "CSV", "---", "Code", "JSON", "YAML", "XML", "HTML", "CSS",
        "JavaScript", "Shell Script", "Python", "Swift", "---", "Office", "Word Document", "Excel Spreadsheet",
        "PowerPoint Presentation"};
    for (const auto destination : kAllCreationDestinationModes) {
        const auto& submenu = menu[destination == CreationDestinationMode::desktop ? 1 : 2];
        ASSERT_EQ(submenu.kind, Kind::submenu);
        EXPECT_FALSE(submenu.action);
        EXPECT_EQ(titles(submenu.submenu), expected);
        for (const auto& item : submenu.submenu) {
            if (item.kind == Kind::header) {
                EXPECT_FALSE(item.isEnabled) << item.title;
            }
            if (item.kind != Kind::action) continue;
            const auto* payload = std::any_cast<FileCreationMenuAction>(&item.representedObject);
            ASSERT_NE(payload, nullptr) << item.title;
            EXPECT_EQ(payload->type.displayName, item.title);
            EXPECT_EQ(payload->type.sfSymbolName, item.symbolName);
            EXPECT_EQ(payload->destination, destination);
            EXPECT_TRUE(item.action);
        }
    }

    // The plain items reach what they name.
    itemTitled(menu, "Quick Create...").action();
    ASSERT_EQ(h.quick.recordingPanels.made.size(), 1u);
    EXPECT_TRUE(h.quick.recordingPanels.made[0]->visible);
    EXPECT_EQ(h.quick.controller.destinationMode.get(), CreationDestinationMode::desktop);
    itemTitled(menu, "Open Quillet+").action();
    EXPECT_EQ(h.mainWindowOpenings, 1);
    itemTitled(menu, "Uninstall Quillet+...").action();
    EXPECT_EQ(h.uninstallRequests, 1);
    itemTitled(menu, "Quit Quillet+").action();
    EXPECT_EQ(h.termination.terminations, 1);
}

// Type changes rebuild both submenus: an empty category goes with its header and separator,
// and a new order moves items only within their category.
TEST(AppPresenceController, EnabledTypesAndTheirOrderRebuildTheSubmenus) {
    PresenceHarness h;
    h.quick.settings.fileTypeOrder.set(defaultOrder());
    h.quick.settings.enabledFileTypeIDs.set({"txt", "md", "json", "docx", "xlsx"});
    h.quick.settings.appPresence.set(AppPresence::dockAndMenuBar);
    h.start();
    EXPECT_EQ(titles(h.statusBar.currentMenu()[1].submenu),
              (std::vector<std::string>{"Plain Text", "Text", "Markdown", "---", "Code", "JSON", "---", "Office",
                                        "Word Document", "Excel Spreadsheet"}));

    h.quick.settings.setEnabled(false, "docx");
    h.quick.settings.setEnabled(false, "xlsx");
    h.quick.mainQueue.drain();
    for (int index : {1, 2})
        EXPECT_EQ(titles(h.statusBar.currentMenu()[index].submenu),
                  (std::vector<std::string>{"Plain Text", "Text", "Markdown", "---", "Code", "JSON"}));

    // Office first and Markdown before Text in the stored order: the categories keep theirs.
    h.quick.settings.setEnabled(true, "pptx");
    h.quick.settings.fileTypeOrder.set({"pptx", "json", "md", "txt"});
    h.quick.mainQueue.drain();
    for (int index : {1, 2})
        EXPECT_EQ(titles(h.statusBar.currentMenu()[index].submenu),
                  (std::vector<std::string>{"Plain Text", "Markdown", "Text", "---", "Code", "JSON", "---",
                                            "Office", "PowerPoint Presentation"}));

    h.quick.settings.enabledFileTypeIDs.set({});
    h.quick.mainQueue.drain();
    EXPECT_TRUE(h.statusBar.currentMenu()[1].submenu.empty());
    EXPECT_TRUE(h.statusBar.currentMenu()[2].submenu.empty());
}

TEST(AppPresenceController, CheckForUpdatesShowsOnlyWhenConfiguredAndAsEnabledAsAtBuildTime) {
    {
        PresenceHarness h(false, /*updaterConfigured=*/false);
        h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
        h.start();
        EXPECT_EQ(titles(h.statusBar.currentMenu()),
                  (std::vector<std::string>{"Quick Create...", "Create on Desktop", "Create in Files Folder", "---",
                                            "Open Quillet+", "---", "Uninstall Quillet+...", "Quit Quillet+"}));
        h.presence.checkForUpdates();
        EXPECT_TRUE(h.updater.transport.transfers.empty());
    }
    PresenceHarness h;
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    h.start();
    const StatusMenu first = h.statusBar.currentMenu();
    ASSERT_TRUE(itemTitled(first, "Check for Updates...").isEnabled);

    // Choosing it starts a check, which makes a new, disabled item; the old menu stays as built.
    itemTitled(first, "Check for Updates...").action();
    ASSERT_EQ(h.updater.transport.transfers.size(), 1u);
    h.quick.mainQueue.drain();
    EXPECT_FALSE(itemTitled(h.statusBar.currentMenu(), "Check for Updates...").isEnabled);
    EXPECT_TRUE(itemTitled(first, "Check for Updates...").isEnabled);

    h.updater.transport.answer(500, "");
    h.updater.engineQueue.drain();
    h.quick.mainQueue.drain();
    EXPECT_TRUE(itemTitled(h.statusBar.currentMenu(), "Check for Updates...").isEnabled);
}

TEST(AppPresenceController, CreateOnDesktopMarkdownCreatesAMarkdownFileOnTheDesktop) {
    PresenceHarness h;
    h.quick.settings.fileTypeOrder.set(defaultOrder());
    h.quick.settings.enabledFileTypeIDs.set(allIDs());
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    // The panel's own mode must not decide where a menu item creates.
    h.quick.controller.destinationMode.set(CreationDestinationMode::frontFinderFolder);
    h.quick.destinations.frontFolder = h.quick.root.path() / "Front";
    std::filesystem::create_directories(*h.quick.destinations.frontFolder);
    h.start();

    itemTitled(itemTitled(h.statusBar.currentMenu(), "Create on Desktop").submenu, "Markdown").action();
    EXPECT_EQ(h.quick.creations, 1);
    EXPECT_TRUE(std::filesystem::exists(h.quick.desktop / "Untitled.md"));
    EXPECT_TRUE(std::filesystem::is_empty(*h.quick.destinations.frontFolder));

    itemTitled(itemTitled(h.statusBar.currentMenu(), "Create in Files Folder").submenu, "JSON").action();
    EXPECT_TRUE(std::filesystem::exists(*h.quick.destinations.frontFolder / "Untitled.json"));

    // Anything but a menu action is ignored.
    h.presence.createFileFromMenu(std::any{});
    h.presence.createFileFromMenu(std::any{std::string("md")});
    EXPECT_EQ(h.quick.creations, 2);
}

// Without a tray the icon would show nowhere: the windows stay in the taskbar, and closing the
// last one quits, so Quillet+ never runs unseen. With the icon on show, closing keeps it running.
TEST(AppPresenceController, WithoutATrayTheTaskbarStaysAndTheLastWindowClosingQuits) {
    PresenceHarness h;
    h.statusBar.trayAvailable = false;
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    h.start();
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::regular);
    EXPECT_FALSE(h.presence.showsTrayIcon());
    EXPECT_EQ(AppPresenceController::desktopOfferNote(AppPresence::menuBarOnly, false),
              AppPresenceController::kNoTrayNote);
    h.presence.lastWindowClosed();
    EXPECT_EQ(h.termination.terminations, 1);

    h.statusBar.trayAvailable = true;
    h.setPresence(AppPresence::dockOnly);
    h.setPresence(AppPresence::menuBarOnly);
    EXPECT_EQ(h.policy.activationPolicy(), ActivationPolicyKind::accessory);
    EXPECT_TRUE(h.presence.showsTrayIcon());
    EXPECT_EQ(AppPresenceController::desktopOfferNote(AppPresence::menuBarOnly, true), "");
    h.presence.lastWindowClosed();
    EXPECT_EQ(h.termination.terminations, 1) << "the tray icon shows that it runs";

    // A taskbar presence on a desktop with a tray: closing quits, and the card says so.
    h.setPresence(AppPresence::dockOnly);
    EXPECT_EQ(AppPresenceController::desktopOfferNote(AppPresence::dockOnly, true),
              AppPresenceController::kQuitsOnCloseNote);
    h.presence.lastWindowClosed();
    EXPECT_EQ(h.termination.terminations, 2);
}

TEST(AppPresenceController, UITestModeKeepsTheTaskbarAndNoTrayWhateverIsStored) {
    PresenceHarness h(/*uiTesting=*/true);
    h.quick.settings.appPresence.set(AppPresence::menuBarOnly);
    h.start();
    EXPECT_EQ(h.statusBar.records.size(), 0u);
    EXPECT_EQ(h.policy.policies, std::vector<ActivationPolicyKind>{ActivationPolicyKind::regular});
    h.setPresence(AppPresence::dockAndMenuBar);
    EXPECT_EQ(h.statusBar.records.size(), 0u);
    EXPECT_EQ(h.updater.updater.canCheckForUpdates.subscriberCount(), 0u);
    h.presence.lastWindowClosed();
    EXPECT_EQ(h.termination.terminations, 0) << "tests close windows and go on";
}
