// A folder grant's record is read back from the settings suite, where anything with write access
// to the user's configuration may have put any bytes. Every input must be refused as a corrupt
// record or decode to an absolute, NUL-free path; a decoded record written again must read back
// the same; and resolving it either names that path or fails, corrupt exactly when it did not
// decode, so a damaged grant is discarded and a missing folder only keeps the grant waiting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/errors/PlatformError.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const auto record = PosixFolderBookmarks::decodeRecord(bytes);
    if (record) {
        require(!record->path.empty() && record->path.front() == '/');
        require(record->path.find('\0') == std::string::npos);
        const auto again = PosixFolderBookmarks::decodeRecord(PosixFolderBookmarks::encodeRecord(*record));
        require(again == record);
    }

    PosixFolderBookmarks bookmarks;
    try {
        const auto resolved = bookmarks.resolveBookmark(bytes);
        require(record && resolved.url == record->path);
    } catch (const PlatformError& error) {
        const bool corrupt =
            error.domain() == PlatformError::kCocoaDomain && error.code() == PlatformError::kFileReadCorruptFile;
        require(corrupt == !record);
        require(!error.description().empty());
    }
    return 0;
}
