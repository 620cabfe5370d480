#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "app/creation/FolderAccessCreation.h"
#include "app/requests/CreateRequestHandler.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/requests/CreateRequestURL.h"
#include "tests/support/NewFileWriterFixture.h"
#include "tests/support/GrantStoreFixture.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/RecordingFileViewer.h"
#include "tests/support/RecordingModalAlert.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;
using Kind = OpenURLOutcome::Kind;

namespace {

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string requestFor(const std::string& type, const fs::path& folder) {
    return *createRequestURL(type, folder.string());
}

// The handler on the real creation entry and grant store (private settings suite, real files),
// with recording doubles for everything the user would see. The application starts in the
// background with its main window open, as after a delivery that launched it. The process is
// not sandboxed unless a test builds a sandboxed creation entry of its own.
class CreateRequestHandlerTest : public ::testing::Test, protected GrantStoreFixture {
protected:
    CreateRequestHandlerTest() { windows.open("Quillet+"); }

    // The log lines of the request handler, "level: message".
    std::vector<std::string> requestLog() const {
        std::vector<std::string> lines;
        for (const auto& record : log->records()) {
            if (record.category != CreateRequestHandler::kLogCategory) continue;
            lines.push_back(std::string(logLevelName(record.level)) + ": " + record.message);
        }
        return lines;
    }
    void expectUntouched(const char* what) {
        EXPECT_TRUE(alert.shown.empty()) << what;
        EXPECT_TRUE(viewer.reveals.empty()) << what;
        EXPECT_TRUE(requestLog().empty()) << what;
        EXPECT_EQ(windows.passes, 0) << what;
        EXPECT_EQ(queue.pending(), 0u) << what;
    }

    TemporaryFolder folder;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink logScope{log};
    NewFileWriterFixture files;
    FolderAccessCreation creation{access, files.fileWriter, UserEnvironment{}};
    RecordingModalAlert alert;
    RecordingFileViewer viewer;
    ManualMainQueue queue;
    CreateRequestHandler handler{creation, alert, viewer, windows, queue};
};

}  // namespace

// --- Which URLs are handled ------------------------------------------------------------------

TEST_F(CreateRequestHandlerTest, URLsOfOtherSchemesAreIgnoredEntirely) {
    for (const std::string url : {"file:///tmp/", "https://example.com/create?type=txt&directory=/tmp",
                                  "QUILLAXE://create?type=txt&directory=/tmp", "quillaxe", "", "/tmp/x",
                                  "quillaxe2://create?type=txt&directory=/tmp"}) {
        EXPECT_EQ(handler.handleOpenURL(url).kind, Kind::ignored) << url;
        EXPECT_EQ(windows.activations(), 0) << url;
        expectUntouched(url.c_str());
    }
    EXPECT_EQ(windows.windows.size(), 1u);
}

TEST_F(CreateRequestHandlerTest, AMalformedCreateRequestOnlyBringsTheApplicationForward) {
    const std::string dir = folder.path().string();
    const std::vector<std::string> urls = {
        "quillaxe://open?type=txt&directory=" + dir,  // another host
        "quillaxe://CREATE?type=txt&directory=" + dir,
        "quillaxe:create?type=txt&directory=" + dir,  // no host at all
        "quillaxe://create?type&directory=" + dir,
        "quillaxe://create?type=&directory=" + dir,
        "quillaxe://create?type=txt",
        "quillaxe://create?type=txt&directory=",
        "quillaxe://create?type=txt&directory=/tmp/a b",  // not a URL: raw space
    };
    int expectedActivations = 0;
    for (const auto& url : urls) {
        EXPECT_EQ(handler.handleOpenURL(url).kind, Kind::activated) << url;
        EXPECT_EQ(windows.activations(), ++expectedActivations) << url;
        expectUntouched(url.c_str());
    }
    EXPECT_TRUE(entries(folder.path()).empty());
}

// --- Creating -------------------------------------------------------------------------------

TEST_F(CreateRequestHandlerTest, ACreateRequestLogsCreatesAndRevealsTheFile) {
    const fs::path notes = folder / "My Notes & Co #1 +%";
    fs::create_directory(notes);
    const OpenURLOutcome outcome = handler.handleOpenURL(requestFor("md", notes));
    EXPECT_EQ(outcome, (OpenURLOutcome{Kind::created, notes / "Untitled.md"}));
    EXPECT_TRUE(fs::is_regular_file(notes / "Untitled.md"));
    EXPECT_EQ(requestLog(), (std::vector<std::string>{
                                "default: Creating file from Finder request: type=md dir=" + notes.string(),
                                "default: Created file from Finder request: " + (notes / "Untitled.md").string(),
                            }));
    EXPECT_EQ(viewer.reveals, (std::vector<std::vector<fs::path>>{{notes / "Untitled.md"}}));
    EXPECT_TRUE(alert.shown.empty());
    EXPECT_EQ(windows.activations(), 0);

    // The file manager the link came from is the one asked to show the file.
    handler.handleOpenURL(requestFor("md", notes), 4242);
    EXPECT_EQ(viewer.requesters, (std::vector<std::int64_t>{0, 4242}));
}

TEST_F(CreateRequestHandlerTest, DotSegmentsInTheFolderAreResolvedBeforeUse) {
    fs::create_directories(folder / "a/b");
    const std::string url = "quillaxe://create?type=txt&directory=" + folder.path().string() + "/a/b/../.";
    EXPECT_EQ(handler.handleOpenURL(url), (OpenURLOutcome{Kind::created, folder / "a/Untitled.txt"}));
    EXPECT_EQ(requestLog().front(),
              "default: Creating file from Finder request: type=txt dir=" + (folder / "a").string());
}

TEST_F(CreateRequestHandlerTest, AnUnknownTypeIsRefusedWithItsOwnAlert) {
    const OpenURLOutcome outcome = handler.handleOpenURL(requestFor("TXT", folder.path()));
    EXPECT_EQ(outcome.kind, Kind::failed);
    EXPECT_EQ(requestLog(), std::vector<std::string>{"error: Unknown file type requested: TXT"});
    EXPECT_EQ(alert.shown, (std::vector<Alert>{{"Could not create file",
                                                "Quillet+ does not know how to create this file type.",
                                                AlertStyle::warning}}));
    EXPECT_EQ(windows.activations(), 1);
    EXPECT_TRUE(entries(folder.path()).empty());
    EXPECT_TRUE(viewer.reveals.empty());
}

// --- The user's templates ---------------------------------------------------------------------

TEST_F(CreateRequestHandlerTest, ATemplateRequestCreatesTheTemplatesCopyUnderItsName) {
    TemporaryFolder home;
    fs::create_directories(home / "Templates");
    writeFile(home / "Templates" / "Letter.odt", std::string("PK\x03\x04 letter\0bytes", 17));
    files.fileWriter.setTemplates(UserTemplates(home / "Templates"));

    const std::string url = "quillaxe://create?type=template%3ALetter.odt&directory=" + folder.path().string();
    EXPECT_EQ(handler.handleOpenURL(url).kind, Kind::created);
    const OpenURLOutcome second = handler.handleOpenURL(requestFor("template:Letter.odt", folder.path()));
    EXPECT_EQ(second.kind, Kind::created);
    EXPECT_EQ(second.createdFile, folder / "Letter 2.odt");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"Letter 2.odt", "Letter.odt"}));
    EXPECT_EQ(readFile(folder / "Letter.odt"), readFile(home / "Templates" / "Letter.odt"));
    EXPECT_EQ(viewer.reveals.size(), 2u);
    EXPECT_TRUE(alert.shown.empty());
}

TEST_F(CreateRequestHandlerTest, AnIDLeadingOutOfTheTemplatesFolderIsAnUnknownType) {
    TemporaryFolder home;
    const fs::path templates = home / "Templates";
    fs::create_directories(templates / "Work");
    writeFile(home / "secret.txt", "secret");
    fs::create_symlink(home / "secret.txt", templates / "Secret.txt");
    fs::create_symlink(home.path(), templates / "Work" / "Home");
    files.fileWriter.setTemplates(UserTemplates(templates));

    for (const std::string type : {"template%3A..%2Fsecret.txt", "template%3A%2Fetc%2Fpasswd",
                                   "template%3ASecret.txt", "template%3AWork%2FHome%2Fsecret.txt",
                                   "template%3ALetter.odt%00.txt", "template%3AMissing.odt"}) {
        alert.shown.clear();
        const OpenURLOutcome outcome =
            handler.handleOpenURL("quillaxe://create?type=" + type + "&directory=" + folder.path().string());
        EXPECT_EQ(outcome.kind, Kind::failed) << type;
        ASSERT_EQ(alert.shown.size(), 1u) << type;
        EXPECT_EQ(alert.shown[0].informativeText, "Quillet+ does not know how to create this file type.") << type;
    }
    EXPECT_TRUE(entries(folder.path()).empty());
    EXPECT_TRUE(viewer.reveals.empty());
}

TEST_F(CreateRequestHandlerTest, AFolderThatIsNotAnAbsolutePathNeverReachesTheFileSystem) {
    // A relative folder would be taken from the working folder: make that one observable.
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    fs::create_directory(folder / "tmp");
    struct Restore {
        fs::path to;
        ~Restore() { fs::current_path(to); }
    } restore{previous};

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"quillaxe://create?type=txt&directory=tmp", "The folder path must be an absolute path."},
        {"quillaxe://create?type=txt&directory=./tmp", "The folder path must be an absolute path."},
        {"quillaxe://create?type=txt&directory=" + folder.path().string() + "/tmp%00/x",
         "The folder path contains a NUL character."},
    };
    for (const auto& [url, description] : cases) {
        alert.shown.clear();
        log->clear();
        EXPECT_EQ(handler.handleOpenURL(url).kind, Kind::failed) << url;
        EXPECT_EQ(alert.shown, (std::vector<Alert>{{"Could not create file", description, AlertStyle::warning}}));
        EXPECT_EQ(requestLog(), std::vector<std::string>{"error: Create request failed: " + description});
    }
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"tmp"});
    EXPECT_TRUE(entries(folder / "tmp").empty());
}

TEST_F(CreateRequestHandlerTest, CreationErrorsAreShownWithTheirOwnDescription) {
    const fs::path missing = folder / "missing";
    EXPECT_EQ(handler.handleOpenURL(requestFor("txt", missing)).kind, Kind::failed);
    const std::string description =
        "The file \u201CUntitled.txt\u201D couldn\u2019t be saved because the folder \u201Cmissing\u201D "
        "doesn\u2019t exist.";
    EXPECT_EQ(alert.shown, (std::vector<Alert>{{"Could not create file", description, AlertStyle::warning}}));
    EXPECT_EQ(requestLog(), (std::vector<std::string>{
                                "default: Creating file from Finder request: type=txt dir=" + missing.string(),
                                "error: Create request failed: " + description,
                            }));
    EXPECT_EQ(windows.activations(), 1);
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CreateRequestHandlerTest, AccessStepErrorsArePassedThroughUnchanged) {
    FolderAccessCreation sandboxedCreation{access, files.fileWriter, UserEnvironment{.sandboxed = true}};
    CreateRequestHandler sandboxedHandler{sandboxedCreation, alert, viewer, windows, queue};
    const fs::path target = folder / "q";
    fs::create_directory(target);

    panel.enqueueCancel();
    EXPECT_EQ(sandboxedHandler.handleOpenURL(requestFor("txt", target)).kind, Kind::failed);
    const std::string cancelled = SecurityScopedFolderAccessError::accessCancelled(target).description();
    EXPECT_EQ(cancelled, "Quillet+ needs access to q before it can create files there.");

    panel.enqueueChoice(folder / "elsewhere");
    fs::create_directory(folder / "elsewhere");
    EXPECT_EQ(sandboxedHandler.handleOpenURL(requestFor("txt", target)).kind, Kind::failed);
    const std::string wrong = SecurityScopedFolderAccessError::wrongFolder(target, folder / "elsewhere").description();

    EXPECT_EQ(alert.shown, (std::vector<Alert>{{"Could not create file", cancelled, AlertStyle::warning},
                                               {"Could not create file", wrong, AlertStyle::warning}}));
    EXPECT_TRUE(log->contains("Create request failed: " + cancelled));
    EXPECT_TRUE(log->contains("Create request failed: " + wrong));
    EXPECT_TRUE(entries(target).empty());

    // Once granted, the same request goes through without another prompt.
    panel.enqueueChoice(target);
    EXPECT_EQ(sandboxedHandler.handleOpenURL(requestFor("txt", target)).kind, Kind::created);
    EXPECT_EQ(sandboxedHandler.handleOpenURL(requestFor("txt", target)).kind, Kind::created);
    EXPECT_EQ(panel.shown().size(), 3u);
    EXPECT_EQ(entries(target), (std::vector<std::string>{"Untitled 2.txt", "Untitled.txt"}));
}

// --- Window clean-up --------------------------------------------------------------------------

TEST_F(CreateRequestHandlerTest, FromTheBackgroundTheMainWindowIsClosedNowAndOnceMoreLater) {
    windows.open("Quillet+", /*isPanel=*/true);  // the Quick Create panel is not a main window
    windows.open("Help");
    handler.handleOpenURL(requestFor("txt", folder.path()));
    EXPECT_EQ(windows.closed, (std::vector<WindowDescription>{{"Quillet+", false}}));
    EXPECT_EQ(windows.passes, 1);

    // A main window that the delivery opens only after the handler returned.
    windows.open("Quillet+");
    ASSERT_EQ(queue.pending(), 1u);
    queue.drain();
    EXPECT_EQ(windows.passes, 2);
    EXPECT_EQ(windows.windows, (std::vector<WindowDescription>{{"Quillet+", true}, {"Help", false}}));
}

TEST_F(CreateRequestHandlerTest, AnAlertDoesNotStopTheCleanUp) {
    alert.onRun = [&] { EXPECT_EQ(windows.passes, 0) << "windows close after the alert, not before"; };
    EXPECT_EQ(handler.handleOpenURL(requestFor("zzz", folder.path())).kind, Kind::failed);
    EXPECT_EQ(alert.shown.size(), 1u);
    EXPECT_TRUE(windows.windows.empty());
    EXPECT_EQ(queue.pending(), 1u);
}

TEST_F(CreateRequestHandlerTest, InFrontItsWindowsStayAsTheyAre) {
    windows.setActive(true);
    handler.handleOpenURL(requestFor("txt", folder.path()));
    handler.handleOpenURL(requestFor("zzz", folder.path()));
    EXPECT_EQ(windows.passes, 0);
    EXPECT_EQ(queue.pending(), 0u);
    EXPECT_EQ(windows.windows.size(), 1u);
}

TEST_F(CreateRequestHandlerTest, TheActiveFlagIsReadBeforeTheRequestIsHandled) {
    // The unknown-type alert activates the application; it was in the background all the same.
    handler.handleOpenURL(requestFor("zzz", folder.path()));
    EXPECT_TRUE(windows.isActive());
    EXPECT_EQ(windows.passes, 1);
}
