#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Identifiers.h"

// Which folder the front file manager window shows, from the window manager's stacking order
// and the file manager's own list of its windows' locations: plain rules, no window system.

namespace quillet {

// One top-level client window as the window manager stacks it.
struct FileManagerWindow {
    std::string windowClass;  // class part of WM_CLASS
    std::string objectPath;   // _GTK_WINDOW_OBJECT_PATH; empty for windows without one (dialogs)
    std::string title;        // _NET_WM_NAME, else WM_NAME
    bool hidden = false;      // minimised (_NET_WM_STATE_HIDDEN)
    // The folder our module marked a Nemo or Caja window with (kFolderMarkProperty); empty when
    // unmarked or not local.
    std::string markedFolder{};
};

// Location URIs of each open file manager window, keyed by the window's object path: the
// OpenWindowsWithLocations property of org.freedesktop.FileManager1 (one URI per tab).
using FileManagerLocations = std::map<std::string, std::vector<std::string>>;

inline constexpr std::string_view kNautilusWindowClass = "org.gnome.Nautilus";
// File managers that tell no one their windows' folders, whose windows our module marks instead,
// on every navigation, with the folder shown, in this property (UTF-8 path).
inline constexpr std::string_view kNemoWindowClass = "Nemo";
inline constexpr std::string_view kCajaWindowClass = "Caja";
// Whether windows of this class are marked by our module.
bool isMarkedFileManagerClass(std::string_view windowClass);

// Index of the front browsing window of a file manager among windows listed topmost first: the
// first visible Nautilus window that has an object path, or Nemo or Caja window marked with a
// folder. Other applications' windows above it do not count; a minimised window is not in front.
std::optional<size_t> frontFileManagerWindow(const std::vector<FileManagerWindow>& topmostFirst);

// The folder a browsing window shows: its location when it has one tab; with several tabs the
// one whose folder name is the window title (the title follows the active tab), and nothing when
// no tab or tabs of different folders match. Locations that are not local files give nothing.
std::optional<std::filesystem::path> folderOfWindow(const FileManagerWindow& window,
                                                    const FileManagerLocations& locations);

// frontFileManagerWindow and folderOfWindow together.
std::optional<std::filesystem::path> frontFolderAmong(const std::vector<FileManagerWindow>& topmostFirst,
                                                      const FileManagerLocations& locations);

// Where no stacking order can be read (Wayland): the folder of the file manager's only window, when
// all its tabs show that one folder. Several windows, or tabs of several folders, give nothing:
// which of them the user was in cannot be known.
std::optional<std::filesystem::path> onlyWindowFolder(const FileManagerLocations& locations);

// The standardized absolute path of a local file URI (file:///a%20b or file://localhost/a%20b),
// percent escapes decoded. Nothing for other schemes, remote hosts, malformed escapes, an
// escaped NUL, a query or fragment, or a relative path.
std::optional<std::filesystem::path> pathFromFileURI(std::string_view uri);

}  // namespace quillet
