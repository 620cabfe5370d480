#include "app/creation/FileCreationService.h"

#include <exception>
#include <optional>

namespace quillet {

std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, const std::string& baseName,
                                    const std::string& fileExtension, const FileManager& fileManager) {
    std::filesystem::path candidate = folder / (baseName + "." + fileExtension);
    for (unsigned long long n = 2; fileManager.fileExists(candidate); ++n)
        candidate = folder / (baseName + " " + std::to_string(n) + "." + fileExtension);
    return candidate;
}

std::string templateText(const FileTypeDefinition& type) {
    if (type.id == "rtf") return "{\\rtf1\\ansi\\deff0\n}\n";
    if (type.id == "json") return "{}\n";
    if (type.id == "xml") return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n</root>\n";
    if (type.id == "html")
        return "<!doctype html>\n"
               "<html lang=\"en\">\n"
               "<head>\n"
               "  <meta charset=\"utf-8\">\n"
               "  <title>Untitled</title>\n"
               "</head>\n"
               "<body>\n"
               "</body>\n"
               "</html>\n";
    return {};
}

void coordinatedWrite(const std::filesystem::path& url, const WriteAccessor& accessor,
                      FileCoordinator& coordinator) {
    bool accessorRan = false;
    std::exception_ptr accessorError;
    std::optional<PlatformError> coordinatorError =
        coordinator.coordinateWriting(url, [&](const std::filesystem::path& handedOver) noexcept {
            accessorRan = true;
            try {
                accessor(handedOver);
            } catch (...) {
                accessorError = std::current_exception();
            }
        });
    if (coordinatorError) throw *coordinatorError;
    if (!accessorRan) throw PlatformError::fileWriteUnknown(url);
    if (accessorError) std::rethrow_exception(accessorError);
}

std::filesystem::path createFile(const FileTypeDefinition& type, const std::filesystem::path& folder,
                                 const FileManager& fileManager) {
    const std::filesystem::path target =
        uniqueFileURL(folder, kNewFileBaseName, type.fileExtension, fileManager);
    ScopedFolderAccess access(fileManager.scopedAccess(), folder);

    WriteAccessor accessor;
    if (type.category == FileTypeCategory::office) {
        std::optional<std::filesystem::path> resource =
            fileManager.mainBundle().url(kTemplateResourceName, type.fileExtension);
        if (!resource)
            throw FileCreationError::templateMissing(std::string(kTemplateResourceName) + "." +
                                                     type.fileExtension);
        accessor = [&fileManager, source = *resource](const std::filesystem::path& url) {
            fileManager.copyItem(source, url);
        };
    } else {
        accessor = [&fileManager, bytes = templateText(type)](const std::filesystem::path& url) {
            fileManager.writeWithoutOverwriting(bytes, url);
        };
    }
    try {
        coordinatedWrite(target, accessor, fileManager.coordinator());
    } catch (const PlatformError& error) {
        throw FileCreationError::writeFailed(error);
    }
    return target;
}

}  // namespace quillet
