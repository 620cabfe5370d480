#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace quillet {

// The application's resources: <prefix>/share/quillet beside <prefix>/bin/quillet. The build
// tree has the same shape, so a built and an installed program find them alike.
class ResourceBundle {
public:
    explicit ResourceBundle(std::filesystem::path resourceDirectory);

    // The bundle beside the running executable (found through /proc/self/exe). The composition
    // roots build it once and hand it down.
    static ResourceBundle besideExecutable();

    // The file name.extension in the bundle, if it exists as a regular file.
    std::optional<std::filesystem::path> url(const std::string& name,
                                             const std::string& extension) const;
    const std::filesystem::path& resourceDirectory() const { return directory_; }

    // The information dictionary (Info.json: version, update feed and key). Always an object:
    // an absent, unreadable or malformed file reads as an empty one.
    nlohmann::json infoDictionary() const;

private:
    std::filesystem::path directory_;
};

// The running executable, links resolved (/proc/self/exe); empty when it cannot be read.
std::filesystem::path executablePath();
// The folder of the running executable.
std::filesystem::path executableDirectory();

}  // namespace quillet
