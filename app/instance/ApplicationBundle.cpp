#include "app/instance/ApplicationBundle.h"

#include <system_error>

#include <nlohmann/json.hpp>

namespace quillet {

namespace {
constexpr const char* kExecutableName = "quillet";
}  // namespace

ApplicationBundle ApplicationBundle::containing(const std::filesystem::path& executable) {
    // Lexically, so a path given with "." or ".." segments names the same bundle.
    return ApplicationBundle(executable.lexically_normal().parent_path().parent_path());
}

std::filesystem::path ApplicationBundle::executable() const { return path_ / "bin" / kExecutableName; }

std::filesystem::path ApplicationBundle::resourceDirectory() const { return path_ / "share" / "quillet"; }

bool ApplicationBundle::isAppBundle() const {
    if (path_.extension() != ".app") return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(resourceDirectory() / "Info.json", ec);
}

std::optional<std::filesystem::path> ApplicationBundle::installedBundle() const {
    if (!isAppBundle()) return std::nullopt;
    return path_;
}

bool isSystemInstall(const nlohmann::json& infoDictionary) {
    if (!infoDictionary.is_object()) return false;
    const auto found = infoDictionary.find("QuilletSystemInstall");
    return found != infoDictionary.end() && found->is_boolean() && found->get<bool>();
}

}  // namespace quillet
