#pragma once

#include <filesystem>

#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

class FileManager;
class SecurityScopedFolderAccess;

// The one way every caller creates a file: inside the saved grant that covers the folder, or,
// when the process is sandboxed and nothing covers it, after the user granted access in the
// "Allow Folder Access" prompt. The composition root builds one and hands it to every caller;
// the grant store (with its panel and activation) and the file manager must outlive it.
class FolderAccessCreation {
public:
    // Present (with any value, even empty) in a sandboxed process's environment.
    static constexpr const char* kSandboxEnvironmentVariable = "APP_SANDBOX_CONTAINER_ID";
    static constexpr const char* kAllowFolderAccessTitle = "Allow Folder Access";

    FolderAccessCreation(SecurityScopedFolderAccess& access, const FileManager& fileManager);

    // Creates a new file of `type` in the absolute `folder` and returns its path. Errors of the
    // access step are SecurityScopedFolderAccessError, of the writing step FileCreationError,
    // both unchanged. Access started on a grant is stopped before this returns, on every path.
    std::filesystem::path createFileWithFolderAccess(const FileTypeDefinition& type,
                                                     const std::filesystem::path& folder);

    // Read on every creation, so a change of the environment takes effect at once.
    static bool isSandboxed();

private:
    std::filesystem::path createInside(const std::filesystem::path& grant, const FileTypeDefinition& type,
                                       const std::filesystem::path& folder);

    SecurityScopedFolderAccess& access_;
    const FileManager& fileManager_;
};

}  // namespace quillet
