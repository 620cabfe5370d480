#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// A "Create File" menu that a file manager reads from files rather than from a module we load
// into it (Dolphin's service menu, PCManFM-Qt's actions). The running application keeps each in
// step with the offered types, the uninstaller takes them away. Their items run
// "<launcher> create TYPE --item <the clicked items>".
class FileManagerMenu {
public:
    // The option of "quillet create" that names the clicked items.
    static constexpr const char* kItemOption = "--item";
    static constexpr const char* kSubmenuTitle = "Create File";

    virtual ~FileManagerMenu() = default;

    // Brings the menu's files to what `types` (filtered and ordered) call for: written when their
    // content differs (atomically, never through a link), removed when no type is offered.
    // Failures are logged.
    virtual void update(const std::vector<FileTypeDefinition>& types) const = 0;
    // Removes the menu's files, regular files only (a link there is not ours). Returns whether it
    // removed any.
    virtual bool remove() const = 0;
    // The file whose presence means the file manager shows the menu; nothing without a home.
    virtual std::optional<std::filesystem::path> menuFile() const = 0;
    // The program that reads it, as kFileManagerMenuKinds names it.
    virtual std::string_view program() const = 0;
};

// The folder a click on `item` means: the item itself when it is a folder (or a link to one),
// else the folder holding it. Standardized. (File managers hand a background click as the folder
// shown, which this then keeps.)
std::filesystem::path folderForClickedItem(const std::filesystem::path& item);

}  // namespace quillet
