#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quillet {

// Why an archive was not unpacked; the text is for the user.
class ArchiveUnpackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
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
