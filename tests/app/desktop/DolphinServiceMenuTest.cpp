#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/AppSettings.h"
#include "app/desktop/DolphinServiceMenu.h"
#include "platform/posix/LaunchingFileManagerViewer.h"
#include "app/desktop/FileManagerMenusUpdater.h"
#include "extension/FinderSync.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/RecordingFinderSyncHost.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

const fs::path kLauncher = "/opt/Apps/Quillet+.app/bin/quillet";

DefaultsValue stringArray(const std::vector<std::string>& ids) {
    DefaultsValue::Array array;
    for (const auto& id : ids) array.emplace_back(id);
    return DefaultsValue(array);
}

// The value of `key` in the group headed `group`.
std::optional<std::string> valueIn(const std::string& text, const std::string& group, const std::string& key) {
    bool inGroup = false;
    std::optional<std::string> found;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.starts_with("[")) inGroup = line == "[" + group + "]";
        else if (inGroup && line.starts_with(key + "=")) found = line.substr(key.size() + 1);
    }
    return found;
}

// The menu a service menu file shows: "-" for a separator, else the action's name and the type
// its command creates ("Text=txt").
std::vector<std::string> serviceMenuOutline(const std::string& text) {
    std::vector<std::string> outline;
    std::string actions = valueIn(text, "Desktop Entry", "Actions").value_or("");
    for (size_t start = 0; start < actions.size();) {
        const size_t end = actions.find(';', start);
        const std::string action = actions.substr(start, end - start);
        start = end + 1;
        if (action == "_SEPARATOR_") {
            outline.push_back("-");
            continue;
        }
        const std::string group = "Desktop Action " + action;
        const std::string exec = valueIn(text, group, "Exec").value_or("");
        const std::string prefix = "\"" + kLauncher.string() + "\" create ";
        const std::string suffix = " --item %F";
        EXPECT_TRUE(exec.starts_with(prefix) && exec.ends_with(suffix)) << exec;
        outline.push_back(valueIn(text, group, "Name").value_or("?") + "=" +
                          exec.substr(prefix.size(), exec.size() - prefix.size() - suffix.size()));
    }
    return outline;
}

// The extension's "Create File" submenu in the same form, with its category headers left out.
std::vector<std::string> extensionOutline(const FinderSyncMenu& menu) {
    std::vector<std::string> outline;
    for (const auto& item : menu.items.at(0).submenu->items) {
        if (item.role == FinderSyncMenuItem::Role::separator) outline.push_back("-");
        if (item.role == FinderSyncMenuItem::Role::createType) outline.push_back(item.title + "=" + item.typeID);
    }
    return outline;
}

struct Fixture {
    test::TemporaryConfigHome config;
    test::TemporaryFolder data;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scope{log};
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openShared(config.path());
    AppSettings settings{*suite};
    test::ManualMainQueue queue;
    DolphinServiceMenu menu{kLauncher, data.path()};
    fs::path file = data.path() / "kio" / "servicemenus" / "org.quillet.Quillet.desktop";

    std::string written() const { return fs::exists(file) ? test::readFile(file) : ""; }
    bool logged(const std::string& prefix) const {
        for (const auto& record : log->records())
            if (record.message.starts_with(prefix)) return true;
        return false;
    }
};

}  // namespace

TEST(DolphinServiceMenu, TextForOneOrderQuotesTheLauncherAndSeparatesCategories) {
    // Every character the Exec key must escape, in the folder the launcher lies in.
    const fs::path launcher = "/home/al/My \"Apps\" $HOME\\x `id` 100%/Quillet+.app/bin/quillet";
    const auto types = enabledFileTypesInOrder({"py", "txt", "swift", "md", "docx"}, {"txt", "md", "py", "docx"});
    EXPECT_EQ(dolphinServiceMenuText(types, launcher), R"([Desktop Entry]
Type=Service
Name=Quillet+
ServiceTypes=KonqPopupMenu/Plugin
MimeType=inode/directory;application/octet-stream;
X-KDE-Protocols=file
X-KDE-Priority=TopLevel
X-KDE-Submenu=Create File
Icon=document-new
Actions=q001-py;_SEPARATOR_;q002-txt;q003-md;_SEPARATOR_;q004-docx;

[Desktop Action q001-py]
Name=Python
Exec="/home/al/My \\"Apps\\" \\$HOME\\\\x \\`id\\` 100%%/Quillet+.app/bin/quillet" create py --item %F

[Desktop Action q002-txt]
Name=Text
Exec="/home/al/My \\"Apps\\" \\$HOME\\\\x \\`id\\` 100%%/Quillet+.app/bin/quillet" create txt --item %F

[Desktop Action q003-md]
Name=Markdown
Exec="/home/al/My \\"Apps\\" \\$HOME\\\\x \\`id\\` 100%%/Quillet+.app/bin/quillet" create md --item %F

[Desktop Action q004-docx]
Name=Word Document
Exec="/home/al/My \\"Apps\\" \\$HOME\\\\x \\`id\\` 100%%/Quillet+.app/bin/quillet" create docx --item %F
)");
    EXPECT_EQ(dolphinServiceMenuText({}, launcher), std::nullopt);
    // A desktop entry cannot carry a line break.
    EXPECT_EQ(dolphinServiceMenuText(types, "/opt/a\nb/bin/quillet"), std::nullopt);
}

// KF5 shows the actions sorted by name, separators included: sorted, the names must give the
// user's order, and every separator must sort before them all (where the menu drops it).
TEST(DolphinServiceMenu, ActionNamesSortInTheUsersOrderAndSeparatorsSortFirst) {
    std::vector<std::string> order;
    for (int i = 0; i < 8; ++i)
        for (const char* id : {"txt", "md", "py", "docx", "swift", "csv", "html", "pptx", "json", "yaml", "xml", "css", "js", "sh", "rtf", "xlsx"})
            order.emplace_back(id);  // 128 entries: past two digits
    const auto types = enabledFileTypesInOrder(order, {"txt", "md", "py", "docx", "swift", "csv", "html", "pptx",
                                                        "json", "yaml", "xml", "css", "js", "sh", "rtf", "xlsx"});
    ASSERT_EQ(types.size(), 128u);
    const std::string text = *dolphinServiceMenuText(types, kLauncher);
    std::vector<std::string> listed;
    std::string actions = valueIn(text, "Desktop Entry", "Actions").value_or("");
    for (size_t start = 0; start < actions.size();) {
        const size_t end = actions.find(';', start);
        listed.push_back(actions.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::string> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> expected = listed;
    std::stable_partition(expected.begin(), expected.end(), [](const std::string& a) { return a == "_SEPARATOR_"; });
    EXPECT_EQ(sorted, expected);
    EXPECT_GT(std::count(listed.begin(), listed.end(), "_SEPARATOR_"), 0);
}

TEST(DolphinServiceMenu, OffersWhatTheExtensionOffersForTheSameSettings) {
    struct Case {
        const char* name;
        std::optional<std::vector<std::string>> order;
        std::optional<std::vector<std::string>> enabled;
    };
    const std::vector<Case> cases{
        {"nothing stored", std::nullopt, std::nullopt},
        {"interleaved categories", std::vector<std::string>{"txt", "py", "md"}, std::nullopt},
        {"a repeat and a foreign id", std::vector<std::string>{"py", "nope", "py", "docx", "txt"},
         std::vector<std::string>{"py", "docx", "txt", "csv"}},
        {"one office type", std::nullopt, std::vector<std::string>{"pptx"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.order) f.suite->set("fileTypeOrder", stringArray(*c.order));
        if (c.enabled) f.suite->set("enabledFileTypeIDs", stringArray(*c.enabled));
        FileManagerMenusUpdater updater({&f.menu}, f.settings, f.queue);
        updater.start();

        test::RecordingFinderSyncHost host;
        FinderSync extension(host, [] { return std::nullopt; }, f.config.path());
        const auto expected = extensionOutline(extension.buildCreateMenu());
        EXPECT_EQ(serviceMenuOutline(f.written()), expected);
        if (!c.order && !c.enabled) {
            EXPECT_EQ(expected.size(), 16u + 2u);
            EXPECT_EQ(expected.front(), "Text=txt");
        }
    }
    // The repeat is offered twice, under two action names.
    Fixture f;
    f.suite->set("fileTypeOrder", stringArray({"txt", "txt"}));
    f.menu.update(enabledFileTypesInOrder(loadFileTypeOrder(*f.suite), {"txt"}));
    EXPECT_EQ(valueIn(f.written(), "Desktop Entry", "Actions"), "q001-txt;q002-txt;");
    EXPECT_EQ(serviceMenuOutline(f.written()), (std::vector<std::string>{"Text=txt", "Text=txt"}));
}

TEST(DolphinServiceMenu, WritesAnExecutableFileOnlyWhenItChangesAndNeverThroughALink) {
    Fixture f;
    const auto one = enabledFileTypesInOrder(defaultOrder(), {"txt"});
    f.menu.update(one);
    ASSERT_TRUE(fs::is_regular_file(f.file));
    struct stat first {};
    ASSERT_EQ(::stat(f.file.c_str(), &first), 0);
    EXPECT_EQ(first.st_mode & 07777, 0755u);  // KIO shows a user's service menu only when executable
    EXPECT_TRUE(f.logged("Wrote the Dolphin service menu at "));

    // The same content: the very same file stays.
    f.log->clear();
    f.menu.update(one);
    struct stat second {};
    ASSERT_EQ(::stat(f.file.c_str(), &second), 0);
    EXPECT_EQ(second.st_ino, first.st_ino);
    EXPECT_FALSE(f.logged("Wrote"));
    // Other content replaces it whole; nothing is left beside it.
    f.menu.update(enabledFileTypesInOrder(defaultOrder(), {"md"}));
    EXPECT_NE(f.written().find("create md "), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(f.file.parent_path()), fs::directory_iterator()), 1);

    // No type offered: our file goes.
    f.menu.update({});
    EXPECT_FALSE(fs::exists(f.file));
    EXPECT_TRUE(f.logged("Removed the Dolphin service menu at "));

    // A link planted at the place is neither followed nor removed.
    const fs::path elsewhere = f.data / "elsewhere.desktop";
    test::writeFile(elsewhere, "theirs");
    fs::create_symlink(elsewhere, f.file);
    f.log->clear();
    f.menu.update(one);
    EXPECT_TRUE(f.logged("Left the Dolphin service menu alone: "));
    EXPECT_FALSE(f.menu.remove());
    f.menu.update({});
    EXPECT_TRUE(fs::is_symlink(f.file));
    EXPECT_EQ(test::readFile(elsewhere), "theirs");

    // A menu that lost its executable bit (which KIO then refuses) gets it back, content unchanged
    // or not; a link is still left alone.
    fs::remove(f.file);
    f.menu.update(one);
    ASSERT_EQ(::chmod(f.file.c_str(), 0644), 0);
    f.log->clear();
    f.menu.update(one);
    struct stat repaired {};
    ASSERT_EQ(::stat(f.file.c_str(), &repaired), 0);
    EXPECT_EQ(repaired.st_mode & 07777, 0755u);
    EXPECT_TRUE(f.logged("Made the Dolphin service menu executable again at "));
    ASSERT_EQ(::chmod(f.file.c_str(), 0600), 0);
    f.menu.update(enabledFileTypesInOrder(defaultOrder(), {"md"}));
    ASSERT_EQ(::stat(f.file.c_str(), &repaired), 0);
    EXPECT_EQ(repaired.st_mode & 07777, 0700u);  // runnable by whoever may read it, no more

    // A data folder that cannot hold the menu: logged, nothing thrown.
    test::TemporaryFolder other;
    test::writeFile(other / "data", "a file, not a folder");
    DolphinServiceMenu blocked(kLauncher, other / "data");
    f.log->clear();
    EXPECT_NO_THROW(blocked.update(one));
    EXPECT_TRUE(f.logged("Could not write the Dolphin service menu: "));
    // Without a home there is nowhere to write, and nothing happens.
    EXPECT_NO_THROW(DolphinServiceMenu(kLauncher, std::nullopt).update(one));
}

TEST(FileManagerMenusUpdater, WritesAtStartThenOnceAfterEachChangeFromHereOrElsewhere) {
    Fixture f;
    auto updater = std::make_unique<FileManagerMenusUpdater>(std::vector<const FileManagerMenu*>{&f.menu}, f.settings, f.queue);
    updater->start();
    updater->start();
    EXPECT_EQ(serviceMenuOutline(f.written()).size(), 18u);

    // Switched off in the main window: written from the queue, once the setting is stored.
    f.settings.setEnabled(false, "txt");
    EXPECT_NE(f.written().find("create txt "), std::string::npos);
    f.settings.fileTypeOrder.set({"pptx"});
    EXPECT_EQ(f.queue.pending(), 1u);
    f.queue.drain();
    EXPECT_EQ(f.written().find("create txt "), std::string::npos);
    EXPECT_EQ(serviceMenuOutline(f.written()).front(), "PowerPoint Presentation=pptx");

    // Every type switched off by another process and read back: the file goes.
    auto outcome = test::runInChild([&] {
        return DefaultsSuite::open(f.config.path(), DefaultsSuite::kSharedSuiteName)
                       ->set("enabledFileTypeIDs", stringArray({}))
                   ? "ok"
                   : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    f.settings.reloadFromSuite();
    f.queue.drain();
    EXPECT_FALSE(fs::exists(f.file));

    // Work still queued when the updater goes does nothing.
    f.settings.setEnabled(true, "md");
    updater.reset();
    f.queue.drain();
    EXPECT_FALSE(fs::exists(f.file));
}

// What the command sends the Dolphin that started it: its bus name, and the file as a URI that
// survives any byte a name may hold.
TEST(LaunchingFileManagerViewer, NamesTheDolphinAndEscapesTheFile) {
    EXPECT_EQ(dolphinBusName(4242), "org.kde.dolphin-4242");
    EXPECT_EQ(fileURIForPath("/home/al/My Docs/100% \"new\"#?.md"),
              "file:///home/al/My%20Docs/100%25%20%22new%22%23%3F.md");
    EXPECT_EQ(fileURIForPath("/tmp/Ärger~_-."), "file:///tmp/%C3%84rger~_-.");
    EXPECT_EQ(sessionBusAddressOf("unix:path=/given", "/run/user/1"), "unix:path=/given");
    test::TemporaryFolder runtime;
    EXPECT_EQ(sessionBusAddressOf("", runtime.path()), "");
    test::writeFile(runtime / "bus", "");
    EXPECT_EQ(sessionBusAddressOf("", runtime.path()), "unix:path=" + (runtime / "bus").string());
    EXPECT_EQ(sessionBusAddressOf("", ""), "");
    // No bus, or a parent that is no Dolphin: nothing happens, nothing is thrown.
    EXPECT_NO_THROW(LaunchingFileManagerViewer(1, "unix:path=/nonexistent").activateFileViewerSelecting({"/tmp/x"}));
    EXPECT_NO_THROW(LaunchingFileManagerViewer(::getpid(), "").activateFileViewerSelecting({"/tmp/x"}));
}
