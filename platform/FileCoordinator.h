#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "shared/errors/PlatformError.h"

namespace quillet {

// Keeps coordinated writers of one item from overlapping. Each call runs the writer at most
// once, handing it the location to write to (normally the item's own), while no other
// coordinated writer holds the item.
class FileCoordinator {
public:
    // Must not throw: what goes wrong in the write is the writer's to keep.
    using Writer = std::function<void(const std::filesystem::path&)>;

    virtual ~FileCoordinator() = default;

    // Returns the coordinator's own failure; the writer has then not run.
    virtual std::optional<PlatformError> coordinateWriting(const std::filesystem::path& item,
                                                           const Writer& writer) = 0;
};

}  // namespace quillet
