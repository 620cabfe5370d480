#include "platform/posix/FileManagerWindows.h"

#include "shared/requests/PercentEncoding.h"
#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::filesystem::path> pathFromFileURI(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (!startsWithIgnoringCase(uri, scheme)) return std::nullopt;
    std::string_view rest = uri.substr(scheme.size());
    size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    std::string_view host = rest.substr(0, slash);
    bool local = host.empty() || (host.size() == 9 && startsWithIgnoringCase(host, "localhost"));
    if (!local) return std::nullopt;
    std::string_view encoded = rest.substr(slash);
    if (encoded.find_first_of("?#") != std::string_view::npos) return std::nullopt;

    // Percent decoding is shared with the create-request URLs; a path can never hold a NUL.
    auto decoded = percentDecode(encoded);
    if (!decoded || decoded->find('\0') != std::string::npos) return std::nullopt;
    return standardizedPath(*decoded);
}

bool isMarkedFileManagerClass(std::string_view windowClass) {
    return windowClass == kNemoWindowClass || windowClass == kCajaWindowClass;
}

std::optional<size_t> frontFileManagerWindow(const std::vector<FileManagerWindow>& topmostFirst) {
    for (size_t i = 0; i < topmostFirst.size(); ++i) {
        const auto& window = topmostFirst[i];
        if (window.hidden) continue;
        if (isMarkedFileManagerClass(window.windowClass) && !window.markedFolder.empty()) return i;
        if (window.windowClass != kNautilusWindowClass) continue;
        // Property and preference dialogs belong to the file manager too but show no folder;
        // the browsing window beneath them is still the one in front.
        if (window.objectPath.empty()) continue;
        return i;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> folderOfWindow(const FileManagerWindow& window,
                                                    const FileManagerLocations& locations) {
    if (isMarkedFileManagerClass(window.windowClass)) {
        if (window.markedFolder.empty() || window.markedFolder.front() != '/') return std::nullopt;
        return standardizedPath(window.markedFolder);
    }
    auto it = locations.find(window.objectPath);
    if (it == locations.end() || it->second.empty()) return std::nullopt;
    const auto& tabs = it->second;
    if (tabs.size() == 1) return pathFromFileURI(tabs.front());

    std::optional<std::filesystem::path> match;
    for (const auto& uri : tabs) {
        auto folder = pathFromFileURI(uri);
        if (!folder || lastPathComponent(*folder) != window.title) continue;
        if (match && *match != *folder) return std::nullopt;
        match = folder;
    }
    return match;
}

std::optional<std::filesystem::path> onlyWindowFolder(const FileManagerLocations& locations) {
    if (locations.size() != 1) return std::nullopt;
    std::optional<std::filesystem::path> only;
    for (const auto& uri : locations.begin()->second) {
        auto folder = pathFromFileURI(uri);
        if (!folder || (only && *only != *folder)) return std::nullopt;
        only = folder;
    }
    return only;
}

std::optional<std::filesystem::path> frontFolderAmong(const std::vector<FileManagerWindow>& topmostFirst,
                                                      const FileManagerLocations& locations) {
    auto front = frontFileManagerWindow(topmostFirst);
    if (!front) return std::nullopt;
    return folderOfWindow(topmostFirst[*front], locations);
}

}  // namespace quillet
