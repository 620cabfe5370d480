#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop/FileManagerMenu.h"

namespace quillet {

// The "Create File" menu Dolphin (and every other KIO file manager) shows on a right click:
// a service menu file in <data home>/kio/servicemenus/ whose actions run
// "<launcher> create TYPE --item %F" for the enabled types, in the user's order.
//
// A service menu is one submenu deep: category headers cannot be shown inside it, so a
// separator marks every change of category where the file-manager extension shows a separator
// and the category's header. KF5 sorts the actions by their names, separators included (which
// then gather at the top, where the menu drops them): the names carry the position, so both
// KF5 and KF6 show the user's order, and KF6, which keeps the list's order, the separators too.
//
// Dolphin hands an action the folder itself for a click on the background and for a click on
// a folder, and cannot tell the two apart; a file stands for the folder holding it. The
// command works this out from the item (see folderForClickedItem).
class DolphinServiceMenu final : public FileManagerMenu {
public:
    static constexpr const char* kFileName = "org.quillet.Quillet.desktop";
    // KIO shows service menus from the user's folder only when they are executable.
    static constexpr unsigned kFileMode = 0755;

    // `launcher` is the program the actions start; `dataHome` the user's XDG data folder
    // (nothing without a home: then nothing is written or removed).
    DolphinServiceMenu(std::filesystem::path launcher, std::optional<std::filesystem::path> dataHome);

    std::optional<std::filesystem::path> path() const;

    // Brings the file to what `types` call for: written when its content differs (atomically,
    // never through a link), removed when no type is offered. Failures are logged.
    void update(const std::vector<FileTypeDefinition>& types) const override;
    // Removes the file when it is a regular file (a link there is not ours). Returns whether
    // it removed one.
    bool remove() const override;
    std::optional<std::filesystem::path> menuFile() const override { return path(); }
    std::string_view program() const override { return "dolphin"; }

private:
    // KIO refuses every action of a user's service menu that is not executable, and a rewrite
    // keeps the mode the file had: the bit is put back whenever it is missing.
    static void makeExecutable(const std::filesystem::path& target);

    std::filesystem::path launcher_;
    std::optional<std::filesystem::path> dataHome_;
};

// The name of the action at 1-based `position`: "q001-txt". Names sort as the positions do.
std::string dolphinServiceMenuActionName(size_t position, const std::string& typeID);

// The service menu's text for types already filtered and ordered; nothing when there is no
// type, or the launcher cannot be named in a desktop entry.
std::optional<std::string> dolphinServiceMenuText(const std::vector<FileTypeDefinition>& types,
                                                  const std::filesystem::path& launcher);

}  // namespace quillet
