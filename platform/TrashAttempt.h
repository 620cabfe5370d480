#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quillet {

// What one way of moving an item to the Trash reported.
struct TrashOutcome {
    enum class Status {
        trashed,      // the request succeeded
        failed,       // the request was made and refused
        notPrepared,  // the request could not even be put together or sent
    };
    Status status = Status::failed;
    // Where the item now lies, when the way of trashing says so (trashed only).
    std::optional<std::filesystem::path> resultingLocation;
    // The platform's description of the failure (failed only); may be empty when it gave none.
    std::string errorDescription;

    static TrashOutcome trashed(std::optional<std::filesystem::path> location = std::nullopt) {
        return {Status::trashed, std::move(location), {}};
    }
    static TrashOutcome failed(std::string description) { return {Status::failed, std::nullopt, std::move(description)}; }
    static TrashOutcome notPrepared() { return {Status::notPrepared, std::nullopt, {}}; }
};

// One way of moving a file or folder to the user's Trash. The completion runs exactly once, on
// the main thread: at once for a way that works synchronously, later for one that waits on
// another process.
class TrashAttempt {
public:
    using Completion = std::function<void(TrashOutcome)>;
    virtual ~TrashAttempt() = default;
    virtual void trash(const std::filesystem::path& item, Completion completion) = 0;
};

}  // namespace quillet
