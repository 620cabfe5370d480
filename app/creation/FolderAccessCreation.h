#pragma once

#include <filesystem>
#include <optional>

#include "shared/catalog/FileTypeDefinition.h"
#include "shared/paths/FolderPath.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/text/Translation.h"

namespace quillet {

class NewFileWriter;
class SecurityScopedFolderAccess;

// The one way every caller creates a file: inside the saved grant that covers the folder, or,
// when the process is sandboxed and nothing covers it, after the user granted access in the
// "Allow Folder Access" prompt. The composition root builds one and hands it to every caller;
// the grant store (with its panel and activation) and the file manager must outlive it.
class FolderAccessCreation {
public:
    // Present (with any value, even empty) in a sandboxed process's environment; the
    // composition root reads it into the environment it passes in.
    static constexpr const char* kSandboxEnvironmentVariable = UserEnvironment::kSandboxEnvironmentVariable;
    static constexpr const char* kAllowFolderAccessTitle = N_("Allow Folder Access");

    // Whether the process is sandboxed, and the real home a prompt suggests cloud folders in,
    // come from `environment`.
    FolderAccessCreation(SecurityScopedFolderAccess& access, const NewFileWriter& fileWriter,
                         const UserEnvironment& environment);

    // Creates a new file of `type` in `folder` and returns its path. Errors of the access step
    // are SecurityScopedFolderAccessError, of the writing step FileCreationError, both
    // unchanged. Access started on a grant is stopped before this returns, on every path.
    std::filesystem::path createFileWithFolderAccess(const FileTypeDefinition& type, const FolderPath& folder);

    bool isSandboxed() const { return sandboxed_; }
    // The type an id names, built-in or one of the user's templates that is there now.
    std::optional<FileTypeDefinition> fileTypeNamed(const std::string& id) const;

private:
    std::filesystem::path createInside(const FolderPath& grant, const FileTypeDefinition& type,
                                       const FolderPath& folder);

    SecurityScopedFolderAccess& access_;
    const NewFileWriter& fileWriter_;
    bool sandboxed_;
    // The account's home, never $HOME: inside a sandbox HOME names the container. Nothing
    // without an account entry, and for a home that is not absolute, which holds no folder a
    // request can name.
    std::optional<FolderPath> realHome_;
};

}  // namespace quillet
