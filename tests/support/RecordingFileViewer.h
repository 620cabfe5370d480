#pragma once

#include <filesystem>
#include <vector>

#include "platform/FileViewer.h"

namespace quillet::test {

// Keeps every list of files it was asked to show.
class RecordingFileViewer final : public FileViewer {
public:
    void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) override {
        reveals.push_back(files);
    }
    std::vector<std::vector<std::filesystem::path>> reveals;
};

}  // namespace quillet::test
