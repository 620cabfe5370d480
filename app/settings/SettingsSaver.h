#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillet {

class MainQueueTimer;
class SettingNotSavedError;

// Writes the settings the user changes, so that what every window shows is what the suite
// holds: a change is published only once it is stored. A change the suite refuses is reported
// (and logged) and never published. A write lock another program holds is waited out without
// freezing the windows when a timer is given: the change is tried again on the event loop until
// it lands or its patience runs out, and a later change of the same setting replaces it.
class SettingsSaver {
public:
    // How long a change waits for another program's lock before it is reported.
    static constexpr std::chrono::milliseconds kLockPatience{30000};
    static constexpr std::chrono::milliseconds kRetryInterval{100};
    // How long one try on the main thread may wait for a lock: short enough to go unnoticed.
    static constexpr std::chrono::milliseconds kTryWait{20};

    // One try at writing the change, waiting at most the given time for another program's lock;
    // throws a DefaultsWriteError when the change was not stored.
    using Write = std::function<void(std::chrono::milliseconds wait)>;
    using Report = std::function<void(const SettingNotSavedError&)>;

    SettingsSaver();
    ~SettingsSaver();
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Where a change that was not saved is told: the controller that talks to the user. Without
    // one it is only logged.
    void reportFailuresTo(Report report) { report_ = std::move(report); }
    // From now on a locked suite is tried again on `timer` for up to `patience`; until then (the
    // command line) a write waits for the suite's own busy timeout.
    void waitForLocksOn(MainQueueTimer& timer, std::chrono::milliseconds patience = kLockPatience);

    // Writes the change of `key`, then runs `stored`; `stored` never runs for a change that was
    // not stored.
    void save(const std::string& key, Write write, std::function<void()> stored);
    // Whether locks are waited out on the event loop rather than on the spot.
    bool isPatient() const { return timer_ != nullptr; }
    // Whether a change of `key` is waiting for a lock to go.
    bool isWaiting(const std::string& key) const { return pending_.count(key) > 0; }

private:
    struct Pending {
        Write write;
        std::function<void()> stored;
        std::chrono::steady_clock::time_point deadline;
        std::uint64_t generation = 0;
    };

    void scheduleRetry(const std::string& key, std::uint64_t generation);
    void retry(const std::string& key, std::uint64_t generation);
    void fail(const std::string& key, const std::string& reason, const std::string& detail);

    MainQueueTimer* timer_ = nullptr;
    std::chrono::milliseconds patience_ = kLockPatience;
    Report report_;
    std::map<std::string, Pending> pending_;
    std::uint64_t nextGeneration_ = 0;
    // A retry booked on the timer outlives the saver; it only runs while this is alive.
    std::shared_ptr<SettingsSaver*> self_;
};

}  // namespace quillet
