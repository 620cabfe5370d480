#include "app/access/SecurityScopedFolderAccessError.h"

#include "shared/paths/FilePaths.h"
#include "shared/text/Translation.h"

namespace quillet {

SecurityScopedBookmarkError::SecurityScopedBookmarkError(Kind kind, PlatformError underlying)
    : UserFacingError(underlying.description()), kind_(kind), underlying_(std::move(underlying)) {}

SecurityScopedBookmarkError SecurityScopedBookmarkError::bookmarkCreationFailed(PlatformError underlying) {
    return SecurityScopedBookmarkError(Kind::bookmarkCreationFailed, std::move(underlying));
}

SecurityScopedFolderAccessError::SecurityScopedFolderAccessError(Kind kind, std::string description)
    : UserFacingError(std::move(description)), kind_(kind) {}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::accessCancelled(std::filesystem::path folder) {
    SecurityScopedFolderAccessError error(
        Kind::accessCancelled, formatText(translate("Quillet+ needs access to %1 before it can create files there."),
                                          {lastPathComponent(folder)}));
    error.folder_ = std::move(folder);
    return error;
}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::wrongFolder(std::filesystem::path suggested,
                                                                             std::filesystem::path chosen) {
    SecurityScopedFolderAccessError error(
        Kind::wrongFolder, formatText(translate("Please choose %1 (or a folder that contains it), not %2."),
                                      {lastPathComponent(suggested), lastPathComponent(chosen)}));
    error.folder_ = std::move(suggested);
    error.chosen_ = std::move(chosen);
    return error;
}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::bookmarkCreationFailed(
    SecurityScopedBookmarkError underlying) {
    SecurityScopedFolderAccessError error(Kind::bookmarkCreationFailed, underlying.description());
    error.bookmarkError_ = std::move(underlying);
    return error;
}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::bookmarkResolutionFailed(PlatformError underlying) {
    SecurityScopedFolderAccessError error(Kind::bookmarkResolutionFailed, underlying.description());
    error.resolutionError_ = std::move(underlying);
    return error;
}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::noSavedAccess(std::filesystem::path folder) {
    SecurityScopedFolderAccessError error(
        Kind::noSavedAccess,
        formatText(translate("Quillet+ does not have saved access to %1."), {lastPathComponent(folder)}));
    error.folder_ = std::move(folder);
    return error;
}

SecurityScopedFolderAccessError SecurityScopedFolderAccessError::homeFolderUnavailable() {
    return SecurityScopedFolderAccessError(Kind::homeFolderUnavailable,
                                           translate("Quillet+ could not locate your home folder."));
}

}  // namespace quillet
