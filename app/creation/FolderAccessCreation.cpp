#include "app/creation/FolderAccessCreation.h"

#include "app/access/SecurityScopedFolderAccess.h"
#include "app/creation/FileCreationService.h"
#include "platform/posix/NewFileWriter.h"
#include "shared/paths/FilePaths.h"
#include "platform/SecurityScopedAccess.h"

namespace quillet {

FolderAccessCreation::FolderAccessCreation(SecurityScopedFolderAccess& access, const NewFileWriter& fileWriter,
                                           const UserEnvironment& environment)
    : access_(access),
      fileWriter_(fileWriter),
      sandboxed_(environment.sandboxed),
      realHome_(environment.accountHome.empty() ? std::nullopt : std::optional(environment.accountHome)) {}

std::filesystem::path FolderAccessCreation::createFileWithFolderAccess(const FileTypeDefinition& type,
                                                                       const std::filesystem::path& folder) {
    // The folder checked against the grants is the folder written to: with "x/link/.." the
    // lexical and the real parent differ, so nothing is written through an unresolved form.
    const std::filesystem::path target = standardizedPath(folder);

    if (auto grant = access_.bestSavedRoot(target)) return createInside(*grant, type, target);

    if (!isSandboxed()) return createFile(type, target, fileWriter_);

    const auto suggestion = SecurityScopedFolderAccess::suggestedGrantRoot(target, realHome_);
    const std::filesystem::path granted =
        access_.requestAccess(suggestion.value_or(target), target, kAllowFolderAccessTitle, std::nullopt);
    return createInside(granted, type, target);
}

std::filesystem::path FolderAccessCreation::createInside(const std::filesystem::path& grant,
                                                         const FileTypeDefinition& type,
                                                         const std::filesystem::path& folder) {
    ScopedFolderAccess access(fileWriter_.scopedAccess(), grant);
    return createFile(type, folder, fileWriter_);
}

}  // namespace quillet
