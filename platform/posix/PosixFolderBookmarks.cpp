#include "platform/posix/PosixFolderBookmarks.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "shared/paths/FilePaths.h"
#include "shared/errors/PlatformError.h"

namespace quillet {

namespace {

using Record = PosixFolderBookmarks::Record;

// Takes "<name> <decimal>\n" from the front of text.
bool takeNumber(std::string_view& text, std::string_view name, std::uint64_t& out) {
    if (!text.starts_with(name) || text.size() <= name.size() || text[name.size()] != ' ') return false;
    text.remove_prefix(name.size() + 1);
    size_t end = text.find('\n');
    if (end == std::string_view::npos || end == 0) return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + end, out);
    if (ec != std::errc() || ptr != text.data() + end) return false;
    text.remove_prefix(end + 1);
    return true;
}

}  // namespace

std::vector<std::uint8_t> PosixFolderBookmarks::encodeRecord(const Record& record) {
    const std::string text = std::string(kRecordHeader) + "\ndevice " + std::to_string(record.device) +
                             "\ninode " + std::to_string(record.inode) + "\npath " + record.path;
    return {text.begin(), text.end()};
}

std::optional<Record> PosixFolderBookmarks::decodeRecord(const std::vector<std::uint8_t>& bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::string header = std::string(PosixFolderBookmarks::kRecordHeader) + "\n";
    if (!text.starts_with(header)) return std::nullopt;
    text.remove_prefix(header.size());
    Record record;
    if (!takeNumber(text, "device", record.device) || !takeNumber(text, "inode", record.inode))
        return std::nullopt;
    if (!text.starts_with("path /")) return std::nullopt;
    text.remove_prefix(5);
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    record.path = std::string(text);
    return record;
}

namespace {

// The folder at the path (following links, as the user chose it), or the errno why not.
int statFolder(const std::string& path, struct stat& st) {
    if (::stat(path.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    return 0;
}

}  // namespace

std::vector<std::uint8_t> PosixFolderBookmarks::createBookmark(const std::filesystem::path& folder) {
    const std::filesystem::path path = standardizedPath(folder);
    if (!path.is_absolute())
        throw PlatformError::posix(EINVAL, "Could not remember access to " + folder.string() +
                                               " (not an absolute path)");
    struct stat st {};
    if (int e = statFolder(path, st))
        throw PlatformError::posix(e, "Could not remember access to " + path.string());
    return encodeRecord({static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), path.string()});
}

ResolvedBookmark PosixFolderBookmarks::resolveBookmark(const std::vector<std::uint8_t>& bookmark) {
    auto record = decodeRecord(bookmark);
    if (!record)
        throw PlatformError(PlatformError::kCocoaDomain, PlatformError::kFileReadCorruptFile,
                            "The saved folder access record isn\u2019t in the correct format.");
    struct stat st {};
    if (int e = statFolder(record->path, st))
        throw PlatformError::posix(e, "Could not find the granted folder " + record->path);
    const bool stale = static_cast<std::uint64_t>(st.st_dev) != record->device ||
                       static_cast<std::uint64_t>(st.st_ino) != record->inode;
    return {record->path, stale};
}

}  // namespace quillet
