#pragma once

#include "platform/ApplicationActivation.h"
#include "platform/ApplicationWindows.h"
#include "platform/FileViewer.h"

namespace quillet {

// The application as seen by a process without a display: it has no windows, so there is
// nothing to raise or close and it is never the application in front, and no file manager
// window can show a file (the command line prints the file's path instead).
class NoDisplayApplication final : public ApplicationActivation, public ApplicationWindows, public FileViewer {
public:
    void activateIgnoringOtherApps() override {}
    bool isActive() const override { return false; }
    void closeWindows(const std::function<bool(const WindowDescription&)>&) override {}
    void activateFileViewerSelecting(const std::vector<std::filesystem::path>&) override {}
};

}  // namespace quillet
