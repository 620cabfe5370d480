#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileViewer.h"

namespace quillet {

// The file manager a menu click came from, asked to show the new file selected: Dolphin and
// PCManFM-Qt start their menu's command themselves, so the command's parent is that file manager,
// which serves the file manager interface on its own connection whoever holds the shared name
// (Dolphin under org.kde.dolphin-<pid>, asked first; any other under whichever name it holds).
// PCManFM-Qt starts it through GLib, which leaves it no parent to ask: then, and whenever the
// parent holds no name, the file manager holding the shared name shows it. Talks to the session
// bus without a toolkit, so the launcher can use it.
class LaunchingFileManagerViewer final : public FileViewer {
public:
    // `sessionBusAddress`: the bus the root found; empty for none, then nothing is shown.
    LaunchingFileManagerViewer(pid_t parent, std::string sessionBusAddress);
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
