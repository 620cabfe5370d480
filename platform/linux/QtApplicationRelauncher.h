#pragma once

#include <filesystem>
#include <optional>

#include "platform/ApplicationRelauncher.h"

namespace quillet {

// Ends the event loop so the application shuts down as after any quit, and remembers what to
// start in its place; the composition root starts it once the single-instance lock is free.
class QtApplicationRelauncher final : public ApplicationRelauncher {
public:
    void relaunch(const std::filesystem::path& executable) override;
    const std::optional<std::filesystem::path>& pendingRelaunch() const { return pending_; }

private:
    std::optional<std::filesystem::path> pending_;
};

}  // namespace quillet
