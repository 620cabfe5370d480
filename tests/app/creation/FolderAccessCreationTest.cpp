#include <gtest/gtest.h>

#include <algorithm>

#include "app/access/SecurityScopedFolderAccess.h"
#include "app/creation/FileCreationError.h"
#include "app/creation/FolderAccessCreation.h"
#include "shared/settings/DefaultsSuite.h"
#include "platform/FileManager.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/CountingScopedAccess.h"
#include "tests/support/RecordingApplicationActivation.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/ScriptedFolderPanel.h"

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
// access port counts starts and stops. Unsandboxed unless a test says otherwise.
class FolderAccessCreationTest : public ::testing::Test {
protected:
    FolderAccessCreationTest()
        : suite_(DefaultsSuite::open(DefaultsSuite::kSharedSuiteName)),
          access(*suite_, bookmarks, names, &panel, &activation),
          fileManager(ResourceBundle(ResourceBundle::main().resourceDirectory()), scopedAccess),
          creation(access, fileManager) {}

    fs::path folder(const std::string& relative) {
        fs::path p = root.path() / relative;
        fs::create_directories(p);
        return p;
    }

    ScopedConfigHome config;
    ScopedEnvironmentVariable sandbox{FolderAccessCreation::kSandboxEnvironmentVariable, std::nullopt};
    TemporaryFolder root;

private:
    std::unique_ptr<DefaultsSuite> suite_;

protected:
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames names;
    ScriptedFolderPanel panel;
    RecordingApplicationActivation activation;
    SecurityScopedFolderAccess access;
    std::shared_ptr<CountingScopedAccess> scopedAccess = std::make_shared<CountingScopedAccess>();
    FileManager fileManager;
    FolderAccessCreation creation;
};

struct Sandboxed {
    ScopedEnvironmentVariable variable{FolderAccessCreation::kSandboxEnvironmentVariable, "org.quillet.Quillet"};
};

}  // namespace

TEST(FolderAccessCreationSandbox, TheVariableDecidesEvenWhenEmpty) {
    {
        ScopedEnvironmentVariable unset(FolderAccessCreation::kSandboxEnvironmentVariable, std::nullopt);
        EXPECT_FALSE(FolderAccessCreation::isSandboxed());
    }
    ScopedEnvironmentVariable empty(FolderAccessCreation::kSandboxEnvironmentVariable, "");
    EXPECT_TRUE(FolderAccessCreation::isSandboxed());
}

TEST_F(FolderAccessCreationTest, UnsandboxedWithoutAGrantWritesDirectly) {
    const fs::path notes = folder("Notes");
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), notes), notes / "Untitled.txt");
    EXPECT_TRUE(panel.shown().empty());
    EXPECT_EQ(activation.activations(), 0);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{});
    EXPECT_EQ(scopedAccess->open(), 0);
}

TEST_F(FolderAccessCreationTest, ACoveringGrantIsUsedFirstAndItsAccessStartedOnTheGrant) {
    const fs::path granted = folder("Home");
    const fs::path work = folder("Home/Work");
    access.saveBookmark(granted, granted);

    for (bool sandboxed : {false, true}) {
        std::optional<Sandboxed> inSandbox;
        if (sandboxed) inSandbox.emplace();
        scopedAccess->started.clear();
        scopedAccess->stopped.clear();
        const fs::path created = creation.createFileWithFolderAccess(txt(), work);
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
    Sandboxed sandbox;
    const fs::path target = folder("Projects/Quillet");
    panel.onRun = [&] { EXPECT_EQ(activation.activations(), 1) << "the application comes forward first"; };
    panel.enqueueChoice(target);

    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), target), target / "Untitled.txt");
    ASSERT_EQ(panel.shown().size(), 1u);
    const FolderPanelConfiguration& shown = panel.shown().front();
    EXPECT_EQ(shown.title, "Allow Folder Access");
    EXPECT_EQ(shown.message, "Choose Quillet so Quillet+ can create files there.");
    EXPECT_EQ(shown.prompt, "Allow Access");
    EXPECT_EQ(shown.directoryURL, target.parent_path());
    EXPECT_FALSE(shown.allowsMultipleSelection);
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{target});
    ASSERT_FALSE(scopedAccess->started.empty());
    EXPECT_EQ(scopedAccess->started.front(), target);
    EXPECT_EQ(scopedAccess->open(), 0);

    // No answer is queued: a second prompt would fail the test.
    panel.onRun = nullptr;
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), target), target / "Untitled 2.txt");
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), folder("Projects/Quillet/Deeper")),
              target / "Deeper/Untitled.txt");
    EXPECT_EQ(panel.shown().size(), 1u);
}

TEST_F(FolderAccessCreationTest, AGrantOfAParentFolderChosenInThePromptCoversTheTarget) {
    Sandboxed sandbox;
    const fs::path parent = folder("Projects");
    const fs::path target = folder("Projects/Quillet");
    panel.enqueueChoice(parent);
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), target), target / "Untitled.txt");
    EXPECT_EQ(access.savedFolderRoots(), std::vector<fs::path>{parent});
    EXPECT_EQ(scopedAccess->started.front(), parent);
}

TEST_F(FolderAccessCreationTest, ACancelledPromptCreatesNothingAndReportsTheCancellation) {
    Sandboxed sandbox;
    const fs::path target = folder("Private");
    panel.enqueueCancel();
    try {
        creation.createFileWithFolderAccess(txt(), target);
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
    Sandboxed sandbox;
    const fs::path target = folder("A/Target");
    const fs::path elsewhere = folder("B");
    panel.enqueueChoice(elsewhere);
    try {
        creation.createFileWithFolderAccess(txt(), target);
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
    Sandboxed sandbox;
    const fs::path granted = folder("Granted");
    access.saveBookmark(granted, granted);
    try {
        creation.createFileWithFolderAccess(txt(), granted / "Missing");
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
    Sandboxed sandbox;
    const fs::path granted = folder("Granted");
    folder("Granted/Sub");
    folder("Outside");
    access.saveBookmark(granted, granted);

    // Lexically inside the grant, and written there.
    EXPECT_EQ(creation.createFileWithFolderAccess(txt(), granted / "Sub/./.."), granted / "Untitled.txt");
    // Lexically outside: prompts, and the (cancelled) prompt names the real target.
    panel.enqueueCancel();
    try {
        creation.createFileWithFolderAccess(txt(), granted / "../Outside");
        FAIL() << "no error";
    } catch (const SecurityScopedFolderAccessError& error) {
        EXPECT_EQ(error.folder(), root.path() / "Outside");
    }
    EXPECT_TRUE(entries(root.path() / "Outside").empty());
}
