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
    std::string role{};       // WM_WINDOW_ROLE
};

// Location URIs of each open file manager window, keyed by the window's object path: the
// OpenWindowsWithLocations property of org.freedesktop.FileManager1 (one URI per tab).
using FileManagerLocations = std::map<std::string, std::vector<std::string>>;

// How the folder a file manager's window shows can be known.
enum class WindowFolderSource {
    // Nautilus: its OpenWindowsWithLocations, keyed by the window's object path.
    locations,
    // Nemo, Caja: they tell no one, so our module marks each window with its folder on every
    // navigation (kFolderMarkProperty).
    mark,
    // Dolphin, Thunar: the full path in the title, when the user has set them to show it.
    fullPathTitle,
    // PCManFM-Qt: nothing tells, its title being the folder's name alone.
    unknown,
};

// A file manager whose windows count as the front file manager window.
struct FileManagerWindowClass {
    std::string_view windowClass;  // class part of WM_CLASS
    WindowFolderSource source;
    // WM_WINDOW_ROLE of its browsing windows, a prefix (empty: any window of the class)
    std::string_view browsingRolePrefix;
    // What the program appends to the folder in the title (fullPathTitle only)
    std::string_view titleSuffix;
};

inline constexpr std::string_view kNautilusWindowClass = "org.gnome.Nautilus";
// The file manager of this window class; nullptr for any other program.
const FileManagerWindowClass* fileManagerWindowClass(std::string_view windowClass);

// Index of the front file manager window among windows listed topmost first: the first visible
// browsing window of any file manager above. Nautilus's windows without an object path (property
// and preference dialogs) and Nemo's or Caja's without a mark are passed over, as are Dolphin's
// and Thunar's whose role is not a browsing window's. Other applications' windows above it do not
// count; a minimised window is not in front.
std::optional<size_t> frontFileManagerWindow(const std::vector<FileManagerWindow>& topmostFirst);

// The folder a browsing window shows. Nautilus's: its location when it has one tab; with several
// tabs the one whose folder name is the window title (the title follows the active tab), and
// nothing when no tab or tabs of different folders match. Nemo's and Caja's: their mark.
// Dolphin's and Thunar's: the title's path, when it is a full one. Locations that are not local
// files give nothing, and so does every PCManFM-Qt window.
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
