#pragma once

#include <filesystem>

namespace quillet {

// How this application ends: the ordinary way (hot keys released, windows closed, the
// single-instance lock let go), and then, for an update, with another executable started in
// its place.
class ApplicationLifecycle {
public:
    virtual ~ApplicationLifecycle() = default;
    virtual void terminate() = 0;
    virtual void relaunch(const std::filesystem::path& executable) = 0;
};

}  // namespace quillet
