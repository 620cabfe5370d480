#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/FileCoordinator.h"
#include "platform/ResourceBundle.h"
#include "platform/SecurityScopedAccess.h"

namespace quillet {

// What file creation needs from the platform, in one place so a caller can hand in another
// resource bundle, access port or coordinator: the existence test, the application's resources,
// the security-scoped access port, the coordinator every new file is written under, and the two
// ways a new file comes into being. The composition root builds one; the coordinator it is
// given must outlive it.
class FileManager {
public:
    FileManager(ResourceBundle mainBundle, std::shared_ptr<SecurityScopedAccess> scopedAccess,
                FileCoordinator& coordinator);

    // Whether anything exists at the path. Follows symbolic links, so a dangling link counts
    // as absent; an entry that cannot be examined counts as absent too.
    bool fileExists(const std::filesystem::path& path) const;

    const ResourceBundle& mainBundle() const { return mainBundle_; }
    SecurityScopedAccess& scopedAccess() const { return *scopedAccess_; }
    FileCoordinator& coordinator() const { return coordinator_; }

    // Creates `destination` (never replacing anything, never following a link there) and
    // writes all of `bytes` to it. When the content cannot be written in full, the file this
    // call created is removed again. Throws PlatformError describing the failed save.
    void writeWithoutOverwriting(std::string_view bytes, const std::filesystem::path& destination) const;

    // Copies `source` byte for byte to a new file at `destination`, under the same rules as
    // writeWithoutOverwriting. The new file gets the usual mode for new files, not the source's.
    void copyItem(const std::filesystem::path& source, const std::filesystem::path& destination) const;

private:
    ResourceBundle mainBundle_;
    std::shared_ptr<SecurityScopedAccess> scopedAccess_;
    FileCoordinator& coordinator_;
};

}  // namespace quillet
