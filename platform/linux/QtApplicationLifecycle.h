#pragma once

#include <filesystem>
#include <optional>

#include "platform/ApplicationLifecycle.h"

namespace quillet {

// Ends the Qt event loop, so the composition root's exit path runs as after any other quit; a
// relaunch also remembers what to start in this one's place, which the root starts once the
// single-instance lock is free.
class QtApplicationLifecycle final : public ApplicationLifecycle {
public:
    void terminate() override;
    void relaunch(const std::filesystem::path& executable) override;
    const std::optional<std::filesystem::path>& pendingRelaunch() const { return pending_; }

private:
    std::optional<std::filesystem::path> pending_;
};

}  // namespace quillet
