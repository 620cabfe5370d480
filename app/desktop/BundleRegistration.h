#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/instance/ApplicationBundle.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// What makes a per-user bundle known to the desktop, written on every launch from a bundle and
// only where it differs from what is there (so moving the bundle re-points it, and an unchanged
// one writes nothing):
//   <data home>/applications/org.quillet.Quillet.desktop    starts <bundle>/bin/quillet %u
//   <data home>/icons/hicolor/scalable/apps/org.quillet.Quillet.svg
//   <configuration home>/mimeapps.list    [Default Applications] x-scheme-handler/quillaxe
//   <configuration home>/autostart/org.quillet.Quillet.desktop    starts <bundle>/bin/quillet at login
// The autostart entry has the name of the system install's, so it takes that one's place. One
// the user turned off (Hidden=true, X-GNOME-Autostart-enabled=false) is left as it is.
// Each file is replaced whole through a temporary file, and never through a link: a link or
// anything but a regular file at a target is left as it is and logged, as is a failed write.
class BundleRegistration {
public:
    static constexpr const char* kDesktopEntryName = "org.quillet.Quillet.desktop";
    static constexpr const char* kIconName = "org.quillet.Quillet.svg";
    static constexpr const char* kSchemeMimeType = "x-scheme-handler/quillaxe";
    // The bundle's resource the autostart entry is made from; written under kDesktopEntryName.
    static constexpr const char* kAutostartTemplateName = "org.quillet.Quillet.autostart.desktop";

    BundleRegistration(ApplicationBundle bundle, const UserEnvironment& environment);

    // Registers the bundle when the program runs from one (nothing otherwise) and returns the
    // files it wrote.
    std::vector<std::filesystem::path> registerBundle() const;

    // Takes back what registerBundle() wrote, when the application is uninstalled: the desktop
    // entry and the icon (regular files only; a link there is not ours), the autostart entry
    // when it is a regular file whose Exec starts this bundle's program (turned off or not), and
    // the scheme default when it still names our entry. Every other line of the user's list
    // stays. Returns the files it removed or rewrote.
    std::vector<std::filesystem::path> unregisterBundle() const;

    std::optional<std::filesystem::path> desktopEntryPath() const;
    std::optional<std::filesystem::path> iconPath() const;
    std::optional<std::filesystem::path> mimeAppsListPath() const;
    std::optional<std::filesystem::path> autostartEntryPath() const;

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

// The program an Exec value (as the line holds it) starts: its first argument, read back by the
// rules desktopEntryExecArgument() writes by. Nothing when the value is malformed: a bad key
// file escape, an unclosed quote, or a field code in the program.
std::optional<std::filesystem::path> desktopEntryExecProgram(std::string_view exec);

// The desktop entry `entryTemplate` pointed at `program`: its Exec= runs "<program> <arguments>"
// (the program alone when `arguments` is empty), TryExec= names it, Icon= is the icon the bundle
// registers; each [Desktop Action] group's Exec= runs it with that action's own arguments; every
// other line stays. Nothing when `program` cannot be written into a desktop
// entry, or the template has no [Desktop Entry] group.
std::optional<std::string> desktopEntryForProgram(std::string_view entryTemplate, const std::filesystem::path& program,
                                                  std::string_view arguments = "%u");

// The value of `key` in the [Desktop Entry] group of `entry`, as the line holds it (escapes
// kept); the last one counts when the key is repeated. Nothing when the group lacks the key.
std::optional<std::string> desktopEntryValue(std::string_view entry, std::string_view key);

// Whether the user turned this autostart entry off, the two ways desktops write it:
// Hidden=true, or X-GNOME-Autostart-enabled=false.
bool isTurnedOffAutostartEntry(std::string_view entry);

// `mimeAppsList` with `mimeType=desktopFile` in its [Default Applications] group: that one key
// replaced or added (the group is added when missing), every other line and group as it was.
std::string mimeAppsListWithDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                    std::string_view desktopFile);

// `mimeAppsList` without the `mimeType=desktopFile` line of its [Default Applications] group;
// the same key naming another application, and every other line, stay as they are.
std::string mimeAppsListWithoutDefault(std::string_view mimeAppsList, std::string_view mimeType,
                                       std::string_view desktopFile);

}  // namespace quillet
