#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileViewer.h"

namespace quillet {

// The Dolphin window a service menu click came from, asked to show the new file selected: Dolphin
// starts the menu's command itself, so the command's parent is that Dolphin, which serves the file
// manager interface under its own bus name (org.kde.dolphin-<pid>) whoever holds the shared one.
// Talks to the session bus without a toolkit, so the launcher can use it. When the parent is no
// Dolphin (another KIO program, a shell) nothing is shown: the command prints the path as always.
class LaunchingDolphinViewer final : public FileViewer {
public:
    // `sessionBusAddress`: the bus the root found; empty for none, then nothing is shown.
    LaunchingDolphinViewer(pid_t parent, std::string sessionBusAddress);
    void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) override;

private:
    pid_t parent_;
    std::string sessionBusAddress_;
};

// The bus name a Dolphin process serves: "org.kde.dolphin-1234".
std::string dolphinBusName(pid_t pid);
// A local path as a file URI, every byte outside the unreserved set and "/" percent-escaped.
std::string fileURIForPath(const std::filesystem::path& path);
// The session bus address: the one given, else the runtime folder's "bus" socket; empty for none.
std::string sessionBusAddressOf(const std::string& given, const std::filesystem::path& runtimeDirectory);

}  // namespace quillet
