#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quillet {

// A resolved bookmark: where the folder is now, and whether the record should be made again.
struct ResolvedBookmark {
    std::filesystem::path url;
    bool isStale = false;

    bool operator==(const ResolvedBookmark&) const = default;
};

// Durable references to folders the user granted. Both operations throw PlatformError. A
// record that cannot be parsed fails resolution with the Cocoa domain's code 259
// (PlatformError::kFileReadCorruptFile); any other failure is one that may pass.
class FolderBookmarks {
public:
    virtual ~FolderBookmarks() = default;
    virtual std::vector<std::uint8_t> createBookmark(const std::filesystem::path& folder) = 0;
    virtual ResolvedBookmark resolveBookmark(const std::vector<std::uint8_t>& bookmark) = 0;
};

}  // namespace quillet
