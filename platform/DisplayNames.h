#pragma once

#include <filesystem>
#include <string>

namespace quillet {

// The name the user sees for a folder, as the desktop would show it.
class DisplayNames {
public:
    virtual ~DisplayNames() = default;
    virtual std::string displayName(const std::filesystem::path& path) const = 0;
};

}  // namespace quillet
