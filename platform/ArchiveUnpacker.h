#pragma once

#include <filesystem>
#include <string>

#include "shared/errors/UserFacingError.h"

namespace quillet {

// Why an archive was not unpacked: a whole sentence for the user, which says itself that the
// update was not unpacked ("The update archive was refused: …"), so it is shown as it is.
class ArchiveUnpackError : public UserFacingError {
public:
    explicit ArchiveUnpackError(std::string description) : UserFacingError(std::move(description)) {}
};

// Unpacks an update archive into a new, empty folder. Refuses, and throws ArchiveUnpackError
// for, any entry with an absolute path or a ".." segment, a link that points out of the folder,
// a device, fifo or socket; what was unpacked before the refusal stays in the folder for the
// caller to remove.
class ArchiveUnpacker {
public:
    virtual ~ArchiveUnpacker() = default;
    virtual void unpack(const std::filesystem::path& archive, const std::filesystem::path& destination) = 0;
};

}  // namespace quillet
