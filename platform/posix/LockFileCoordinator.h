#pragma once

#include <array>
#include <filesystem>

#include "platform/FileCoordinator.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// Coordination between Quillet+ processes through an exclusive flock on a lock file chosen by
// the item's path. The lock files live in a private folder of the user's runtime directory,
// not beside the item, so nothing appears in the user's folder and any file system (network,
// FUSE, a write-only drop folder) can be written to. Items are spread over a fixed set of lock
// files that are kept and reused: the folder never grows, and no lock file is ever removed
// while someone may be waiting on it. Items that share a lock file merely wait for each other.
//
// Lock files stay open once used, so a creation costs two lock calls rather than a folder check,
// an open and a close each time. Like the rest of the core, one coordinator serves one thread:
// two threads sharing it would share its open lock files and not exclude each other.
class LockFileCoordinator final : public FileCoordinator {
public:
    explicit LockFileCoordinator(std::filesystem::path lockDirectory);
    ~LockFileCoordinator() override;
    LockFileCoordinator(const LockFileCoordinator&) = delete;
    LockFileCoordinator& operator=(const LockFileCoordinator&) = delete;

    // quillet-locks in the user's runtime folder; without one, quillet-locks-<uid> in the
    // temporary folder.
    static std::filesystem::path lockDirectoryFor(const UserEnvironment& environment);

    std::optional<PlatformError> coordinateWriting(const std::filesystem::path& item,
                                                   const Writer& writer) override;

    // Lock files in the folder, at most.
    static constexpr unsigned kLockFileCount = 64;

    // The lock file of an item, chosen by a hash of its absolute, standardized path.
    std::filesystem::path lockFile(const std::filesystem::path& item) const;

private:
    std::optional<PlatformError> prepareLockDirectory() const;
    std::filesystem::path lockDirectory_;
    std::array<int, kLockFileCount> openLocks_;
};

}  // namespace quillet
