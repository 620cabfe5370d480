#pragma once

#include <filesystem>
#include <optional>

#include <nlohmann/json_fwd.hpp>

namespace quillet {

// The folder the running program belongs to: <bundle>/bin/quillet beside <bundle>/share/quillet.
// It is an application bundle (a per-user install that registers itself and can be replaced or
// removed as one folder) only when its name ends in ".app" and it carries its information
// dictionary; the build tree and a system prefix such as /usr have the same shape but are not.
class ApplicationBundle {
public:
    // The bundle of the executable at `executable` (<bundle>/bin/quillet): two folders up.
    static ApplicationBundle containing(const std::filesystem::path& executable);

    // The bundle folder itself, e.g. ~/Applications/Quillet+.app.
    const std::filesystem::path& path() const { return path_; }
    // <bundle>/bin/quillet: what a desktop entry starts.
    std::filesystem::path executable() const;
    // <bundle>/share/quillet: the templates, the information dictionary, the icon and the
    // desktop entry the bundle registers.
    std::filesystem::path resourceDirectory() const;

    // A folder named *.app with share/quillet/Info.json in it. Checked on the disk each call.
    bool isAppBundle() const;
    // The bundle folder when the program runs from an application bundle; nothing for the
    // build tree or a system install, which the updater must not replace and an uninstaller
    // must not remove.
    std::optional<std::filesystem::path> installedBundle() const;

private:
    explicit ApplicationBundle(std::filesystem::path path) : path_(std::move(path)) {}
    std::filesystem::path path_;
};

// Whether the information dictionary marks a system install ("QuilletSystemInstall": true, as
// an installed prefix such as the .deb's /usr has it): the package manager updates and removes
// it. Any other value, or none, is not.
bool isSystemInstall(const nlohmann::json& infoDictionary);

}  // namespace quillet
