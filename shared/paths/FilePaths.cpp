#include "shared/paths/FilePaths.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace quillet {

std::filesystem::path standardizedPath(const std::filesystem::path& path) {
    if (path.empty()) return path;
    std::string s = path.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    if (s.empty()) return std::filesystem::path(".");
    return std::filesystem::path(s);
}

std::filesystem::path containingFolder(const std::filesystem::path& item) {
    const std::filesystem::path standardized = standardizedPath(item);
    if (!standardized.has_relative_path()) return standardized;
    return standardized.parent_path();
}

std::string lastPathComponent(const std::filesystem::path& path) {
    std::filesystem::path p = standardizedPath(path);
    if (p.empty()) return {};
    if (p == "/") return "/";
    return p.filename().string();
}

namespace {

// One field of the current user id's account entry; empty when there is no entry.
template <typename Field>
std::string accountField(Field field) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* result = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (!result) return {};
    const char* value = field(*result);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::filesystem::path accountHomeFolder() {
    const std::string home = accountField([](const passwd& p) { return p.pw_dir; });
    if (home.empty()) return {};
    return standardizedPath(home);
}

std::string accountUserName() {
    return accountField([](const passwd& p) { return p.pw_name; });
}

}  // namespace quillet
