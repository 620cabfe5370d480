#include <gtest/gtest.h>

#include <algorithm>

#include "app/creation/FileCreationError.h"
#include "app/creation/FolderAccessCreation.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/CountingScopedAccess.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/NewFileWriterFixture.h"
#include "tests/support/GrantStoreFixture.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;
using ErrorKind = SecurityScopedFolderAccessError::Kind;

namespace {

const FileTypeDefinition& txt() { return *fileType("txt"); }

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The real grant store on a private settings suite, a scripted panel, and a file manager whose
// access port counts starts and stops; `creation` is unsandboxed, `sandboxedCreation` runs as
// in a sandbox, both with the temporary folder as the account's home.
class FolderAccessCreationTest : public ::testing::Test, protected GrantStoreFixture {
protected:
    fs::path folder(const std::string& relative) {
        fs::path p = root.path() / relative;
        fs::create_directories(p);
        return p;
    }

    TemporaryFolder root;
    std::shared_ptr<CountingScopedAccess> scopedAccess = std::make_shared<CountingScopedAccess>();
    NewFileWriterFixture files;
    NewFileWriter fileWriter = files.make(scopedAccess);
    FolderAccessCreation creation{access, fileWriter, UserEnvironment{.accountHome = root.path()}};
    FolderAccessCreation sandboxedCreation{access, fileWriter,
                                           UserEnvironment{.accountHome = root.path(), .sandboxed = true}};
};

}  // namespace


TEST_F(FolderAccessCreationTest, UnsandboxedWithoutAGrantWritesDirectly) {
    const fs::path notes = folder("Notes");
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), folderPath(notes)), notes / "Untitled.txt");
    EXPECT_TRUE(panel.shown().empty());
    EXPECT_EQ(windows.activations(), 0);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{});
    EXPECT_EQ(scopedAccess->open(), 0);
}

TEST_F(FolderAccessCreationTest, ACoveringGrantIsUsedFirstAndItsAccessStartedOnTheGrant) {
    const fs::path granted = folder("Home");
    const fs::path work = folder("Home/Work");
    access.saveBookmark(granted, granted);

    for (bool sandboxed : {false, true}) {
        scopedAccess->started.clear();
        scopedAccess->stopped.clear();
        const fs::path created =
            (sandboxed ? sandboxedCreation : creation).createFileWithFolderAccess(txt(), folderPath(work));
        EXPECT_EQ(created.parent_path(), work);
        ASSERT_FALSE(scopedAccess->started.empty());
        EXPECT_EQ(scopedAccess->started.front(), granted) << "sandboxed " << sandboxed;
        EXPECT_EQ(scopedAccess->stopped, (std::vector<fs::path>(scopedAccess->started.rbegin(),
                                                                 scopedAccess->started.rend())));
    }
    EXPECT_TRUE(panel.shown().empty());
    EXPECT_EQ(entries(work), (std::vector<std::string>{"Untitled 2.txt", "Untitled.txt"}));
}

TEST_F(FolderAccessCreationTest, SandboxedWithoutAGrantPromptsOnceThenUsesTheSavedGrant) {
    const fs::path target = folder("Projects/Quillet");
    panel.onRun = [&] { EXPECT_EQ(windows.activations(), 1) << "the application comes forward first"; };
    panel.enqueueChoice(target);

    EXPECT_EQ(sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(target)), target / "Untitled.txt");
    ASSERT_EQ(panel.shown().size(), 1u);
    const FolderPanelConfiguration& shown = panel.shown().front();
    EXPECT_EQ(shown.title, "Allow Folder Access");
    EXPECT_EQ(shown.message, "Choose Quillet so Quillet+ can create files there.");
    EXPECT_EQ(shown.prompt, "Allow Access");
    EXPECT_EQ(shown.directoryURL, target);
    EXPECT_FALSE(shown.allowsMultipleSelection);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{target});
    ASSERT_FALSE(scopedAccess->started.empty());
    EXPECT_EQ(scopedAccess->started.front(), target);
    EXPECT_EQ(scopedAccess->open(), 0);

    // No answer is queued: a second prompt would fail the test.
    panel.onRun = nullptr;
    EXPECT_EQ(sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(target)), target / "Untitled 2.txt");
    EXPECT_EQ(sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(folder("Projects/Quillet/Deeper"))),
              target / "Deeper/Untitled.txt");
    EXPECT_EQ(panel.shown().size(), 1u);
}

TEST_F(FolderAccessCreationTest, AGrantOfAParentFolderChosenInThePromptCoversTheTarget) {
    const fs::path parent = folder("Projects");
    const fs::path target = folder("Projects/Quillet");
    panel.enqueueChoice(parent);
    EXPECT_EQ(sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(target)), target / "Untitled.txt");
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{parent});
    EXPECT_EQ(scopedAccess->started.front(), parent);
}

TEST_F(FolderAccessCreationTest, ThePromptOffersCloudFoldersOfTheAccountsHomeNotOfHOME) {
    const fs::path work = folder("Dropbox/Work");
    // Inside a sandbox HOME names the container; the account's home is the temporary folder.
    FolderAccessCreation inContainer{access, fileWriter,
                                     UserEnvironment{.accountHome = root.path(),
                                                     .homeVariable = "/var/containers/org.quillet.Quillet",
                                                     .sandboxed = true}};
    panel.enqueueCancel();
    EXPECT_THROW(inContainer.createFileWithFolderAccess(txt(), folderPath(work)), SecurityScopedFolderAccessError);
    ASSERT_EQ(panel.shown().size(), 1u);
    EXPECT_EQ(panel.shown()[0].message,
              "Grant access to Dropbox so Quillet+ can create files in it and all its subfolders.");
    EXPECT_EQ(panel.shown()[0].directoryURL, root.path() / "Dropbox");

    // Without an account entry no home is known, whatever HOME says: the folder itself is asked for.
    FolderAccessCreation withoutAccount{access, fileWriter,
                                        UserEnvironment{.homeVariable = root.path(), .sandboxed = true}};
    panel.enqueueCancel();
    EXPECT_THROW(withoutAccount.createFileWithFolderAccess(txt(), folderPath(work)), SecurityScopedFolderAccessError);
    ASSERT_EQ(panel.shown().size(), 2u);
    EXPECT_EQ(panel.shown()[1].message, "Choose Work so Quillet+ can create files there.");
    EXPECT_TRUE(entries(work).empty());
}

TEST_F(FolderAccessCreationTest, ACancelledPromptCreatesNothingAndReportsTheCancellation) {
    const fs::path target = folder("Private");
    panel.enqueueCancel();
    try {
        sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(target));
        FAIL() << "no error";
    } catch (const SecurityScopedFolderAccessError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::accessCancelled);
        EXPECT_EQ(error.folder(), target);
        EXPECT_EQ(error.description(), "Quillet+ needs access to Private before it can create files there.");
    }
    EXPECT_TRUE(entries(target).empty());
    EXPECT_TRUE(scopedAccess->started.empty());
    EXPECT_TRUE(access.savedFolderRoots().empty());
}

TEST_F(FolderAccessCreationTest, AFolderThatDoesNotCoverTheTargetIsRefusedUnchanged) {
    const fs::path target = folder("A/Target");
    const fs::path elsewhere = folder("B");
    panel.enqueueChoice(elsewhere);
    try {
        sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(target));
        FAIL() << "no error";
    } catch (const SecurityScopedFolderAccessError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::wrongFolder);
        EXPECT_EQ(error.description(), "Please choose Target (or a folder that contains it), not B.");
    }
    EXPECT_TRUE(entries(target).empty());
    EXPECT_TRUE(access.savedFolderRoots().empty());
    EXPECT_TRUE(scopedAccess->started.empty());
}

TEST_F(FolderAccessCreationTest, AFailedWriteInsideAGrantStillStopsTheAccess) {
    const fs::path granted = folder("Granted");
    access.saveBookmark(granted, granted);
    try {
        sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(granted / "Missing"));
        FAIL() << "no error";
    } catch (const FileCreationError& error) {
        EXPECT_EQ(error.kind(), FileCreationError::Kind::writeFailed);
    }
    ASSERT_FALSE(scopedAccess->started.empty());
    EXPECT_EQ(scopedAccess->started.front(), granted);
    EXPECT_EQ(scopedAccess->open(), 0);
    EXPECT_FALSE(fs::exists(granted / "Missing"));
}

TEST_F(FolderAccessCreationTest, DotSegmentsAreResolvedBeforeTheGrantIsLookedUpAndWritten) {
    const fs::path granted = folder("Granted");
    folder("Granted/Sub");
    folder("Outside");
    access.saveBookmark(granted, granted);

    // Lexically inside the grant, and written there.
    EXPECT_EQ(sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(granted / "Sub/./..")),
              granted / "Untitled.txt");
    // Lexically outside: prompts, and the (cancelled) prompt names the real target.
    panel.enqueueCancel();
    try {
        sandboxedCreation.createFileWithFolderAccess(txt(), folderPath(granted / "../Outside"));
        FAIL() << "no error";
    } catch (const SecurityScopedFolderAccessError& error) {
        EXPECT_EQ(error.folder(), root.path() / "Outside");
    }
    EXPECT_TRUE(entries(root.path() / "Outside").empty());
}
