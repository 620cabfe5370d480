#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FolderBookmarks.h"

namespace quillet {

// Without an app sandbox a bookmark only has to remember which folder was granted. The record
// is a small versioned text: the folder's absolute path and the device and inode it had, so a
// folder that was replaced by another of the same name is noticed (the record is then stale and
// made again). A folder that is missing or cannot be looked at fails in a way that may pass
// (an unmounted volume comes back), so the grant is kept.
class PosixFolderBookmarks final : public FolderBookmarks {
public:
    static constexpr const char* kRecordHeader = "quillet-folder-bookmark 1";

    // What a record holds. `path` is absolute and holds no NUL.
    struct Record {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::string path;
        bool operator==(const Record&) const = default;
    };
    static std::vector<std::uint8_t> encodeRecord(const Record& record);
    // Nothing when the bytes are not a complete record of this version.
    static std::optional<Record> decodeRecord(const std::vector<std::uint8_t>& bytes);

    std::vector<std::uint8_t> createBookmark(const std::filesystem::path& folder) override;
    ResolvedBookmark resolveBookmark(const std::vector<std::uint8_t>& bookmark) override;
};

}  // namespace quillet
