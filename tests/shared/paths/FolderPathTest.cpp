#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "shared/paths/FolderPath.h"
#include "tests/support/FolderPaths.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

struct StandardForm {
    const char* given;
    const char* standard;
};

void expectStandardForms(std::initializer_list<StandardForm> forms) {
    for (const auto& [given, standard] : forms) {
        const auto folder = FolderPath::fromAbsolute(given);
        ASSERT_TRUE(folder) << given;
        EXPECT_EQ(folder->string(), standard) << given;
    }
}

}  // namespace

TEST(FolderPath, ARelativePathIsNoFolder) {
    for (const char* relative : {"tmp", "./tmp", "../etc", "~/Desktop", "Desktop/", ".", "..", "", "a/../.."})
        EXPECT_EQ(FolderPath::fromAbsolute(relative), std::nullopt) << relative;
}

TEST(FolderPath, DotSegmentsAreResolvedAndStopAtTheRoot) {
    expectStandardForms({
        {"/a/./b/../c", "/a/c"},
        {"/a/b/..", "/a"},
        {"/a/.", "/a"},
        {"/a/..", "/"},
        {"/..", "/"},
        {"/../../a", "/a"},
        {"/home/me/Granted/../../../etc/./x/", "/etc/x"},
        // Only whole segments are dots: these are names.
        {"/a/.hidden/..b/c.", "/a/.hidden/..b/c."},
    });
}

TEST(FolderPath, TrailingAndRepeatedSeparatorsAreDropped) {
    expectStandardForms({
        {"/a/b/", "/a/b"},
        {"/a//b///", "/a/b"},
        {"//tmp//a/.", "/tmp/a"},
        {"/My Notes/", "/My Notes"},
    });
}

TEST(FolderPath, TheRootIsItsOwnStandardForm) {
    for (const char* root : {"/", "//", "///", "/.", "/./..", "/a/b/../../"}) {
        const auto folder = FolderPath::fromAbsolute(root);
        ASSERT_TRUE(folder) << root;
        EXPECT_EQ(folder->path(), fs::path("/")) << root;
        EXPECT_EQ(folder->name(), "/") << root;
        EXPECT_EQ(*folder, FolderPath::root()) << root;
    }
}

TEST(FolderPath, TheNameIsTheLastSegment) {
    EXPECT_EQ(test::folderPath("/home/me/Reports").name(), "Reports");
    EXPECT_EQ(test::folderPath("/home/me/Reports Q/").name(), "Reports Q");
    EXPECT_EQ(test::folderPath("/home/me/Reports/..").name(), "me");
}

TEST(FolderPath, AppendingStandardizesAndStaysAbsolute) {
    const FolderPath home = test::folderPath("/home/me");
    EXPECT_EQ(home.appending("Dropbox").string(), "/home/me/Dropbox");
    EXPECT_EQ(home.appending("Library/CloudStorage/").string(), "/home/me/Library/CloudStorage");
    EXPECT_EQ(home.appending("a/./../b").string(), "/home/me/b");
    EXPECT_EQ(home.appending("../../../..").string(), "/");
    EXPECT_EQ(home.appending("").string(), "/home/me");
    EXPECT_EQ(FolderPath::root().appending("Desktop").string(), "/Desktop");
    EXPECT_EQ(home.string(), "/home/me");  // the folder appended to is unchanged
}

TEST(FolderPath, EqualFoldersAreEqualHoweverTheyWereSpelled) {
    EXPECT_EQ(test::folderPath("/a/b/"), test::folderPath("/a/./b"));
    EXPECT_EQ(test::folderPath("/a/b"), test::folderPath("//a//c/../b"));
    EXPECT_NE(test::folderPath("/a/b"), test::folderPath("/a/B"));
    EXPECT_NE(test::folderPath("/a/b"), test::folderPath("/a/b/c"));
    // Byte for byte: the composed and the decomposed "é" are different names on Linux.
    EXPECT_NE(test::folderPath("/caf\xC3\xA9"), test::folderPath("/cafe\xCC\x81"));
    EXPECT_LT(test::folderPath("/a"), test::folderPath("/b"));
    EXPECT_LT(test::folderPath("/a"), test::folderPath("/a/b"));
}

TEST(FolderPath, CopiesShareTheirPathAndAMovedFromFolderStaysWhole) {
    const FolderPath original = test::folderPath("/srv/data/");
    const FolderPath copy = original;
    EXPECT_EQ(&copy.path(), &original.path());
    EXPECT_EQ(copy.string(), copy.path().native());

    FolderPath source = test::folderPath("/srv/data");
    const FolderPath moved = std::move(source);
    EXPECT_EQ(moved, original);
    EXPECT_EQ(source.string(), "/srv/data");  // NOLINT(bugprone-use-after-move): the point of the check

    FolderPath assigned = FolderPath::root();
    assigned = original;
    EXPECT_EQ(assigned.string(), "/srv/data");
}
