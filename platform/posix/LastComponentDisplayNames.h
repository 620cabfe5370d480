#pragma once

#include "platform/DisplayNames.h"
#include "shared/paths/FilePaths.h"

namespace quillet {

// A folder is shown by its own name: Linux file managers do not localise folder names on disk.
class LastComponentDisplayNames final : public DisplayNames {
public:
    std::string displayName(const std::filesystem::path& path) const override {
        return lastPathComponent(path);
    }
};

}  // namespace quillet
