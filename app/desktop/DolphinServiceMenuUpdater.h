#pragma once

#include <memory>

#include "app/observation/Subscription.h"

namespace quillet {

class AppSettings;
class DolphinServiceMenu;
class MainQueue;

// Keeps the Dolphin service menu in step with the offered types while the application runs:
// written at start, and again after every change of "enabledFileTypeIDs" or "fileTypeOrder"
// (from the main window or from another process). The types are read back from the settings
// suite by the rules the file-manager extension reads them by, so both menus offer the same.
class DolphinServiceMenuUpdater {
public:
    // Each must outlive the updater.
    DolphinServiceMenuUpdater(const DolphinServiceMenu& menu, AppSettings& settings, MainQueue& mainQueue);
    ~DolphinServiceMenuUpdater();
    DolphinServiceMenuUpdater(const DolphinServiceMenuUpdater&) = delete;
    DolphinServiceMenuUpdater& operator=(const DolphinServiceMenuUpdater&) = delete;

    // Writes the menu now and follows the settings from then on; a second call changes nothing.
    void start();
    // Writes the menu for what the suite holds now.
    void updateNow();

private:
    void scheduleUpdate();

    const DolphinServiceMenu& menu_;
    AppSettings& settings_;
    MainQueue& mainQueue_;
    Subscription enabledSubscription_;
    Subscription orderSubscription_;
    bool started_ = false;
    bool updatePending_ = false;
    // Queued work outlives the updater in the queue; it only runs while this is alive.
    std::shared_ptr<DolphinServiceMenuUpdater*> self_;
};

}  // namespace quillet
