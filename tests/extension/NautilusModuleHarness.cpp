// Loads the built Nautilus module the way Nautilus does, asks it for menus about test file-info
// objects, and follows a chosen item through GIO to the real quillet program registered as the
// quillaxe: handler, down to the new file on disk.
//
// HOME and the XDG folders point into a temporary folder, so the settings suite, the desktop
// entry and mimeapps.list are the harness's own. The module takes the home folder from the
// account database (as it must: HOME can be anything inside a file manager), so the folders it
// is asked about live in a uniquely named folder under the account's home, removed at the end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "shared/settings/DefaultsSuite.h"
#include "shared/paths/FilePaths.h"
#include "tests/support/NautilusHarness.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

struct Harness {
    fs::path isolated;      // HOME, XDG folders, the captured log
    fs::path testRoot;      // under the account home: inside the module's monitored roots
    fs::path logPath;
    test::NautilusModuleLoader* loader = nullptr;
};

Harness harness;
int originalStderr = -1;

// The test folders under the account home are named after the process that made them.
const std::string kTestRootPrefix = ".quillet-nautilus-harness-";

// A run that crashed could not remove its folder; one whose process is gone is removed here.
// Runs of other build trees may be under way at the same time, so only those.
void removeFoldersOfEndedRuns(const fs::path& home) {
    std::error_code ec;
    for (fs::directory_iterator it(home, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(kTestRootPrefix)) continue;
        const std::string rest = name.substr(kTestRootPrefix.size());
        const auto dash = rest.find('-');
        if (dash == std::string::npos || dash == 0) continue;
        const pid_t pid = static_cast<pid_t>(std::strtol(rest.substr(0, dash).c_str(), nullptr, 10));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(it->path(), ec);
    }
}

// A crash (a fatal GLib message included) would otherwise take the captured log with it.
void showLogAndDie(int signal) {
    const int fd = ::open(harness.logPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && originalStderr >= 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            if (::write(originalStderr, buffer, static_cast<size_t>(n)) < 0) break;
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

std::string capturedLog() {
    std::ifstream in(harness.logPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool logContains(const std::string& line) {
    const std::string log = capturedLog();
    return log.find(line + "\n") != std::string::npos;
}

// Runs the main loop, as Nautilus does between calls, until the condition holds.
bool waitFor(const std::function<bool()>& condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

std::string uriFor(const fs::path& path) {
    char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string result = uri ? uri : "";
    g_free(uri);
    return result;
}

// Owns the list a provider returned.
struct Items {
    GList* list = nullptr;
    explicit Items(GList* l) : list(l) {}
    ~Items() {
        if (list) nautilus_menu_item_list_free(list);
    }
    Items(const Items&) = delete;
    Items& operator=(const Items&) = delete;
    size_t size() const { return g_list_length(list); }
    NautilusMenuItem* at(size_t i) const { return NAUTILUS_MENU_ITEM(g_list_nth_data(list, static_cast<guint>(i))); }
};

std::string property(NautilusMenuItem* item, const char* name) {
    char* value = nullptr;
    g_object_get(item, name, &value, nullptr);
    std::string result = value ? value : "";
    g_free(value);
    return result;
}

bool sensitive(NautilusMenuItem* item) {
    gboolean value = FALSE;
    g_object_get(item, "sensitive", &value, nullptr);
    return value;
}

NautilusMenu* submenuOf(NautilusMenuItem* item) {
    NautilusMenu* menu = nullptr;
    g_object_get(item, "menu", &menu, nullptr);
    if (menu) g_object_unref(menu);  // the item keeps it
    return menu;
}

// The submenu of "Create File" as labels, disabled headers as "[Title]" and the separators
// (disabled items without a label) as "-".
std::vector<std::string> outline(NautilusMenu* menu) {
    std::vector<std::string> out;
    GList* items = nautilus_menu_get_items(menu);
    for (GList* l = items; l; l = l->next) {
        auto* item = NAUTILUS_MENU_ITEM(l->data);
        const std::string label = property(item, "label");
        if (sensitive(item))
            out.push_back(label);
        else
            out.push_back(label.empty() ? "-" : "[" + label + "]");
    }
    if (items) nautilus_menu_item_list_free(items);
    return out;
}

NautilusMenuItem* findItem(NautilusMenu* menu, const std::string& label) {
    GList* items = nautilus_menu_get_items(menu);
    NautilusMenuItem* found = nullptr;
    for (GList* l = items; l && !found; l = l->next)
        if (property(NAUTILUS_MENU_ITEM(l->data), "label") == label) found = NAUTILUS_MENU_ITEM(l->data);
    if (items) nautilus_menu_item_list_free(items);  // the menu keeps its items
    return found;
}

class NautilusModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.loader && harness.loader->loaded()) << (harness.loader ? harness.loader->failure() : "");
        ASSERT_EQ(harness.loader->objects().size(), 1u);
        if (harness.testRoot.empty()) GTEST_SKIP() << "no writable folder under the account's home";
        folder_ = harness.testRoot / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(folder_);
        auto suite = DefaultsSuite::openShared(harness.isolated / "config");
        suite->remove("enabledFileTypeIDs");
        suite->remove("fileTypeOrder");
    }

    NautilusMenuProvider* provider() const { return NAUTILUS_MENU_PROVIDER(harness.loader->objects()[0]); }

    GList* background(const std::string& uri) {
        NautilusFileInfo* info = test::newTestFileInfo(uri, G_FILE_TYPE_DIRECTORY);
        GList* items = nautilus_menu_provider_get_background_items(provider(), info);
        g_object_unref(info);
        return items;
    }

    GList* selection(const std::vector<std::pair<std::string, GFileType>>& files) {
        GList* infos = nullptr;
        for (const auto& [uri, type] : files) infos = g_list_append(infos, test::newTestFileInfo(uri, type));
        GList* items = nautilus_menu_provider_get_file_items(provider(), infos);
        g_list_free_full(infos, g_object_unref);
        return items;
    }

    // The one "Create File" item of a menu, with its submenu.
    static NautilusMenu* createFileSubmenu(const Items& items) {
        EXPECT_EQ(items.size(), 1u);
        if (items.size() != 1) return nullptr;
        EXPECT_EQ(property(items.at(0), "label"), "Create File");
        EXPECT_TRUE(sensitive(items.at(0)));
        return submenuOf(items.at(0));
    }

    fs::path folder_;
};

const std::vector<std::string> kDefaultOutline{
    "[Plain Text]", "Text", "Markdown", "Rich Text", "CSV", "-", "[Code]", "JSON", "YAML", "XML", "HTML", "CSS",
    "JavaScript", "Shell Script", "Python", "Swift", "-", "[Office]", "Word Document", "Excel Spreadsheet",
    "PowerPoint Presentation"};

}  // namespace

TEST(NautilusModuleLoading, LoadsLikeNautilusAndExportsOnlyItsEntryPoints) {
    ASSERT_TRUE(harness.loader && harness.loader->loaded()) << (harness.loader ? harness.loader->failure() : "");
    ASSERT_EQ(harness.loader->types().size(), 1u);
    EXPECT_TRUE(g_type_is_a(harness.loader->types()[0], NAUTILUS_TYPE_MENU_PROVIDER));
    EXPECT_TRUE(NAUTILUS_IS_MENU_PROVIDER(harness.loader->objects()[0]));
    EXPECT_TRUE(harness.loader->exports("nautilus_module_list_types"));
    // The core linked into the module stays private to it.
    EXPECT_FALSE(harness.loader->exports("_ZN7quillet8allTypesEv"));
    EXPECT_FALSE(harness.loader->exports("_ZN7quillet17accountHomeFolderEv"));

    const std::string home = accountHomeFolder().string();
    const std::string user = accountUserName();
    EXPECT_TRUE(logContains("FinderSync default: FinderSync initialized with monitored roots: " + home + " | " + home +
                            "/Desktop | " + home + "/Documents | " + home + "/Downloads | " + home +
                            "/Library/Mobile Documents/com~apple~CloudDocs | " + home +
                            "/Library/Mobile Documents/com~apple~CloudDocs/Desktop | " + home +
                            "/Library/Mobile Documents/com~apple~CloudDocs/Documents | " + home + "/Dropbox | " +
                            home + "/Library/CloudStorage | /media | /run/media/" + user + " | /mnt"))
        << capturedLog();
}

TEST_F(NautilusModuleTest, BackgroundMenuListsEveryTypeUnderInsensitiveHeaders) {
    gpointer createFile = nullptr;
    gpointer submenuObject = nullptr;
    gpointer firstType = nullptr;
    {
        Items items(background(uriFor(folder_)));
        NautilusMenu* submenu = createFileSubmenu(items);
        ASSERT_TRUE(submenu);
        EXPECT_EQ(outline(submenu), kDefaultOutline);
        EXPECT_TRUE(logContains("FinderSync default: Building menu for kind=contextualMenuForContainer"));
        EXPECT_TRUE(logContains("FinderSync default: Begin observing directory: " + folder_.string()));

        createFile = items.at(0);
        submenuObject = submenu;
        firstType = findItem(submenu, "Text");
        for (gpointer* object : {&createFile, &submenuObject, &firstType}) g_object_add_weak_pointer(G_OBJECT(*object), object);
    }
    // Once Nautilus drops the list, everything the module made goes, and with it every
    // reference the items' actions held on the provider.
    EXPECT_FALSE(createFile);
    EXPECT_FALSE(submenuObject);
    EXPECT_FALSE(firstType);
    EXPECT_EQ(G_OBJECT(provider())->ref_count, 1u);
}

// Nautilus sets its process's language from the session; the module only looks its texts up in
// that language, and an English process sees the English menu again.
TEST_F(NautilusModuleTest, TheMenuIsInTheLanguageOfTheFileManagersProcess) {
    ::setenv("LOCPATH", QUILLET_TEST_LOCALES, 1);
    const struct {
        const char* language;
        const char* locale;
        const char* createFile;
        const char* firstHeader;
        const char* wordDocument;
        const char* offered;  // a process keeps its language: each one here sees its own settings
    } sessions[] = {
        {"de", "de_DE.UTF-8", "Datei erstellen", "[Reiner Text]", "Word-Dokument", "txt"},
        {"fr", "fr_FR.UTF-8", "Créer un fichier", "[Texte brut]", "Document Word", "md"},
        {"es", "es_ES.UTF-8", "Crear archivo", "[Texto sin formato]", "Documento de Word", "rtf"},
    };
    for (const auto& session : sessions) {
        ASSERT_TRUE(
            DefaultsSuite::openShared(harness.isolated / "config")
                ->set("enabledFileTypeIDs", DefaultsValue::Array{std::string(session.offered), std::string("docx")}));
        ::setenv("LANGUAGE", session.language, 1);
        ASSERT_NE(std::setlocale(LC_MESSAGES, session.locale), nullptr)
            << session.locale << " in " QUILLET_TEST_LOCALES;
        Items items(background(uriFor(folder_)));
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(property(items.at(0), "label"), session.createFile);
        const std::vector<std::string> lines = outline(submenuOf(items.at(0)));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), session.firstHeader);
        EXPECT_NE(std::find(lines.begin(), lines.end(), session.wordDocument), lines.end()) << session.language;
    }
    ::unsetenv("LANGUAGE");
    std::setlocale(LC_MESSAGES, "C");
    DefaultsSuite::openShared(harness.isolated / "config")->remove("enabledFileTypeIDs");
    Items english(background(uriFor(folder_)));
    EXPECT_EQ(outline(createFileSubmenu(english)), kDefaultOutline);
}

TEST_F(NautilusModuleTest, EveryTypeDisabledLeavesCreateFileWithAnEmptySubmenu) {
    ASSERT_TRUE(DefaultsSuite::openShared(harness.isolated / "config")->set("enabledFileTypeIDs", DefaultsValue::Array{}));
    Items items(background(uriFor(folder_)));
    NautilusMenu* submenu = createFileSubmenu(items);
    ASSERT_TRUE(submenu);
    EXPECT_TRUE(outline(submenu).empty());
}

TEST_F(NautilusModuleTest, UserOrderIsFollowedAndInterleavedCategoriesRepeatHeaders) {
    auto suite = DefaultsSuite::openShared(harness.isolated / "config");
    ASSERT_TRUE(suite->set("fileTypeOrder", DefaultsValue::Array{"txt", "py", "md", "foreign"}));
    ASSERT_TRUE(suite->set("enabledFileTypeIDs", DefaultsValue::Array{"md", "py", "txt"}));
    Items items(selection({{uriFor(folder_ / "a.txt"), G_FILE_TYPE_REGULAR}}));
    NautilusMenu* submenu = createFileSubmenu(items);
    ASSERT_TRUE(submenu);
    EXPECT_EQ(outline(submenu),
              (std::vector<std::string>{"[Plain Text]", "Text", "-", "[Code]", "Python", "-", "[Plain Text]", "Markdown"}));
    EXPECT_TRUE(logContains("FinderSync default: Building menu for kind=contextualMenuForItems"));
}

TEST_F(NautilusModuleTest, NothingIsOfferedOutsideTheMonitoredRoots) {
    test::TemporaryFolder outside;
    const std::string outsideURI = uriFor(outside.path());
    for (const std::string& uri : {outsideURI, std::string("trash:///"), std::string("recent:///"),
                                   std::string("x-nautilus-search://0/"), std::string("sftp://host/srv"),
                                   std::string("file:///")}) {
        Items items(background(uri));
        EXPECT_EQ(items.size(), 0u) << uri;
    }
    Items outsideFile(selection({{uriFor(outside.path() / "a.txt"), G_FILE_TYPE_REGULAR}}));
    EXPECT_EQ(outsideFile.size(), 0u);
    // The first item decides; a local second item does not make a Trash selection local.
    Items trashed(selection({{"trash:///a.txt", G_FILE_TYPE_REGULAR}, {uriFor(folder_ / "b"), G_FILE_TYPE_REGULAR}}));
    EXPECT_EQ(trashed.size(), 0u);
    // Selecting the home folder itself happens in its parent, which is not monitored.
    Items homeItself(selection({{uriFor(accountHomeFolder()), G_FILE_TYPE_DIRECTORY}}));
    EXPECT_EQ(homeItself.size(), 0u);
}

TEST_F(NautilusModuleTest, ChoosingATypeCreatesTheFileThroughTheRegisteredHandler) {
    const fs::path target = folder_ / "Mes Données – ü ✓ & 50%";
    fs::create_directories(target);
    Items items(background(uriFor(target)));
    NautilusMenu* submenu = createFileSubmenu(items);
    ASSERT_TRUE(submenu);
    NautilusMenuItem* markdown = findItem(submenu, "Markdown");
    ASSERT_TRUE(markdown);
    nautilus_menu_item_activate(markdown);

    EXPECT_TRUE(waitFor([&] { return fs::exists(target / "Untitled.md"); })) << capturedLog();
    EXPECT_TRUE(waitFor([&] {
        return logContains("FinderSync default: Forwarded create request to containing app: type=md dir=" +
                           target.string());
    })) << capturedLog();
    EXPECT_TRUE(logContains("FinderSync default: targetedURL=" + target.string()));
    EXPECT_TRUE(logContains("FinderSync default: Create requested: type=md in dir=" + target.string()));
}

TEST_F(NautilusModuleTest, ATemplateIsOfferedAfterTheBuiltInTypesAndCreatesItsCopy) {
    const fs::path templates = harness.isolated / "templates";
    std::string bytes = "PK\x03\x04";
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 31);
    test::writeFile(templates / "Letter.odt", bytes);
    fs::create_directories(templates / "Work");
    test::writeFile(templates / "Work" / "Invoice.ods", "invoice");
    struct Clear {
        fs::path folder;
        ~Clear() {
            std::error_code ec;
            fs::remove_all(folder / "Letter.odt", ec);
            fs::remove_all(folder / "Work", ec);
        }
    } clear{templates};

    Items items(background(uriFor(folder_)));
    NautilusMenu* submenu = createFileSubmenu(items);
    ASSERT_TRUE(submenu);
    auto expected = kDefaultOutline;
    for (const char* more : {"-", "[Templates]", "Letter", "Work"}) expected.push_back(more);
    EXPECT_EQ(outline(submenu), expected);
    NautilusMenuItem* work = findItem(submenu, "Work");
    ASSERT_TRUE(work);
    EXPECT_EQ(outline(submenuOf(work)), std::vector<std::string>{"Invoice"});

    NautilusMenuItem* letter = findItem(submenu, "Letter");
    ASSERT_TRUE(letter);
    nautilus_menu_item_activate(letter);
    EXPECT_TRUE(waitFor([&] { return fs::exists(folder_ / "Letter.odt"); })) << capturedLog();
    EXPECT_TRUE(waitFor([&] { return test::readFile(folder_ / "Letter.odt") == bytes; })) << capturedLog();
    nautilus_menu_item_activate(letter);
    EXPECT_TRUE(waitFor([&] { return fs::exists(folder_ / "Letter 2.odt"); })) << capturedLog();
    EXPECT_TRUE(logContains("FinderSync default: Create requested: type=template:Letter.odt in dir=" + folder_.string()));
}

TEST_F(NautilusModuleTest, ASelectedFolderGetsTheFileBesideItAndEachMenuKeepsItsOwnFolder) {
    const fs::path selected = folder_ / "Sub folder";
    const fs::path other = folder_ / "other";
    fs::create_directories(selected);
    fs::create_directories(other);
    Items items(selection({{uriFor(selected), G_FILE_TYPE_DIRECTORY}, {uriFor(other), G_FILE_TYPE_DIRECTORY}}));
    NautilusMenu* submenu = createFileSubmenu(items);
    ASSERT_TRUE(submenu);
    // Nautilus builds the background menu too before the user picks from the selection menu.
    Items unrelated(background(uriFor(other)));
    ASSERT_EQ(unrelated.size(), 1u);

    NautilusMenuItem* text = findItem(submenu, "Text");
    ASSERT_TRUE(text);
    nautilus_menu_item_activate(text);
    EXPECT_TRUE(waitFor([&] { return fs::exists(folder_ / "Untitled.txt"); })) << capturedLog();
    EXPECT_TRUE(waitFor([&] {
        return logContains("FinderSync default: Forwarded create request to containing app: type=txt dir=" +
                           folder_.string());
    })) << capturedLog();
    EXPECT_FALSE(fs::exists(selected / "Untitled.txt"));
    EXPECT_FALSE(fs::exists(other / "Untitled.txt"));
    EXPECT_TRUE(logContains("FinderSync default: selectedItemURL=" + selected.string()));
}

TEST_F(NautilusModuleTest, ADamagedSuiteIsLeftAsItIsAndTheMenuOffersEveryType) {
    // As if the application had not yet moved a damaged database aside.
    const fs::path suite = harness.isolated / "config" / DefaultsSuite::kSharedSuiteName;
    fs::remove_all(suite);
    fs::create_directories(suite);
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += "this is not a settings database ";
    test::writeFile(suite / DefaultsSuite::kDatabaseFileName, garbage);
    const size_t logStart = capturedLog().size();
    for (int menu = 0; menu < 3; ++menu) {
        Items items(background(uriFor(folder_)));
        NautilusMenu* submenu = createFileSubmenu(items);
        ASSERT_TRUE(submenu);
        EXPECT_EQ(outline(submenu), kDefaultOutline);
    }
    EXPECT_EQ(test::readFile(suite / DefaultsSuite::kDatabaseFileName), garbage);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(suite)) ++entries;
    EXPECT_EQ(entries, 1u);
    const std::string line = "FinderSync error: Could not read the shared settings suite group.org.quillet.Quillet (" +
                             (suite / DefaultsSuite::kDatabaseFileName).string() +
                             ": file is not a database); menus offer the default file types\n";
    const std::string log = capturedLog();
    const auto first = log.find(line, logStart);
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(line, first + 1), std::string::npos) << "logged more than once";
    // The next test's application open starts the suite afresh.
    fs::remove_all(suite);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);

    test::TemporaryFolder isolated;
    harness.isolated = isolated.path();
    for (const char* sub : {"home", "config", "data/applications", "cache", "runtime", "templates"})
        fs::create_directories(isolated.path() / sub);
    fs::permissions(isolated.path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    ::setenv("HOME", (isolated.path() / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (isolated.path() / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (isolated.path() / "data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (isolated.path() / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (isolated.path() / "runtime").c_str(), 1);
    // The handler runs headless and reaches no desktop session.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (isolated.path() / "no-bus").string()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("QUILLET_LOG", "stderr", 1);

    test::writeFile(isolated.path() / "data/applications/org.quillet.Quillet.desktop",
                    "[Desktop Entry]\nType=Application\nName=Quillet+\nExec=\"" + std::string(QUILLET_PROGRAM) +
                        "\" %u\nMimeType=x-scheme-handler/quillaxe;\nNoDisplay=true\nTerminal=false\n");
    // The Templates folder, where the desktop records it: empty but for the case that fills it.
    test::writeFile(isolated.path() / "config/user-dirs.dirs",
                    "XDG_TEMPLATES_DIR=\"" + (isolated.path() / "templates").string() + "\"\n");
    test::writeFile(isolated.path() / "config/mimeapps.list",
                    "[Default Applications]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n");

    // The module and the handler log to stderr; keep it to compare the lines.
    harness.logPath = isolated.path() / "harness.log";
    const int logFd = ::open(harness.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    originalStderr = ::dup(2);
    if (logFd >= 0) ::dup2(logFd, 2);
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGTRAP}) ::signal(signal, showLogAndDie);

    if (!accountHomeFolder().empty()) {
        removeFoldersOfEndedRuns(accountHomeFolder());
        std::string pattern =
            (accountHomeFolder() / (kTestRootPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data())) harness.testRoot = pattern;
    }

    // A GLib warning or critical from the module (a bad reference count, a wrong argument) ends
    // the run instead of scrolling by.
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING));
    harness.loader = new test::NautilusModuleLoader(QUILLET_NAUTILUS_MODULE);
    const int result = RUN_ALL_TESTS();
    delete harness.loader;

    std::error_code ec;
    if (!harness.testRoot.empty()) fs::remove_all(harness.testRoot, ec);
    if (originalStderr >= 0) ::dup2(originalStderr, 2);
    if (result != 0) std::printf("---- captured log ----\n%s", capturedLog().c_str());
    return result;
}
