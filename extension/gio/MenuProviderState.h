#pragma once

#include <gio/gio.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "extension/FinderSync.h"
#include "extension/gio/GioFinderSyncHost.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// A menu to show, with what the file manager named when it asked for it.
struct ProvidedMenu {
    FinderSyncMenu menu;
    FileManagerMenuContext context;
};

// What one menu provider of a GTK file manager keeps: the FinderSync logic and its host.
struct MenuProviderState {
    explicit MenuProviderState(const UserEnvironment& environment);
    GioFinderSyncHost host;
    FinderSync finderSync;

    // The menu for a click on the background of `folder` (nothing for a location without a local
    // path, or one not monitored). The folder is remembered as the one the user is looking at:
    // the file managers do not say which folders their windows show.
    std::optional<ProvidedMenu> backgroundMenu(const std::optional<std::filesystem::path>& folder);
    // The menu for a click on items, in the file manager's order, each nothing when it has no
    // local path. The first decides where the file goes: without a local path, nowhere.
    std::optional<ProvidedMenu> itemsMenu(const std::vector<std::optional<std::filesystem::path>>& items);
};

// The path of a location the file manager shows, when it is a local one (`scheme` "file"):
// recent files, the Trash, search results and remote shares have none. Standardized.
std::optional<std::filesystem::path> localPathOf(const char* scheme, GFile* location);

}  // namespace quillet
