#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// Bringing one file the program owns (a registration it wrote earlier, or one key of a user's
// list) to the content it should have. Only a regular file is ever replaced: a link or anything
// else at the target is left as it is, since it is the user's choice or not ours.
struct FileContentUpdate {
    enum class Outcome {
        unchanged,        // the file already had the content; nothing was written
        written,          // the content was written: to a new file, or replacing the old one
        notARegularFile,  // a link, folder or other non-file is at the target; left alone
        failed,           // reading or writing failed; `error` says why, the old file is intact
    };
    Outcome outcome = Outcome::unchanged;
    std::string error{};
};

// The content of the regular file at `path`, never through a link. Nothing when there is no
// file; `failure` (when given) then holds the reason if something other than a file is there or
// the file cannot be read.
struct RegularFileContent {
    std::optional<std::string> content{};
    std::optional<FileContentUpdate> failure{};
};
RegularFileContent readRegularFile(const std::filesystem::path& path);

// Writes `content` to `target` when it differs from what is there: into a temporary file in
// the same folder (created when missing), then renamed over the target, so a reader sees the
// old or the new file and never a part. A replaced file keeps its permissions; a new one gets
// `newFileMode`.
FileContentUpdate updateFileContent(const std::filesystem::path& target, std::string_view content,
                                    mode_t newFileMode = 0644);

// Removes `path` when it is a regular file, never what a link there points to. Returns whether it
// removed one; `error` (when given) holds why a regular file could not be removed.
bool removeRegularFile(const std::filesystem::path& path, std::string* error = nullptr);

}  // namespace quillet
