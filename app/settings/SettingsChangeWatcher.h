#pragma once

#include <chrono>
#include <memory>

#include "platform/ReadableDescriptors.h"
#include "platform/posix/FolderChangeNotifier.h"

namespace quillet {

class AppSettings;
class MainQueueTimer;

// Brings changes other processes make to the settings suite (the command line's "defaults
// write") into the running application: it asks the suite whether another connection committed,
// and only then reads the settings again. The application's own assignments never count as such
// a change, so they cause no reload. Given `descriptors`, it asks whenever the kernel reports a
// write in the suite's folder, and sleeps otherwise; without them (or without inotify), a few
// times a second. A moment after each look the suite rests (its database closed, SQLite
// unloaded), since the settings are held in memory; the suite tells changes apart while resting.
class SettingsChangeWatcher {
public:
    static constexpr std::chrono::milliseconds kInterval{300};
    static constexpr std::chrono::milliseconds kRestAfter{1000};

    SettingsChangeWatcher(AppSettings& settings, MainQueueTimer& timer, ReadableDescriptors* descriptors = nullptr);
    ~SettingsChangeWatcher();
    SettingsChangeWatcher(const SettingsChangeWatcher&) = delete;
    SettingsChangeWatcher& operator=(const SettingsChangeWatcher&) = delete;

    // Starts looking; a second call changes nothing.
    void start();
    // One look at the suite: reloads the settings when they changed elsewhere.
    void checkNow();

private:
    void scheduleNext();
    void restSoon();

    AppSettings& settings_;
    MainQueueTimer& timer_;
    ReadableDescriptors* descriptors_;
    FolderChangeNotifier suiteFolder_{true};
    std::unique_ptr<ReadableDescriptors::Watch> readable_;
    bool started_ = false;
    bool restBooked_ = false;
    // A pending look outlives the watcher in the timer; it only runs while this is alive.
    std::shared_ptr<SettingsChangeWatcher*> self_;
};

}  // namespace quillet
