#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>

#include "app/creation/FileCreationService.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CountingScopedAccess.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/NewFileWriterFixture.h"
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
std::string attempt(const FileTypeDefinition& t, const fs::path& folder, const NewFileWriter& writer) {
    try {
        return "created " + createFile(t, folderPath(folder), writer).filename().string();
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
    NewFileWriterFixture files;
    const NewFileWriter& writer = files.fileWriter;
    writeFile(folder / "Untitled.md", "");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled.txt");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled 3.txt");
    EXPECT_EQ(entries(folder.path()),
              (std::vector<std::string>{"Untitled 2.txt", "Untitled 3.txt", "Untitled.md", "Untitled.txt"}));
}

TEST(FileCreationNaming, TakesTheFirstFreeNumberWithoutLookingAtGaps) {
    TemporaryFolder folder;
    NewFileWriterFixture files;
    const NewFileWriter& writer = files.fileWriter;
    writeFile(folder / "Untitled.txt", "");
    writeFile(folder / "Untitled 3.txt", "");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled 4.txt");
    // Names are compared exactly, never parsed.
    writeFile(folder / "untitled.csv", "");
    writeFile(folder / "Untitled 02.csv", "");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "csv", writer), folder / "Untitled.csv");
}

TEST(FileCreationNaming, AnythingThatExistsAtTheNameTakesIt) {
    TemporaryFolder folder;
    NewFileWriterFixture files;
    const NewFileWriter& writer = files.fileWriter;
    fs::create_directory(folder / "Untitled.txt");
    writeFile(folder / "elsewhere", "linked");
    fs::create_symlink(folder / "elsewhere", folder / "Untitled 2.txt");
    EXPECT_EQ(createFile(type("txt"), folderPath(folder.path()), writer), folder / "Untitled 3.txt");
    EXPECT_TRUE(fs::is_directory(folder / "Untitled.txt"));
    EXPECT_EQ(readFile(folder / "elsewhere"), "linked");
}

TEST(FileCreationNaming, ADanglingLinkAtTheNameIsNeitherFollowedNorReplaced) {
    NewFileWriterFixture files;
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
    NewFileWriterFixture files;
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
        const std::string content = readFile(createFile(t, folderPath(folder.path()), files.fileWriter));
        auto it = expected.find(t.id);
        EXPECT_EQ(content, it == expected.end() ? "" : it->second);
        EXPECT_EQ(content.size(), sizes.count(t.id) ? sizes.at(t.id) : 0u);
        EXPECT_EQ(templateText(t), content);
    }
    EXPECT_EQ(templateText(FileTypeDefinition{"HTML", "", "html", FileTypeCategory::code, ""}), "");
}

TEST(FileCreationContent, TheHtmlTitleStaysUntitledWhateverTheName) {
    TemporaryFolder folder;
    NewFileWriterFixture files;
    writeFile(folder / "Untitled.html", "");
    const fs::path second = createFile(type("html"), folderPath(folder.path()), files.fileWriter);
    EXPECT_EQ(second.filename(), "Untitled 2.html");
    EXPECT_NE(readFile(second).find("<title>Untitled</title>"), std::string::npos);
}

TEST(FileCreationContent, OfficeFilesAreCopiesOfTheBundledTemplates) {
    TemporaryFolder folder;
    NewFileWriterFixture files;
    const NewFileWriter& writer = files.fileWriter;
    for (const char* id : {"docx", "xlsx", "pptx"}) {
        SCOPED_TRACE(id);
        auto resource = writer.mainBundle().url("blank", id);
        ASSERT_TRUE(resource.has_value());
        const std::string bytes = readFile(*resource);
        ASSERT_GT(bytes.size(), 1000u);
        EXPECT_EQ(bytes, readFile(fs::path(QUILLET_SOURCE_DIR) / "resources" / ("blank." + std::string(id))));
        const fs::path created = createFile(type(id), folderPath(folder.path()), writer);
        EXPECT_EQ(created, folder / ("Untitled." + std::string(id)));
        EXPECT_EQ(readFile(created), bytes);
    }
}

TEST(FileCreationContent, AMissingTemplateFailsAndCreatesNothing) {
    NewFileWriterFixture files;
    TemporaryFolder folder, emptyBundle;
    auto access = std::make_shared<CountingScopedAccess>();
    const NewFileWriter writer = files.make(access, emptyBundle.path());
    try {
        createFile(type("docx"), folderPath(folder.path()), writer);
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
    NewFileWriterFixture files;
    TemporaryFolder folder;
    writeFile(folder / "Untitled.docx", "someone else's");
    ChildOutcome outcome = runInChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        auto access = std::make_shared<CountingScopedAccess>();
        const NewFileWriter writer = files.make(access);
        std::string out = attempt(type("docx"), folder.path(), writer) + "\n";
        out += attempt(type("rtf"), folder.path(), writer) + "\n";
        out += attempt(type("txt"), folder.path(), writer) + "\n";
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
    fs::copy(NewFileWriterFixture::builtResources(), resources, fs::copy_options::recursive);
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
    auto tryBoth = [&] {
        auto access = std::make_shared<CountingScopedAccess>();
        const NewFileWriter writer(ResourceBundle(resources), access);
        std::string out = attempt(type("txt"), folder, writer) + "\n";
        out += attempt(type("pptx"), folder, writer) + "\n";
        return out + "open accesses " + std::to_string(access->open());
    };
    std::string output;
    if (::geteuid() != 0) {
        output = tryBoth();
    } else {
        // Root writes anywhere: the write is attempted as the unprivileged "nobody".
        struct passwd* nobody = ::getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "no user \"nobody\" to run as";
        fs::permissions(scratch.path(), fs::perms::others_exec, fs::perm_options::add);
        ChildOutcome outcome = runInChild([&] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0)
                return std::string("skip: ") + std::strerror(errno);
            return tryBoth();
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

// --- Folder access -------------------------------------------------------------------------

TEST(FileCreationAccess, EveryStartedAccessIsStoppedOnEveryPath) {
    NewFileWriterFixture files;
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
    NewFileWriterFixture files;
    TemporaryFolder folder;
    auto access = std::make_shared<CountingScopedAccess>(/*grants=*/false);
    EXPECT_EQ(attempt(type("css"), folder.path(), files.make(access)), "created Untitled.css");
    EXPECT_EQ(access->started.size(), 1u);
    EXPECT_TRUE(access->stopped.empty());
}

// --- Many names taken ----------------------------------------------------------------------

namespace {

// The numbering rule, one name at a time.
fs::path firstFreeOneByOne(const fs::path& folder, const std::string& extension) {
    fs::path candidate = folder / ("Untitled." + extension);
    for (int n = 2; fs::exists(candidate); ++n) candidate = folder / ("Untitled " + std::to_string(n) + "." + extension);
    return candidate;
}

}  // namespace

TEST(FileCreationNaming, PastManyTakenNamesTheResultIsThatOfLookingAtEachName) {
    TemporaryFolder folder;
    NewFileWriterFixture files;
    const NewFileWriter& writer = files.fileWriter;
    auto check = [&](const std::string& extension) {
        EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", extension, writer), firstFreeOneByOne(folder.path(), extension));
    };
    writeFile(folder / "Untitled.txt", "");
    for (int n = 2; n <= 1000; ++n)
        if (n != 700) writeFile(folder / ("Untitled " + std::to_string(n) + ".txt"), "");
    // Names that only look like numbers of the sequence, and other types.
    for (const char* name : {"Untitled 0700.txt", "Untitled 1.txt", "Untitled +700.txt", "Untitled 700.txt.bak",
                             "untitled 700.txt", "Untitled 700.md", "Untitled  700.txt", "Untitled 700 .txt"})
        writeFile(folder / name, "");
    check("txt");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "txt", writer), folder / "Untitled 700.txt");

    // A folder, a link to something, and a link to nothing at the gap: the last counts as absent.
    fs::create_directory(folder / "Untitled 700.txt");
    check("txt");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "txt", writer), folder / "Untitled 1001.txt");
    fs::create_symlink(folder / "Untitled 5.txt", folder / "Untitled 1001.txt");
    fs::create_symlink(folder / "nothing", folder / "Untitled 1002.txt");
    check("txt");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "txt", writer), folder / "Untitled 1002.txt");

    // Only a few taken: the plain name, then a short run.
    for (const char* extension : {"md", "csv"}) check(extension);
    writeFile(folder / "Untitled.csv", "");
    for (int n = 2; n <= 5; ++n) writeFile(folder / ("Untitled " + std::to_string(n) + ".csv"), "");
    check("csv");
    EXPECT_EQ(uniqueFileURL(folder.path(), "Untitled", "csv", writer), folder / "Untitled 6.csv");
}

TEST(FileCreationNaming, ACaseInsensitiveFolderGivesWhatLookingAtEachNameGives) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
    TemporaryFolder scratch;
    const fs::path mountPoint = scratch / "volume";
    fs::create_directory(mountPoint);
    // A case-folding tmpfs, where "untitled 7.txt" holds "Untitled 7.txt" too.
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m,casefold") != 0)
        GTEST_SKIP() << "no case-folding tmpfs: " << std::strerror(errno);
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mountPoint};
    NewFileWriterFixture files;
    writeFile(mountPoint / "Untitled.txt", "");
    for (int n = 2; n <= 40; ++n)
        writeFile(mountPoint / ((n % 3 ? "Untitled " : "UNTITLED ") + std::to_string(n) + (n % 2 ? ".txt" : ".TXT")), "");
    if (!fs::exists(mountPoint / "Untitled 3.txt")) GTEST_SKIP() << "the volume does not fold case";
    EXPECT_EQ(uniqueFileURL(mountPoint, "Untitled", "txt", files.fileWriter), mountPoint / "Untitled 41.txt");
    EXPECT_EQ(uniqueFileURL(mountPoint, "Untitled", "txt", files.fileWriter), firstFreeOneByOne(mountPoint, "txt"));
}

// --- Another creator first -----------------------------------------------------------------

namespace {

// Plants `planted` in the folder right after the file's content has its unnamed file: between
// the look at the names and the link, as another creator would.
std::function<void(const fs::path& folder)> plant;
int plantingOpener(const fs::path& folder) {
    const int fd = NewFileWriter::openUnnamedFile(folder);
    if (plant) plant(folder);
    return fd;
}

}  // namespace

TEST(FileCreationRace, ANameTakenBeforeTheLinkMovesOnToTheNextFreeName) {
    TemporaryFolder folder;
    auto access = std::make_shared<CountingScopedAccess>();
    const NewFileWriter writer(ResourceBundle(NewFileWriterFixture::builtResources()), access, &plantingOpener);
    writeFile(folder / "Untitled 3.docx", "there before");
    plant = [](const fs::path& in) {
        writeFile(in / "Untitled.docx", "theirs");
        writeFile(in / "Untitled 2.docx", "theirs too");
    };
    EXPECT_EQ(attempt(type("docx"), folder.path(), writer), "created Untitled 4.docx");
    plant = nullptr;
    EXPECT_EQ(readFile(folder / "Untitled 4.docx"), readFile(*writer.mainBundle().url("blank", "docx")));
    EXPECT_EQ(readFile(folder / "Untitled.docx"), "theirs");
    EXPECT_EQ(readFile(folder / "Untitled 2.docx"), "theirs too");
    EXPECT_EQ(readFile(folder / "Untitled 3.docx"), "there before");
    EXPECT_EQ(access->open(), 0);
}

TEST(FileCreationRace, ALinkToNothingPlantedAtTheNameIsNeitherReplacedNorPassedOver) {
    TemporaryFolder folder;
    auto access = std::make_shared<CountingScopedAccess>();
    const NewFileWriter writer(ResourceBundle(NewFileWriterFixture::builtResources()), access, &plantingOpener);
    plant = [](const fs::path& in) { fs::create_symlink(in / "target", in / "Untitled.json"); };
    const std::string result = attempt(type("json"), folder.path(), writer);
    plant = nullptr;
    EXPECT_EQ(result, "writeFailed " + std::to_string(EEXIST) + ": " +
                          PlatformError::fileWrite(EEXIST, folder / "Untitled.json").description());
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"Untitled.json"}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "target")));
    EXPECT_EQ(access->open(), 0);
}

TEST(FileCreationRace, EightProcessesCreatingAtOnceMakeDistinctCompleteFiles) {
    TemporaryFolder folder;
    const std::string docx = readFile(NewFileWriterFixture::builtResources() / "blank.docx");
    const std::string rtf = templateText(type("rtf"));
    constexpr int kProcesses = 8, kEach = 500;
    // Half the processes copy the docx template, half write the rtf text: both ways of filling a
    // file, each type racing for its own names.
    std::vector<pid_t> children;
    std::vector<int> pipes;
    for (int p = 0; p < kProcesses; ++p) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            NewFileWriterFixture files;
            const FileTypeDefinition& t = type(p % 2 ? "rtf" : "docx");
            std::string report;
            for (int i = 0; i < kEach; ++i) report += attempt(t, folder.path(), files.fileWriter) + "\n";
            for (size_t done = 0; done < report.size();) {
                const ssize_t n = ::write(fds[1], report.data() + done, report.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            ::_exit(0);
        }
        ::close(fds[1]);
        children.push_back(pid);
        pipes.push_back(fds[0]);
    }
    std::vector<std::string> reported;
    for (int p = 0; p < kProcesses; ++p) {
        std::string out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipes[p], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(n));
        ::close(pipes[p]);
        int status = 0;
        ::waitpid(children[p], &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
            reported.push_back(out.substr(at, end - at));
    }
    ASSERT_EQ(reported.size(), static_cast<size_t>(kProcesses * kEach));
    std::vector<std::string> createdNames;
    for (const auto& line : reported) {
        ASSERT_EQ(line.rfind("created ", 0), 0u) << line;
        createdNames.push_back(line.substr(8));
    }
    std::sort(createdNames.begin(), createdNames.end());
    EXPECT_EQ(std::adjacent_find(createdNames.begin(), createdNames.end()), createdNames.end())
        << "two creations reported the same file";
    EXPECT_EQ(entries(folder.path()), createdNames);
    for (const char* extension : {"docx", "rtf"}) {
        // Every number from the plain name up, each file complete.
        const std::string& expected = std::string(extension) == "docx" ? docx : rtf;
        for (int n = 1; n <= kProcesses / 2 * kEach; ++n) {
            const fs::path path = folder / ((n == 1 ? "Untitled" : "Untitled " + std::to_string(n)) + "." + extension);
            ASSERT_EQ(readFile(path), expected) << path;
        }
    }
}
