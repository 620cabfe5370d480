#include "app/creation/FolderAccessCreation.h"

#include "app/access/SecurityScopedFolderAccess.h"
#include "app/creation/FileCreationService.h"
#include "platform/posix/NewFileWriter.h"
#include "platform/SecurityScopedAccess.h"
#include "shared/catalog/UserTemplates.h"

namespace quillet {

FolderAccessCreation::FolderAccessCreation(SecurityScopedFolderAccess& access, const NewFileWriter& fileWriter,
                                           const UserEnvironment& environment)
    : access_(access),
      fileWriter_(fileWriter),
      sandboxed_(environment.sandboxed),
      realHome_(FolderPath::fromAbsolute(environment.accountHome)) {}

std::filesystem::path FolderAccessCreation::createFileWithFolderAccess(const FileTypeDefinition& type,
                                                                       const FolderPath& folder) {
    // The folder checked against the grants is the folder written to: it arrives standardized
    // ("x/link/.." already x, whatever the link leads to), so nothing is written through a form
    // the grants were not checked against.
    if (auto grant = access_.bestSavedRoot(folder)) return createInside(*grant, type, folder);

    if (!isSandboxed()) return createFile(type, folder, fileWriter_);

    const auto suggestion = SecurityScopedFolderAccess::suggestedGrantRoot(folder, realHome_);
    const FolderPath granted =
        access_.requestAccess(suggestion.value_or(folder), folder, kAllowFolderAccessTitle, std::nullopt);
    return createInside(granted, type, folder);
}

std::filesystem::path FolderAccessCreation::createInside(const FolderPath& grant, const FileTypeDefinition& type,
                                                         const FolderPath& folder) {
    ScopedFolderAccess access(fileWriter_.scopedAccess(), grant.path());
    return createFile(type, folder, fileWriter_);
}

std::optional<FileTypeDefinition> FolderAccessCreation::fileTypeNamed(const std::string& id) const {
    return creatableFileType(id, fileWriter_.templates());
}

}  // namespace quillet
