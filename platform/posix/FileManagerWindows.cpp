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

const FileManagerWindowClass* fileManagerWindowClass(std::string_view windowClass) {
    // Classes, roles and titles as the programs set them on X11 (Debian 12's versions).
    static constexpr FileManagerWindowClass kClasses[] = {
        {kNautilusWindowClass, WindowFolderSource::locations, "", ""},
        {"Nemo", WindowFolderSource::mark, "", ""},
        {"Caja", WindowFolderSource::mark, "", ""},
        // "/home/me/Work — Dolphin" with ShowFullPathInTitlebar=true, else "Work — Dolphin".
        {"dolphin", WindowFolderSource::fullPathTitle, "Dolphin#", " \xE2\x80\x94 Dolphin"},
        // "/home/me/Work - Thunar" with misc-full-path-in-window-title, else "Work - Thunar".
        {"Thunar", WindowFolderSource::fullPathTitle, "Thunar-", " - Thunar"},
        {"pcmanfm-qt", WindowFolderSource::unknown, "", ""},
    };
    for (const auto& known : kClasses)
        if (known.windowClass == windowClass) return &known;
    return nullptr;
}

namespace {

bool isBrowsingWindow(const FileManagerWindow& window, const FileManagerWindowClass& kind) {
    switch (kind.source) {
        // Property and preference dialogs belong to the file manager too but show no folder;
        // the browsing window beneath them is still the one in front.
        case WindowFolderSource::locations: return !window.objectPath.empty();
        case WindowFolderSource::mark: return !window.markedFolder.empty();
        case WindowFolderSource::fullPathTitle:
        case WindowFolderSource::unknown: return window.role.starts_with(kind.browsingRolePrefix);
    }
    return false;
}

}  // namespace

std::optional<size_t> frontFileManagerWindow(const std::vector<FileManagerWindow>& topmostFirst) {
    for (size_t i = 0; i < topmostFirst.size(); ++i) {
        const auto& window = topmostFirst[i];
        if (window.hidden) continue;
        const FileManagerWindowClass* kind = fileManagerWindowClass(window.windowClass);
        if (kind && isBrowsingWindow(window, *kind)) return i;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> folderOfWindow(const FileManagerWindow& window,
                                                    const FileManagerLocations& locations) {
    const FileManagerWindowClass* kind = fileManagerWindowClass(window.windowClass);
    if (!kind) return std::nullopt;
    switch (kind->source) {
        case WindowFolderSource::locations: break;
        case WindowFolderSource::mark:
            if (window.markedFolder.empty() || window.markedFolder.front() != '/') return std::nullopt;
            return standardizedPath(window.markedFolder);
        case WindowFolderSource::fullPathTitle: {
            // A folder's own name never holds "/", so a title that starts with one is a full path.
            const std::string_view title = window.title;
            if (!title.ends_with(kind->titleSuffix) || !title.starts_with('/')) return std::nullopt;
            return standardizedPath(std::string(title.substr(0, title.size() - kind->titleSuffix.size())));
        }
        case WindowFolderSource::unknown: return std::nullopt;
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
