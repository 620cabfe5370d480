#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quillet {

// The desktop's file manager, asked to show files selected in their folders.
class FileViewer {
public:
    virtual ~FileViewer() = default;
    // Fire and forget: a file manager that cannot be reached is no error for the caller.
    virtual void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) = 0;
    // The same in the file manager process `requester` (the one a request came from), where it
    // can be asked; else as above.
    virtual void showInRequestingFileManager(const std::vector<std::filesystem::path>& files,
                                             std::int64_t requester) {
        (void)requester;
        activateFileViewerSelecting(files);
    }
};

}  // namespace quillet
