#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LongWork.h"
#include "platform/posix/ResourceBundle.h"
#include "platform/SecurityScopedAccess.h"
#include "shared/catalog/UserTemplates.h"

namespace quillet {

// What file creation needs from the platform, in one place so a caller can hand in another
// resource bundle or access port: the existence test, a one-pass read of a folder's names, the
// application's resources, the security-scoped access port, and the two ways a new file comes
// into being. The composition root builds one.
//
// A new file with content is written in full into an unnamed file in the target folder
// (O_TMPFILE) and only then linked under its name, so no reader ever sees it partly written,
// a failed write leaves nothing, and the link fails rather than replace whatever holds the
// name. Where the folder's file system has no unnamed files (some network and FUSE file
// systems), the file is created at its name (O_CREAT|O_EXCL|O_NOFOLLOW) and removed again
// when its content cannot be written in full.
class NewFileWriter {
public:
    // Opens an unnamed file for writing in `folder`, as open(2) does: a descriptor, or -1 with
    // errno set. EOPNOTSUPP, EISDIR and EINVAL say that the file system has no unnamed files.
    using UnnamedFileOpener = int (*)(const std::filesystem::path& folder);
    // The platform's own: open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644).
    static int openUnnamedFile(const std::filesystem::path& folder);

    // `openUnnamed` is there so the fallback for file systems without unnamed files can be
    // exercised on one that has them; the program always uses the default.
    NewFileWriter(ResourceBundle mainBundle, std::shared_ptr<SecurityScopedAccess> scopedAccess,
                UnnamedFileOpener openUnnamed = &openUnnamedFile);

    // Whether anything exists at the path. Follows symbolic links, so a dangling link counts
    // as absent; an entry that cannot be examined counts as absent too.
    bool fileExists(const std::filesystem::path& path) const;

    // The names in `folder` that `wanted` accepts and at which something exists by the rule of
    // fileExists, read in one pass over the folder (links among them are examined one by one).
    // Nothing when the folder cannot be read.
    std::optional<std::vector<std::string>> existingNames(
        const std::filesystem::path& folder, const std::function<bool(std::string_view)>& wanted) const;

    const ResourceBundle& mainBundle() const { return mainBundle_; }
    // The bytes of the bundle's regular file name.extension, read at the first call and kept:
    // the resources are part of the installed program. Nothing when the bundle has no such file
    // (looked for again next time); throws PlatformError when it cannot be read.
    const std::string* bundledBytes(const std::string& name, const std::string& extension) const;
    SecurityScopedAccess& scopedAccess() const { return *scopedAccess_; }

    // Asked when something took the name a new file was to get (the file itself is kept):
    // the name to try instead, or nothing to fail with EEXIST on the taken name.
    using NextName = std::function<std::optional<std::filesystem::path>(const std::filesystem::path& taken)>;

    // Creates a new file holding all of `bytes` at `destination`, or, when something holds that
    // name, at the name `next` gives (the content is written once, whichever name it gets).
    // Never replaces anything, never follows a link at the name. Returns where the file went;
    // throws PlatformError describing the failed save, which then left nothing behind.
    std::filesystem::path writeNewFile(std::string_view bytes, const std::filesystem::path& destination,
                                       const NextName& next = {}) const;
    // The same with a byte-for-byte copy of `source`. The new file gets the usual mode for new
    // files, not the source's. An unreadable source creates nothing.
    std::filesystem::path copyToNewFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                                        const NextName& next = {}) const;

    // The same with a copy of the regular file open at `sourceFd` (taken over and closed;
    // `sourceName` names it in messages), which also gives the new file the source's executable
    // bits wherever the new file may be read. Bytes are copied by the kernel where it can, else
    // through a small buffer: a large source is never held in memory. A source of
    // kLongCopyBytes or more is copied through the long-work runner, when one is set.
    std::filesystem::path copyOpenFileToNewFile(int sourceFd, const std::filesystem::path& sourceName,
                                                const std::filesystem::path& destination,
                                                const NextName& next = {}) const;

    // Where the user's templates are found; none unless the composition root gives a folder.
    const UserTemplates& templates() const { return templates_; }
    void setTemplates(UserTemplates templates) { templates_ = std::move(templates); }

    // Below this a copy takes a few milliseconds at most and is made on the spot.
    static constexpr size_t kLongCopyBytes = size_t{4} << 20;
    // Where large copies run (the application's keeps its windows alive meanwhile); must
    // outlive the writer. Without one they run on the spot.
    void setLongWork(LongWork* longWork) { longWork_ = longWork; }

    // writeNewFile and copyToNewFile at exactly `destination`.
    void writeWithoutOverwriting(std::string_view bytes, const std::filesystem::path& destination) const;
    void copyItem(const std::filesystem::path& source, const std::filesystem::path& destination) const;

private:
    // Writes a new file's content to the descriptor from its start: 0, or the errno of the
    // failure. `size` bytes in all.
    using ContentWriter = std::function<int(int fd)>;
    std::filesystem::path createNewFile(const ContentWriter* content, size_t size,
                                        const std::filesystem::path& destination, const NextName& next) const;

    ResourceBundle mainBundle_;
    std::shared_ptr<SecurityScopedAccess> scopedAccess_;
    UnnamedFileOpener openUnnamed_;
    UserTemplates templates_;
    LongWork* longWork_ = nullptr;
    mutable std::map<std::string, std::string> bundled_;
};

}  // namespace quillet
