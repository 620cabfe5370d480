#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/LibArchiveUnpacker.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using quillet::test::readFile;
using quillet::test::TemporaryFolder;
using quillet::test::writeFile;
namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string name;
    mode_t type = AE_IFREG;
    std::string content;
    mode_t permissions = 0644;
    std::string symlink;   // for AE_IFLNK
    std::string hardLink;  // makes the entry a hard link to this name
};

Entry file(std::string name, std::string content, mode_t permissions = 0644) {
    return {std::move(name), AE_IFREG, std::move(content), permissions, {}, {}};
}
Entry folder(std::string name) { return {std::move(name), AE_IFDIR, {}, 0755, {}, {}}; }
Entry symbolicLink(std::string name, std::string target) { return {std::move(name), AE_IFLNK, {}, 0777, std::move(target), {}}; }
Entry hardLink(std::string name, std::string target) { return {std::move(name), AE_IFREG, {}, 0644, {}, std::move(target)}; }
Entry special(std::string name, mode_t type) { return {std::move(name), type, {}, 0644, {}, {}}; }

// Writes a pax tar compressed with xz, as updates ship, with the entries exactly as given.
void writeArchive(const fs::path& path, const std::vector<Entry>& entries) {
    archive* writer = archive_write_new();
    archive_write_set_format_pax_restricted(writer);
    archive_write_add_filter_xz(writer);
    ASSERT_EQ(archive_write_open_filename(writer, path.c_str()), ARCHIVE_OK);
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, e.permissions);
        if (!e.symlink.empty()) archive_entry_set_symlink(entry, e.symlink.c_str());
        if (!e.hardLink.empty()) archive_entry_set_hardlink(entry, e.hardLink.c_str());
        if (e.type == AE_IFCHR || e.type == AE_IFBLK) archive_entry_set_rdev(entry, makedev(1, 3));
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.content.size()));
        ASSERT_EQ(archive_write_header(writer, entry), ARCHIVE_OK) << e.name << ": " << archive_error_string(writer);
        if (!e.content.empty()) archive_write_data(writer, e.content.data(), e.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

mode_t permissionsOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// The archive, the destination and, beside it, what an escaping entry would hit.
class LibArchiveUnpackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(destination);
        writeFile(sandbox / "secret", "keep");
    }

    // Everything in the sandbox outside the destination, the archive and the secret.
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> stray;
        for (const auto& item : fs::directory_iterator(sandbox.path())) {
            const std::string name = item.path().filename();
            if (name != "update" && name != "Quillet.tar.xz" && name != "secret") stray.push_back(name);
        }
        return stray;
    }

    TemporaryFolder sandbox;
    fs::path archive = sandbox / "Quillet.tar.xz";
    fs::path destination = sandbox / "update";
    LibArchiveUnpacker unpacker;
};

}  // namespace

TEST_F(LibArchiveUnpackerTest, UnpacksTheBundleWithItsLinksAndModes) {
    writeArchive(archive, {folder("./"), folder("Quillet+.app/"), folder("Quillet+.app/bin"),
                           file("Quillet+.app/bin/quillet", "\x7f" "ELF", 04755),
                           file("Quillet+.app/share/quillet/Info.json", "{}", 0644),
                           file("Quillet+.app/lib/libquillet.so.1", "lib", 0600),
                           symbolicLink("Quillet+.app/lib/libquillet.so", "libquillet.so.1"),
                           symbolicLink("Quillet+.app/bin/Info.json", "../share/./quillet/Info.json"),
                           symbolicLink("Quillet+.app/top", ".."),
                           hardLink("Quillet+.app/bin/quillet-again", "Quillet+.app/bin/quillet")});
    unpacker.unpack(archive, destination);

    const fs::path app = destination / "Quillet+.app";
    EXPECT_EQ(readFile(app / "bin/quillet"), "\x7f" "ELF");
    EXPECT_EQ(permissionsOf(app / "bin/quillet"), 0755u) << "executable, without setuid";
    EXPECT_EQ(permissionsOf(app / "lib/libquillet.so.1"), 0600u);
    EXPECT_EQ(readFile(app / "share/quillet/Info.json"), "{}");
    EXPECT_EQ(fs::read_symlink(app / "lib/libquillet.so"), "libquillet.so.1");
    EXPECT_EQ(readFile(app / "bin/Info.json"), "{}");
    EXPECT_EQ(fs::read_symlink(app / "top"), "..");
    EXPECT_TRUE(fs::equivalent(app / "bin/quillet-again", app / "bin/quillet"));
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(LibArchiveUnpackerTest, RefusesEveryEntryThatWouldReachOutside) {
    const std::string outside = (sandbox / "outside").string();
    struct Case {
        Entry entry;
        std::string message;
    };
    const std::vector<Case> cases = {
        {file("../outside", "x"), "\u201C../outside\u201D leads out of the update with \u201C..\u201D"},
        {file("Quillet+.app/../../outside", "x"), "leads out of the update"},
        {file(outside, "x"), "\u201C" + outside + "\u201D is an absolute path"},
        {symbolicLink("Quillet+.app/up", "../../outside"), "is a link to \u201C../../outside\u201D, outside the update"},
        {symbolicLink("Quillet+.app/abs", outside), "is a link to \u201C" + outside + "\u201D, outside the update"},
        {symbolicLink("Quillet+.app/abs", "/"), "outside the update"},
        {hardLink("Quillet+.app/h", "../secret"), "is a hard link to \u201C../secret\u201D, outside the update"},
        {hardLink("Quillet+.app/h", (sandbox / "secret").string()), "outside the update"},
        {file("Quillet+.app/here/x", "x"), "lies beneath the link \u201CQuillet+.app/here\u201D"},
        {special("Quillet+.app/fifo", AE_IFIFO), "\u201CQuillet+.app/fifo\u201D is a fifo"},
        {special("Quillet+.app/null", AE_IFCHR), "is a device file"},
        {special("Quillet+.app/disk", AE_IFBLK), "is a device file"},
    };
    for (const Case& c : cases) {
        fs::remove_all(destination);
        fs::create_directory(destination);
        // A link that stays inside comes first, so an entry beneath it is refused by name.
        writeArchive(archive, {file("Quillet+.app/before", "b"), symbolicLink("Quillet+.app/here", "."), c.entry,
                               file("Quillet+.app/after", "a")});
        try {
            unpacker.unpack(archive, destination);
            ADD_FAILURE() << c.entry.name << " was unpacked";
        } catch (const ArchiveUnpackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.entry.name << ": " << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("The update archive was refused: ", 0), 0u) << error.what();
        }
        EXPECT_TRUE(strayFiles().empty()) << c.entry.name;
        EXPECT_EQ(readFile(sandbox / "secret"), "keep");
        EXPECT_FALSE(fs::exists(destination / "Quillet+.app/after")) << "nothing after the refusal";
        EXPECT_FALSE(fs::exists(destination / "Quillet+.app/fifo"));
        EXPECT_FALSE(fs::exists(destination / "Quillet+.app/h"));
    }
}

TEST_F(LibArchiveUnpackerTest, WantsAReadableArchiveAndAnEmptyFolder) {
    writeArchive(archive, {file("Quillet+.app/a", "a")});
    EXPECT_THROW(unpacker.unpack(archive, sandbox / "missing"), ArchiveUnpackError);
    EXPECT_FALSE(fs::exists(sandbox / "missing"));

    writeFile(destination / "left-over", "x");
    try {
        unpacker.unpack(archive, destination);
        ADD_FAILURE() << "unpacked into a folder that was not empty";
    } catch (const ArchiveUnpackError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The folder to unpack the update into, \u201C" + destination.string() + "\u201D, is not empty.");
    }
    EXPECT_FALSE(fs::exists(destination / "Quillet+.app"));

    fs::remove(destination / "left-over");
    writeFile(archive, "this is not an archive at all, only some text");
    try {
        unpacker.unpack(archive, destination);
        ADD_FAILURE() << "text was unpacked";
    } catch (const ArchiveUnpackError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("The update archive could not be read: ", 0), 0u) << error.what();
    }
    // Two entries of one name: the second would replace the first.
    writeArchive(archive, {file("Quillet+.app/a", "first"), symbolicLink("Quillet+.app/a", "b")});
    try {
        unpacker.unpack(archive, destination);
        ADD_FAILURE() << "a name given twice was unpacked";
    } catch (const ArchiveUnpackError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The update archive was refused: “Quillet+.app/a” appears twice in the archive.");
    }
    EXPECT_EQ(readFile(destination / "Quillet+.app/a"), "first");
}
