#include <gtest/gtest.h>

#include <cerrno>

#include "shared/errors/PlatformError.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

// The error a resolution fails with, or none.
std::optional<PlatformError> failure(PosixFolderBookmarks& bookmarks, const std::vector<std::uint8_t>& record) {
    try {
        bookmarks.resolveBookmark(record);
        return std::nullopt;
    } catch (const PlatformError& e) {
        return e;
    }
}

}  // namespace

TEST(PosixFolderBookmarks, ARecordResolvesToItsFolderWhileItExists) {
    TemporaryFolder temp;
    const fs::path folder = temp / "Odd\nname \xe2\x9c\x93";
    fs::create_directory(folder);
    PosixFolderBookmarks bookmarks;
    auto record = bookmarks.createBookmark(folder.string() + "/./");
    EXPECT_EQ(bookmarks.resolveBookmark(record), (ResolvedBookmark{folder, false}));

    fs::remove(folder);
    auto gone = failure(bookmarks, record);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->domain(), PlatformError::kPosixDomain);
    EXPECT_EQ(gone->code(), ENOENT);

    // A file by that name is not the folder either; the failure may pass, so it is not "corrupt".
    writeFile(folder, "");
    auto file = failure(bookmarks, record);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->code(), ENOTDIR);
}

TEST(PosixFolderBookmarks, AReplacedFolderIsStale) {
    TemporaryFolder temp;
    const fs::path folder = temp / "Dropbox";
    fs::create_directory(folder);
    PosixFolderBookmarks bookmarks;
    auto record = bookmarks.createBookmark(folder);
    fs::create_directory(temp / "New");
    fs::remove(folder);
    fs::rename(temp / "New", folder);
    EXPECT_EQ(bookmarks.resolveBookmark(record), (ResolvedBookmark{folder, true}));
}

TEST(PosixFolderBookmarks, UnparsableRecordsAreCorrupt) {
    PosixFolderBookmarks bookmarks;
    const std::string header = std::string(PosixFolderBookmarks::kRecordHeader) + "\n";
    for (const std::string& record : {
             std::string(),
             std::string("garbage"),
             std::string("quillet-folder-bookmark 2\ndevice 1\ninode 2\npath /"),
             header + "device 1\ninode 2\npath relative",
             header + "device x\ninode 2\npath /",
             header + "device 1\ninode 2\n",
             header + "device 1\ninode -2\npath /",
             header + "device 1\npath /",
             header + "device 1\ninode 2\n" + std::string("path /a\0b", 9),
             header + "device 99999999999999999999999\ninode 2\npath /",
         }) {
        auto error = failure(bookmarks, bytes(record));
        ASSERT_TRUE(error) << record;
        EXPECT_EQ(error->domain(), PlatformError::kCocoaDomain) << record;
        EXPECT_EQ(error->code(), PlatformError::kFileReadCorruptFile) << record;
    }
    // The well-formed record of a folder that exists.
    EXPECT_FALSE(failure(bookmarks, bookmarks.createBookmark("/")));
}

TEST(PosixFolderBookmarks, OnlyExistingAbsoluteFoldersCanBeRecorded) {
    TemporaryFolder temp;
    PosixFolderBookmarks bookmarks;
    writeFile(temp / "file", "");
    EXPECT_THROW(bookmarks.createBookmark(temp / "missing"), PlatformError);
    EXPECT_THROW(bookmarks.createBookmark(temp / "file"), PlatformError);
    EXPECT_THROW(bookmarks.createBookmark("relative/folder"), PlatformError);
}
