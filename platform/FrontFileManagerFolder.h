#pragma once

#include <filesystem>
#include <optional>

namespace quillet {

// The folder shown in the frontmost file manager window, asked for at the moment a file is
// created. Answers nothing whenever it cannot tell; never shows or logs anything.
class FrontFileManagerFolder {
public:
    virtual ~FrontFileManagerFolder() = default;
    virtual std::optional<std::filesystem::path> frontFolder() = 0;
};

}  // namespace quillet
