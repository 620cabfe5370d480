#include <gtest/gtest.h>

#include "app/creation/CreationDestination.h"
#include "shared/paths/FilePaths.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/ScriptedFrontFileManagerFolder.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;
using quillet::test::folderPath;
using quillet::test::ScriptedFrontFileManagerFolder;

namespace {

const std::filesystem::path kDesktop = "/home/me/Desktop";

}  // namespace

TEST(CreationDestinationMode, RawValuesAreTheCaseNames) {
    ASSERT_EQ(kAllCreationDestinationModes.size(), 2u);
    EXPECT_EQ(kAllCreationDestinationModes[0], CreationDestinationMode::desktop);
    EXPECT_EQ(kAllCreationDestinationModes[1], CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(rawValue(CreationDestinationMode::desktop), "desktop");
    EXPECT_EQ(rawValue(CreationDestinationMode::frontFinderFolder), "frontFinderFolder");
    for (auto mode : kAllCreationDestinationModes)
        EXPECT_EQ(creationDestinationModeFromRawValue(rawValue(mode)), mode);
    for (const char* other : {"Desktop", "frontfinderfolder", "finder", "", " desktop"})
        EXPECT_EQ(creationDestinationModeFromRawValue(other), std::nullopt) << other;
}

TEST(CreationDestination, DesktopIsUnderTheAccountsHomeNotHOME) {
    const UserEnvironment container{.accountHome = "/home/me", .homeVariable = "/nonexistent/container"};
    auto desktop = desktopFolderURL(container);
    EXPECT_EQ(desktop, std::filesystem::path("/home/me/Desktop"));
    EXPECT_EQ(lastPathComponent(desktop), "Desktop");
    // Without an account entry $HOME stands in, and without that the root.
    EXPECT_EQ(desktopFolderURL(UserEnvironment{.homeVariable = "/nonexistent/container"}),
              std::filesystem::path("/nonexistent/container/Desktop"));
    EXPECT_EQ(desktopFolderURL(UserEnvironment{}), std::filesystem::path("/Desktop"));
}

TEST(CreationDestination, ALocalizedDesktopIsFoundAndStillCalledDesktop) {
    test::TemporaryConfigHome config;
    test::writeFile(config.path() / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    const UserEnvironment environment{.accountHome = "/home/me", .homeVariable = "/nonexistent/container",
                                      .configurationHome = config.path()};
    // $HOME in the file is the account's home too.
    EXPECT_EQ(desktopFolderURL(environment), std::filesystem::path("/home/me/Schreibtisch"));

    ScriptedFrontFileManagerFolder fileManager;
    fileManager.enqueue(std::nullopt);
    auto resolved = resolveDestination(CreationDestinationMode::frontFinderFolder, fileManager,
                                       desktopFolderURL(environment));
    EXPECT_EQ(resolved, (ResolvedCreationDestination{CreationDestinationMode::frontFinderFolder,
                                                     folderPath("/home/me/Schreibtisch"), true}));
    EXPECT_EQ(resolved.destinationDisplayName(), "Desktop");
    EXPECT_EQ(creationStatusMessage("/home/me/Schreibtisch/Untitled.txt", resolved), "Created Untitled.txt on Desktop");

    // Read at every call: a Desktop the user moves while Quillet+ runs is followed.
    test::writeFile(config.path() / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/Bureau\"\n");
    EXPECT_EQ(desktopFolderURL(environment), std::filesystem::path("/srv/Bureau"));
}

TEST(CreationDestination, DisplayNames) {
    using M = CreationDestinationMode;
    const auto displayName = [](M mode, const char* folder, bool usedFallback) {
        return ResolvedCreationDestination{mode, folderPath(folder), usedFallback}.destinationDisplayName();
    };
    EXPECT_EQ(displayName(M::frontFinderFolder, "/home/me/Reports", false), "Reports");
    EXPECT_EQ(displayName(M::frontFinderFolder, "/home/me/Reports Q", false), "Reports Q");
    EXPECT_EQ(displayName(M::frontFinderFolder, "/", false), "/");
    EXPECT_EQ(displayName(M::frontFinderFolder, "/home/me/Desktop", true), "Desktop");
    EXPECT_EQ(displayName(M::desktop, "/home/me/Desktop", false), "Desktop");
    // The Desktop mode says Desktop whatever its folder is called.
    EXPECT_EQ(displayName(M::desktop, "/home/me/Schreibtisch", false), "Desktop");
}

TEST(CreationDestination, ResolvingAsksTheFileManagerOnceAndOnlyForItsMode) {
    ScriptedFrontFileManagerFolder fileManager;
    fileManager.enqueue(std::filesystem::path("/srv/data/./Reports/../Reports/"));
    auto desktop = resolveDestination(CreationDestinationMode::desktop, fileManager, kDesktop);
    EXPECT_EQ(fileManager.calls(), 0);
    EXPECT_EQ(desktop, (ResolvedCreationDestination{CreationDestinationMode::desktop, folderPath(kDesktop), false}));

    auto front = resolveDestination(CreationDestinationMode::frontFinderFolder, fileManager, kDesktop);
    EXPECT_EQ(fileManager.calls(), 1);
    EXPECT_EQ(front, (ResolvedCreationDestination{CreationDestinationMode::frontFinderFolder,
                                                  folderPath("/srv/data/Reports"), false}));
    EXPECT_EQ(front.destinationDisplayName(), "Reports");
}

TEST(CreationDestination, NoFolderFallsBackToTheDesktop) {
    ScriptedFrontFileManagerFolder fileManager;
    fileManager.enqueue(std::nullopt);
    fileManager.enqueue(std::filesystem::path(""));
    fileManager.enqueue(std::filesystem::path("relative/folder"));
    for (int i = 0; i < 3; ++i) {
        auto resolved = resolveDestination(CreationDestinationMode::frontFinderFolder, fileManager, kDesktop);
        EXPECT_EQ(resolved, (ResolvedCreationDestination{CreationDestinationMode::frontFinderFolder,
                                                         folderPath(kDesktop), true}));
        EXPECT_EQ(resolved.destinationDisplayName(), "Desktop");
    }
    EXPECT_EQ(fileManager.calls(), 3);
}

TEST(CreationDestination, TheRootFolderResolvesAsItself) {
    ScriptedFrontFileManagerFolder fileManager;
    fileManager.enqueue(std::filesystem::path("/"));
    auto resolved = resolveDestination(CreationDestinationMode::frontFinderFolder, fileManager, kDesktop);
    EXPECT_EQ(resolved.url.path(), "/");
    EXPECT_FALSE(resolved.usedFallback);
    EXPECT_EQ(resolved.destinationDisplayName(), "/");
}

TEST(CreationDestination, ADesktopFromARelativeHomeIsTakenFromTheWorkingFolder) {
    // Only an account entry whose home is relative gives such a Desktop; files written to it
    // land where a relative path leads, in the working folder.
    ScriptedFrontFileManagerFolder fileManager;
    const auto resolved = resolveDestination(CreationDestinationMode::desktop, fileManager, "home/me/./Desktop/");
    EXPECT_EQ(resolved.url.path(), std::filesystem::current_path() / "home/me/Desktop");
    EXPECT_EQ(resolved.destinationDisplayName(), "Desktop");
}
