#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "shared/errors/PlatformError.h"
#include "shared/errors/UserFacingError.h"

namespace quillet {

// What the bookmark step throws when the platform cannot record a folder; the user sees the
// platform's own description.
class SecurityScopedBookmarkError : public UserFacingError {
public:
    enum class Kind { bookmarkCreationFailed };

    static SecurityScopedBookmarkError bookmarkCreationFailed(PlatformError underlying);

    Kind kind() const { return kind_; }
    const PlatformError& underlyingError() const { return underlying_; }

private:
    SecurityScopedBookmarkError(Kind kind, PlatformError underlying);
    Kind kind_;
    PlatformError underlying_;
};

// Why a folder grant could not be had; description() is the text the user sees. In the texts a
// folder is named by its last path component.
class SecurityScopedFolderAccessError : public UserFacingError {
public:
    enum class Kind {
        accessCancelled,
        wrongFolder,
        bookmarkCreationFailed,
        bookmarkResolutionFailed,
        noSavedAccess,
        homeFolderUnavailable,
    };

    static SecurityScopedFolderAccessError accessCancelled(std::filesystem::path folder);
    static SecurityScopedFolderAccessError wrongFolder(std::filesystem::path suggested,
                                                       std::filesystem::path chosen);
    static SecurityScopedFolderAccessError bookmarkCreationFailed(SecurityScopedBookmarkError error);
    static SecurityScopedFolderAccessError bookmarkResolutionFailed(PlatformError error);
    static SecurityScopedFolderAccessError noSavedAccess(std::filesystem::path folder);
    static SecurityScopedFolderAccessError homeFolderUnavailable();

    Kind kind() const { return kind_; }
    // The folder of accessCancelled and noSavedAccess, the suggested folder of wrongFolder.
    const std::filesystem::path& folder() const { return folder_; }
    // The folder the user chose instead (wrongFolder).
    const std::filesystem::path& chosenFolder() const { return chosen_; }
    // The carried error of bookmarkCreationFailed.
    const std::optional<SecurityScopedBookmarkError>& bookmarkError() const { return bookmarkError_; }
    // The carried error of bookmarkResolutionFailed.
    const std::optional<PlatformError>& resolutionError() const { return resolutionError_; }

private:
    SecurityScopedFolderAccessError(Kind kind, std::string description);
    Kind kind_;
    std::filesystem::path folder_;
    std::filesystem::path chosen_;
    std::optional<SecurityScopedBookmarkError> bookmarkError_;
    std::optional<PlatformError> resolutionError_;
};

}  // namespace quillet
