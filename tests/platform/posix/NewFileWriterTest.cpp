#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/posix/NewFileWriter.h"
#include "shared/errors/PlatformError.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

// A file manager without resources.
struct PlainManager {
    NewFileWriter writer{ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>()};
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

TEST(NewFileWriter, ExistenceFollowsLinks) {
    TemporaryFolder folder;
    PlainManager plain;
    const NewFileWriter& writer = plain.writer;
    writeFile(folder / "file", "x");
    fs::create_directory(folder / "dir");
    fs::create_symlink(folder / "file", folder / "link-to-file");
    fs::create_symlink(folder / "missing", folder / "dangling");
    EXPECT_TRUE(writer.fileExists(folder / "file"));
    EXPECT_TRUE(writer.fileExists(folder / "dir"));
    EXPECT_TRUE(writer.fileExists(folder / "link-to-file"));
    EXPECT_FALSE(writer.fileExists(folder / "dangling"));
    EXPECT_FALSE(writer.fileExists(folder / "absent"));
}

TEST(NewFileWriter, NewFilesNeverReplaceOrFollowWhatIsThere) {
    TemporaryFolder folder;
    PlainManager plain;
    const NewFileWriter& writer = plain.writer;
    writeFile(folder / "existing", "keep me");
    writeFile(folder / "source", "template");
    fs::create_symlink(folder / "target", folder / "dangling");
    fs::create_symlink(folder / "existing", folder / "link");

    for (const char* name : {"existing", "dangling", "link"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorCode([&] { writer.writeWithoutOverwriting("new", folder / name); }), EEXIST);
        EXPECT_EQ(errorCode([&] { writer.copyItem(folder / "source", folder / name); }), EEXIST);
    }
    EXPECT_EQ(readFile(folder / "existing"), "keep me");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "target")));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
}

TEST(NewFileWriter, WritesAndCopiesEveryByteWithTheUsualMode) {
    TemporaryFolder folder;
    PlainManager plain;
    const NewFileWriter& writer = plain.writer;
    // Larger than the copy buffer, with NULs, so partial reads and text handling would show.
    const std::string bytes = binaryContent(200'000 + 17);
    writeFile(folder / "source.bin", bytes);
    ::chmod((folder / "source.bin").c_str(), 0600);
    const mode_t mask = ::umask(022);

    writer.writeWithoutOverwriting(bytes, folder / "written.bin");
    writer.copyItem(folder / "source.bin", folder / "copied.bin");
    writer.writeWithoutOverwriting("", folder / "empty");
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

TEST(NewFileWriter, AnUnreadableSourceCreatesNothing) {
    TemporaryFolder folder;
    PlainManager plain;
    const NewFileWriter& writer = plain.writer;
    fs::create_directory(folder / "a-folder");
    EXPECT_EQ(errorCode([&] { writer.copyItem(folder / "missing", folder / "copy"); }), ENOENT);
    EXPECT_EQ(errorCode([&] { writer.copyItem(folder / "a-folder", folder / "copy"); }), EINVAL);
    EXPECT_FALSE(fs::exists(folder / "copy"));
}

TEST(NewFileWriter, WritesPastTheSizeLimitFailAndLeaveNothing) {
    TemporaryFolder folder;
    writeFile(folder / "source.bin", binaryContent(10'000));
    writeFile(folder / "bystander", "unrelated");

    // The default action of SIGXFSZ ends the process; the write must fail instead.
    ChildOutcome outcome = runInChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        PlainManager plain;
        const NewFileWriter& writer = plain.writer;
        std::string result;
        result += std::to_string(errorCode([&] { writer.copyItem(folder / "source.bin", folder / "copy"); }));
        result += " ";
        result += std::to_string(
            errorCode([&] { writer.writeWithoutOverwriting(binaryContent(5000), folder / "written"); }));
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

// --- Unnamed files, and creation at the name where a file system has none --------------------

namespace {

int openedUnnamed = 0;
int refusal = 0;
// The platform's own opener, counting its calls.
int countingOpener(const fs::path& folder) {
    ++openedUnnamed;
    return NewFileWriter::openUnnamedFile(folder);
}
// A file system without unnamed files, as each kind reports it.
int refusingOpener(const fs::path&) {
    errno = refusal;
    return -1;
}

struct Method {
    const char* name;
    NewFileWriter::UnnamedFileOpener opener;
};
const Method kMethods[] = {{"unnamed", &countingOpener}, {"at the name", &refusingOpener}};

}  // namespace

TEST(NewFileWriterNewFiles, NoNameHoldsTheContentBeforeItIsCompleteAndATakenNameMovesOnWithoutRewriting) {
    refusal = EOPNOTSUPP;
    const std::string bytes = binaryContent(100'000);
    for (const Method& method : kMethods) {
        SCOPED_TRACE(method.name);
        TemporaryFolder folder;
        writeFile(folder / "source", bytes);
        writeFile(folder / "taken", "someone else's");
        const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), method.opener);
        openedUnnamed = 0;
        std::vector<std::string> seenWhenTaken;
        auto next = [&](const fs::path& taken) -> std::optional<fs::path> {
            EXPECT_EQ(taken, folder / "taken");
            for (const auto& entry : fs::directory_iterator(folder.path())) seenWhenTaken.push_back(entry.path().filename());
            return folder / "free";
        };
        EXPECT_EQ(writer.copyToNewFile(folder / "source", folder / "taken", next), folder / "free");
        EXPECT_EQ(readFile(folder / "free"), bytes);
        EXPECT_EQ(readFile(folder / "taken"), "someone else's");
        std::sort(seenWhenTaken.begin(), seenWhenTaken.end());
        // Whichever way it is made, no file of this call has a name while the next is chosen.
        EXPECT_EQ(seenWhenTaken, (std::vector<std::string>{"source", "taken"}));
        // The content was written once, into the one unnamed file.
        EXPECT_EQ(openedUnnamed, method.opener == &countingOpener ? 1 : 0);

        // No next name: the taken one is the failure.
        EXPECT_EQ(errorCode([&] { writer.writeNewFile("x", folder / "taken", {}); }), EEXIST);
        EXPECT_EQ(errorCode([&] { writer.writeNewFile("x", folder / "taken", [](const fs::path&) { return std::nullopt; }); }),
                  EEXIST);
        EXPECT_EQ(readFile(folder / "taken"), "someone else's");
    }
}

TEST(NewFileWriterNewFiles, EachWayOfRefusingUnnamedFilesFallsBackWithTheSameResult) {
    for (int e : {EOPNOTSUPP, EISDIR, EINVAL}) {
        SCOPED_TRACE(e);
        refusal = e;
        TemporaryFolder folder;
        writeFile(folder / "existing", "keep me");
        fs::create_symlink(folder / "target", folder / "dangling");
        const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), &refusingOpener);
        const mode_t mask = ::umask(027);
        writer.writeWithoutOverwriting("content", folder / "new");
        ::umask(mask);
        EXPECT_EQ(readFile(folder / "new"), "content");
        struct stat st {};
        ASSERT_EQ(::stat((folder / "new").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        for (const char* name : {"existing", "dangling"})
            EXPECT_EQ(errorCode([&] { writer.writeWithoutOverwriting("new", folder / name); }), EEXIST) << name;
        EXPECT_EQ(readFile(folder / "existing"), "keep me");
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "target")));
    }
    // Any other refusal is the folder's answer, reported as it is.
    refusal = EACCES;
    TemporaryFolder folder;
    const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), &refusingOpener);
    EXPECT_EQ(errorCode([&] { writer.writeWithoutOverwriting("content", folder / "new"); }), EACCES);
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(NewFileWriterNewFiles, UnnamedFilesGetTheUsualModeToo) {
    TemporaryFolder folder;
    const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), &countingOpener);
    openedUnnamed = 0;
    const mode_t mask = ::umask(077);
    writer.writeWithoutOverwriting("content", folder / "private");
    ::umask(mask);
    EXPECT_EQ(openedUnnamed, 1);
    struct stat st {};
    ASSERT_EQ(::stat((folder / "private").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(NewFileWriterNewFiles, WritesPastTheSizeLimitAtTheNameLeaveNothingEither) {
    TemporaryFolder folder;
    writeFile(folder / "bystander", "unrelated");
    ChildOutcome outcome = runInChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        refusal = EOPNOTSUPP;
        const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(), &refusingOpener);
        return std::to_string(errorCode([&] { writer.writeWithoutOverwriting(binaryContent(5000), folder / "written"); }));
    });
    ASSERT_TRUE(outcome.exited) << "ended by signal " << outcome.signal;
    EXPECT_EQ(outcome.output, std::to_string(EFBIG));
    EXPECT_FALSE(fs::exists(folder / "written"));
    EXPECT_EQ(readFile(folder / "bystander"), "unrelated");
}

TEST(NewFileWriterNewFiles, AFolderRemovedBeforeTheLinkIsReportedAsMissing) {
    TemporaryFolder scratch;
    fs::create_directory(scratch / "Reports");
    static fs::path removed;
    removed = scratch / "Reports";
    const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>(),
                         [](const fs::path& folder) {
                             const int fd = NewFileWriter::openUnnamedFile(folder);
                             fs::remove(removed);
                             return fd;
                         });
    try {
        writer.writeWithoutOverwriting("content", scratch / "Reports" / "Untitled.txt");
        FAIL() << "wrote into a removed folder";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.code(), ENOENT);
        EXPECT_EQ(e.description(), PlatformError::fileWrite(ENOENT, scratch / "Reports" / "Untitled.txt").description());
    }
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST(NewFileWriterNewFiles, WithoutProcTheFileIsCreatedAtItsName) {
    TemporaryFolder folder;
    // A private mount namespace whose /proc is an empty folder: the unnamed file cannot be
    // linked through it, so the file is made at its name instead.
    ChildOutcome outcome = runInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/proc", "tmpfs", 0, "size=16k") != 0)
            return std::string("skip: ") + std::strerror(errno);
        const NewFileWriter writer(ResourceBundle("/nonexistent"), std::make_shared<AmbientScopedAccess>());
        return writer.writeNewFile("content", folder / "new").filename().string();
    });
    ASSERT_TRUE(outcome.exited);
    if (outcome.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << outcome.output;
    EXPECT_EQ(outcome.output, "new");
    EXPECT_EQ(readFile(folder / "new"), "content");
}

TEST(NewFileWriterNewFiles, ExistingNamesFollowLinksInOnePass) {
    TemporaryFolder folder;
    PlainManager plain;
    writeFile(folder / "file", "x");
    fs::create_directory(folder / "dir");
    fs::create_symlink(folder / "file", folder / "link-to-file");
    fs::create_symlink(folder / "missing", folder / "dangling");
    writeFile(folder / "skipped", "x");
    auto names = plain.writer.existingNames(folder.path(), [](std::string_view name) { return name != "skipped"; });
    ASSERT_TRUE(names.has_value());
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{".", "..", "dir", "file", "link-to-file"}));
    EXPECT_FALSE(plain.writer.existingNames(folder / "absent", [](std::string_view) { return true; }).has_value());
}
