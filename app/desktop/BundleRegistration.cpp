#include "app/desktop/BundleRegistration.h"

#include <system_error>
#include <utility>

#include "app/desktop/FileContentUpdate.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"

namespace quillet {

namespace {

constexpr const char* kDesktopEntryGroup = "[Desktop Entry]";
constexpr const char* kDefaultApplicationsGroup = "[Default Applications]";
constexpr const char* kDesktopActionGroupPrefix = "[Desktop Action ";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool isGroupHeader(std::string_view line) {
    line = trimmed(line);
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The key of a "key=value" line (spaces around "=" are allowed); nothing for comments, blank
// lines and group headers.
std::optional<std::string_view> keyOf(std::string_view line) {
    const auto start = trimmed(line);
    if (start.empty() || start.front() == '#' || isGroupHeader(start)) return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return trimmed(line.substr(0, equals));
}

// The value of a "key=value" line, trimmed.
std::string_view valueOf(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return trimmed(line.substr(equals + 1));
}

// The same for a list, whose closing ";" is dropped.
std::string_view listValueOf(std::string_view line) {
    auto value = valueOf(line);
    if (value.ends_with(';')) value.remove_suffix(1);
    return value;
}

// The lines of a key file without their line breaks; a last line without one counts too.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text.append(line).append("\n");
    return text;
}

bool isValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
        i += length;
    }
    return true;
}

bool canNameInDesktopEntry(const std::string& path) {
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return isValidUtf8(path);
}

// A string value of a key file: only the backslash needs its escape in a path.
std::string keyFileString(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

}  // namespace

std::optional<std::string> desktopEntryExecArgument(const std::filesystem::path& program) {
    const std::string path = program.string();
    if (!canNameInDesktopEntry(path)) return std::nullopt;
    // Quoted always: the bundle's own name holds "+", and a folder above it may hold anything.
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string line;
    for (const char c : keyFileString(quoted)) {
        if (c == '%') line += '%';
        line += c;
    }
    return line;
}

std::optional<std::filesystem::path> desktopEntryExecProgram(std::string_view exec) {
    // The key file's string escapes come off first.
    std::string value;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\') {
            value += exec[i];
            continue;
        }
        if (++i == exec.size()) return std::nullopt;
        switch (exec[i]) {
            case 's': value += ' '; break;
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'r': value += '\r'; break;
            case '\\': value += '\\'; break;
            default: return std::nullopt;
        }
    }
    // Then the first argument: up to a space, or in double quotes where a backslash escapes
    // ", `, $ and \ only.
    size_t i = value.find_first_not_of(' ');
    if (i == std::string::npos) return std::nullopt;
    std::string program;
    if (value[i] == '"') {
        for (++i;; ++i) {
            if (i == value.size()) return std::nullopt;
            const char c = value[i];
            if (c == '"') break;
            if (c == '\\') {
                if (i + 1 == value.size()) return std::nullopt;
                const char next = value[++i];
                if (next != '"' && next != '`' && next != '$' && next != '\\') return std::nullopt;
                program += next;
            } else {
                program += c;
            }
        }
        if (i + 1 < value.size() && value[i + 1] != ' ') return std::nullopt;
    } else {
        program = value.substr(i, value.find(' ', i) - i);
    }
    // Last, %% stands for %, and any other % would be a field code.
    std::string path;
    for (size_t k = 0; k < program.size(); ++k) {
        if (program[k] == '%' && (++k == program.size() || program[k] != '%')) return std::nullopt;
        path += program[k];
    }
    return path;
}

namespace {

// What follows an Exec value's program word, its leading space included. The word is quoted
// when it has a space in it, as an entry written here for a bundle in "/home/a b" has.
std::string_view execArgumentsOf(std::string_view value) {
    size_t end = value.find(' ');
    if (!value.empty() && value.front() == '"') {
        end = 1;
        while (end < value.size() && value[end] != '"') end += value[end] == '\\' ? 2 : 1;
        ++end;
    }
    return end >= value.size() ? std::string_view() : value.substr(end);
}

}  // namespace

std::optional<std::string> desktopEntryForProgram(std::string_view entryTemplate, const std::filesystem::path& program,
                                                  std::string_view arguments) {
    const auto exec = desktopEntryExecArgument(program);
    if (!exec) return std::nullopt;
    std::string execLine = "Exec=" + *exec;
    if (!arguments.empty()) execLine.append(" ").append(arguments);
    const std::string tryExecLine = "TryExec=" + keyFileString(program.string());
    const std::string iconLine = std::string("Icon=") + kBundleIdentifier;

    std::vector<std::string> lines;
    bool inEntry = false;
    bool inAction = false;
    bool sawEntry = false;
    bool hasTryExec = false;
    bool hasIcon = false;
    std::optional<size_t> execIndex;
    std::optional<size_t> entryEnd;
    for (const auto line : linesOf(entryTemplate)) {
        if (isGroupHeader(line)) {
            if (inEntry && !entryEnd) entryEnd = lines.size();
            inEntry = trimmed(line) == kDesktopEntryGroup;
            inAction = trimmed(line).starts_with(kDesktopActionGroupPrefix);
            sawEntry = sawEntry || inEntry;
        }
        if (inAction && keyOf(line) == "Exec") {
            // An action runs the same program with its own arguments (the template's program is
            // one plain word).
            lines.push_back("Exec=" + *exec + std::string(execArgumentsOf(valueOf(line))));
            continue;
        }
        const auto key = inEntry ? keyOf(line) : std::nullopt;
        if (key == "Exec") {
            execIndex = lines.size();
            lines.push_back(execLine);
        } else if (key == "TryExec") {
            hasTryExec = true;
            lines.push_back(tryExecLine);
        } else if (key == "Icon") {
            hasIcon = true;
            lines.push_back(iconLine);
        } else {
            lines.emplace_back(line);
        }
    }
    // Without the group there is no entry to fill in.
    if (!sawEntry) return std::nullopt;
    if (!entryEnd) entryEnd = lines.size();
    // Keys the template lacks go after Exec, or at the end of the entry's group.
    size_t insertAt = execIndex ? *execIndex + 1 : *entryEnd;
    if (!execIndex) lines.insert(lines.begin() + static_cast<long>(insertAt++), execLine);
    if (!hasTryExec) lines.insert(lines.begin() + static_cast<long>(insertAt++), tryExecLine);
    if (!hasIcon) lines.insert(lines.begin() + static_cast<long>(insertAt), iconLine);
    return joined(lines);
}

std::optional<std::string> desktopEntryValue(std::string_view entry, std::string_view key) {
    std::optional<std::string> value;
    bool inEntry = false;
    for (const auto line : linesOf(entry)) {
        if (isGroupHeader(line)) inEntry = trimmed(line) == kDesktopEntryGroup;
        else if (inEntry && keyOf(line) == key) value = std::string(valueOf(line));
    }
    return value;
}

bool isTurnedOffAutostartEntry(std::string_view entry) {
    // Booleans as key file readers take them: "true" and "false", or 1 and 0.
    const auto hidden = desktopEntryValue(entry, "Hidden");
    const auto enabled = desktopEntryValue(entry, "X-GNOME-Autostart-enabled");
    return (hidden && (*hidden == "true" || *hidden == "1")) || (enabled && (*enabled == "false" || *enabled == "0"));
}

std::string mimeAppsListWithDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                    std::string_view desktopFile) {
    const std::string ours = std::string(mimeType) + "=" + std::string(desktopFile);
    std::vector<std::string> lines;
    bool inGroup = false;
    bool sawGroup = false;
    bool written = false;
    std::optional<size_t> groupLast;  // the group's last line that is not blank
    for (const auto line : linesOf(mimeAppsList)) {
        if (isGroupHeader(line)) {
            // Only the first such group: a repeated header is left as the user has it.
            inGroup = !sawGroup && trimmed(line) == kDefaultApplicationsGroup;
            if (inGroup) {
                sawGroup = true;
                groupLast = lines.size();
            }
        } else if (inGroup && keyOf(line) == mimeType) {
            // The key once: a second copy would be ambiguous.
            if (!written) {
                lines.push_back(ours);
                written = true;
                groupLast = lines.size() - 1;
            }
            continue;
        }
        if (inGroup && !trimmed(line).empty()) groupLast = lines.size();
        lines.emplace_back(line);
    }
    if (!written) {
        if (groupLast) {
            lines.insert(lines.begin() + static_cast<long>(*groupLast) + 1, ours);
        } else {
            if (!lines.empty() && !trimmed(lines.back()).empty()) lines.emplace_back();
            lines.emplace_back(kDefaultApplicationsGroup);
            lines.push_back(ours);
        }
    }
    return joined(lines);
}

std::string mimeAppsListWithoutDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                       std::string_view desktopFile) {
    std::vector<std::string> lines;
    bool inGroup = false;
    for (const auto line : linesOf(mimeAppsList)) {
        if (isGroupHeader(line)) inGroup = trimmed(line) == kDefaultApplicationsGroup;
        else if (inGroup && keyOf(line) == mimeType && listValueOf(line) == desktopFile) continue;
        lines.emplace_back(line);
    }
    return joined(lines);
}

BundleRegistration::BundleRegistration(ApplicationBundle bundle, const UserEnvironment& environment)
    : bundle_(std::move(bundle)), dataHome_(environment.dataHome), configurationHome_(environment.configurationHome) {}

std::optional<std::filesystem::path> BundleRegistration::desktopEntryPath() const {
    if (!dataHome_) return std::nullopt;
    return *dataHome_ / "applications" / kDesktopEntryName;
}

std::optional<std::filesystem::path> BundleRegistration::iconPath() const {
    if (!dataHome_) return std::nullopt;
    return *dataHome_ / "icons" / "hicolor" / "scalable" / "apps" / kIconName;
}

std::optional<std::filesystem::path> BundleRegistration::mimeAppsListPath() const {
    if (!configurationHome_) return std::nullopt;
    return *configurationHome_ / "mimeapps.list";
}

std::optional<std::filesystem::path> BundleRegistration::autostartEntryPath() const {
    if (!configurationHome_) return std::nullopt;
    return *configurationHome_ / "autostart" / kDesktopEntryName;
}

std::vector<std::filesystem::path> BundleRegistration::registerBundle() const {
    std::vector<std::filesystem::path> written;
    if (!bundle_.isAppBundle()) return written;
    const Logger log(kAppSubsystem, "Bundle");

    const auto apply = [&](const std::optional<std::filesystem::path>& target, const char* what,
                           const std::optional<std::string>& content) {
        if (!target) {
            log.error("Not registering the %{public}s: no home folder to put it in", what);
            return;
        }
        if (!content) return;
        const FileContentUpdate update = updateFileContent(*target, *content);
        switch (update.outcome) {
            case FileContentUpdate::Outcome::unchanged: break;
            case FileContentUpdate::Outcome::written:
                log.log("Registered the %{public}s at %{public}s", what, target->string());
                written.push_back(*target);
                break;
            case FileContentUpdate::Outcome::notARegularFile:
                log.error("Left the %{public}s alone: %{public}s", what, update.error);
                break;
            case FileContentUpdate::Outcome::failed:
                log.error("Could not register the %{public}s: %{public}s", what, update.error);
                break;
        }
    };
    // A resource the bundle lacks, or cannot be read, is logged and its registration skipped.
    const auto resource = [&](const char* name, const char* what) -> std::optional<std::string> {
        const auto path = bundle_.resourceDirectory() / name;
        auto read = readRegularFile(path);
        if (read.content) return read.content;
        log.error("Not registering the %{public}s: %{public}s", what,
                  read.failure ? read.failure->error : path.string() + ": missing");
        return std::nullopt;
    };

    // A desktop entry from the bundle's template, starting the bundle's program.
    const auto entryFor = [&](const std::string& entryTemplate, const char* what,
                              std::string_view arguments) -> std::optional<std::string> {
        auto entry = desktopEntryForProgram(entryTemplate, bundle_.executable(), arguments);
        if (!desktopEntryExecArgument(bundle_.executable()))
            log.error("Not registering the %{public}s: %{public}s cannot be named in one", what,
                      bundle_.executable().string());
        else if (!entry)
            log.error("Not registering the %{public}s: the bundle's has no [Desktop Entry] group", what);
        return entry;
    };

    if (auto entryTemplate = resource(kDesktopEntryName, "desktop entry"))
        apply(desktopEntryPath(), "desktop entry", entryFor(*entryTemplate, "desktop entry", "%u"));
    if (auto icon = resource(kIconName, "icon")) apply(iconPath(), "icon", icon);

    // The list is the user's: it is read first, and a link or unreadable file stays untouched.
    if (const auto list = mimeAppsListPath()) {
        const RegularFileContent existing = readRegularFile(*list);
        if (existing.failure) {
            log.error("Left the scheme handler setting alone: %{public}s", existing.failure->error);
        } else {
            apply(list, "scheme handler setting",
                  mimeAppsListWithDefault(existing.content.value_or(""), kSchemeMimeType, kDesktopEntryName));
        }
    } else {
        apply(std::nullopt, "scheme handler setting", std::nullopt);
    }

    // Started at login with no arguments, as a launch from the menu is. An entry the user
    // turned off stays off, and stays theirs to the byte.
    if (auto entryTemplate = resource(kAutostartTemplateName, "autostart entry")) {
        const auto target = autostartEntryPath();
        const RegularFileContent existing = target ? readRegularFile(*target) : RegularFileContent{};
        if (!existing.content || !isTurnedOffAutostartEntry(*existing.content))
            apply(target, "autostart entry", entryFor(*entryTemplate, "autostart entry", ""));
    }
    return written;
}

std::vector<std::filesystem::path> BundleRegistration::unregisterBundle() const {
    std::vector<std::filesystem::path> changed;
    const Logger log(kAppSubsystem, "Bundle");
    // A regular file only: a link there is not ours, and removing it would not undo anything.
    const auto removeFile = [&](const std::filesystem::path& target, const char* what) {
        std::error_code error;
        const auto type = std::filesystem::symlink_status(target, error).type();
        if (type != std::filesystem::file_type::regular) return;
        if (std::filesystem::remove(target, error)) {
            log.log("Removed the %{public}s at %{public}s", what, target.string());
            changed.push_back(target);
        } else if (error) {
            log.error("Could not remove the %{public}s at %{public}s: %{public}s", what, target.string(), error.message());
        }
    };
    for (const auto& [target, what] : {std::pair{desktopEntryPath(), "desktop entry"}, std::pair{iconPath(), "icon"}})
        if (target) removeFile(*target, what);
    // The autostart entry may be one the user made for another program under the same name.
    if (const auto autostart = autostartEntryPath()) {
        const RegularFileContent existing = readRegularFile(*autostart);
        const auto exec = existing.content ? desktopEntryValue(*existing.content, "Exec") : std::nullopt;
        const auto program = exec ? desktopEntryExecProgram(*exec) : std::nullopt;
        if (program && *program == bundle_.executable()) removeFile(*autostart, "autostart entry");
    }
    if (const auto list = mimeAppsListPath()) {
        const RegularFileContent existing = readRegularFile(*list);
        if (existing.content) {
            const auto update = updateFileContent(
                *list, mimeAppsListWithoutDefault(*existing.content, kSchemeMimeType, kDesktopEntryName));
            if (update.outcome == FileContentUpdate::Outcome::written) {
                log.log("Removed the scheme handler setting from %{public}s", list->string());
                changed.push_back(*list);
            } else if (update.outcome == FileContentUpdate::Outcome::failed) {
                log.error("Could not remove the scheme handler setting: %{public}s", update.error);
            }
        }
    }
    return changed;
}

}  // namespace quillet
