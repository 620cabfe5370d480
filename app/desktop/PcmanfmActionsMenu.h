#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop/FileManagerMenu.h"

namespace quillet {

// The "Create File" menu PCManFM-Qt (LXQt's file manager, through libfm-qt) shows on a right
// click: file-manager actions in <data home>/file-manager/actions/. A menu entry,
// org.quillet.Quillet.desktop, lists in its ItemsList one action per offered type in the user's
// order (PCManFM-Qt keeps that order), and each action, org.quillet.Quillet-TYPE.desktop, runs
// "<launcher> create TYPE --item %F". Both are only for local folders (Schemes=file): elsewhere
// PCManFM-Qt leaves the menu out.
//
// PCManFM-Qt 1.2 shows no separator inside such a menu (a SEPARATOR in ItemsList is dropped), so
// categories are not set apart. It reads the actions once, when its process starts: an open
// PCManFM-Qt shows a changed menu after it restarts.
//
// It hands an action the folder itself for a click on the background and for a click on a
// folder, the file for a click on a file. %F hands a whole selection to one run (%f would start
// one run per item), whose first item decides the folder (see folderForClickedItem).
class PcmanfmActionsMenu final : public FileManagerMenu {
public:
    static constexpr const char* kMenuFileName = "org.quillet.Quillet.desktop";
    // Every action file of ours is named so; one no longer wanted is a type no longer offered.
    static constexpr const char* kActionPrefix = "org.quillet.Quillet-";

    // `launcher` is the program the actions start; `dataHome` the user's XDG data folder
    // (nothing without a home: then nothing is written or removed).
    PcmanfmActionsMenu(std::filesystem::path launcher, std::optional<std::filesystem::path> dataHome);

    std::optional<std::filesystem::path> folder() const;

    // Stale actions go first and new ones come after the menu, so that a PCManFM-Qt starting
    // meanwhile finds at worst a listed action missing (left out), never one of ours outside
    // the menu (shown at the top level).
    void update(const std::vector<FileTypeDefinition>& types) const override;
    // The actions, then the menu.
    bool remove() const override;
    std::optional<std::filesystem::path> menuFile() const override {
        const auto actions = folder();
        return actions ? std::optional(*actions / kMenuFileName) : std::nullopt;
    }
    std::string_view program() const override { return "pcmanfm-qt"; }

private:
    // Our action files in the folder that `keep` does not name.
    std::vector<std::filesystem::path> actionFiles(const std::vector<std::string>& keep = {}) const;
    // Removes `files` (regular files only); whether any was removed.
    bool removeFiles(const std::vector<std::filesystem::path>& files) const;

    std::filesystem::path launcher_;
    std::optional<std::filesystem::path> dataHome_;
};

// The files of the menu for types already filtered and ordered: the menu entry's text, and each
// action's file name and text in menu order (a type listed twice has one action). Nothing when
// there is no type, or the launcher or a type cannot be named in a desktop entry.
struct PcmanfmActionsFiles {
    std::string menu;
    std::vector<std::pair<std::string, std::string>> actions;
};
std::optional<PcmanfmActionsFiles> pcmanfmActionsFiles(const std::vector<FileTypeDefinition>& types,
                                                       const std::filesystem::path& launcher);

// The desktop id of a type's action: the prefix and the type's id, every byte but letters,
// digits, "." and "-" written "_XX" (so any id makes one file name of its own, and one item of
// ItemsList).
std::string pcmanfmActionID(const std::string& typeID);

}  // namespace quillet
