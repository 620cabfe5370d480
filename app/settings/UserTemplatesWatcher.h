#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/ReadableDescriptors.h"
#include "platform/posix/FolderChangeNotifier.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/logging/Logger.h"

namespace quillet {

class AppSettings;
class MainQueueTimer;

// Keeps the settings' view of the user's templates current while the application runs: a
// template added to the Templates folder (or a subfolder) is offered everywhere within a second,
// one removed leaves every list. The folders are watched by the kernel, and the folder is scanned
// again only after a change. Given `descriptors`, the watcher sleeps until the kernel reports
// one; otherwise (or without inotify) it looks a few times a second. While the folder does not
// exist, its nearest existing parent is watched (and the folder looked for at each look), so
// creating ~/Templates also counts.
class UserTemplatesWatcher {
public:
    static constexpr std::chrono::milliseconds kInterval{250};

    // Scans once at once and hands the templates to the settings.
    UserTemplatesWatcher(AppSettings& settings, UserTemplates templates, MainQueueTimer& timer,
                         ReadableDescriptors* descriptors = nullptr);
    ~UserTemplatesWatcher();
    UserTemplatesWatcher(const UserTemplatesWatcher&) = delete;
    UserTemplatesWatcher& operator=(const UserTemplatesWatcher&) = delete;

    // Starts looking; a second call changes nothing.
    void start();
    // One look: scans again when a watched folder changed, or the missing folder appeared.
    void checkNow();
    const UserTemplates& templates() const { return templates_; }

private:
    void rescan();
    void scheduleNext();

    Logger log_{kAppSubsystem, "UserTemplates"};
    AppSettings& settings_;
    UserTemplates templates_;
    // The ids last handed to the settings, so only a real change is logged.
    std::vector<std::string> offered_;
    MainQueueTimer& timer_;
    ReadableDescriptors* descriptors_;
    FolderChangeNotifier notifier_;
    std::unique_ptr<ReadableDescriptors::Watch> readable_;
    // The folders the notifier watches, as the last scan found them.
    std::vector<std::filesystem::path> watched_;
    bool folderMissing_ = false;
    bool started_ = false;
    // A pending look outlives the watcher in the timer; it only runs while this is alive.
    std::shared_ptr<UserTemplatesWatcher*> self_;
};

}  // namespace quillet
