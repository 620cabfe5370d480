#pragma once

#include <memory>
#include <vector>

#include "app/observation/Subscription.h"

namespace quillet {

class AppSettings;
class FileManagerMenu;
class MainQueue;

// Keeps the file managers' menu files (Dolphin's service menu, PCManFM-Qt's actions) in step with
// the offered types while the application runs: written at start, and again after every change
// of "enabledFileTypeIDs" or "fileTypeOrder" (from the main window or from another process). The
// types are read back from the settings suite by the rules the file-manager extension reads them
// by, so every menu offers the same.
class FileManagerMenusUpdater {
public:
    // Each must outlive the updater.
    FileManagerMenusUpdater(std::vector<const FileManagerMenu*> menus, AppSettings& settings, MainQueue& mainQueue);
    ~FileManagerMenusUpdater();
    FileManagerMenusUpdater(const FileManagerMenusUpdater&) = delete;
    FileManagerMenusUpdater& operator=(const FileManagerMenusUpdater&) = delete;

    // Writes the menus now and follows the settings from then on; a second call changes nothing.
    void start();
    // Writes the menus for what the suite holds now.
    void updateNow();

private:
    void scheduleUpdate();

    std::vector<const FileManagerMenu*> menus_;
    AppSettings& settings_;
    MainQueue& mainQueue_;
    Subscription enabledSubscription_;
    Subscription orderSubscription_;
    bool started_ = false;
    bool updatePending_ = false;
    // Queued work outlives the updater in the queue; it only runs while this is alive.
    std::shared_ptr<FileManagerMenusUpdater*> self_;
};

}  // namespace quillet
