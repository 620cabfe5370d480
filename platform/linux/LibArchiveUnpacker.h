#pragma once

#include "platform/ArchiveUnpacker.h"

namespace quillet {

// Unpacks any archive libarchive reads (the update ships as .tar.xz) into an existing, empty
// folder. Every entry is checked before it is written: a relative path without "..", a
// regular file, folder or link; a symbolic link whose target, read from the link's own folder,
// stays inside; a hard link to an entry inside. The writer's own path checks stay on as a
// second line of defence. Permission bits are kept without setuid, setgid and sticky; owners
// are not, and nothing already written is replaced.
class LibArchiveUnpacker final : public ArchiveUnpacker {
public:
    void unpack(const std::filesystem::path& archive, const std::filesystem::path& destination) override;
};

}  // namespace quillet
