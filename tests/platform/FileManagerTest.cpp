#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileManager.h"
#include "shared/errors/PlatformError.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedFileCoordinator.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

// A file manager without resources. Its coordinator is never asked: only creation coordinates.
struct PlainManager {
    ScriptedFileCoordinator coordinator;
    FileManager fm{ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), coordinator};
};

int errorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& e) {
        return e.code();
    }
    return 0;
}

std::string binaryContent(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) % 251);
    return bytes;
}

}  // namespace

TEST(FileManager, ExistenceFollowsLinks) {
    TemporaryFolder folder;
    PlainManager plain;
    const FileManager& fm = plain.fm;
    writeFile(folder / "file", "x");
    fs::create_directory(folder / "dir");
    fs::create_symlink(folder / "file", folder / "link-to-file");
    fs::create_symlink(folder / "missing", folder / "dangling");
    EXPECT_TRUE(fm.fileExists(folder / "file"));
    EXPECT_TRUE(fm.fileExists(folder / "dir"));
    EXPECT_TRUE(fm.fileExists(folder / "link-to-file"));
    EXPECT_FALSE(fm.fileExists(folder / "dangling"));
    EXPECT_FALSE(fm.fileExists(folder / "absent"));
}

TEST(FileManager, NewFilesNeverReplaceOrFollowWhatIsThere) {
    TemporaryFolder folder;
    PlainManager plain;
    const FileManager& fm = plain.fm;
    writeFile(folder / "existing", "keep me");
    writeFile(folder / "source", "template");
    fs::create_symlink(folder / "target", folder / "dangling");
    fs::create_symlink(folder / "existing", folder / "link");

    for (const char* name : {"existing", "dangling", "link"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorCode([&] { fm.writeWithoutOverwriting("new", folder / name); }), EEXIST);
        EXPECT_EQ(errorCode([&] { fm.copyItem(folder / "source", folder / name); }), EEXIST);
    }
    EXPECT_EQ(readFile(folder / "existing"), "keep me");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "target")));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
}

TEST(FileManager, WritesAndCopiesEveryByteWithTheUsualMode) {
    TemporaryFolder folder;
    PlainManager plain;
    const FileManager& fm = plain.fm;
    // Larger than the copy buffer, with NULs, so partial reads and text handling would show.
    const std::string bytes = binaryContent(200'000 + 17);
    writeFile(folder / "source.bin", bytes);
    ::chmod((folder / "source.bin").c_str(), 0600);
    const mode_t mask = ::umask(022);

    fm.writeWithoutOverwriting(bytes, folder / "written.bin");
    fm.copyItem(folder / "source.bin", folder / "copied.bin");
    fm.writeWithoutOverwriting("", folder / "empty");
    ::umask(mask);

    EXPECT_EQ(readFile(folder / "written.bin"), bytes);
    EXPECT_EQ(readFile(folder / "copied.bin"), bytes);
    EXPECT_EQ(fs::file_size(folder / "empty"), 0u);
    for (const char* name : {"written.bin", "copied.bin", "empty"}) {
        struct stat st {};
        ASSERT_EQ(::stat((folder / name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0644u) << name;
    }
}

TEST(FileManager, AnUnreadableSourceCreatesNothing) {
    TemporaryFolder folder;
    PlainManager plain;
    const FileManager& fm = plain.fm;
    fs::create_directory(folder / "a-folder");
    EXPECT_EQ(errorCode([&] { fm.copyItem(folder / "missing", folder / "copy"); }), ENOENT);
    EXPECT_EQ(errorCode([&] { fm.copyItem(folder / "a-folder", folder / "copy"); }), EINVAL);
    EXPECT_FALSE(fs::exists(folder / "copy"));
}

TEST(FileManager, WritesPastTheSizeLimitFailAndLeaveNothing) {
    TemporaryFolder folder;
    writeFile(folder / "source.bin", binaryContent(10'000));
    writeFile(folder / "bystander", "unrelated");

    // The default action of SIGXFSZ ends the process; the write must fail instead.
    ChildOutcome outcome = runInChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        PlainManager plain;
        const FileManager& fm = plain.fm;
        std::string result;
        result += std::to_string(errorCode([&] { fm.copyItem(folder / "source.bin", folder / "copy"); }));
        result += " ";
        result += std::to_string(
            errorCode([&] { fm.writeWithoutOverwriting(binaryContent(5000), folder / "written"); }));
        sigset_t mask;
        ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        result += sigismember(&mask, SIGXFSZ) ? " still-blocked" : " unblocked";
        return result;
    });
    ASSERT_TRUE(outcome.exited) << "ended by signal " << outcome.signal;
    EXPECT_EQ(outcome.output, std::to_string(EFBIG) + " " + std::to_string(EFBIG) + " unblocked");
    EXPECT_FALSE(fs::exists(folder / "copy"));
    EXPECT_FALSE(fs::exists(folder / "written"));
    EXPECT_EQ(readFile(folder / "bystander"), "unrelated");
}
