#include "platform/FilePaths.h"

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

std::string lastPathComponent(const std::filesystem::path& path) {
    std::filesystem::path p = standardizedPath(path);
    if (p.empty()) return {};
    if (p == "/") return "/";
    return p.filename().string();
}

std::filesystem::path accountHomeFolder() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* result = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (!result || !result->pw_dir || !*result->pw_dir) return {};
    return standardizedPath(result->pw_dir);
}

}  // namespace quillet
