#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class FileManagerMenu;

// Whether one file manager on this machine shows the "Create File" menu.
struct FileManagerMenuPresence {
    std::string name;  // as its desktop names it: "Files", "Dolphin"
    bool hasMenu = false;
    // Its menu comes from a module the package installs (else from files the running application
    // keeps in the user's data folder).
    bool fromModule = false;

    bool operator==(const FileManagerMenuPresence&) const = default;
};

// Where to look. Library folders hold the file managers' module folders (Debian's
// /usr/lib/x86_64-linux-gnu, /usr/lib64, /usr/lib).
struct FileManagerMenuPlaces {
    std::vector<std::filesystem::path> libraryFolders;
    // The menus the running application keeps (Dolphin's, PCManFM-Qt's).
    std::vector<const FileManagerMenu*> keptMenus;
    // Whether the program is installed (on the search path).
    std::function<bool(std::string_view program)> isInstalled;
};

// The file managers installed here, in the order of kFileManagerMenuKinds, each with whether our
// module sits in its module folder, or the menu we keep for it is there.
std::vector<FileManagerMenuPresence> fileManagerMenuPresence(const FileManagerMenuPlaces& places);

// One or two sentences for the extension card and help: where the menu is, and how the file
// managers without it get it. Empty when no supported file manager is installed.
std::string fileManagerMenuSummary(const std::vector<FileManagerMenuPresence>& presence);

// The library folders of this system: /usr/lib/<multiarch triplet> folders, /usr/lib64, /usr/lib.
std::vector<std::filesystem::path> systemLibraryFolders(const std::filesystem::path& usrLib = "/usr/lib");

}  // namespace quillet
