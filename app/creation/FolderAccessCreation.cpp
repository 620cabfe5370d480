#include "app/creation/FolderAccessCreation.h"

#include <cstdlib>

#include "app/access/SecurityScopedFolderAccess.h"
#include "app/creation/FileCreationService.h"
#include "platform/FileManager.h"
#include "shared/paths/FilePaths.h"
#include "platform/SecurityScopedAccess.h"

namespace quillet {

FolderAccessCreation::FolderAccessCreation(SecurityScopedFolderAccess& access, const FileManager& fileManager)
    : access_(access), fileManager_(fileManager) {}

bool FolderAccessCreation::isSandboxed() { return std::getenv(kSandboxEnvironmentVariable) != nullptr; }

std::filesystem::path FolderAccessCreation::createFileWithFolderAccess(const FileTypeDefinition& type,
                                                                       const std::filesystem::path& folder) {
    // The folder checked against the grants is the folder written to: with "x/link/.." the
    // lexical and the real parent differ, so nothing is written through an unresolved form.
    const std::filesystem::path target = standardizedPath(folder);

    if (auto grant = access_.bestSavedRoot(target)) return createInside(*grant, type, target);

    if (!isSandboxed()) return createFile(type, target, fileManager_);

    // Inside a sandbox HOME names the container, hence the account database.
    const auto suggestion = SecurityScopedFolderAccess::suggestedGrantRoot(
        target, SecurityScopedFolderAccess::realHomeFolderURL());
    const std::filesystem::path granted =
        access_.requestAccess(suggestion.value_or(target), target, kAllowFolderAccessTitle, std::nullopt);
    return createInside(granted, type, target);
}

std::filesystem::path FolderAccessCreation::createInside(const std::filesystem::path& grant,
                                                         const FileTypeDefinition& type,
                                                         const std::filesystem::path& folder) {
    ScopedFolderAccess access(fileManager_.scopedAccess(), grant);
    return createFile(type, folder, fileManager_);
}

}  // namespace quillet
