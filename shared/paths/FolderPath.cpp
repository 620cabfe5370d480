#include "shared/paths/FolderPath.h"

#include "shared/paths/FilePaths.h"

namespace quillet {

FolderPath::FolderPath(std::filesystem::path standardized)
    : path_(std::make_shared<const std::filesystem::path>(std::move(standardized))) {}

std::optional<FolderPath> FolderPath::fromAbsolute(const std::filesystem::path& path) {
    if (!path.is_absolute()) return std::nullopt;
    return FolderPath(standardizedPath(path));
}

FolderPath FolderPath::root() { return FolderPath("/"); }

FolderPath FolderPath::appending(const std::filesystem::path& relative) const {
    return FolderPath(standardizedPath(path() / relative));
}

std::string FolderPath::name() const {
    return path().has_relative_path() ? path().filename().string() : path().string();
}

}  // namespace quillet
