#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell/ApplicationBundle.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// What makes a per-user bundle known to the desktop, written on every launch from a bundle and
// only where it differs from what is there (so moving the bundle re-points it, and an unchanged
// one writes nothing):
//   <data home>/applications/org.quillet.Quillet.desktop    starts <bundle>/bin/quillet %u
//   <data home>/icons/hicolor/scalable/apps/org.quillet.Quillet.svg
//   <configuration home>/mimeapps.list    [Default Applications] x-scheme-handler/quillaxe
// Each file is replaced whole through a temporary file, and never through a link: a link or
// anything but a regular file at a target is left as it is and logged, as is a failed write.
class BundleRegistration {
public:
    static constexpr const char* kDesktopEntryName = "org.quillet.Quillet.desktop";
    static constexpr const char* kIconName = "org.quillet.Quillet.svg";
    static constexpr const char* kSchemeMimeType = "x-scheme-handler/quillaxe";

    BundleRegistration(ApplicationBundle bundle, const UserEnvironment& environment);

    // Registers the bundle when the program runs from one (nothing otherwise) and returns the
    // files it wrote.
    std::vector<std::filesystem::path> registerBundle() const;

    // Takes back what registerBundle() wrote, when the application is uninstalled: the desktop
    // entry and the icon (regular files only; a link there is not ours), and the scheme default
    // when it still names our entry. Every other line of the user's list stays. Returns the
    // files it removed or rewrote.
    std::vector<std::filesystem::path> unregisterBundle() const;

    std::optional<std::filesystem::path> desktopEntryPath() const;
    std::optional<std::filesystem::path> iconPath() const;
    std::optional<std::filesystem::path> mimeAppsListPath() const;

private:
    ApplicationBundle bundle_;
    std::optional<std::filesystem::path> dataHome_;
    std::optional<std::filesystem::path> configurationHome_;
};

// `program` as one argument of a desktop entry's Exec key, as the line holds it: always in
// double quotes, with ", `, $ and \ escaped inside them, every backslash then doubled for the
// key file's string escapes, and % written %% so it is not read as a field code. Nothing for a
// path a desktop entry cannot carry (control characters, or not UTF-8).
std::optional<std::string> desktopEntryExecArgument(const std::filesystem::path& program);

// The desktop entry `entryTemplate` pointed at `program`: its Exec= runs "<program> %u",
// TryExec= names it, Icon= is the icon the bundle registers; every other line stays. Nothing
// when `program` cannot be written into a desktop entry, or the template has no
// [Desktop Entry] group.
std::optional<std::string> desktopEntryForProgram(std::string_view entryTemplate, const std::filesystem::path& program);

// `mimeAppsList` with `mimeType=desktopFile` in its [Default Applications] group: that one key
// replaced or added (the group is added when missing), every other line and group as it was.
std::string mimeAppsListWithDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                    std::string_view desktopFile);

// `mimeAppsList` without the `mimeType=desktopFile` line of its [Default Applications] group;
// the same key naming another application, and every other line, stay as they are.
std::string mimeAppsListWithoutDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                       std::string_view desktopFile);

}  // namespace quillet
