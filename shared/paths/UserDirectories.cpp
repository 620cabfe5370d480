#include "shared/paths/UserDirectories.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

constexpr std::string_view kDesktopKey = "XDG_DESKTOP_DIR";
constexpr std::string_view kTemplatesKey = "XDG_TEMPLATES_DIR";
constexpr std::string_view kHomeReference = "$HOME";
// Far more than any real file; a larger one is not the desktop's and is not read.
constexpr size_t kMaximumFileSize = 64 * 1024;

// A carriage return too: a file saved with Windows line ends is still read.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void skipBlanks(std::string_view& text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
}

// The folder one line names, when it is a well-formed line of `key`.
std::optional<std::filesystem::path> folderFromLine(std::string_view line, std::string_view key,
                                                    const std::filesystem::path& home) {
    skipBlanks(line);
    if (!line.starts_with(key)) return std::nullopt;
    line.remove_prefix(key.size());
    skipBlanks(line);
    if (!line.starts_with('=')) return std::nullopt;
    line.remove_prefix(1);
    skipBlanks(line);
    if (!line.starts_with('"')) return std::nullopt;
    line.remove_prefix(1);

    // The value as the shell would read it inside double quotes; "$HOME" counts only unescaped
    // and at the very start.
    const bool fromHome = line.starts_with(kHomeReference);
    if (fromHome) line.remove_prefix(kHomeReference.size());
    std::string value;
    bool closed = false;
    while (!line.empty()) {
        char c = line.front();
        line.remove_prefix(1);
        if (c == '"') {
            closed = true;
            break;
        }
        if (c == '\\' && !line.empty()) {
            c = line.front();
            line.remove_prefix(1);
        }
        value += c;
    }
    if (!closed || value.find('\0') != std::string::npos) return std::nullopt;
    skipBlanks(line);
    if (!line.empty() && !line.starts_with('#')) return std::nullopt;

    if (fromHome) {
        // "$HOMEwork" names no folder of the home.
        if (!value.empty() && value.front() != '/') return std::nullopt;
        if (home.empty()) return std::nullopt;
        return standardizedPath(home.string() + value);
    }
    if (value.empty() || value.front() != '/') return std::nullopt;
    return standardizedPath(value);
}

// The file's bytes when it is a regular file of sensible size; nothing otherwise.
std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> content;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) <= kMaximumFileSize) {
        std::string bytes;
        char buffer[4096];
        bool failed = false;
        while (bytes.size() <= kMaximumFileSize) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            if (n <= 0) break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        if (!failed && bytes.size() <= kMaximumFileSize) content = std::move(bytes);
    }
    ::close(fd);
    return content;
}

}  // namespace

std::optional<std::filesystem::path> userDirectoryFromUserDirectories(std::string_view text, std::string_view key,
                                                                       const std::filesystem::path& home) {
    std::optional<std::filesystem::path> found;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // As the desktop's own readers do, a later line overrides an earlier one.
        if (auto folder = folderFromLine(line, key, home)) found = std::move(folder);
    }
    return found;
}

std::optional<std::filesystem::path> desktopFolderFromUserDirectories(std::string_view text,
                                                                      const std::filesystem::path& home) {
    return userDirectoryFromUserDirectories(text, kDesktopKey, home);
}

std::filesystem::path userDesktopFolder(const std::filesystem::path& home,
                                        const std::optional<std::filesystem::path>& configurationHome) {
    if (configurationHome) {
        if (auto text = readSmallFile(*configurationHome / kUserDirectoriesFileName)) {
            if (auto desktop = desktopFolderFromUserDirectories(*text, home)) return *desktop;
        }
    }
    return standardizedPath(home / "Desktop");
}

std::optional<std::filesystem::path> userTemplatesFolder(const std::filesystem::path& home,
                                                         const std::optional<std::filesystem::path>& configurationHome) {
    std::optional<std::filesystem::path> named;
    if (configurationHome) {
        if (auto text = readSmallFile(*configurationHome / kUserDirectoriesFileName))
            named = userDirectoryFromUserDirectories(*text, kTemplatesKey, home);
    }
    const std::filesystem::path standardHome = standardizedPath(home);
    const std::filesystem::path folder = named ? *named : standardizedPath(standardHome / "Templates");
    // The desktop's way of switching the folder off is to name the home itself; every file
    // there (or in /) would otherwise become a template.
    if (home.empty() || standardHome == "/" || folder == standardHome || folder == "/") return std::nullopt;
    return folder;
}

}  // namespace quillet
