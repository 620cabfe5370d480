#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "app/creation/FileCreationService.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/ChildProcess.h"
#include "platform/posix/LockFileCoordinator.h"
#include "tests/support/CountingScopedAccess.h"
#include "tests/support/FileManagerFixture.h"
#include "tests/support/ScriptedFileCoordinator.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

const FileTypeDefinition& type(const std::string& id) { return *fileType(id); }

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The outcome of one creation as text, so it can also travel out of a child process.
std::string attempt(const FileTypeDefinition& t, const fs::path& folder, const FileManager& fm) {
    try {
        return "created " + createFile(t, folder, fm).filename().string();
    } catch (const FileCreationError& e) {
        const char* kinds[] = {"templateMissing", "writeFailed", "invalidFileName"};
        std::string text = kinds[static_cast<int>(e.kind())];
        if (e.underlyingError()) text += " " + std::to_string(e.underlyingError()->code());
        return text + ": " + e.description();
    }
}

}  // namespace

// --- Names ---------------------------------------------------------------------------------

TEST(FileCreationNaming, CountsUpFromTwoPerFullName) {
    TemporaryFolder folder;
    FileManagerFixture files;
    const FileManager& fm = files.fileManager;
    writeFile(folder / "Untitled.md", "");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled.txt");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled 3.txt");
    EXPECT_EQ(entries(folder.path()),
              (std::vector<std::string>{"Untitled 2.txt", "Untitled 3.txt", "Untitled.md", "Untitled.txt"}));
}

TEST(FileCreationNaming, TakesTheFirstFreeNumberWithoutLookingAtGaps) {
    TemporaryFolder folder;
    FileManagerFixture files;
    const FileManager& fm = files.fileManager;
    writeFile(folder / "Untitled.txt", "");
    writeFile(folder / "Untitled 3.txt", "");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled 4.txt");
    // Names are compared exactly, never parsed.
    writeFile(folder / "untitled.csv", "");
    writeFile(folder / "Untitled 02.csv", "");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "csv", fm), folder / "Untitled.csv");
}

TEST(FileCreationNaming, AnythingThatExistsAtTheNameTakesIt) {
    TemporaryFolder folder;
    FileManagerFixture files;
    const FileManager& fm = files.fileManager;
    fs::create_directory(folder / "Untitled.txt");
    writeFile(folder / "elsewhere", "linked");
    fs::create_symlink(folder / "elsewhere", folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folder.path(), fm), folder / "Untitled 3.txt");
    EXPECT_TRUE(fs::is_directory(folder / "Untitled.txt"));
    EXPECT_EQ(readFile(folder / "elsewhere"), "linked");
}

TEST(FileCreationNaming, ADanglingLinkAtTheNameIsNeitherFollowedNorReplaced) {
    FileManagerFixture files;
    TemporaryFolder folder;
    fs::create_symlink(folder / "target.txt", folder / "Untitled.txt");
    auto access = std::make_shared<CountingScopedAccess>();
    EXPECT_EQ(attempt(type("txt"), folder.path(), files.make(access)).rfind("writeFailed 17: ", 0), 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "target.txt")));
    EXPECT_EQ(fs::read_symlink(folder / "Untitled.txt"), folder / "target.txt");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"Untitled.txt"}));
    EXPECT_EQ(access->open(), 0);
}

// --- Content -------------------------------------------------------------------------------

TEST(FileCreationContent, TextTypesGetTheirTemplatesExactly) {
    TemporaryFolder folder;
    FileManagerFixture files;
    const std::map<std::string, std::string> expected = {
        {"rtf", "{\\rtf1\\ansi\\deff0\n}\n"},
        {"json", "{}\n"},
        {"xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n</root>\n"},
        {"html",
         "<!doctype html>\n<html lang=\"en\">\n<head>\n  <meta charset=\"utf-8\">\n"
         "  <title>Untitled</title>\n</head>\n<body>\n</body>\n</html>\n"},
    };
    const std::map<std::string, size_t> sizes = {{"rtf", 20}, {"json", 3}, {"xml", 54}, {"html", 122}};
    for (const auto& t : allTypes()) {
        if (t.category == FileTypeCategory::office) continue;
        SCOPED_TRACE(t.id);
        const std::string content = readFile(createFile(t, folder.path(), files.fileManager));
        auto it = expected.find(t.id);
        EXPECT_EQ(content, it == expected.end() ? "" : it->second);
        EXPECT_EQ(content.size(), sizes.count(t.id) ? sizes.at(t.id) : 0u);
        EXPECT_EQ(templateText(t), content);
    }
    EXPECT_EQ(templateText(FileTypeDefinition{"HTML", "", "html", FileTypeCategory::code, ""}), "");
}

TEST(FileCreationContent, TheHtmlTitleStaysUntitledWhateverTheName) {
    TemporaryFolder folder;
    FileManagerFixture files;
    writeFile(folder / "Untitled.html", "");
    const fs::path second = createFile(type("html"), folder.path(), files.fileManager);
    EXPECT_EQ(second.filename(), "Untitled 2.html");
    EXPECT_NE(readFile(second).find("<title>Untitled</title>"), std::string::npos);
}

TEST(FileCreationContent, OfficeFilesAreCopiesOfTheBundledTemplates) {
    TemporaryFolder folder;
    FileManagerFixture files;
    const FileManager& fm = files.fileManager;
    for (const char* id : {"docx", "xlsx", "pptx"}) {
        SCOPED_TRACE(id);
        auto resource = fm.mainBundle().url("blank", id);
        ASSERT_TRUE(resource.has_value());
        const std::string bytes = readFile(*resource);
        ASSERT_GT(bytes.size(), 1000u);
        EXPECT_EQ(bytes, readFile(fs::path(QUILLET_SOURCE_DIR) / "resources" / ("blank." + std::string(id))));
        const fs::path created = createFile(type(id), folder.path(), fm);
        EXPECT_EQ(created, folder / ("Untitled." + std::string(id)));
        EXPECT_EQ(readFile(created), bytes);
    }
}

TEST(FileCreationContent, AMissingTemplateFailsAndCreatesNothing) {
    FileManagerFixture files;
    TemporaryFolder folder, emptyBundle;
    auto access = std::make_shared<CountingScopedAccess>();
    const FileManager fm = files.make(access, emptyBundle.path());
    try {
        createFile(type("docx"), folder.path(), fm);
        FAIL() << "created a docx without a template";
    } catch (const FileCreationError& e) {
        EXPECT_EQ(e.kind(), FileCreationError::Kind::templateMissing);
        EXPECT_EQ(e.resourceName(), "blank.docx");
        EXPECT_EQ(e.description(), "Could not find bundled template \"blank.docx\".");
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_EQ(access->started.size(), 1u);
    EXPECT_EQ(access->open(), 0);
}

TEST(FileCreationContent, ErrorDescriptions) {
    EXPECT_EQ(FileCreationError::invalidFileName().description(), "Please enter a valid file name.");
    const PlatformError underlying = PlatformError::fileWrite(EACCES, "/home/me/Reports/Untitled.txt");
    const FileCreationError failed = FileCreationError::writeFailed(underlying);
    EXPECT_EQ(failed.description(), underlying.description());
    EXPECT_EQ(failed.underlyingError()->code(), EACCES);
}

// --- Failures leave nothing behind ---------------------------------------------------------

TEST(FileCreationFailure, AWriteBeyondTheSizeLimitRemovesOnlyTheNewFile) {
    FileManagerFixture files;
    TemporaryFolder folder;
    writeFile(folder / "Untitled.docx", "someone else's");
    ChildOutcome outcome = runInChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        auto access = std::make_shared<CountingScopedAccess>();
        const FileManager fm = files.make(access);
        std::string out = attempt(type("docx"), folder.path(), fm) + "\n";
        out += attempt(type("rtf"), folder.path(), fm) + "\n";
        out += attempt(type("txt"), folder.path(), fm) + "\n";
        return out + "open accesses " + std::to_string(access->open());
    });
    ASSERT_TRUE(outcome.exited) << "ended by signal " << outcome.signal;
    const std::string efbig = "writeFailed " + std::to_string(EFBIG) + ": The file \u201C";
    EXPECT_EQ(outcome.output,
              efbig + "Untitled 2.docx\u201D couldn\u2019t be saved because it is too large.\n" +
                  efbig + "Untitled.rtf\u201D couldn\u2019t be saved because it is too large.\n"
                  "created Untitled.txt\nopen accesses 0");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"Untitled.docx", "Untitled.txt"}));
    EXPECT_EQ(readFile(folder / "Untitled.docx"), "someone else's");
}

TEST(FileCreationFailure, AReadOnlyFolderRefusesAnUnprivilegedUser) {
    TemporaryFolder scratch;
    // Found before any change of user: another user may not read this process's /proc entries.
    // The templates are read from a copy beside the folder, open to every user: the build tree
    // may sit where only its owner can enter.
    const fs::path resources = scratch / "resources";
    fs::copy(FileManagerFixture::builtResources(), resources, fs::copy_options::recursive);
    const auto readable = fs::perms::others_read | fs::perms::group_read | fs::perms::owner_read;
    const auto enterable = fs::perms::others_exec | fs::perms::group_exec | fs::perms::owner_exec;
    fs::permissions(resources, readable | enterable, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(resources))
        fs::permissions(entry.path(), entry.is_directory() ? readable | enterable : readable,
                        fs::perm_options::add);
    const fs::path folder = scratch / "Reports";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    auto tryBoth = [&](FileCoordinator& coordinator) {
        auto access = std::make_shared<CountingScopedAccess>();
        const FileManager fm(ResourceBundle(resources), access, coordinator);
        std::string out = attempt(type("txt"), folder, fm) + "\n";
        out += attempt(type("pptx"), folder, fm) + "\n";
        return out + "open accesses " + std::to_string(access->open());
    };
    std::string output;
    if (::geteuid() != 0) {
        FileManagerFixture files;
        output = tryBoth(files.coordinator);
    } else {
        // Root writes anywhere: the write is attempted as the unprivileged "nobody".
        struct passwd* nobody = ::getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "no user \"nobody\" to run as";
        fs::permissions(scratch.path(), fs::perms::others_exec, fs::perm_options::add);
        fs::create_directory(scratch / "runtime");
        ASSERT_EQ(::chown((scratch / "runtime").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ChildOutcome outcome = runInChild([&] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0)
                return std::string("skip: ") + std::strerror(errno);
            // Lock files only go where their user owns the folder.
            LockFileCoordinator coordinator(scratch / "runtime" / "quillet-locks");
            return tryBoth(coordinator);
        });
        ASSERT_TRUE(outcome.exited);
        if (outcome.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << outcome.output;
        output = outcome.output;
    }
    const std::string eacces = "writeFailed " + std::to_string(EACCES) +
                               ": You don\u2019t have permission to save the file \u201C";
    EXPECT_EQ(output, eacces + "Untitled.txt\u201D in the folder \u201CReports\u201D.\n" + eacces +
                          "Untitled.pptx\u201D in the folder \u201CReports\u201D.\nopen accesses 0");
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(FileCreationFailure, ACoordinationFailureIsAWriteFailure) {
    TemporaryFolder folder, runtime;
    writeFile(runtime / "quillet-locks", "in the way");
    LockFileCoordinator blocked(runtime / "quillet-locks");
    auto access = std::make_shared<CountingScopedAccess>();
    const std::string result =
        attempt(type("json"), folder.path(), FileManager(ResourceBundle(FileManagerFixture::builtResources()), access, blocked));
    EXPECT_EQ(result.rfind("writeFailed " + std::to_string(ENOTDIR) + ": ", 0), 0u) << result;
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_EQ(access->open(), 0);
}

// --- Folder access -------------------------------------------------------------------------

TEST(FileCreationAccess, EveryStartedAccessIsStoppedOnEveryPath) {
    FileManagerFixture files;
    TemporaryFolder folder, emptyBundle;
    auto access = std::make_shared<CountingScopedAccess>();
    fs::create_symlink(folder / "nowhere", folder / "Untitled.md");

    EXPECT_EQ(attempt(type("txt"), folder.path(), files.make(access)), "created Untitled.txt");
    EXPECT_EQ(attempt(type("xlsx"), folder.path(), files.make(access)), "created Untitled.xlsx");
    EXPECT_EQ(attempt(type("pptx"), folder.path(), files.make(access, emptyBundle.path()))
                  .rfind("templateMissing", 0),
              0u);
    EXPECT_EQ(attempt(type("md"), folder.path(), files.make(access)).rfind("writeFailed", 0), 0u);

    EXPECT_EQ(access->started, std::vector<fs::path>(4, folder.path()));
    EXPECT_EQ(access->stopped, std::vector<fs::path>(4, folder.path()));
}

TEST(FileCreationAccess, AnAccessThatDidNotStartIsNotStopped) {
    FileManagerFixture files;
    TemporaryFolder folder;
    auto access = std::make_shared<CountingScopedAccess>(/*grants=*/false);
    EXPECT_EQ(attempt(type("css"), folder.path(), files.make(access)), "created Untitled.css");
    EXPECT_EQ(access->started.size(), 1u);
    EXPECT_TRUE(access->stopped.empty());
}

// --- Coordinated writes --------------------------------------------------------------------

TEST(CoordinatedWrite, ReportsTheCoordinatorFirstThenAnAccessorThatNeverRanThenTheAccessor) {
    const fs::path url = "/somewhere/Untitled.txt";
    const PlatformError coordinatorError(PlatformError::kPosixDomain, ENOLCK, "no locks");
    const PlatformError accessorError(PlatformError::kPosixDomain, ENOSPC, "no space");
    auto outcome = [&](ScriptedFileCoordinator& coordinator, bool accessorFails) -> std::string {
        try {
            coordinatedWrite(url, [&](const fs::path&) {
                if (accessorFails) throw accessorError;
            }, coordinator);
            return "ok";
        } catch (const PlatformError& e) {
            return e.domain() + " " + std::to_string(e.code());
        }
    };
    const std::string posix = PlatformError::kPosixDomain;

    ScriptedFileCoordinator failingAfterTheWrite;
    failingAfterTheWrite.error = coordinatorError;
    EXPECT_EQ(outcome(failingAfterTheWrite, true), posix + " " + std::to_string(ENOLCK));

    ScriptedFileCoordinator failingBefore;
    failingBefore.error = coordinatorError;
    failingBefore.runsWriter = false;
    EXPECT_EQ(outcome(failingBefore, true), posix + " " + std::to_string(ENOLCK));

    ScriptedFileCoordinator skipping;
    skipping.runsWriter = false;
    EXPECT_EQ(outcome(skipping, true), std::string(PlatformError::kCocoaDomain) + " 512");
    try {
        coordinatedWrite(url, [](const fs::path&) {}, skipping);
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.description(), PlatformError::fileWriteUnknown(url).description());
    }

    ScriptedFileCoordinator fine;
    EXPECT_EQ(outcome(fine, true), posix + " " + std::to_string(ENOSPC));
    EXPECT_EQ(outcome(fine, false), "ok");
}

TEST(CoordinatedWrite, TheAccessorWritesWhereTheCoordinatorSays) {
    ScriptedFileCoordinator coordinator;
    coordinator.handOver = "/elsewhere/Untitled.txt";
    fs::path written;
    coordinatedWrite("/somewhere/Untitled.txt", [&](const fs::path& url) { written = url; }, coordinator);
    EXPECT_EQ(written, "/elsewhere/Untitled.txt");
    EXPECT_EQ(coordinator.calls, 1);
}

TEST(CoordinatedWrite, CreationWritesUnderTheFileManagersCoordinator) {
    TemporaryFolder folder;
    ScriptedFileCoordinator coordinator;
    auto access = std::make_shared<CountingScopedAccess>();
    const FileManager fm(ResourceBundle(FileManagerFixture::builtResources()), access, coordinator);
    EXPECT_EQ(attempt(type("txt"), folder.path(), fm), "created Untitled.txt");
    EXPECT_EQ(attempt(type("docx"), folder.path(), fm), "created Untitled.docx");
    EXPECT_EQ(coordinator.calls, 2);

    // A coordinator that never lets the writer run: nothing is written, and that is a failure.
    coordinator.runsWriter = false;
    EXPECT_EQ(attempt(type("md"), folder.path(), fm).rfind("writeFailed", 0), 0u);
    EXPECT_EQ(coordinator.calls, 3);
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"Untitled.docx", "Untitled.txt"}));
}
