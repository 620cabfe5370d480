// What a bundle's registration reads and writes: the user's mimeapps.list (any text, since
// other programs and people edit it), the desktop entry it fills in, the program path it
// quotes into Exec, and the user's autostart entry it reads back. The first byte picks which.
// Every input must pass without a crash; the handler setting must be there once and stay put on
// a second pass, with every other line kept in order; a filled-in entry must not change when
// filled in again; a quoted path must unquote, by the desktop entry rules, to exactly the path;
// and the program read from an autostart entry's Exec, written again, must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop/BundleRegistration.h"

using namespace quillet;

namespace {

constexpr std::string_view kKey = "x-scheme-handler/quillaxe";
constexpr std::string_view kDesktopFile = "org.quillet.Quillet.desktop";

void require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const auto end = text.find('\n');
        out.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

void checkMimeAppsList(std::string_view input) {
    const std::string once = mimeAppsListWithDefault(input, kKey, kDesktopFile);
    require(mimeAppsListWithDefault(once, kKey, kDesktopFile) == once);
    const std::string ours = std::string(kKey) + "=" + std::string(kDesktopFile);
    const auto output = lines(once);
    size_t found = 0;
    for (const auto line : output) found += line == ours;
    require(found >= 1);
    // Lines that do not mention the key survive, in their order.
    size_t at = 0;
    for (const auto line : lines(input)) {
        if (line.find(kKey) != std::string_view::npos) continue;
        while (at < output.size() && output[at] != line) ++at;
        require(at < output.size());
        ++at;
    }
}

// The desktop entry rules read backwards: %% is %, the key file's \\ is \, then inside the
// double quotes a backslash takes the next character as it is.
std::optional<std::string> unquoted(std::string_view exec) {
    std::string percent;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '%') {
            if (i + 1 >= exec.size() || exec[i + 1] != '%') return std::nullopt;
            ++i;
        }
        percent += exec[i];
    }
    std::string value;
    for (size_t i = 0; i < percent.size(); ++i) {
        if (percent[i] == '\\') {
            if (i + 1 >= percent.size() || percent[i + 1] != '\\') return std::nullopt;
            ++i;
        }
        value += percent[i];
    }
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
    std::string argument;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '"') return std::nullopt;
        if (value[i] == '\\') {
            if (i + 2 >= value.size()) return std::nullopt;
            ++i;
            const char escaped = value[i];
            if (escaped != '"' && escaped != '`' && escaped != '$' && escaped != '\\') return std::nullopt;
        }
        argument += value[i];
    }
    return argument;
}

void checkExecArgument(std::string_view path) {
    const auto exec = desktopEntryExecArgument(std::string(path));
    if (!exec) return;
    for (const char c : *exec) require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    require(unquoted(*exec) == std::string(path));
}

void checkDesktopEntry(std::string_view entryTemplate) {
    const auto entry = desktopEntryForProgram(entryTemplate, "/home/a b/Quillet+.app/bin/quillet");
    if (!entry) {
        // Only a template without the entry's group is refused.
        for (auto line : lines(entryTemplate)) {
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
                line.remove_suffix(1);
            require(line != "[Desktop Entry]");
        }
        return;
    }
    require(desktopEntryForProgram(*entry, "/home/a b/Quillet+.app/bin/quillet") == entry);
}

void checkAutostartEntry(std::string_view entry) {
    isTurnedOffAutostartEntry(entry);
    const auto exec = desktopEntryValue(entry, "Exec");
    if (!exec) return;
    const auto program = desktopEntryExecProgram(*exec);
    if (!program) return;
    const auto again = desktopEntryExecArgument(*program);
    if (!again) return;
    require(desktopEntryExecProgram(*again) == program);
    require(desktopEntryExecProgram(*again + " %u") == program);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0: checkMimeAppsList(input); break;
        case 1: checkExecArgument(input); break;
        case 2: checkDesktopEntry(input); break;
        default: checkAutostartEntry(input); break;
    }
    return 0;
}
