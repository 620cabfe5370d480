#pragma once

#include <filesystem>

namespace quillet {

// Ends this instance in the ordinary way (hot keys released, windows closed, the single-instance
// lock let go) and then starts the given executable in its place.
class ApplicationRelauncher {
public:
    virtual ~ApplicationRelauncher() = default;
    virtual void relaunch(const std::filesystem::path& executable) = 0;
};

}  // namespace quillet
