#include "platform/posix/ModuleLoadingProcesses.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <system_error>

#include "shared/FileManagerModules.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

struct FileManagerCommands {
    std::string_view program;
    std::string_view quitOption;
    std::string_view backgroundOption;
};

// Each quits through its running instance ("--quit" reaches it over the session bus) and starts
// as the desktop session starts it, without a window.
constexpr FileManagerCommands kCommands[] = {
    {"nemo", "--quit", "--no-default-window"},
    {"caja", "--quit", "--no-default-window"},
    {"thunar", "--quit", "--daemon"},
};

const FileManagerCommands* commandsOf(std::string_view program) {
    for (const auto& commands : kCommands)
        if (commands.program == program) return &commands;
    return nullptr;
}

bool mapsOneOfOurModules(const fs::path& maps) {
    std::ifstream in(maps);
    std::string line;
    while (std::getline(in, line)) {
        const auto slash = line.rfind('/');
        if (slash == std::string::npos) continue;
        std::string_view name = std::string_view(line).substr(slash + 1);
        // A module replaced on disk (a package upgrade) is still the one loaded.
        constexpr std::string_view deleted = " (deleted)";
        if (name.ends_with(deleted)) name.remove_suffix(deleted.size());
        for (const auto& kind : kFileManagerMenuKinds)
            if (!kind.moduleFile.empty() && kind.moduleFile == name) return true;
    }
    return false;
}

}  // namespace

std::vector<RunningFileManager> processesWithModuleLoaded(const fs::path& procRoot, uid_t user) {
    std::vector<RunningFileManager> found;
    std::error_code error;
    for (fs::directory_iterator it(procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        struct stat info {};
        if (::stat(it->path().c_str(), &info) != 0 || info.st_uid != user) continue;
        if (!mapsOneOfOurModules(it->path() / "maps")) continue;
        RunningFileManager instance;
        instance.processIdentifier = std::stoll(name.substr(0, 12));
        std::ifstream comm(it->path() / "comm");
        std::getline(comm, instance.program);
        found.push_back(std::move(instance));
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.processIdentifier < b.processIdentifier; });
    return found;
}

std::optional<std::vector<std::string>> fileManagerQuitCommand(std::string_view program) {
    const auto* commands = commandsOf(program);
    if (!commands) return std::nullopt;
    return std::vector<std::string>{std::string(commands->program), std::string(commands->quitOption)};
}

std::optional<std::vector<std::string>> fileManagerBackgroundCommand(std::string_view program) {
    const auto* commands = commandsOf(program);
    if (!commands) return std::nullopt;
    return std::vector<std::string>{std::string(commands->program), std::string(commands->backgroundOption)};
}

}  // namespace quillet
