#pragma once

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

    std::vector<std::uint8_t> createBookmark(const std::filesystem::path& folder) override;
    ResolvedBookmark resolveBookmark(const std::vector<std::uint8_t>& bookmark) override;
};

}  // namespace quillet
