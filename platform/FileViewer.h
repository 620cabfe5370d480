#pragma once

#include <filesystem>
#include <vector>

namespace quillet {

// The desktop's file manager, asked to show files selected in their folders.
class FileViewer {
public:
    virtual ~FileViewer() = default;
    // Fire and forget: a file manager that cannot be reached is no error for the caller.
    virtual void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) = 0;
};

}  // namespace quillet
