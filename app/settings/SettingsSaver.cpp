#include "app/settings/SettingsSaver.h"

#include "app/settings/SettingNotSavedError.h"
#include "platform/MainQueueTimer.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"

namespace quillet {

namespace {

Logger logger() { return Logger(kAppSubsystem, "Settings"); }

}  // namespace

SettingsSaver::SettingsSaver() : self_(std::make_shared<SettingsSaver*>(this)) {}

SettingsSaver::~SettingsSaver() = default;

void SettingsSaver::waitForLocksOn(MainQueueTimer& timer, std::chrono::milliseconds patience) {
    timer_ = &timer;
    patience_ = patience;
}

void SettingsSaver::save(const std::string& key, Write write, std::function<void()> stored) {
    // A newer change of the same setting replaces one still waiting.
    pending_.erase(key);
    try {
        write(timer_ ? kTryWait : DefaultsSuite::kBusyTimeout);
    } catch (const DefaultsWriteError& e) {
        if (!e.isLocked() || !timer_) {
            fail(key, e.reason(), e.description());
            return;
        }
        logger().log("Settings suite is locked by another program; %{public}s is saved once it is free", key);
        const std::uint64_t generation = ++nextGeneration_;
        pending_[key] = Pending{std::move(write), std::move(stored), std::chrono::steady_clock::now() + patience_,
                                generation};
        scheduleRetry(key, generation);
        return;
    }
    stored();
}

void SettingsSaver::scheduleRetry(const std::string& key, std::uint64_t generation) {
    std::weak_ptr<SettingsSaver*> weak = self_;
    timer_->asyncAfter(kRetryInterval, [weak, key, generation] {
        if (auto self = weak.lock()) (*self)->retry(key, generation);
    });
}

void SettingsSaver::retry(const std::string& key, std::uint64_t generation) {
    const auto found = pending_.find(key);
    if (found == pending_.end() || found->second.generation != generation) return;  // replaced or done
    try {
        found->second.write(kTryWait);
    } catch (const DefaultsWriteError& e) {
        if (e.isLocked() && std::chrono::steady_clock::now() < found->second.deadline) {
            scheduleRetry(key, generation);
            return;
        }
        pending_.erase(found);
        fail(key, e.reason(), e.description());
        return;
    }
    auto stored = std::move(found->second.stored);
    pending_.erase(found);
    logger().log("Saved %{public}s once the settings suite was free", key);
    stored();
}

void SettingsSaver::fail(const std::string& key, const std::string& reason, const std::string& detail) {
    logger().error("Could not save %{public}s; it keeps its earlier value: %{public}s", key, detail);
    if (report_) report_(SettingNotSavedError(key, reason));
}

}  // namespace quillet
