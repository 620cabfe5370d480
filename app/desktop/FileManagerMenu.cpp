#include "app/desktop/FileManagerMenu.h"

#include <system_error>

#include "shared/paths/FilePaths.h"

namespace quillet {

std::filesystem::path folderForClickedItem(const std::filesystem::path& item) {
    std::error_code error;
    if (std::filesystem::is_directory(item, error)) return standardizedPath(item);
    return containingFolder(item);
}

}  // namespace quillet
