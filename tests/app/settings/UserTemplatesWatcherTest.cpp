#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "app/settings/UserTemplatesWatcher.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "tests/support/ManualMainQueueTimer.h"
#include "tests/support/PolledReadableDescriptors.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> storedStrings(const DefaultsSuite& suite, const char* key) {
    std::vector<std::string> out;
    if (auto value = suite.get(key); value && value->array())
        for (const auto& element : *value->array()) out.push_back(*element.string());
    std::sort(out.begin(), out.end());
    return out;
}

// Done once, just before the next watch on `watchedFolder` is added: a change that lands
// between a look into a folder and the watch that follows it.
std::string watchedFolder;
std::function<void()> beforeWatching;

}  // namespace

// This test program's own inotify_add_watch, in front of the C library's.
extern "C" int inotify_add_watch(int fd, const char* path, uint32_t mask) noexcept {
    if (beforeWatching && path == watchedFolder) std::exchange(beforeWatching, nullptr)();
    using Real = int (*)(int, const char*, uint32_t);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "inotify_add_watch"));
    return real(fd, path, mask);
}

namespace {

struct TemplatesWatcherTest : ::testing::Test {
    TemporaryConfigHome config;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(config.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
    TemporaryFolder home;
    fs::path folder = home / "Templates";
    ManualMainQueueTimer timer;

    std::vector<std::string> enabledTemplates() const {
        std::vector<std::string> ids;
        for (const auto& type : settings.enabledFileTypesInOrder())
            if (type.category == FileTypeCategory::templates) ids.push_back(type.id);
        return ids;
    }
};

}  // namespace

TEST_F(TemplatesWatcherTest, TemplatesAddedWhileRunningComeEnabledEvenAfterOtherTypesWereSwitchedOff) {
    fs::create_directories(folder);
    writeFile(folder / "Letter.odt", "letter");
    UserTemplatesWatcher watcher(settings, UserTemplates(folder), timer);
    watcher.start();
    EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:Letter.odt"});
    EXPECT_EQ(settings.fileTypeOrder->back(), "template:Letter.odt");

    // The user switches txt and the letter off: the templates seen are recorded with the set.
    settings.setEnabled(false, "txt");
    settings.setEnabled(false, "template:Letter.odt");
    EXPECT_EQ(storedStrings(*suite, settingsKey::knownTemplateIDs), std::vector<std::string>{"template:Letter.odt"});
    EXPECT_TRUE(enabledTemplates().empty());

    int published = 0;
    auto subscription = settings.enabledFileTypeIDs.subscribe([&](const auto&) { ++published; });
    fs::create_directories(folder / "Work");
    writeFile(folder / "Work" / "Invoice.ods", "invoice");
    timer.runPending();
    EXPECT_EQ(published, 1);
    EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:Work/Invoice.ods"});
    EXPECT_FALSE(settings.enabledFileTypeIDs->count("txt"));

    // Nothing changed in the folder: nothing is read again, nothing published.
    timer.runPending();
    EXPECT_EQ(published, 1);

    // The list in the main window shows a fourth section with both, the letter off.
    FileTypesListModel list(settings);
    const auto sections = list.sections();
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[3].title, "Templates");
    ASSERT_EQ(sections[3].rows.size(), 2u);
    EXPECT_FALSE(sections[3].rows[0].isEnabled);
    EXPECT_EQ(sections[3].rows[1].extensionText, "Work/Invoice.ods");

    // Removed from the folder: gone from every list, and its stored id is not read back.
    fs::remove(folder / "Letter.odt");
    timer.runPending();
    EXPECT_EQ(settings.fileTypeOrder->back(), "template:Work/Invoice.ods");
    EXPECT_EQ(std::count(settings.fileTypeOrder->begin(), settings.fileTypeOrder->end(), "template:Letter.odt"), 0);
    EXPECT_EQ(list.sections()[3].rows.size(), 1u);
    // Put back, it is the template the user switched off before.
    writeFile(folder / "Letter.odt", "letter");
    timer.runPending();
    EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:Work/Invoice.ods"});
}

TEST_F(TemplatesWatcherTest, AFolderMadeLaterIsFoundAndNoTemplatesLeaveThreeSections) {
    UserTemplatesWatcher watcher(settings, UserTemplates(folder), timer);
    watcher.start();
    EXPECT_EQ(settings.orderedFileTypes().size(), 16u);
    EXPECT_EQ(FileTypesListModel(settings).sections().size(), 3u);

    fs::create_directories(folder);
    writeFile(folder / "README.md", "# Project\n");
    timer.runPending();
    EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:README.md"});

    // The shortcut of a template is kept while it is there.
    settings.setShortcut(QuickCreateShortcut{46, 6144}, "template:README.md");
    EXPECT_EQ(settings.fileTypeShortcuts->count("template:README.md"), 1u);
    settings.setShortcut(QuickCreateShortcut{47, 6144}, "template:Other.md");
    EXPECT_EQ(settings.fileTypeShortcuts->count("template:Other.md"), 0u);
}

TEST_F(TemplatesWatcherTest, GivenReadableDescriptorsItSleepsUntilTheFolderOrItsParentChanges) {
    PolledReadableDescriptors descriptors;
    {
        UserTemplatesWatcher watcher(settings, UserTemplates(folder), timer, &descriptors);
        watcher.start();
        // No look is scheduled: only the kernel's report wakes the watcher.
        EXPECT_EQ(timer.pending(), 0u);
        EXPECT_EQ(descriptors.watched(), 1u);
        EXPECT_EQ(descriptors.dispatch(), 0);

        // The folder made where it is expected (its parent is watched meanwhile).
        fs::create_directories(folder);
        writeFile(folder / "README.md", "# Project\n");
        EXPECT_EQ(descriptors.dispatch(), 1);
        EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:README.md"});

        // In a subfolder made later, and removed again.
        fs::create_directories(folder / "Work");
        EXPECT_EQ(descriptors.dispatch(), 1);
        writeFile(folder / "Work" / "Invoice.ods", "invoice");
        EXPECT_EQ(descriptors.dispatch(), 1);
        EXPECT_EQ(enabledTemplates(), (std::vector<std::string>{"template:README.md", "template:Work/Invoice.ods"}));
        fs::remove(folder / "README.md");
        EXPECT_EQ(descriptors.dispatch(), 1);
        EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:Work/Invoice.ods"});

        // Nothing changed: nothing wakes it.
        EXPECT_EQ(descriptors.dispatch(), 0);
        EXPECT_EQ(timer.pending(), 0u);
    }
    EXPECT_EQ(descriptors.watched(), 0u);
}

TEST_F(TemplatesWatcherTest, ATemplateWrittenWhileItsNewFolderIsFirstWatchedIsSeen) {
    PolledReadableDescriptors descriptors;
    UserTemplatesWatcher watcher(settings, UserTemplates(folder), timer, &descriptors);
    watcher.start();
    fs::create_directories(folder);
    // The letter lands after the watcher has looked into the new folder, before it watches it.
    watchedFolder = folder.string();
    beforeWatching = [&] { writeFile(folder / "Letter.odt", "letter"); };
    EXPECT_EQ(descriptors.dispatch(), 1);
    EXPECT_FALSE(beforeWatching);
    EXPECT_EQ(enabledTemplates(), std::vector<std::string>{"template:Letter.odt"});
}
