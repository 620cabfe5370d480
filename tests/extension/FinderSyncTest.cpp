#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/requests/CreateFileRequest.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "extension/CreateFileGlyph.h"
#include "extension/FinderSync.h"
#include "shared/logging/Logger.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RecordingFinderSyncHost.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using Role = FinderSyncMenuItem::Role;

struct Fixture {
    test::TemporaryConfigHome config;
    test::TemporaryFolder home;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scope{log};
    test::RecordingFinderSyncHost host;
    std::optional<UserAccount> account = UserAccount{home.path(), "alice"};
    FinderSync finderSync{host, [this] { return account; }, config.path()};

    void store(const std::string& key, DefaultsValue value) {
        ASSERT_TRUE(DefaultsSuite::openShared(config.path())->set(key, std::move(value)));
    }
    // The submenu as "[Header]", "-" and type ids, the form the cases below compare.
    std::vector<std::string> submenuOutline(long kind = 1) {
        auto menu = finderSync.menuForMenuKind(kind);
        EXPECT_TRUE(menu);
        if (!menu) return {};
        std::vector<std::string> outline;
        for (const auto& item : menu->items.at(0).submenu->items) {
            if (item.role == Role::header) outline.push_back("[" + item.title + "]");
            if (item.role == Role::separator) outline.push_back("-");
            if (item.role == Role::createType) outline.push_back(item.typeID);
        }
        return outline;
    }
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        for (const auto& r : log->records()) out.push_back(r.message);
        return out;
    }
};

const std::vector<std::string> kDefaultOutline{
    "[Plain Text]", "txt", "md", "rtf", "csv", "-", "[Code]", "json", "yaml", "xml", "html", "css", "js", "sh",
    "py", "swift", "-", "[Office]", "docx", "xlsx", "pptx"};

}  // namespace

// --- Monitored roots -------------------------------------------------------------------------

TEST(FinderSyncRoots, HomeFoldersCloudEntriesThenVolumesInOrder) {
    test::TemporaryFolder home;
    const fs::path cloud = home.path() / "Library" / "CloudStorage";
    fs::create_directories(cloud / "OneDrive-Personal");
    fs::create_directories(cloud / ".hidden");
    test::writeFile(cloud / "notes.txt", "x");
    fs::create_directory_symlink(cloud / "OneDrive-Personal", cloud / "Linked");

    auto roots = monitoredRoots(UserAccount{home.path() / "." / "", "alice"}, std::nullopt);
    // The listing order of the cloud folder is the file system's; compare those two as a set.
    ASSERT_EQ(roots.size(), 14u);
    std::vector<fs::path> listed(roots.begin() + 9, roots.begin() + 11);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<fs::path>{cloud / "Linked", cloud / "OneDrive-Personal"}));
    roots.erase(roots.begin() + 9, roots.begin() + 11);
    const fs::path h = home.path();
    const fs::path iCloud = h / "Library/Mobile Documents/com~apple~CloudDocs";
    EXPECT_EQ(roots, (std::vector<fs::path>{h, h / "Desktop", h / "Documents", h / "Downloads", iCloud,
                                            iCloud / "Desktop", iCloud / "Documents", h / "Dropbox", cloud,
                                            "/media", "/run/media/alice", "/mnt"}));
}

TEST(FinderSyncRoots, DuplicatesAreDroppedAndNoAccountLeavesTheVolumes) {
    // A home at /media (after standardizing) must not list /media twice.
    auto roots = monitoredRoots(UserAccount{"/media/x/..", "bob"}, std::nullopt);
    EXPECT_EQ(std::count(roots.begin(), roots.end(), fs::path("/media")), 1);
    EXPECT_EQ(roots.front(), fs::path("/media"));
    EXPECT_EQ(monitoredRoots(std::nullopt, std::nullopt), (std::vector<fs::path>{"/media", "/mnt"}));
    // A name that would climb out of /run/media is not used.
    auto odd = monitoredRoots(UserAccount{"/home/x", "../etc"}, std::nullopt);
    EXPECT_EQ(std::count(odd.begin(), odd.end(), fs::path("/run/media/../etc")), 0);
    EXPECT_EQ(std::count(odd.begin(), odd.end(), fs::path("/run/etc")), 0);
    auto dots = monitoredRoots(UserAccount{"/home/x", ".."}, std::nullopt);
    EXPECT_EQ(std::count(dots.begin(), dots.end(), fs::path("/run")), 0);
}

TEST(FinderSyncRoots, TheUsersDesktopIsServedWhereverTheDesktopRecordsIt) {
    test::TemporaryFolder home, config;
    const fs::path h = home.path();
    test::writeFile(config / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    auto roots = monitoredRoots(UserAccount{h, "alice"}, config.path());
    ASSERT_GE(roots.size(), 4u);
    EXPECT_EQ(std::vector<fs::path>(roots.begin(), roots.begin() + 4),
              (std::vector<fs::path>{h, h / "Bureau", h / "Documents", h / "Downloads"}));
    EXPECT_EQ(std::count(roots.begin(), roots.end(), h / "Desktop"), 0);

    // A Desktop outside the home is served as a root of its own.
    test::writeFile(config / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/desks/alice\"\n");
    roots = monitoredRoots(UserAccount{h, "alice"}, config.path());
    EXPECT_EQ(roots.at(1), fs::path("/srv/desks/alice"));
    // A home that is its own Desktop is listed once.
    test::writeFile(config / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME\"\n");
    roots = monitoredRoots(UserAccount{h, "alice"}, config.path());
    EXPECT_EQ(std::count(roots.begin(), roots.end(), h), 1);
    EXPECT_EQ(roots.at(1), h / "Documents");
}

TEST(FinderSyncRoots, StartUpHandsTheRootsToTheHostAndLogsThem) {
    Fixture f;
    EXPECT_EQ(f.host.directoryURLs, f.finderSync.directoryURLs());
    EXPECT_EQ(f.host.directoryURLs.front(), f.home.path());
    const auto records = f.log->records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().subsystem, "org.quillet.Quillet.FinderSync");
    EXPECT_EQ(records.front().category, "FinderSync");
    const std::string h = f.home.path().string();
    EXPECT_EQ(records.front().message,
              "FinderSync initialized with monitored roots: " + h + " | " + h + "/Desktop | " + h + "/Documents | " +
                  h + "/Downloads | " + h + "/Library/Mobile Documents/com~apple~CloudDocs | " + h +
                  "/Library/Mobile Documents/com~apple~CloudDocs/Desktop | " + h +
                  "/Library/Mobile Documents/com~apple~CloudDocs/Documents | " + h + "/Dropbox | " + h +
                  "/Library/CloudStorage | /media | /run/media/alice | /mnt");
}

TEST(FinderSyncRoots, MonitoredMeansAtOrBeneathARootComponentWise) {
    Fixture f;
    EXPECT_TRUE(f.finderSync.isMonitored(f.home.path()));
    EXPECT_TRUE(f.finderSync.isMonitored(f.home.path() / ".cache" / "deep"));
    EXPECT_TRUE(f.finderSync.isMonitored("/media/usb/photos"));
    EXPECT_TRUE(f.finderSync.isMonitored("/run/media/alice/stick"));
    EXPECT_FALSE(f.finderSync.isMonitored("/mediax"));
    EXPECT_FALSE(f.finderSync.isMonitored("/run/media/bob"));
    EXPECT_FALSE(f.finderSync.isMonitored("/tmp"));
    EXPECT_FALSE(f.finderSync.isMonitored("/media/../etc"));
    EXPECT_FALSE(f.finderSync.isMonitored("media/usb"));
    EXPECT_FALSE(f.finderSync.isMonitored(f.home.path().parent_path()));
}

// --- Menus ---------------------------------------------------------------------------------

TEST(FinderSyncMenu, WithoutSettingsEveryTypeInCatalogOrderUnderThreeHeaders) {
    Fixture f;
    auto menu = f.finderSync.menuForMenuKind(1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title, "Quillet+");
    ASSERT_EQ(menu->items.size(), 1u);
    const auto& createFile = menu->items[0];
    EXPECT_EQ(createFile.title, "Create File");
    EXPECT_EQ(createFile.role, Role::submenu);
    EXPECT_EQ(createFile.glyphSize, 16);
    ASSERT_TRUE(createFile.submenu);
    EXPECT_EQ(createFile.submenu->title, "Create File");
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);

    long expectedTag = 0;
    for (const auto& item : createFile.submenu->items) {
        if (item.role == Role::createType) {
            EXPECT_EQ(item.tag, expectedTag++);
            EXPECT_TRUE(item.enabled);
        } else {
            EXPECT_FALSE(item.enabled) << item.title;
        }
    }
    const auto& md = createFile.submenu->items[2];
    EXPECT_EQ(md.title, "Markdown");
    EXPECT_EQ(md.symbolName, "doc.richtext");
    EXPECT_TRUE(f.log->contains("Building menu for kind=contextualMenuForContainer"));
}

TEST(FinderSyncMenu, ItemsAndToolbarKindsGetTheMenuSidebarAndUnknownKindsNothing) {
    Fixture f;
    EXPECT_EQ(f.submenuOutline(0), kDefaultOutline);
    EXPECT_EQ(f.submenuOutline(3), kDefaultOutline);
    EXPECT_TRUE(f.log->contains("Building menu for kind=contextualMenuForItems"));
    EXPECT_TRUE(f.log->contains("Building menu for kind=toolbarItemMenu"));
    EXPECT_FALSE(f.finderSync.menuForMenuKind(2));
    EXPECT_TRUE(f.log->contains("Ignoring menu kind=contextualMenuForSidebar"));
    EXPECT_FALSE(f.finderSync.menuForMenuKind(9));
    EXPECT_TRUE(f.log->contains("Ignoring menu kind=FinderMenuKind(rawValue: 9)"));
    EXPECT_FALSE(f.finderSync.menuForMenuKind(-1));
}

TEST(FinderSyncMenu, EverythingDisabledLeavesAnEmptySubmenu) {
    Fixture f;
    f.store("enabledFileTypeIDs", DefaultsValue::Array{});
    auto menu = f.finderSync.menuForMenuKind(0);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->items.size(), 1u);
    EXPECT_EQ(menu->items[0].title, "Create File");
    ASSERT_TRUE(menu->items[0].submenu);
    EXPECT_TRUE(menu->items[0].submenu->items.empty());
}

TEST(FinderSyncMenu, StoredOrderKeepsKnownIDsDropsForeignOnesAndAppendsTheRest) {
    Fixture f;
    f.store("fileTypeOrder", DefaultsValue::Array{"py", "txt", "quillet-foreign"});
    EXPECT_EQ(f.submenuOutline(),
              (std::vector<std::string>{"[Code]", "py", "-", "[Plain Text]", "txt", "md", "rtf", "csv", "-", "[Code]",
                                        "json", "yaml", "xml", "html", "css", "js", "sh", "swift", "-", "[Office]",
                                        "docx", "xlsx", "pptx"}));
    // The tag is the catalog position, not the position in the menu.
    auto menu = f.finderSync.menuForMenuKind(1);
    EXPECT_EQ(menu->items[0].submenu->items[1].typeID, "py");
    EXPECT_EQ(menu->items[0].submenu->items[1].tag, 11);
}

TEST(FinderSyncMenu, InterleavedCategoriesRepeatTheirHeaders) {
    Fixture f;
    f.store("fileTypeOrder", DefaultsValue::Array{"txt", "py", "md"});
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"md", "py", "txt", "not-a-type"});
    EXPECT_EQ(f.submenuOutline(),
              (std::vector<std::string>{"[Plain Text]", "txt", "-", "[Code]", "py", "-", "[Plain Text]", "md"}));
}

TEST(FinderSyncMenu, SettingsAreReadAnewForEveryMenuAndMalformedValuesFallBack) {
    Fixture f;
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"md"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Plain Text]", "md"}));
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"docx"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Office]", "docx"}));
    f.store("enabledFileTypeIDs", DefaultsValue("md"));
    f.store("fileTypeOrder", DefaultsValue::Array{"md", 3});
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
}

TEST(FinderSyncMenu, AReplacedOrRemovedSettingsDatabaseIsOpenedAgain) {
    Fixture f;
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"md"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Plain Text]", "md"}));
    const fs::path database = f.finderSync.sharedSettings().databasePath();
    ASSERT_FALSE(database.empty());

    // The application moved a damaged file aside and started a new one.
    fs::rename(database, database.string() + ".aside");
    fs::remove(database.string() + "-wal");
    fs::remove(database.string() + "-shm");
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"docx"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Office]", "docx"}));

    // Everything removed (as the uninstaller does): the defaults again.
    fs::remove_all(database.parent_path());
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
}

TEST(FinderSyncMenu, AStandInSuiteIsNotKeptOnceTheSharedOneOpens) {
    Fixture f;
    // Something that is not a folder where the shared suite belongs: it cannot open.
    test::writeFile(f.config.suiteFolder(DefaultsSuite::kSharedSuiteName), "x");
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
    EXPECT_NE(f.finderSync.sharedSettings().name(), DefaultsSuite::kSharedSuiteName);

    fs::remove(f.config.suiteFolder(DefaultsSuite::kSharedSuiteName));
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"csv"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Plain Text]", "csv"}));
}

// --- The settings suite, read-only ------------------------------------------------------------

namespace {

// Every entry of a folder with its bytes, to see that nothing was created, changed or moved.
std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found[entry.path().filename().string()] = entry.is_regular_file() ? test::readFile(entry.path()) : "(other)";
    return found;
}

size_t countLogged(const MemoryLogSink& sink, const std::string& fragment) {
    size_t count = 0;
    for (const auto& r : sink.records())
        if (r.message.find(fragment) != std::string::npos) {
            EXPECT_EQ(r.level, LogLevel::Error) << r.message;
            EXPECT_EQ(r.category, "FinderSync") << r.message;
            ++count;
        }
    return count;
}

constexpr const char* kUnreadable = "Could not read the shared settings suite group.org.quillet.Quillet";

}  // namespace

// --- The user's templates ---------------------------------------------------------------------

TEST(FinderSyncTemplates, TheTemplatesFolderIsReadForEveryMenuAndSubfoldersBecomeSubmenus) {
    Fixture f;
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
    const fs::path templates = f.home / "Templates";
    fs::create_directories(templates / "Work" / "2024");
    test::writeFile(templates / "Letter.odt", "letter");
    test::writeFile(templates / "Work" / "Invoice.ods", "invoice");
    test::writeFile(templates / "Work" / "2024" / "Report.odt", "report");
    test::writeFile(templates / ".hidden", "no");

    auto outline = kDefaultOutline;
    for (const char* more : {"-", "[Templates]", "template:Letter.odt"}) outline.push_back(more);
    EXPECT_EQ(f.submenuOutline(), outline);
    const auto menu = f.finderSync.buildCreateMenu();
    const auto& items = menu.items.at(0).submenu->items;
    const auto& work = items.back();
    ASSERT_EQ(work.role, Role::templateFolder);
    EXPECT_EQ(work.title, "Work");
    ASSERT_EQ(work.submenu->items.size(), 2u);
    EXPECT_EQ(work.submenu->items[0].typeID, "template:Work/Invoice.ods");
    EXPECT_EQ(work.submenu->items[0].title, "Invoice");
    EXPECT_EQ(work.submenu->items[0].tag, -1);
    EXPECT_EQ(work.submenu->items[1].role, Role::templateFolder);
    EXPECT_EQ(work.submenu->items[1].submenu->items.at(0).typeID, "template:Work/2024/Report.odt");
    const auto& letter = items[items.size() - 2];
    EXPECT_EQ(letter.title, "Letter");

    // Switched off in the application, it goes; one added since comes, enabled.
    DefaultsValue::Array enabled;
    for (const auto& id : defaultOrder()) enabled.emplace_back(id);
    enabled.emplace_back("template:Work/Invoice.ods");
    f.store(settingsKey::enabledFileTypeIDs, DefaultsValue(enabled));
    f.store(settingsKey::knownTemplateIDs,
            DefaultsValue(DefaultsValue::Array{DefaultsValue("template:Letter.odt"),
                                               DefaultsValue("template:Work/Invoice.ods"),
                                               DefaultsValue("template:Work/2024/Report.odt")}));
    test::writeFile(templates / "README.md", "readme");
    outline = kDefaultOutline;
    for (const char* more : {"-", "[Templates]", "template:README.md"}) outline.push_back(more);
    EXPECT_EQ(f.submenuOutline(), outline);
    // Reading never writes: the folder holds what it held.
    EXPECT_EQ(std::distance(fs::directory_iterator(templates), fs::directory_iterator()), 4);
}

TEST(FinderSyncTemplates, ATemplateItemForwardsItsIDAndAVanishedOneForwardsNothing) {
    Fixture f;
    fs::create_directories(f.home / "Templates");
    test::writeFile(f.home / "Templates" / "Letter.odt", "letter");
    fs::create_directories(f.home / "shown");
    f.host.targeted = f.home / "shown";
    f.finderSync.handleCreateItem(-1, "template:Letter.odt");
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(*CreateFileRequest::parse(f.host.openedURLs[0]),
              (CreateFileRequest{"template:Letter.odt", (f.home / "shown").string()}));
    // The built-in items still go by their tag.
    f.finderSync.handleCreateItem(1, "md");
    ASSERT_EQ(f.host.openedURLs.size(), 2u);
    EXPECT_EQ(CreateFileRequest::parse(f.host.openedURLs[1])->typeID, "md");

    fs::remove(f.home / "Templates" / "Letter.odt");
    for (const char* id : {"template:Letter.odt", "template:../shown"}) {
        f.finderSync.handleCreateItem(-1, id);
        EXPECT_TRUE(f.log->contains(std::string("handleCreate invoked with unknown template=") + id));
    }
    EXPECT_EQ(f.host.openedURLs.size(), 2u);
}

TEST(FinderSyncSettings, AGarbageSuiteIsLeftByteForByteTheMenusUseTheDefaultsAndItIsLoggedOnce) {
    Fixture f;
    const fs::path folder = f.config.suiteFolder(DefaultsSuite::kSharedSuiteName);
    fs::create_directories(folder);
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += "this is not a settings database ";
    test::writeFile(folder / "Defaults.sqlite", garbage);
    // A stale log beside it, as a crash may leave: SQLite would index it in a new file.
    test::writeFile(folder / "Defaults.sqlite-wal", "stale journal");
    const auto before = contents(folder);

    for (long kind : {0L, 1L, 3L, 1L}) EXPECT_EQ(f.submenuOutline(kind), kDefaultOutline);
    EXPECT_EQ(contents(folder), before);
    EXPECT_EQ(countLogged(*f.log, kUnreadable), 1u);

    // Without the log, the file itself is read and refused: still untouched, logged once more
    // because the reason changed.
    fs::remove(folder / "Defaults.sqlite-wal");
    for (long kind : {0L, 1L}) EXPECT_EQ(f.submenuOutline(kind), kDefaultOutline);
    EXPECT_EQ(contents(folder), (std::map<std::string, std::string>{{"Defaults.sqlite", garbage}}));
    EXPECT_EQ(countLogged(*f.log, kUnreadable), 2u);
    EXPECT_TRUE(f.log->contains(std::string(kUnreadable) + " (" + (folder / "Defaults.sqlite").string() +
                                ": file is not a database); menus offer the default file types"));

    // Only the application repairs; the next menu reads what it stores then.
    f.store("enabledFileTypeIDs", DefaultsValue::Array{"md"});
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Plain Text]", "md"}));
    // Once it read, a new failure is reported again.
    fs::remove_all(folder);
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
    EXPECT_EQ(f.submenuOutline(), kDefaultOutline);
    EXPECT_EQ(countLogged(*f.log, kUnreadable), 3u);
}

TEST(FinderSyncSettings, AFreshAccountGetsTheDefaultsAndNoSuiteFolder) {
    Fixture f;
    for (long kind : {1L, 0L, 3L}) EXPECT_EQ(f.submenuOutline(kind), kDefaultOutline);
    EXPECT_TRUE(fs::is_empty(f.config.path()));
    EXPECT_EQ(countLogged(*f.log, kUnreadable), 1u);
    EXPECT_EQ(f.finderSync.sharedSettings().name(), "org.quillet.Quillet.FinderSync");
    EXPECT_FALSE(f.finderSync.sharedSettings().isPersistent());
    EXPECT_TRUE(fs::is_empty(f.config.path()));
}

TEST(FinderSyncSettings, TheApplicationsSuiteIsReadAndItsLaterChangesAreSeen) {
    Fixture f;
    auto application = DefaultsSuite::open(f.config.path(), DefaultsSuite::kSharedSuiteName);
    ASSERT_TRUE(application);
    ASSERT_TRUE(application->set("fileTypeOrder", DefaultsValue::Array{"json", "md"}));
    ASSERT_TRUE(application->set("enabledFileTypeIDs", DefaultsValue::Array{"md", "json"}));
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Code]", "json", "-", "[Plain Text]", "md"}));
    const DefaultsSuite* held = &f.finderSync.sharedSettings();

    ASSERT_TRUE(application->set("enabledFileTypeIDs", DefaultsValue::Array{"md", "json", "txt"}));
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Code]", "json", "-", "[Plain Text]", "md", "txt"}));
    // Another process (the command line, a second instance) changes the order.
    auto outcome = test::runInChild([&] {
        auto own = DefaultsSuite::open(f.config.path(), DefaultsSuite::kSharedSuiteName);
        return own && own->set("fileTypeOrder", DefaultsValue::Array{"txt", "md", "json"}) ? "ok" : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_EQ(f.submenuOutline(), (std::vector<std::string>{"[Plain Text]", "txt", "md", "-", "[Code]", "json"}));
    // The same connection served every menu.
    EXPECT_EQ(&f.finderSync.sharedSettings(), held);
    EXPECT_EQ(countLogged(*f.log, kUnreadable), 0u);
}

// --- Handling a choice -------------------------------------------------------------------------

TEST(FinderSyncCreate, TagsOutOfRangeAreLoggedAndForwardNothing) {
    Fixture f;
    f.host.targeted = f.home.path();
    for (long tag : {16L, -1L, 1000L}) {
        f.finderSync.handleCreate(tag);
        EXPECT_TRUE(f.log->contains("handleCreate invoked with invalid tag=" + std::to_string(tag)));
    }
    EXPECT_TRUE(f.host.openedURLs.empty());
    for (const auto& r : f.log->records()) {
        if (r.message.starts_with("handleCreate")) {
            EXPECT_EQ(r.level, LogLevel::Error);
        }
    }
    f.finderSync.handleCreate(15);
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(CreateFileRequest::parse(f.host.openedURLs[0])->typeID, "pptx");
}

TEST(FinderSyncCreate, AnExistingTargetedFolderWinsOverTheSelection) {
    Fixture f;
    fs::create_directories(f.home / "shown");
    f.host.targeted = f.home / "shown";
    f.host.selection = {f.home / "elsewhere" / "item"};
    f.finderSync.handleCreate(1);
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(*CreateFileRequest::parse(f.host.openedURLs[0]),
              (CreateFileRequest{"md", (f.home / "shown").string()}));
    const std::string dir = (f.home / "shown").string();
    EXPECT_TRUE(f.log->contains("targetedURL=" + dir));
    EXPECT_TRUE(f.log->contains("Create requested: type=md in dir=" + dir));

    f.host.complete();
    EXPECT_TRUE(f.log->contains("Forwarded create request to containing app: type=md dir=" + dir));
    f.finderSync.handleCreate(0);
    f.host.complete("no application handles quillaxe");
    EXPECT_TRUE(f.log->contains("Failed to forward create request to containing app: type=txt dir=" + dir +
                                ": no application handles quillaxe"));
}

TEST(FinderSyncCreate, ASelectedFolderSendsItsParentNotTheFolder) {
    Fixture f;
    fs::create_directories(f.home / "a" / "b");
    test::writeFile(f.home / "a" / "file.txt", "x");
    f.host.selection = {f.home / "a" / "b", f.home / "other"};
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "a");
    EXPECT_TRUE(f.log->contains("selectedItemURL=" + (f.home / "a" / "b").string()));
    // A targeted file (not a folder) does not count; the selection decides.
    f.host.targeted = f.home / "a" / "file.txt";
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "a");
    // Neither does a targeted folder that is gone.
    f.host.targeted = f.home / "gone";
    f.host.selection = {f.home / "a" / "file.txt"};
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "a");
}

TEST(FinderSyncCreate, ThenTheObservedFolderThenTheDesktopThenNothing) {
    Fixture f;
    fs::create_directories(f.home / "seen");
    f.finderSync.beginObservingDirectory(f.home / "seen" / "." / "");
    EXPECT_EQ(f.finderSync.mostRecentObservedDirectoryURL(), f.home / "seen");
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "seen");
    EXPECT_TRUE(f.log->contains("Falling back to most recent observed directory=" + (f.home / "seen").string()));

    // Ending another folder keeps the remembered one; ending it (in any spelling) forgets it.
    f.finderSync.endObservingDirectory(f.home / "other");
    EXPECT_EQ(f.finderSync.mostRecentObservedDirectoryURL(), f.home / "seen");
    f.finderSync.endObservingDirectory(f.home / "x" / ".." / "seen");
    EXPECT_FALSE(f.finderSync.mostRecentObservedDirectoryURL());
    EXPECT_TRUE(f.log->contains("End observing directory: " + (f.home / "other").string()));

    // No Desktop in the home folder: nothing to fall back to.
    f.finderSync.handleCreate(0);
    EXPECT_TRUE(f.log->contains("No targetedURL or selectedItemURLs available from Finder"));
    EXPECT_TRUE(f.log->contains("targetDirectoryURL() returned nil"));
    EXPECT_TRUE(f.host.openedURLs.empty());

    fs::create_directories(f.home / "Desktop");
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "Desktop");
    EXPECT_TRUE(f.log->contains("Falling back to Desktop directory=" + (f.home / "Desktop").string()));

    f.account.reset();
    EXPECT_FALSE(f.finderSync.targetDirectoryURL());
}

TEST(FinderSyncCreate, TheLastResortIsTheLocalizedDesktop) {
    Fixture f;
    test::writeFile(f.config.path() / "user-dirs.dirs", "# German desktop\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    fs::create_directories(f.home / "Desktop");
    // Not there yet: the plain Desktop is not taken in its place.
    EXPECT_FALSE(f.finderSync.targetDirectoryURL());
    fs::create_directories(f.home / "Schreibtisch");
    EXPECT_EQ(f.finderSync.targetDirectoryURL(), f.home / "Schreibtisch");
    f.finderSync.handleCreate(0);
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(CreateFileRequest::parse(f.host.openedURLs[0])->directoryPath, (f.home / "Schreibtisch").string());
    EXPECT_TRUE(f.log->contains("Falling back to Desktop directory=" + (f.home / "Schreibtisch").string()));
}

TEST(FinderSyncCreate, FolderNamesWithSpacesAndNonASCIILettersArriveUnchanged) {
    Fixture f;
    const fs::path folder = f.home / "My Notes" / "Überraschung – ĉu ŝi? #1 & 50% + more";
    fs::create_directories(folder);
    f.host.targeted = folder;
    f.finderSync.handleCreate(3);
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(f.host.openedURLs[0].find(' '), std::string::npos);
    const auto request = CreateFileRequest::parse(f.host.openedURLs[0]);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->typeID, "csv");
    EXPECT_EQ(request->directoryPath, folder.string());
    f.host.complete();
    EXPECT_TRUE(f.log->contains("Forwarded create request to containing app: type=csv dir=" + folder.string()));
}

TEST(FinderSyncCreate, TheSentFolderIsStandardized) {
    Fixture f;
    fs::create_directories(f.home / "a");
    f.host.targeted = f.home / "a" / "." / "";
    f.finderSync.handleCreate(0);
    ASSERT_EQ(f.host.openedURLs.size(), 1u);
    EXPECT_EQ(CreateFileRequest::parse(f.host.openedURLs[0])->directoryPath, (f.home / "a").string());
}

// --- Glyph -----------------------------------------------------------------------------------

TEST(CreateFileGlyph, ShapesOnTheTwentyUnitSquareCentredInTheRect) {
    const GlyphColor accent{0.2, 0.4, 0.8, 1};
    // 40 x 20: u = 1, the square starts 10 units in.
    const auto shapes = drawCreateFileGlyph({0, 0, 40, 20}, accent);
    ASSERT_EQ(shapes.size(), 6u);
    using K = GlyphShape::Kind;
    EXPECT_EQ(shapes[0].kind, K::roundedRectangle);
    EXPECT_EQ(shapes[0].bounds, (GlyphRect{15, 2, 12, 16}));
    EXPECT_DOUBLE_EQ(shapes[0].cornerRadius, 2.4);
    EXPECT_EQ(shapes[0].color, accent);
    EXPECT_EQ(shapes[1].kind, K::polygon);
    ASSERT_EQ(shapes[1].points.size(), 3u);
    EXPECT_DOUBLE_EQ(shapes[1].points[0].x, 27 - 4.6);
    EXPECT_DOUBLE_EQ(shapes[1].points[0].y, 18);
    EXPECT_DOUBLE_EQ(shapes[1].points[1].y, 18 - 4.6);
    EXPECT_EQ(shapes[1].points[2], (GlyphPoint{27, 18}));
    EXPECT_EQ(shapes[1].color, (GlyphColor{1, 1, 1, 0.35}));
    EXPECT_EQ(shapes[2].kind, K::ellipse);
    EXPECT_DOUBLE_EQ(shapes[2].bounds.x, 11.5 - 1.1);
    EXPECT_DOUBLE_EQ(shapes[2].bounds.width, 9.8 + 2.2);
    EXPECT_EQ(shapes[2].color.alpha, 0.92);
    EXPECT_EQ(shapes[3].bounds, (GlyphRect{11.5, 1.4, 9.8, 9.8}));
    EXPECT_EQ(shapes[3].color, accent);
    for (int i : {4, 5}) {
        EXPECT_EQ(shapes[i].kind, K::line);
        EXPECT_DOUBLE_EQ(shapes[i].lineWidth, 2.25);
        EXPECT_EQ(shapes[i].color, kGlyphWhite);
        const double length = std::hypot(shapes[i].points[1].x - shapes[i].points[0].x,
                                          shapes[i].points[1].y - shapes[i].points[0].y);
        EXPECT_NEAR(length, 4.9, 1e-9);
        EXPECT_NEAR((shapes[i].points[0].x + shapes[i].points[1].x) / 2, 11.5 + 4.9, 1e-9);
        EXPECT_NEAR((shapes[i].points[0].y + shapes[i].points[1].y) / 2, 1.4 + 4.9, 1e-9);
    }
    // Scales with the smaller side; an empty rect draws nothing.
    EXPECT_DOUBLE_EQ(drawCreateFileGlyph({0, 0, 16, 16}, accent)[0].cornerRadius, 2.4 * 0.8);
    EXPECT_TRUE(drawCreateFileGlyph({0, 0, 0, 21}, accent).empty());
}
