#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/posix/FolderChangeNotifier.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/logging/Logger.h"

namespace quillet {

class AppSettings;
class MainQueueTimer;

// Keeps the settings' view of the user's templates current while the application runs: a
// template added to the Templates folder (or a subfolder) is offered everywhere within a second,
// one removed leaves every list. The folders are watched by the kernel; a look a few times a
// second reads what it noticed and scans the folder again only after a change. A folder that does
// not exist yet is looked for at each turn, so creating ~/Templates also counts.
class UserTemplatesWatcher {
public:
    static constexpr std::chrono::milliseconds kInterval{250};

    // Scans once at once and hands the templates to the settings.
    UserTemplatesWatcher(AppSettings& settings, UserTemplates templates, MainQueueTimer& timer);
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
    FolderChangeNotifier notifier_;
    size_t watched_ = 0;
    bool started_ = false;
    // A pending look outlives the watcher in the timer; it only runs while this is alive.
    std::shared_ptr<UserTemplatesWatcher*> self_;
};

}  // namespace quillet
