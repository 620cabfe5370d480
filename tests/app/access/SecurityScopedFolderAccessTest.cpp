#include <gtest/gtest.h>

#include "app/access/SecurityScopedFolderAccess.h"
#include "shared/logging/Logger.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/GrantStoreFixture.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;
using Access = SecurityScopedFolderAccess;
using ErrorKind = SecurityScopedFolderAccessError::Kind;

namespace {

// The store's answer as the path the expectations name.
std::optional<fs::path> pathOf(const std::optional<FolderPath>& folder) {
    if (!folder) return std::nullopt;
    return folder->path();
}

std::optional<fs::path> suggestedGrantRoot(const fs::path& folder, const std::optional<fs::path>& home) {
    const auto homeFolder = home ? std::optional(folderPath(*home)) : std::nullopt;
    return pathOf(Access::suggestedGrantRoot(folderPath(folder), homeFolder));
}

// A home folder in a temporary folder, the suite in a private configuration home, and the
// store wired to the real bookmarks and a scripted panel.
class FolderAccessTest : public ::testing::Test, protected GrantStoreFixture {
protected:
    fs::path folder(const std::string& relative) {
        fs::path p = home.path() / relative;
        fs::create_directories(p);
        return p;
    }
    void grant(const fs::path& path) { access.saveBookmark(path, path); }
    std::optional<DefaultsValue> stored(const fs::path& root) { return suite().get(Access::bookmarkKey(root)); }
    std::optional<fs::path> bestSavedRoot(const fs::path& folder) {
        return pathOf(access.bestSavedRoot(folderPath(folder)));
    }
    fs::path requestAccess(const fs::path& suggested, const std::optional<fs::path>& required, const std::string& title,
                           const std::optional<std::string>& message) {
        const auto requiredFolder = required ? std::optional(folderPath(*required)) : std::nullopt;
        return access.requestAccess(folderPath(suggested), requiredFolder, title, message).path();
    }

    TemporaryFolder home;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink logScope{log};
};

}  // namespace

TEST(FolderAccessCovering, RootsCoverAtPathBoundariesOnly) {
    EXPECT_TRUE(Access::covers("/Users/me/Dropbox", "/Users/me/Dropbox"));
    EXPECT_TRUE(Access::covers("/Users/me/Dropbox", "/Users/me/Dropbox/Work/A"));
    EXPECT_FALSE(Access::covers("/Users/me/Drop", "/Users/me/Dropbox"));
    EXPECT_FALSE(Access::covers("/Users/me/Dropbox", "/Users/me/Dropbox2"));
    EXPECT_FALSE(Access::covers("/Users/me/Dropbox/Work", "/Users/me/Dropbox"));
    EXPECT_FALSE(Access::covers("/Users/me/dropbox", "/Users/me/Dropbox/Work"));  // case-sensitive
    // Both sides are standardized first.
    EXPECT_TRUE(Access::covers("/Users/me/Dropbox/", "/Users/me/./Dropbox//Work/../Work"));
    EXPECT_TRUE(Access::covers("/Users/me/x/../Dropbox", "/Users/me/Dropbox"));
    // The file-system root covers every absolute path.
    EXPECT_TRUE(Access::covers("/", "/"));
    EXPECT_TRUE(Access::covers("/", "/Volumes/Backup/x"));
    EXPECT_TRUE(Access::covers("//", "/tmp"));
    // An empty path is no folder at all.
    EXPECT_FALSE(Access::covers("", "/tmp"));
    EXPECT_FALSE(Access::covers("/", ""));
}

TEST(FolderAccessSuggestion, CloudFoldersSuggestTheirProviderRoot) {
    const fs::path home = "/Users/me";
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Dropbox/Work/A", home), fs::path("/Users/me/Dropbox"));
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Dropbox", home), fs::path("/Users/me/Dropbox"));
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Dropbox2/A", home), std::nullopt);
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/Mobile Documents/com~apple~CloudDocs/Notes", home),
              fs::path("/Users/me/Library/Mobile Documents/com~apple~CloudDocs"));
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/CloudStorage/GoogleDrive-x/My Drive/A", home),
              fs::path("/Users/me/Library/CloudStorage/GoogleDrive-x"));
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/CloudStorage/OneDrive", home),
              fs::path("/Users/me/Library/CloudStorage/OneDrive"));
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/CloudStorage", home), std::nullopt);
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/CloudStorageX/A", home), std::nullopt);
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Documents", home), std::nullopt);
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Dropbox/A", std::nullopt), std::nullopt);
    EXPECT_EQ(suggestedGrantRoot("/Users/me/Library/CloudStorage/./Box/../Box/A/", fs::path("/Users/me/")),
              fs::path("/Users/me/Library/CloudStorage/Box"));
}

TEST(FolderAccessErrors, DescriptionsNameTheLastPathComponent) {
    using E = SecurityScopedFolderAccessError;
    EXPECT_EQ(E::accessCancelled("/Users/me/Dropbox/").description(),
              "Quillet+ needs access to Dropbox before it can create files there.");
    EXPECT_EQ(E::wrongFolder("/Users/me/Dropbox", "/Users/me/Documents").description(),
              "Please choose Dropbox (or a folder that contains it), not Documents.");
    EXPECT_EQ(E::noSavedAccess("/Volumes/Backup").description(), "Quillet+ does not have saved access to Backup.");
    EXPECT_EQ(E::homeFolderUnavailable().description(), "Quillet+ could not locate your home folder.");
    PlatformError platform(PlatformError::kPosixDomain, 2, "The folder is gone.");
    auto created = E::bookmarkCreationFailed(SecurityScopedBookmarkError::bookmarkCreationFailed(platform));
    EXPECT_EQ(created.description(), "The folder is gone.");
    EXPECT_EQ(created.kind(), ErrorKind::bookmarkCreationFailed);
    EXPECT_EQ(created.bookmarkError()->underlyingError().code(), 2);
    EXPECT_EQ(E::bookmarkResolutionFailed(platform).description(), "The folder is gone.");
    auto wrong = E::wrongFolder("/a/Dropbox", "/a/Documents");
    EXPECT_EQ(wrong.folder(), fs::path("/a/Dropbox"));
    EXPECT_EQ(wrong.chosenFolder(), fs::path("/a/Documents"));
}

TEST(FolderAccessPanel, AccessPanelsChooseOneExistingFolder) {
    auto panel = Access::makeAccessPanel("Allow Folder Access", "Message", fs::path("/Users/me"), true);
    EXPECT_EQ(panel.title, "Allow Folder Access");
    EXPECT_EQ(panel.message, "Message");
    EXPECT_EQ(panel.prompt, "Allow Access");
    EXPECT_FALSE(panel.canChooseFiles);
    EXPECT_TRUE(panel.canChooseDirectories);
    EXPECT_FALSE(panel.canCreateDirectories);
    EXPECT_TRUE(panel.allowsMultipleSelection);
    EXPECT_TRUE(panel.resolvesAliases);
    EXPECT_EQ(panel.directoryURL, fs::path("/Users/me"));
    EXPECT_EQ(Access::makeAccessPanel("T", "M", std::nullopt, false).directoryURL, std::nullopt);
}

TEST_F(FolderAccessTest, SavedRootsAreListedInNaturalOrderWithoutResolving) {
    suite().set(std::string(Access::kBookmarkKeyPrefix) + "/data/Folder 10", DefaultsValue::Data{1});
    suite().set(std::string(Access::kBookmarkKeyPrefix) + "/data/folder 2", DefaultsValue::Data{1});
    suite().set(std::string(Access::kBookmarkKeyPrefix) + "/data/Folder 1/", DefaultsValue::Data{1});
    suite().set(std::string(Access::kBookmarkKeyPrefix) + "/Volumes/Backup", "not data");
    suite().set(std::string(Access::kBookmarkKeyPrefix) + "relative", DefaultsValue::Data{1});
    suite().set("securityScopedFolderBookmark", DefaultsValue::Data{1});
    suite().set("enabledFileTypeIDs", DefaultsValue::Array{"txt"});
    EXPECT_EQ(access.savedFolderRoots(), (std::vector<fs::path>{"/data/Folder 1", "/data/folder 2", "/data/Folder 10",
                                                                "/Volumes/Backup"}));
    EXPECT_TRUE(log->records().empty());
}

TEST_F(FolderAccessTest, SavingReplacesAndRemovingDeletesTheKey) {
    const fs::path dropbox = folder("Dropbox");
    grant(dropbox);
    const std::string key = "securityScopedFolderBookmark." + dropbox.string();
    ASSERT_TRUE(suite().get(key));
    EXPECT_TRUE(suite().get(key)->data());
    // Saving again for the same folder (spelled differently) replaces the value.
    access.saveBookmark(dropbox, dropbox.string() + "/./");
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{dropbox});
    EXPECT_TRUE(access.removeSavedAccess(dropbox.string() + "/"));
    EXPECT_FALSE(suite().get(key));
    EXPECT_TRUE(access.removeSavedAccess(dropbox));  // nothing to remove is fine
    EXPECT_TRUE(access.savedFolderRoots().empty());
}

TEST_F(FolderAccessTest, ABookmarkThatCannotBeMadeStoresNothing) {
    const fs::path missing = home / "Missing";
    try {
        grant(missing);
        FAIL() << "saved a grant for a folder that does not exist";
    } catch (const SecurityScopedFolderAccessError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::bookmarkCreationFailed);
        ASSERT_TRUE(e.bookmarkError());
        EXPECT_EQ(e.bookmarkError()->kind(), SecurityScopedBookmarkError::Kind::bookmarkCreationFailed);
        EXPECT_EQ(e.description(), e.bookmarkError()->underlyingError().description());
        EXPECT_NE(e.description().find("No such file or directory"), std::string::npos) << e.description();
    }
    EXPECT_TRUE(access.savedFolderRoots().empty());
}

TEST_F(FolderAccessTest, TheDeepestCoveringGrantWins) {
    const fs::path me = folder("me");
    const fs::path dropbox = folder("me/Dropbox");
    folder("me/Dropbox2");
    grant(me);
    grant(dropbox);
    EXPECT_EQ(bestSavedRoot(me / "Dropbox/Work"), dropbox);
    EXPECT_EQ(bestSavedRoot(me / "Documents"), me);
    EXPECT_EQ(bestSavedRoot(me / "Dropbox2"), me);
    EXPECT_EQ(bestSavedRoot(dropbox), dropbox);  // a root equal to the target covers it
    EXPECT_EQ(bestSavedRoot(home.path()), std::nullopt);
    EXPECT_EQ(bestSavedRoot("/elsewhere"), std::nullopt);
}

TEST_F(FolderAccessTest, TheFileSystemRootCoversEverything) {
    grant("/");
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{"/"});
    EXPECT_EQ(bestSavedRoot(home / "any/folder"), fs::path("/"));
    const fs::path deeper = folder("deeper");
    grant(deeper);
    EXPECT_EQ(bestSavedRoot(deeper / "x"), deeper);
}

TEST_F(FolderAccessTest, ACorruptRecordIsDiscardedAndLoggedAndTheHomeGrantIsUsed) {
    const fs::path me = folder("me");
    const fs::path dropbox = folder("me/Dropbox");
    grant(me);
    suite().set(Access::bookmarkKey(dropbox), DefaultsValue::Data{'n', 'o', 'p', 'e'});
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), me);
    EXPECT_FALSE(stored(dropbox));
    const auto records = log->records();
    ASSERT_EQ(records.size(), 1u);
    const LogRecord& line = records[0];
    EXPECT_EQ(line.level, LogLevel::Default);
    EXPECT_EQ(line.subsystem, "org.quillet.Quillet");
    EXPECT_EQ(line.category, "SecurityScopedBookmarks");
    EXPECT_EQ(line.message, "Discarding invalid security-scoped bookmark for " + dropbox.string() +
                                ": The saved folder access record isn\u2019t in the correct format.");
}

TEST_F(FolderAccessTest, ATransientFailureKeepsTheKeyAndSkipsTheRootForThisLookup) {
    const fs::path me = folder("me");
    const fs::path dropbox = folder("me/Dropbox");
    grant(me);
    grant(dropbox);
    const auto record = stored(dropbox);
    fs::remove(dropbox);  // an unmounted or removed folder may come back
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), me);
    EXPECT_EQ(stored(dropbox), record);
    ASSERT_EQ(log->records().size(), 1u);
    EXPECT_EQ(log->records()[0].level, LogLevel::Error);
    EXPECT_EQ(log->records()[0].category, "SecurityScopedBookmarks");
    EXPECT_EQ(log->records()[0].message, "Keeping security-scoped bookmark for " + dropbox.string() +
                                             " despite a transient resolve failure: Could not find the granted folder " +
                                             dropbox.string() + ": No such file or directory");
    // Without the home grant, nothing covers it and the user would be asked.
    access.removeSavedAccess(me);
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), std::nullopt);
    // When the folder is back, the same grant works again.
    fs::create_directory(dropbox);
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), dropbox);
}

TEST_F(FolderAccessTest, AStaleRecordIsMadeAgainUnderTheSameKey) {
    const fs::path dropbox = folder("Dropbox");
    grant(dropbox);
    const auto before = stored(dropbox);
    // Another folder takes the name (made before the old one goes, so it has another inode).
    const fs::path replacement = folder("Replacement");
    fs::remove(dropbox);
    fs::rename(replacement, dropbox);
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), dropbox);
    const auto after = stored(dropbox);
    ASSERT_TRUE(after && after->data());
    EXPECT_NE(after, before);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{dropbox});
    // The fresh record resolves without being stale.
    EXPECT_FALSE(bookmarks.resolveBookmark(*after->data()).isStale);
    EXPECT_TRUE(log->records().empty());
}

TEST_F(FolderAccessTest, EveryCoveringRootIsResolvedNotOnlyTheDeepest) {
    const fs::path me = folder("me");
    const fs::path dropbox = folder("me/Dropbox");
    grant(dropbox);
    suite().set(Access::bookmarkKey(me), DefaultsValue::Data{'x'});
    suite().set(Access::bookmarkKey("/"), DefaultsValue::Data{'y'});
    EXPECT_EQ(bestSavedRoot(dropbox / "Work"), dropbox);
    EXPECT_FALSE(stored(me));
    EXPECT_FALSE(stored("/"));
    EXPECT_EQ(log->records().size(), 2u);
}

TEST_F(FolderAccessTest, ANonDataValueIsListedButNeverResolvesNorIsRemoved) {
    const std::string key = "securityScopedFolderBookmark./Volumes/Backup";
    suite().set(key, "a string, not a bookmark");
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{"/Volumes/Backup"});
    EXPECT_EQ(access.resolvedSavedRoot(folderPath("/Volumes/Backup")), std::nullopt);
    EXPECT_EQ(bestSavedRoot("/Volumes/Backup/Photos"), std::nullopt);
    EXPECT_EQ(*suite().get(key), DefaultsValue("a string, not a bookmark"));
    EXPECT_TRUE(log->records().empty());
}

TEST_F(FolderAccessTest, ACloudFolderPromptSuggestsTheProviderFolder) {
    const fs::path cloud = folder("Library/CloudStorage");
    const fs::path drive = folder("Library/CloudStorage/GoogleDrive-x");
    const fs::path target = folder("Library/CloudStorage/GoogleDrive-x/My Drive/A");
    const auto suggestion = suggestedGrantRoot(target, home.path());
    ASSERT_EQ(suggestion, drive);

    int activationsWhenShown = -1;
    panel.onRun = [&] { activationsWhenShown = windows.activations(); };
    panel.enqueueChoice(drive.string() + "/");
    EXPECT_EQ(requestAccess(*suggestion, target, "Allow Folder Access", std::nullopt), drive);
    EXPECT_EQ(activationsWhenShown, 1);  // brought to the front before the panel runs
    ASSERT_EQ(panel.shown().size(), 1u);
    const auto& shown = panel.shown()[0];
    EXPECT_EQ(shown.title, "Allow Folder Access");
    EXPECT_EQ(shown.message, "Grant access to GoogleDrive-x so Quillet+ can create files in it and all its subfolders.");
    EXPECT_EQ(shown.directoryURL, drive);
    EXPECT_EQ(shown.prompt, "Allow Access");
    EXPECT_FALSE(shown.allowsMultipleSelection);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{drive});
    EXPECT_EQ(bestSavedRoot(target), drive);

    // A folder that contains the target is accepted too.
    panel.enqueueChoice(home.path());
    EXPECT_EQ(requestAccess(*suggestion, target, "Allow Folder Access", std::nullopt), home.path());
}

TEST_F(FolderAccessTest, TheCloudStorageFolderItselfIsOfferedAsIs) {
    const fs::path cloud = folder("Library/CloudStorage");
    EXPECT_EQ(suggestedGrantRoot(cloud, home.path()), std::nullopt);
    panel.enqueueChoice(cloud);
    EXPECT_EQ(requestAccess(cloud, std::nullopt, "Allow Folder Access", std::nullopt), cloud);
    EXPECT_EQ(panel.shown()[0].message, "Choose CloudStorage so Quillet+ can create files there.");
    EXPECT_EQ(panel.shown()[0].directoryURL, cloud);
}

TEST_F(FolderAccessTest, AFolderThatDoesNotContainTheTargetIsRefused) {
    const fs::path dropbox = folder("Dropbox");
    const fs::path documents = folder("Documents");
    const fs::path target = folder("Dropbox/A");
    panel.enqueueChoice(documents);
    try {
        requestAccess(dropbox, target, "Allow Folder Access", std::nullopt);
        FAIL() << "accepted a folder that does not contain the target";
    } catch (const SecurityScopedFolderAccessError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::wrongFolder);
        EXPECT_EQ(e.description(), "Please choose Dropbox (or a folder that contains it), not Documents.");
    }
    EXPECT_TRUE(access.savedFolderRoots().empty());
}

TEST_F(FolderAccessTest, CancellingOrChoosingNothingIsAccessCancelled) {
    const fs::path dropbox = folder("Dropbox");
    panel.enqueueCancel();
    panel.enqueue({true, {}});
    for (int i = 0; i < 2; ++i) {
        try {
            requestAccess(dropbox, dropbox / "A", "Allow Folder Access", std::string("Custom message"));
            FAIL() << "no error";
        } catch (const SecurityScopedFolderAccessError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::accessCancelled);
            EXPECT_EQ(e.folder(), dropbox);
            EXPECT_EQ(e.description(), "Quillet+ needs access to Dropbox before it can create files there.");
        }
    }
    EXPECT_EQ(panel.shown()[0].message, "Custom message");
    EXPECT_TRUE(access.savedFolderRoots().empty());
}

TEST_F(FolderAccessTest, TheOneFolderPromptSavesWhateverIsConfirmed) {
    const fs::path dropbox = folder("Dropbox");
    const fs::path other = folder("Other");
    panel.enqueueCancel();
    EXPECT_THROW(access.requestAccessToFolder(dropbox), SecurityScopedFolderAccessError);
    EXPECT_EQ(windows.activations(), 1);
    const auto& shown = panel.shown()[0];
    EXPECT_EQ(shown.title, "Allow Dropbox Access");
    EXPECT_EQ(shown.message, "Click Allow Access to let Quillet+ create files in Dropbox and its subfolders.");
    EXPECT_EQ(shown.directoryURL, dropbox);

    panel.enqueue({true, {}});  // confirmed without a URL: the folder itself
    EXPECT_EQ(access.requestAccessToFolder(dropbox.string() + "/"), dropbox);
    panel.enqueueChoice(other);  // no covering check here
    EXPECT_EQ(access.requestAccessToFolder(dropbox), other);
    EXPECT_EQ(access.savedFolderRoots(), (std::vector<fs::path>{dropbox, other}));
}

TEST_F(FolderAccessTest, DefaultMessagesUseTheDisplayNameOfTheSuggestion) {
    EXPECT_EQ(access.defaultAccessMessage(folderPath("/Users/me/Dropbox"), folderPath("/Users/me/Dropbox/A")),
              "Grant access to Dropbox so Quillet+ can create files in it and all its subfolders.");
    EXPECT_EQ(access.defaultAccessMessage(folderPath("/Users/me/Dropbox/"), folderPath("/Users/me/./Dropbox")),
              "Choose Dropbox so Quillet+ can create files there.");
}
