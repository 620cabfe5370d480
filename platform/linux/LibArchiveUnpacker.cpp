#include "platform/linux/LibArchiveUnpacker.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

struct FreeReader {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct FreeWriter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};

std::string errorOf(archive* a);

// `sentence` names the entry as %1 and anything else it names as %2, each in its own quotes.
[[noreturn]] void refuse(const char* sentence, std::string_view name, std::string_view other = {}) {
    throw ArchiveUnpackError(formatText(sentence, {name, other}));
}

[[noreturn]] void failReading(archive* reader) {
    throw ArchiveUnpackError(formatText(translate("The update archive could not be read: %1."), {errorOf(reader)}));
}

[[noreturn]] void failWriting(archive* writer) {
    throw ArchiveUnpackError(formatText(translate("The update could not be unpacked: %1."), {errorOf(writer)}));
}

std::string errorOf(archive* a) {
    const char* text = archive_error_string(a);
    std::string said = text ? text : translate("unknown error");
    // The writer says only "Write failed"; the system's reason is what the user can act on.
    if (const int e = archive_errno(a); e > 0) {
        const std::string why = std::strerror(e);
        if (said.find(why) == std::string::npos) said += ": " + why;
    }
    return said;
}

using Segments = std::vector<std::string>;

std::string joined(const Segments& segments) {
    std::string path;
    for (const auto& segment : segments) path += (path.empty() ? "" : "/") + segment;
    return path;
}

// The segments of a path inside the archive, without "." and empty ones, and whether it is
// absolute or has a ".." anywhere (no archive the updater makes needs either).
enum class PathFault { absolute, parent };
struct SplitPath {
    Segments segments;
    std::optional<PathFault> fault;
};

SplitPath split(std::string_view path) {
    SplitPath result;
    if (!path.empty() && path.front() == '/') {
        result.fault = PathFault::absolute;
        return result;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view segment = path.substr(start, end - start);
        if (segment == "..") result.fault = PathFault::parent;
        else if (!segment.empty() && segment != ".") result.segments.emplace_back(segment);
        start = end + 1;
    }
    return result;
}

// Whether a symbolic link at `link` pointing at `target` stays inside the folder, resolved by
// name from the link's own folder (links inside were checked the same way, and no entry may
// be written beneath one, so names tell where a link leads).
bool staysInside(const Segments& link, std::string_view target) {
    if (target.empty() || target.front() == '/') return false;
    Segments at(link.begin(), link.end() - 1);
    std::size_t start = 0;
    while (start <= target.size()) {
        const std::size_t end = std::min(target.find('/', start), target.size());
        const std::string_view segment = target.substr(start, end - start);
        if (segment == "..") {
            if (at.empty()) return false;
            at.pop_back();
        } else if (!segment.empty() && segment != ".") {
            at.emplace_back(segment);
        }
        start = end + 1;
    }
    return true;
}

// The link among those already unpacked that `segments` lies beneath, if any.
std::optional<std::string> linkAbove(const Segments& segments, const std::set<std::string>& links) {
    Segments prefix;
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
        prefix.push_back(segments[i]);
        if (const auto path = joined(prefix); links.count(path)) return path;
    }
    return std::nullopt;
}

void requireEmptyFolder(const fs::path& destination) {
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(destination, error)))
        throw ArchiveUnpackError(formatText(translate("The folder to unpack the update into, \u201C%1\u201D, does not exist."),
                                            {destination.string()}));
    if (!fs::is_empty(destination, error) || error)
        throw ArchiveUnpackError(formatText(translate("The folder to unpack the update into, \u201C%1\u201D, is not empty."),
                                            {destination.string()}));
}

}  // namespace

void LibArchiveUnpacker::unpack(const fs::path& archivePath, const fs::path& destination) {
    requireEmptyFolder(destination);
    std::error_code error;
    // Entries are written at absolute paths under the folder, spelled without links, because the
    // writer's link check looks at every folder along the path.
    const fs::path root = fs::canonical(destination, error);
    if (error)
        throw ArchiveUnpackError(formatText(translate("The folder to unpack the update into, \u201C%1\u201D, cannot be used: %2."),
                                            {destination.string(), error.message()}));

    std::unique_ptr<archive, FreeReader> reader(archive_read_new());
    std::unique_ptr<archive, FreeWriter> writer(archive_write_disk_new());
    if (!reader || !writer) throw ArchiveUnpackError(translate("The update archive could not be read: out of memory."));
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_all(reader.get());
    // The checks below decide what is written; the writer's own refusal of "..", of paths
    // through links, and of replacing what exists stays on behind them. Absolute paths are
    // refused above, by name, since the writer is handed paths anchored at the folder.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME |
                                                     ARCHIVE_EXTRACT_NO_OVERWRITE |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    if (archive_read_open_filename(reader.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK)
        failReading(reader.get());

    std::set<std::string> links;
    std::map<std::string, bool> unpacked;  // name → is a folder
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN)
            failReading(reader.get());

        const char* rawName = archive_entry_pathname(entry);
        if (!rawName || !*rawName) refuse(translate("The update archive was refused: \u201C%1\u201D has no name."), "");
        const std::string name = rawName;
        const SplitPath path = split(name);
        if (path.fault == PathFault::absolute) refuse(translate("The update archive was refused: \u201C%1\u201D is an absolute path."), name);
        if (path.fault == PathFault::parent) refuse(translate("The update archive was refused: \u201C%1\u201D leads out of the update with \u201C..\u201D."), name);
        if (const auto link = linkAbove(path.segments, links)) refuse(translate("The update archive was refused: \u201C%1\u201D lies beneath the link \u201C%2\u201D."), name, *link);

        const mode_t type = archive_entry_filetype(entry);
        if (const char* hardLink = archive_entry_hardlink(entry)) {
            const SplitPath target = split(hardLink);
            if (target.fault || target.segments.empty() || linkAbove(target.segments, links))
                refuse(translate("The update archive was refused: \u201C%1\u201D is a hard link to \u201C%2\u201D, outside the update."), name, hardLink);
            archive_entry_set_hardlink(entry, (root / joined(target.segments)).c_str());
        } else if (type == AE_IFLNK) {
            const char* target = archive_entry_symlink(entry);
            if (path.segments.empty() || !target || !staysInside(path.segments, target))
                refuse(translate("The update archive was refused: \u201C%1\u201D is a link to \u201C%2\u201D, outside the update."), name,
                       target ? target : "");
            links.insert(joined(path.segments));
        } else if (type == AE_IFCHR || type == AE_IFBLK) {
            refuse(translate("The update archive was refused: \u201C%1\u201D is a device file."), name);
        } else if (type == AE_IFIFO) {
            refuse(translate("The update archive was refused: \u201C%1\u201D is a fifo."), name);
        } else if (type == AE_IFSOCK) {
            refuse(translate("The update archive was refused: \u201C%1\u201D is a socket."), name);
        } else if (type != AE_IFREG && type != AE_IFDIR) {
            refuse(translate("The update archive was refused: \u201C%1\u201D is of a kind of file the updater does not unpack."), name);
        }
        if (path.segments.empty()) {
            // "./": the folder itself, which the caller made; its permissions stay the caller's.
            if (type == AE_IFDIR) continue;
            refuse(translate("The update archive was refused: \u201C%1\u201D has no name."), name);
        }

        // A name seen before would replace what it named (the writer only warns); folders may
        // be listed again.
        const auto [seen, isNew] = unpacked.emplace(joined(path.segments), type == AE_IFDIR && !archive_entry_hardlink(entry));
        if (!isNew && !(seen->second && type == AE_IFDIR)) refuse(translate("The update archive was refused: \u201C%1\u201D appears twice in the archive."), name);

        archive_entry_set_pathname(entry, (root / joined(path.segments)).c_str());
        archive_entry_set_perm(entry, archive_entry_perm(entry) & 0777);
        if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN)
            failWriting(writer.get());
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        for (int read; (read = archive_read_data_block(reader.get(), &block, &size, &offset)) != ARCHIVE_EOF;) {
            if (read < ARCHIVE_WARN)
                failReading(reader.get());
            // A block the disk did not take (full, over quota) comes back as a mere warning, and
            // the file would be finished at its full length with a hole where the data was.
            if (archive_write_data_block(writer.get(), block, size, offset) < ARCHIVE_OK)
                failWriting(writer.get());
        }
        if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN)
            failWriting(writer.get());
    }
    // Folder permissions and times are set last, once everything inside them is written.
    if (archive_write_close(writer.get()) < ARCHIVE_WARN)
        failWriting(writer.get());
}

}  // namespace quillet
