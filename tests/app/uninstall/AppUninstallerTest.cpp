#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/uninstall/AppUninstaller.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/QuickCreateHarness.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UninstallDoubles.h"

using namespace quillet;
using namespace quillet::test;

namespace {

const std::string kTrashHeading = "Quillet+ could not be moved to the Trash.";

class AppUninstallerTest : public ::testing::Test {
protected:
    AppUninstallerTest() {
        std::filesystem::create_directories(bundle / "bin");
        writeFile(bundle / "bin" / "quillet", "program");
        std::filesystem::create_directories(trash);
        writeFile(userFile, "mine");
        fileManagerTrash.trashFolder = workspaceTrash.trashFolder = finderTrash.trashFolder = trash;
        // Saved settings in both suites, as a used installation has them.
        DefaultsSuite::open(config.path(), DefaultsSuite::kSharedSuiteName)->set("enabledFileTypeIDs", "txt");
        DefaultsSuite::open(config.path(), DefaultsSuite::kStandardDomainName)->set("k", "v");
        writeFile(config.suiteFolder(DefaultsSuite::kSharedSuiteName) / "Grants.json", "{}");
        quickCreate.controller.start();
        log->clear();
    }

    AppUninstaller makeUninstaller(std::filesystem::path runningBundle, bool systemInstall = false) {
        return AppUninstaller(AppUninstallerEnvironment{
            quickCreate.alert, quickCreate.windows, &quickCreate.controller, std::move(runningBundle),
            quickCreate.mainQueue, timer, fileManagers, fileManagerTrash, workspaceTrash, finderTrash,
            config.path(), [this] { journal.push_back("remove registration"); }, termination,
            [this] { journal.push_back("remove user integrations"); }, systemInstall});
    }
    std::filesystem::path autostartEntry() const { return config.path() / "autostart" / "org.quillet.Quillet.desktop"; }
    // Confirms, then lets the asynchronous part run to its end.
    void runUninstall(AppUninstaller& uninstaller) {
        uninstaller.requestUninstall();
        quickCreate.mainQueue.drain();
        timer.runAll();
    }

    bool settingsUntouched() {
        auto shared = DefaultsSuite::open(config.path(), DefaultsSuite::kSharedSuiteName);
        auto standard = DefaultsSuite::open(config.path(), DefaultsSuite::kStandardDomainName);
        return shared->get("enabledFileTypeIDs") == DefaultsValue("txt") && standard->get("k") == DefaultsValue("v") &&
               std::filesystem::exists(config.suiteFolder(DefaultsSuite::kSharedSuiteName) / "Grants.json");
    }
    bool logged(const std::string& message) const { return log->contains(message); }
    size_t count(const std::string& entry) const { return std::count(journal.begin(), journal.end(), entry); }

    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scopedLog{log};
    TemporaryFolder root;
    TemporaryConfigHome config;
    std::filesystem::path bundle = root.path() / "Applications" / "Quillet+.app";
    std::filesystem::path trash = root.path() / "Trash";
    std::filesystem::path userFile = root.path() / "Desktop Untitled.txt";
    QuickCreateHarness quickCreate;
    Journal journal;
    FakeRunningFileManagers fileManagers{journal};
    ScriptedTrashAttempt fileManagerTrash{"FileManager", journal};
    ScriptedTrashAttempt workspaceTrash{"NSWorkspace", journal};
    ScriptedTrashAttempt finderTrash{"Finder", journal};
    ManualMainQueueTimer timer;
    RecordingApplicationLifecycle termination{journal};
};

// ---- before anything is touched

TEST_F(AppUninstallerTest, AsksFirstAndCancellingChangesNothing) {
    ASSERT_FALSE(quickCreate.hotKeys.registered.empty());
    const auto hotKeys = quickCreate.hotKeys.idsByKeyCode();
    quickCreate.alert.answer = 1;
    auto uninstaller = makeUninstaller(bundle);
    runUninstall(uninstaller);

    ASSERT_EQ(quickCreate.alert.shown.size(), 1u);
    const Alert& asked = quickCreate.alert.shown[0];
    EXPECT_EQ(asked.messageText, "Uninstall Quillet+?");
    EXPECT_EQ(asked.informativeText,
              "This will move Quillet+ to the Trash, remove saved Quillet+ settings, and restart GNOME Files if it "
              "runs, and any other file manager that has the Quillet+ module loaded, so they let go of it.\n\nFiles you created with Quillet+ will not be removed.");
    EXPECT_EQ(asked.style, AlertStyle::critical);
    EXPECT_EQ(quickCreate.alert.buttonsShown[0], (std::vector<std::string>{"Uninstall", "Cancel"}));
    EXPECT_TRUE(asked.cancelIsDefault) << "Return must not uninstall";

    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode(), hotKeys);
    EXPECT_TRUE(log->records().empty());
    // Still following the settings: a change registers again.
    quickCreate.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode().count(11), 1u);
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(std::filesystem::exists(bundle));
    EXPECT_TRUE(settingsUntouched());
    EXPECT_FALSE(uninstaller.inProgress.get());
}

TEST_F(AppUninstallerTest, OutsideAnApplicationBundleItSaysSoWithoutAskingOrStoppingAnything) {
    const auto program = root.path() / "usr";
    std::filesystem::create_directories(program);
    fileManagers.instances = {{42}};
    auto uninstaller = makeUninstaller(program);
    const auto hotKeys = quickCreate.hotKeys.idsByKeyCode();
    quickCreate.alert.onRun = [&] { EXPECT_EQ(quickCreate.windows.activations(), 1) << "in front first"; };
    uninstaller.requestUninstall();

    // No question that promises a move to the Trash this install cannot make.
    ASSERT_EQ(quickCreate.alert.shown.size(), 1u);
    const Alert& alert = quickCreate.alert.shown[0];
    EXPECT_EQ(alert.messageText, "Could not uninstall Quillet+");
    EXPECT_EQ(alert.informativeText, "Quillet+ is not running from a per-user install (~/Applications/Quillet+.app): " +
                                         program.string() +
                                         "\n\nQuit Quillet+, move the app to the Trash manually, then log out and back "
                                         "in so the file manager lets go of its Create File menu.");
    EXPECT_EQ(quickCreate.alert.buttonsShown[0], std::vector<std::string>{"OK"});
    // The hot keys were never stopped, and still follow the settings.
    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode(), hotKeys);
    quickCreate.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode().count(11), 1u);
    EXPECT_TRUE(journal.empty()) << "neither the file manager nor the trash was asked";
    EXPECT_TRUE(settingsUntouched());
    EXPECT_EQ(quickCreate.mainQueue.pending(), 0u);
}

TEST_F(AppUninstallerTest, TheBundleCheckLooksAtTheLastComponent) {
    // ".app" inside the path or as a prefix is not a bundle; a trailing separator still is.
    for (const auto& notBundle : {root.path() / "Quillet.app" / "bin", root.path() / ".app.d"}) {
        auto uninstaller = makeUninstaller(notBundle);
        uninstaller.requestUninstall();
        EXPECT_FALSE(uninstaller.inProgress.get()) << notBundle;
    }
    auto uninstaller = makeUninstaller(bundle.string() + "/");
    uninstaller.requestUninstall();
    EXPECT_TRUE(uninstaller.inProgress.get());
}

// ---- the asynchronous part

TEST_F(AppUninstallerTest, TheFirstWayThatWorksEndsTheTrashingAndTheUninstallCleansUp) {
    fileManagers.instances = {{42}, {43}};
    fileManagers.refusing = {43};
    fileManagerTrash.moves = true;
    fileManagerTrash.outcome = TrashOutcome::trashed(trash / "Quillet+.app");
    auto uninstaller = makeUninstaller(bundle);
    uninstaller.requestUninstall();
    EXPECT_TRUE(quickCreate.hotKeys.registered.empty());
    EXPECT_TRUE(journal.empty()) << "the rest runs later, on the main queue";
    EXPECT_TRUE(uninstaller.inProgress.get());
    quickCreate.mainQueue.drain();
    timer.runAll();

    EXPECT_EQ(journal, (Journal{"list file managers", "terminate 42", "terminate 43", "force 43",
                                "trash with FileManager", "remove registration", "remove user integrations", "relaunch file manager",
                                "terminate application"}));
    EXPECT_TRUE(timer.delays.empty()) << "both had quit at the first check";
    EXPECT_EQ(fileManagerTrash.requests, std::vector<std::filesystem::path>{bundle});
    EXPECT_EQ(log->lines(), (std::vector<std::string>{
                                "Uninstall default: Starting uninstall for " + bundle.string(),
                                "Uninstall default: Terminating Finder to unload the Finder extension before uninstall",
                                "Uninstall default: Moved Quillet+ to Trash at " + (trash / "Quillet+.app").string()}));
    EXPECT_EQ(log->records()[0].subsystem, "org.quillet.Quillet");

    // The settings are gone, the standard domain empty, the container with everything in it.
    EXPECT_FALSE(std::filesystem::exists(config.suiteFolder(DefaultsSuite::kSharedSuiteName)));
    const auto standardDatabase =
        config.suiteFolder(DefaultsSuite::kStandardDomainName) / DefaultsSuite::kDatabaseFileName;
    std::string failure;
    auto standard = DefaultsSuite::openReadOnly(DefaultsSuite::kStandardDomainName, standardDatabase.parent_path(), failure);
    ASSERT_TRUE(standard) << failure;
    EXPECT_TRUE(standard->keys().empty());
    // What the user made stays.
    EXPECT_EQ(readFile(userFile), "mine");
    EXPECT_EQ(readFile(trash / "Quillet+.app" / "bin" / "quillet"), "program");
    EXPECT_EQ(quickCreate.alert.shown.size(), 1u) << "no alert after the confirmation";
}

TEST_F(AppUninstallerTest, WithoutAReportedLocationTheBundlePathIsLoggedAndNoFileManagerIsQuit) {
    workspaceTrash.moves = true;
    workspaceTrash.outcome = TrashOutcome::trashed();
    fileManagerTrash.outcome = TrashOutcome::failed("Permission denied");
    auto uninstaller = makeUninstaller(bundle);
    runUninstall(uninstaller);

    EXPECT_EQ(journal, (Journal{"list file managers", "trash with FileManager", "trash with NSWorkspace",
                                "remove registration", "remove user integrations", "relaunch file manager", "terminate application"}));
    EXPECT_FALSE(log->contains("Terminating Finder to unload the Finder extension before uninstall"));
    EXPECT_FALSE(log->contains("Finder did not terminate before uninstall continued"));
    EXPECT_EQ(log->lines().back(), "Uninstall default: Moved Quillet+ to Trash at " + bundle.string());
    EXPECT_TRUE(log->contains("FileManager trash attempt failed: Permission denied"));
    EXPECT_TRUE(finderTrash.requests.empty());
}

TEST_F(AppUninstallerTest, EveryWayFailingIsReportedInOrderAndLeavesTheSettings) {
    fileManagers.instances = {{42}};
    fileManagerTrash.outcome = TrashOutcome::failed("Permission denied");
    workspaceTrash.outcome = TrashOutcome::failed("Unable to trash file: Permission denied");
    finderTrash.outcome = TrashOutcome::failed("");  // the file manager gave no reason
    auto uninstaller = makeUninstaller(bundle);
    const auto hotKeys = quickCreate.hotKeys.idsByKeyCode();
    quickCreate.alert.onRun = [&] {
        if (quickCreate.alert.shown.size() == 2) {
            EXPECT_EQ(fileManagers.relaunches, 1) << "the file manager runs again before the alert";
            EXPECT_EQ(quickCreate.windows.activations(), 1);
        }
    };
    runUninstall(uninstaller);

    const std::string description = kTrashHeading +
                                    "\n\n"
                                    "Qt: Permission denied\n"
                                    "GIO: Unable to trash file: Permission denied\n"
                                    "GNOME Files: GNOME Files could not move Quillet+ to the Trash.";
    EXPECT_EQ(journal, (Journal{"list file managers", "terminate 42", "trash with FileManager",
                                "trash with NSWorkspace", "trash with Finder", "relaunch file manager"}));
    const auto lines = log->lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines.back(), "GlobalHotKey default: Registered Ctrl+Alt+N hot key") << "the hot keys are back";
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end() - 1),
              (std::vector<std::string>{
                  "Uninstall error: FileManager trash attempt failed: Permission denied",
                  "Uninstall error: NSWorkspace trash attempt failed: Unable to trash file: Permission denied",
                  "Uninstall error: Finder trash attempt failed: GNOME Files could not move Quillet+ to the Trash.",
                  "Uninstall error: Uninstall failed: " + description}));
    ASSERT_EQ(quickCreate.alert.shown.size(), 2u);
    EXPECT_EQ(quickCreate.alert.shown[1].messageText, "Could not uninstall Quillet+");
    EXPECT_EQ(quickCreate.alert.shown[1].informativeText,
              description + "\n\n" + AppUninstallError::kRecoverySuggestion);
    EXPECT_EQ(termination.terminations, 0);
    EXPECT_FALSE(uninstaller.inProgress.get()) << "back to running";
    EXPECT_TRUE(settingsUntouched());
    EXPECT_TRUE(std::filesystem::exists(bundle / "bin" / "quillet"));
    // Running on as before the question: the hot keys are back and follow the settings again.
    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode(), hotKeys);
    quickCreate.settings.quickCreateShortcut.set(QuickCreateShortcut{11, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(quickCreate.hotKeys.idsByKeyCode().count(11), 1u);
}

TEST_F(AppUninstallerTest, AReportedSuccessWithTheBundleStillThereIsAFailure) {
    fileManagerTrash.outcome = TrashOutcome::trashed(trash / "Quillet+.app");  // but nothing moved
    workspaceTrash.outcome = TrashOutcome::trashed();
    finderTrash.outcome = TrashOutcome::notPrepared();
    auto uninstaller = makeUninstaller(bundle);
    runUninstall(uninstaller);

    const std::string stillThere = "The system finished the Trash request, but Quillet+ is still at " + bundle.string() + ".";
    EXPECT_TRUE(log->contains("FileManager trash attempt failed: " + stillThere));
    EXPECT_TRUE(log->contains("Uninstall failed: " + kTrashHeading + "\n\nQt: " + stillThere + "\nGIO: " + stillThere +
                              "\nGNOME Files: Quillet+ could not prepare the request to GNOME Files."));
    EXPECT_EQ(termination.terminations, 0);
    EXPECT_TRUE(settingsUntouched());
}

TEST_F(AppUninstallerTest, AFileManagerSlowToQuitIsPolledTwentyTimesThenTrashingGoesOn) {
    fileManagers.instances = {{42}};
    fileManagers.quitsAfterChecks = 1000;
    finderTrash.moves = true;
    finderTrash.outcome = TrashOutcome::trashed();
    auto uninstaller = makeUninstaller(bundle);
    uninstaller.requestUninstall();
    quickCreate.mainQueue.drain();
    EXPECT_EQ(fileManagers.checks, 1);
    EXPECT_EQ(timer.pending(), 1u) << "waits on the event loop, never in a blocking sleep";
    EXPECT_TRUE(fileManagerTrash.requests.empty());
    timer.runAll();

    EXPECT_EQ(fileManagers.checks, 20);
    EXPECT_EQ(timer.delays, std::vector<std::chrono::nanoseconds>(20, std::chrono::milliseconds(100)));
    const auto lines = log->lines();
    const auto gaveUp = std::find(lines.begin(), lines.end(),
                                  "Uninstall error: Finder did not terminate before uninstall continued");
    ASSERT_NE(gaveUp, lines.end());
    EXPECT_EQ(*(gaveUp + 1), "Uninstall error: FileManager trash attempt failed: not scripted");
    EXPECT_EQ(termination.terminations, 1);
}

TEST_F(AppUninstallerTest, AFileManagerThatQuitsWhilePolledEndsTheWait) {
    fileManagers.instances = {{42}};
    fileManagers.quitsAfterChecks = 3;
    fileManagerTrash.moves = true;
    fileManagerTrash.outcome = TrashOutcome::trashed();
    auto uninstaller = makeUninstaller(bundle);
    runUninstall(uninstaller);
    EXPECT_EQ(fileManagers.checks, 4);
    EXPECT_EQ(timer.delays.size(), 3u);
    EXPECT_FALSE(log->contains("Finder did not terminate before uninstall continued"));
    EXPECT_EQ(termination.terminations, 1);
}

// ---- a system install: the package manager's program stays, the user's data goes

TEST_F(AppUninstallerTest, ASystemInstallSaysThePackageManagerRemovesItAndCancellingChangesNothing) {
    const auto prefix = root.path() / "usr";
    std::filesystem::create_directories(prefix / "bin");
    quickCreate.alert.answer = 1;
    auto uninstaller = makeUninstaller(prefix, true);
    runUninstall(uninstaller);

    ASSERT_EQ(quickCreate.alert.shown.size(), 1u);
    const Alert& asked = quickCreate.alert.shown[0];
    EXPECT_EQ(asked.messageText, "Uninstall Quillet+?");
    EXPECT_EQ(asked.informativeText,
              "Quillet+ was installed for all users by the system's package manager, which removes the program "
              "(for the Debian package: sudo apt remove quillet). This will remove your saved Quillet+ settings, "
              "keep Quillet+ from starting when you log in, and quit it.\n\nFiles you created with Quillet+ will "
              "not be removed.");
    EXPECT_EQ(quickCreate.alert.buttonsShown[0], (std::vector<std::string>{"Remove My Settings", "Cancel"}));
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(settingsUntouched());
    EXPECT_FALSE(std::filesystem::exists(autostartEntry()));
    EXPECT_FALSE(uninstaller.inProgress.get());
}

TEST_F(AppUninstallerTest, ASystemInstallRemovesTheUsersSettingsTurnsOffAutostartAndQuitsWithoutTouchingTheProgram) {
    const auto prefix = root.path() / "usr";
    std::filesystem::create_directories(prefix / "bin");
    writeFile(prefix / "bin" / "quillet", "program");
    fileManagers.instances = {{42}};
    auto uninstaller = makeUninstaller(prefix, true);
    uninstaller.requestUninstall();
    EXPECT_TRUE(quickCreate.hotKeys.registered.empty());
    EXPECT_TRUE(uninstaller.inProgress.get());
    quickCreate.mainQueue.drain();
    timer.runAll();

    // No file manager quit, nothing trashed, no bundle registration undone; the user's own
    // integrations (Dolphin menu, key bindings) go all the same.
    EXPECT_EQ(journal, (Journal{"remove user integrations", "terminate application"}));
    EXPECT_EQ(readFile(prefix / "bin" / "quillet"), "program");
    EXPECT_FALSE(std::filesystem::exists(config.suiteFolder(DefaultsSuite::kSharedSuiteName)));
    EXPECT_EQ(readFile(autostartEntry()),
              "[Desktop Entry]\nType=Application\nName=Quillet+\nExec=quillet\nHidden=true\n");
    EXPECT_EQ(readFile(userFile), "mine");
    EXPECT_EQ(quickCreate.alert.shown.size(), 1u) << "no alert after the confirmation";
}

TEST_F(AppUninstallerTest, ASystemInstallLeavesAnAutostartEntryTheUserHasAlone) {
    std::filesystem::create_directories(autostartEntry().parent_path());
    writeFile(autostartEntry(), "[Desktop Entry]\nExec=mine\n");
    auto uninstaller = makeUninstaller(root.path() / "usr", true);
    runUninstall(uninstaller);
    EXPECT_EQ(readFile(autostartEntry()), "[Desktop Entry]\nExec=mine\n");

    // A link there is not replaced either.
    std::filesystem::remove(autostartEntry());
    std::filesystem::create_symlink(userFile, autostartEntry());
    AppUninstaller::turnOffSystemAutostart(config.path());
    EXPECT_TRUE(std::filesystem::is_symlink(autostartEntry()));
    EXPECT_EQ(readFile(userFile), "mine");
}

TEST(AppUninstallError, DescriptionsOfEveryCase) {
    EXPECT_EQ(AppUninstallError::trashMoveFailed(std::nullopt).description(),
              "The system did not report a Trash location for Quillet+.");
    EXPECT_EQ(AppUninstallError::trashMoveFailed("Disk full").description(),
              "The system could not move Quillet+ to the Trash: Disk full");
    EXPECT_EQ(AppUninstallError::appleScriptFailed("no").description(), "no");
    EXPECT_EQ(AppUninstallError::appleScriptCreationFailed().kind(), AppUninstallError::Kind::appleScriptCreationFailed);
    const auto all = AppUninstallError::allTrashAttemptsFailed({"FileManager: a", "Finder: b"});
    EXPECT_EQ(all.description(), "Quillet+ could not be moved to the Trash.\n\nFileManager: a\nFinder: b");
    EXPECT_EQ(all.recoverySuggestion(),
              "Quit Quillet+, move the app to the Trash manually, then log out and back in so the file manager lets "
              "go of its Create File menu.");
}

}  // namespace
