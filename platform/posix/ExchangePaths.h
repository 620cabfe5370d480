#pragma once

#include <filesystem>

namespace quillet {

// Swaps two entries of one file system in a single step (renameat2 with RENAME_EXCHANGE): a
// reader sees either the old pair or the new one, never a moment with one of them missing.
// Neither path's last component is followed when it is a link. Throws std::system_error (EXDEV
// across file systems, EINVAL where the file system cannot exchange, ENOENT when one is missing).
void exchangePaths(const std::filesystem::path& first, const std::filesystem::path& second);

}  // namespace quillet
