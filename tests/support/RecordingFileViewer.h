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
    void showInRequestingFileManager(const std::vector<std::filesystem::path>& files,
                                     std::int64_t requester) override {
        reveals.push_back(files);
        requesters.push_back(requester);
    }
    std::vector<std::vector<std::filesystem::path>> reveals;
    // The requester of each reveal that named one.
    std::vector<std::int64_t> requesters;
};

}  // namespace quillet::test
