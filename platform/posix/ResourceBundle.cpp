#include "platform/posix/ResourceBundle.h"

#include <fstream>
#include <system_error>

#include <nlohmann/json.hpp>

namespace quillet {

ResourceBundle::ResourceBundle(std::filesystem::path resourceDirectory)
    : directory_(std::move(resourceDirectory)) {}

std::filesystem::path executablePath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe;
}

std::filesystem::path executableDirectory() {
    auto exe = executablePath();
    if (exe.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec);
    }
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

nlohmann::json ResourceBundle::infoDictionary() const {
    std::ifstream in(directory_ / "Info.json", std::ios::binary);
    if (!in) return nlohmann::json::object();
    auto parsed = nlohmann::json::parse(in, nullptr, /*allow_exceptions=*/false);
    if (!parsed.is_object()) return nlohmann::json::object();
    return parsed;
}

}  // namespace quillet
