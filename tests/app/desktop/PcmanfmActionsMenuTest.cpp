#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/desktop/DolphinServiceMenu.h"
#include "app/desktop/FileManagerMenusUpdater.h"
#include "app/desktop/PcmanfmActionsMenu.h"
#include "app/settings/AppSettings.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/ManualMainQueue.h"
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

std::vector<std::string> listItems(const std::string& list) {
    std::vector<std::string> items;
    for (size_t start = 0; start < list.size();) {
        const size_t end = list.find(';', start);
        items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

// The menu PCManFM-Qt shows from a folder of actions: each listed action's name and the type its
// command creates ("Text=txt"); "missing" for a listed action without its file.
std::vector<std::string> actionsOutline(const fs::path& folder) {
    std::vector<std::string> outline;
    const std::string menu = test::readFile(folder / PcmanfmActionsMenu::kMenuFileName);
    for (const auto& id : listItems(valueIn(menu, "Desktop Entry", "ItemsList").value_or(""))) {
        const fs::path file = folder / (id + ".desktop");
        if (!fs::exists(file)) {
            outline.push_back("missing");
            continue;
        }
        const std::string text = test::readFile(file);
        const std::string exec = valueIn(text, "X-Action-Profile local", "Exec").value_or("");
        const std::string prefix = "\"" + kLauncher.string() + "\" create ";
        const std::string suffix = " --item %F";
        EXPECT_TRUE(exec.starts_with(prefix) && exec.ends_with(suffix)) << exec;
        outline.push_back(valueIn(text, "Desktop Entry", "Name").value_or("?") + "=" +
                          exec.substr(prefix.size(), exec.size() - prefix.size() - suffix.size()));
    }
    return outline;
}

// The names in `folder`, links marked "@".
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string() + (entry.is_symlink() ? "@" : ""));
    return names;
}

ino_t inode(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

struct Fixture {
    test::TemporaryConfigHome config;
    test::TemporaryFolder data;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scope{log};
    PcmanfmActionsMenu menu{kLauncher, data.path()};
    fs::path folder = data.path() / "file-manager" / "actions";

    bool logged(const std::string& prefix) const {
        for (const auto& record : log->records())
            if (record.message.starts_with(prefix)) return true;
        return false;
    }
};

std::vector<FileTypeDefinition> types(const std::vector<std::string>& order, const std::set<std::string>& enabled) {
    return enabledFileTypesInOrder(order, enabled);
}

}  // namespace

TEST(PcmanfmActionsMenu, FilesListTheTypesInTheUsersOrderAndQuoteWhatNeedsIt) {
    const fs::path launcher = "/home/al/My \"Apps\" $HOME\\x `id` 100%/Quillet+.app/bin/quillet";
    const auto files = pcmanfmActionsFiles(types({"py", "txt", "swift", "md", "docx"}, {"txt", "md", "py", "docx"}),
                                           launcher);
    ASSERT_TRUE(files);
    // No separators: PCManFM-Qt drops them inside a menu.
    EXPECT_EQ(files->menu, R"([Desktop Entry]
Type=Menu
Name=Create File
Icon=document-new
Schemes=file;
ItemsList=org.quillet.Quillet-py;org.quillet.Quillet-txt;org.quillet.Quillet-md;org.quillet.Quillet-docx;
)");
    ASSERT_EQ(files->actions.size(), 4u);
    EXPECT_EQ(files->actions[0].first, "org.quillet.Quillet-py.desktop");
    EXPECT_EQ(files->actions[0].second, R"([Desktop Entry]
Type=Action
Name=Python
Profiles=local;

[X-Action-Profile local]
MimeTypes=all/all;
Schemes=file;
Exec="/home/al/My \\"Apps\\" \\$HOME\\\\x \\`id\\` 100%%/Quillet+.app/bin/quillet" create py --item %F
)");
    EXPECT_EQ(files->actions[3].first, "org.quillet.Quillet-docx.desktop");

    // A type listed twice is one action, listed twice.
    const auto twice = pcmanfmActionsFiles(types({"txt", "txt"}, {"txt"}), kLauncher);
    ASSERT_TRUE(twice);
    EXPECT_EQ(valueIn(twice->menu, "Desktop Entry", "ItemsList"), "org.quillet.Quillet-txt;org.quillet.Quillet-txt;");
    EXPECT_EQ(twice->actions.size(), 1u);

    // Any id makes a file name of its own, and one word of the command; names keep their text.
    EXPECT_EQ(pcmanfmActionID("my_type"), "org.quillet.Quillet-my_5Ftype");
    EXPECT_EQ(pcmanfmActionID("../a b;é"), "org.quillet.Quillet-.._2Fa_20b_3B_C3_A9");
    const auto odd = pcmanfmActionsFiles(
        {{"../a b;$", " Tab\there \\ 100%", "x", FileTypeCategory::plainText, "doc"}}, kLauncher);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->actions[0].first, "org.quillet.Quillet-.._2Fa_20b_3B_24.desktop");
    EXPECT_EQ(valueIn(odd->actions[0].second, "Desktop Entry", "Name"), "\\sTab\\there \\\\ 100%");
    EXPECT_EQ(valueIn(odd->actions[0].second, "X-Action-Profile local", "Exec"),
              "\"" + kLauncher.string() + "\" create \"../a b;\\\\$\" --item %F");

    EXPECT_EQ(pcmanfmActionsFiles({}, launcher), std::nullopt);
    // A desktop entry cannot carry a line break.
    EXPECT_EQ(pcmanfmActionsFiles(types({"txt"}, {"txt"}), "/opt/a\nb/bin/quillet"), std::nullopt);
}

TEST(PcmanfmActionsMenu, WritesWhatChangedRemovesStaleActionsAndNeverFollowsALink) {
    Fixture f;
    // Other actions in the folder, and names that only look like ours, are never touched.
    fs::create_directories(f.folder);
    for (const char* name : {"theirs.desktop", "org.quillet.QuilletX.desktop", "org.quillet.Quillet-notes.txt"})
        test::writeFile(f.folder / name, "theirs");

    f.menu.update(types(defaultOrder(), {"txt", "md"}));
    EXPECT_EQ(actionsOutline(f.folder), (std::vector<std::string>{"Text=txt", "Markdown=md"}));
    struct stat info {};
    ASSERT_EQ(::stat((f.folder / "org.quillet.Quillet-md.desktop").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_TRUE(f.logged("Wrote the PCManFM-Qt actions menu in "));

    // The same types: nothing is written. Another set: the type switched off loses its action,
    // the one kept keeps its very file.
    const ino_t menu = inode(f.folder / PcmanfmActionsMenu::kMenuFileName);
    const ino_t md = inode(f.folder / "org.quillet.Quillet-md.desktop");
    f.log->clear();
    f.menu.update(types(defaultOrder(), {"txt", "md"}));
    EXPECT_FALSE(f.logged("Wrote"));
    EXPECT_EQ(inode(f.folder / PcmanfmActionsMenu::kMenuFileName), menu);
    f.menu.update(types({"py", "md"}, {"md", "py"}));
    EXPECT_EQ(actionsOutline(f.folder), (std::vector<std::string>{"Python=py", "Markdown=md"}));
    EXPECT_EQ(inode(f.folder / "org.quillet.Quillet-md.desktop"), md);
    EXPECT_EQ(namesIn(f.folder),
              (std::set<std::string>{"theirs.desktop", "org.quillet.QuilletX.desktop", "org.quillet.Quillet-notes.txt",
                                     "org.quillet.Quillet.desktop", "org.quillet.Quillet-py.desktop",
                                     "org.quillet.Quillet-md.desktop"}));

    // A link at an action's place is neither followed nor removed; the rest is written.
    const fs::path elsewhere = f.data / "elsewhere.desktop";
    test::writeFile(elsewhere, "theirs");
    fs::create_symlink(elsewhere, f.folder / "org.quillet.Quillet-json.desktop");
    f.log->clear();
    f.menu.update(types({"json", "sh"}, {"json", "sh"}));
    EXPECT_TRUE(f.logged("Left the PCManFM-Qt actions menu alone: "));
    EXPECT_EQ(test::readFile(elsewhere), "theirs");
    EXPECT_TRUE(fs::exists(f.folder / "org.quillet.Quillet-sh.desktop"));
    f.menu.update(types({"sh"}, {"sh"}));
    EXPECT_TRUE(fs::is_symlink(f.folder / "org.quillet.Quillet-json.desktop"));

    // No type offered: the menu and our actions go, all else stays.
    f.log->clear();
    f.menu.update({});
    EXPECT_EQ(namesIn(f.folder),
              (std::set<std::string>{"theirs.desktop", "org.quillet.QuilletX.desktop", "org.quillet.Quillet-notes.txt",
                                     "org.quillet.Quillet-json.desktop@"}));
    EXPECT_TRUE(f.logged("Removed the PCManFM-Qt actions menu from "));
    EXPECT_FALSE(f.menu.remove());
    EXPECT_EQ(test::readFile(elsewhere), "theirs");

    // A link at the menu's place: left alone, and no action is written to stand outside a menu.
    fs::create_symlink(elsewhere, f.folder / PcmanfmActionsMenu::kMenuFileName);
    f.log->clear();
    f.menu.update(types({"txt"}, {"txt"}));
    EXPECT_TRUE(f.logged("Left the PCManFM-Qt actions menu alone: "));
    EXPECT_FALSE(fs::exists(f.folder / "org.quillet.Quillet-txt.desktop"));
    EXPECT_FALSE(f.menu.remove());
    EXPECT_EQ(test::readFile(elsewhere), "theirs");

    // A data folder that cannot hold the menu: logged, nothing thrown; without a home, nothing.
    test::TemporaryFolder other;
    test::writeFile(other / "data", "a file, not a folder");
    f.log->clear();
    EXPECT_NO_THROW(PcmanfmActionsMenu(kLauncher, other / "data").update(types({"txt"}, {"txt"})));
    EXPECT_TRUE(f.logged("Could not write the PCManFM-Qt actions menu: "));
    EXPECT_NO_THROW(PcmanfmActionsMenu(kLauncher, std::nullopt).update(types({"txt"}, {"txt"})));
    EXPECT_FALSE(PcmanfmActionsMenu(kLauncher, std::nullopt).remove());
}

// One updater keeps both menus from the same settings: the same items in the same order (Dolphin
// adding its separators), and both gone when nothing is offered.
TEST(FileManagerMenusUpdater, KeepsEveryMenuFromTheSameSettings) {
    Fixture f;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openShared(f.config.path());
    AppSettings settings{*suite};
    test::ManualMainQueue queue;
    DolphinServiceMenu dolphin{kLauncher, f.data.path()};
    const fs::path dolphinFile = f.data / "kio" / "servicemenus" / DolphinServiceMenu::kFileName;
    // Dolphin's items without its separators, in the form actionsOutline gives.
    const auto dolphinItems = [&] {
        std::vector<std::string> outline;
        const std::string text = test::readFile(dolphinFile);
        for (const auto& action : listItems(valueIn(text, "Desktop Entry", "Actions").value_or(""))) {
            if (action == "_SEPARATOR_") continue;
            const std::string exec = valueIn(text, "Desktop Action " + action, "Exec").value_or("");
            const size_t type = exec.find(" create ") + 8;
            outline.push_back(valueIn(text, "Desktop Action " + action, "Name").value_or("?") + "=" +
                              exec.substr(type, exec.find(' ', type) - type));
        }
        return outline;
    };

    suite->set("fileTypeOrder", stringArray({"py", "nope", "md", "py", "docx", "txt"}));
    suite->set("enabledFileTypeIDs", stringArray({"py", "docx", "txt", "md"}));
    FileManagerMenusUpdater updater({&dolphin, &f.menu}, settings, queue);
    updater.start();
    // A repeat in the order is offered twice, as the extension offers it.
    EXPECT_EQ(actionsOutline(f.folder), (std::vector<std::string>{"Python=py", "Markdown=md", "Python=py",
                                                                  "Word Document=docx", "Text=txt"}));
    EXPECT_EQ(dolphinItems(), actionsOutline(f.folder));

    settings.fileTypeOrder.set({"txt", "docx"});
    queue.drain();
    EXPECT_EQ(actionsOutline(f.folder).front(), "Text=txt");
    EXPECT_EQ(dolphinItems(), actionsOutline(f.folder));

    // Templates of the user's: one with a space and a folder in its name, offered by both, its id
    // quoted where it is run and escaped where it names an action or a file; one with a line
    // break, which no command line carries, left out without holding up the rest.
    settings.adoptTemplates({"template:Work/My Letter.odt", "template:Bad\nName.txt"});
    queue.drain();
    const auto dolphinText = test::readFile(dolphinFile);
    EXPECT_NE(dolphinText.find("Name=My Letter\n"), std::string::npos) << dolphinText;
    EXPECT_NE(dolphinText.find("create \"template:Work/My Letter.odt\" --item %F"), std::string::npos) << dolphinText;
    EXPECT_NE(dolphinText.find("-template_3AWork_2FMy_20Letter.odt]"), std::string::npos) << dolphinText;
    EXPECT_EQ(dolphinText.find("Bad"), std::string::npos) << dolphinText;
    EXPECT_TRUE(fs::exists(f.folder / "org.quillet.Quillet-template_3AWork_2FMy_20Letter.odt.desktop"));

    settings.adoptTemplates({});
    suite->set("enabledFileTypeIDs", stringArray({}));
    settings.reloadFromSuite();
    queue.drain();
    EXPECT_FALSE(fs::exists(dolphinFile));
    EXPECT_TRUE(fs::is_empty(f.folder));
}
