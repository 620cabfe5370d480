#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/catalog/FileTypeDefinition.h"
#include "shared/text/Translation.h"

namespace quillet {

// A "Create File" menu that a file manager reads from files rather than from a module we load
// into it (Dolphin's service menu, PCManFM-Qt's actions). The running application keeps each in
// step with the offered types, the uninstaller takes them away. Their items run
// "<launcher> create TYPE --item <the clicked items>".
class FileManagerMenu {
public:
    // The option of "quillet create" that names the clicked items.
    static constexpr const char* kItemOption = "--item";
    static constexpr const char* kSubmenuTitle = N_("Create File");

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

// A type id as a word of a menu file's action names and file names: bytes other than letters,
// digits, "." and "-" as "_XX", so a template's id ("template:Work/My Letter.odt") can neither
// leave the folder nor break a list; the built-in ids stay as they are.
std::string menuActionWord(const std::string& typeID);
// A type id as one argument of an Exec line: as it is when plain, else quoted like the launcher.
// Nothing for an id no Exec line can carry.
std::optional<std::string> execTypeArgument(const std::string& typeID);

// A name (a template's comes from its file name) as a menu file's string value: its escapes, and
// nothing that would end the line and start a key of its own.
std::string menuNameValue(const std::string& text);

// The folder a click on `item` means: the item itself when it is a folder (or a link to one),
// else the folder holding it. Standardized. (File managers hand a background click as the folder
// shown, which this then keeps.)
std::filesystem::path folderForClickedItem(const std::filesystem::path& item);

}  // namespace quillet
