#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RunningFileManagers.h"

namespace quillet {

// The processes of `user` that have one of our modules loaded: those whose mapped files
// (<procRoot>/PID/maps) include a module file of kFileManagerMenuKinds, each with its program name (PID/comm).
// Processes of other users are never listed, whoever asks.
std::vector<RunningFileManager> processesWithModuleLoaded(const std::filesystem::path& procRoot, uid_t user);

// The command that asks a running `program` ("nemo", "caja", "thunar") to quit as its user would,
// and the one that starts it again in the background without opening a window; nothing for a
// program not known here.
std::optional<std::vector<std::string>> fileManagerQuitCommand(std::string_view program);
std::optional<std::vector<std::string>> fileManagerBackgroundCommand(std::string_view program);

}  // namespace quillet
