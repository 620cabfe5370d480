#include "platform/ResourceBundle.h"

#include <system_error>

namespace quillet {

ResourceBundle::ResourceBundle(std::filesystem::path resourceDirectory)
    : directory_(std::move(resourceDirectory)) {}

std::filesystem::path executableDirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

ResourceBundle ResourceBundle::besideExecutable() {
    return ResourceBundle((executableDirectory() / ".." / "share" / "quillet").lexically_normal());
}

std::optional<std::filesystem::path> ResourceBundle::url(const std::string& name,
                                                         const std::string& extension) const {
    auto candidate = directory_ / (extension.empty() ? name : name + "." + extension);
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    return std::nullopt;
}

}  // namespace quillet
