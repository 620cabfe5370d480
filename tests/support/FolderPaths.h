#pragma once

#include <filesystem>
#include <ostream>
#include <stdexcept>

#include "shared/paths/FolderPath.h"

namespace quillet {

// How a failed expectation shows a folder.
inline void PrintTo(const FolderPath& folder, std::ostream* out) { *out << folder.path(); }

}  // namespace quillet

namespace quillet::test {

// The folder a test names by an absolute path; a relative one is a mistake in the test.
inline FolderPath folderPath(const std::filesystem::path& absolute) {
    auto folder = FolderPath::fromAbsolute(absolute);
    if (!folder) throw std::invalid_argument("not an absolute folder: " + absolute.string());
    return *folder;
}

}  // namespace quillet::test
