#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "extension/FinderSyncHost.h"
#include "shared/logging/Logger.h"
#include "shared/paths/FilePaths.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/settings/DefaultsValue.h"
#include "shared/text/Translation.h"

// The file-manager extension: which folders it serves, the "Create File" menu, and the
// forwarding of a chosen type to the application as a create-request URL. It never writes a
// file, never asks the user anything and keeps no state beyond the last observed folder.
namespace quillet {

inline constexpr const char* kExtensionSubsystem = kExtensionIdentifier;

// The menus a file manager may ask for, numbered as hosts number them.
enum class FinderMenuKind {
    contextualMenuForItems = 0,
    contextualMenuForContainer = 1,
    contextualMenuForSidebar = 2,
    toolbarItemMenu = 3,
};

long rawValue(FinderMenuKind kind);
std::optional<FinderMenuKind> finderMenuKindFromRawValue(long raw);
// The case name, or "FinderMenuKind(rawValue: N)" for a number that names no kind.
std::string finderMenuKindDescription(long raw);

// The current user's account entry, as far as the extension needs it.
struct UserAccount {
    std::filesystem::path homeFolder;
    std::string userName;
};

// Nothing when the account database has no entry for the user. The module's composition root
// hands in the entry it read at load time.
using UserAccountSource = std::function<std::optional<UserAccount>()>;

// The folders the extension serves, in order, without duplicates: the real home, the user's
// Desktop (see userDesktopFolder), the home's Documents and Downloads, the cloud folders, then
// the volume mount points (/media, /run/media/<user>, /mnt). Without an account entry, only
// /media and /mnt.
std::vector<std::filesystem::path> monitoredRoots(const std::optional<UserAccount>& account,
                                                  const std::optional<std::filesystem::path>& configurationHome);

struct FinderSyncMenu;

struct FinderSyncMenuItem {
    enum class Role {
        submenu,     // "Create File", holding the type list
        header,      // a category title, disabled
        separator,   // between two category groups
        createType,  // runs handleCreateItem with `tag` and `typeID`
        templateFolder,  // a subfolder of the Templates folder, holding its templates
    };
    Role role;
    std::string title;
    bool enabled;
    // createType: the type's position in the catalog; -1 for a template, named by typeID alone.
    long tag;
    std::string typeID;
    // createType: the name of the type's symbol in the platform symbol set.
    std::string symbolName;
    // submenu: the size, in points, of the drawCreateFileGlyph image it shows.
    double glyphSize;
    std::shared_ptr<const FinderSyncMenu> submenu;
};

struct FinderSyncMenu {
    std::string title;
    std::vector<FinderSyncMenuItem> items;
};

// The submenu model for types already filtered and ordered: a header at every change of
// category, a separator before every header but the first. Templates of a subfolder go into a
// submenu named after it (nested as the folders are), placed where the folder's first template
// comes in the order.
FinderSyncMenu createMenuModel(const std::vector<FileTypeDefinition>& types);
// The same for types held elsewhere (the catalog, a scan of the Templates folder).
FinderSyncMenu createMenuModel(const std::vector<const FileTypeDefinition*>& types);

class DefaultsSuite;

class FinderSync {
public:
    static constexpr const char* kMenuTitle = "Quillet+";
    static constexpr const char* kCreateFileTitle = N_("Create File");
    static constexpr const char* kToolbarItemName = "Create File";
    static constexpr const char* kToolbarItemToolTip = "Create a file in the current Finder folder";
    static constexpr double kToolbarGlyphSize = 21;
    static constexpr double kMenuGlyphSize = 16;
    static constexpr double kMenuSymbolPointSize = 14;

    // Computes the monitored roots and hands them to the host. The configuration home holds the
    // shared settings suite and the desktop's record of the user's Desktop.
    FinderSync(FinderSyncHost& host, UserAccountSource account,
               std::optional<std::filesystem::path> configurationHome);
    ~FinderSync();
    FinderSync(const FinderSync&) = delete;
    FinderSync& operator=(const FinderSync&) = delete;

    // The "Create File" menu for the item, container and toolbar menus; nothing for the sidebar
    // or an unknown kind.
    std::optional<FinderSyncMenu> menuForMenuKind(long kind) const;
    // Reads the enabled types and their order from the shared settings suite, anew each time.
    FinderSyncMenu buildCreateMenu() const;
    // The shared settings suite, opened read-only. The connection is kept between menus, since
    // every read sees the latest committed values, and opened again when the database file was
    // replaced or removed since. A suite that is missing, unreadable or damaged reads as the
    // defaults (an empty suite held in memory, tried again at the next menu) and is logged once.
    const DefaultsSuite& sharedSettings() const;

    void beginObservingDirectory(const std::filesystem::path& directory);
    void endObservingDirectory(const std::filesystem::path& directory);

    // The action of every type item; the tag is the type's position in the catalog.
    void handleCreate(long tag);
    // The action of a template's item: the template must still be in the folder.
    void handleCreateTemplate(const std::string& typeID);
    // What a module calls for a chosen item: handleCreateTemplate for a template's id, else
    // handleCreate with the tag.
    void handleCreateItem(long tag, const std::string& typeID);
    const UserTemplates& templates() const { return templates_; }
    // The targeted folder, else the folder of the first selected item, else the last observed
    // folder, else the user's Desktop; nothing (logged) when none of them is there.
    std::optional<std::filesystem::path> targetDirectoryURL() const;
    void forwardCreateRequest(const FileTypeDefinition& type, const std::filesystem::path& folder);

    // Whether a folder is one of the monitored roots or lies beneath one.
    bool isMonitored(const std::filesystem::path& folder) const;
    const std::vector<std::filesystem::path>& directoryURLs() const { return roots_; }
    const std::optional<std::filesystem::path>& mostRecentObservedDirectoryURL() const {
        return mostRecentObservedDirectoryURL_;
    }

private:
    // What a "Create File" submenu is made from: the three stored values as read, and the
    // templates the folder holds.
    struct MenuInputs {
        std::optional<DefaultsValue> enabledFileTypeIDs;
        std::optional<DefaultsValue> fileTypeOrder;
        std::optional<DefaultsValue> knownTemplateIDs;
        std::vector<FileTypeDefinition> templates;
        bool operator==(const MenuInputs&) const = default;
    };
    // The enabled types in the user's order, by the application's load rules, pointing into the
    // catalog and into `templates`.
    static std::vector<const FileTypeDefinition*> offeredTypes(const DefaultsSuite& defaults,
                                                               const std::vector<FileTypeDefinition>& templates);

    Logger log_;
    std::optional<std::filesystem::path> mostRecentObservedDirectoryURL_;
    FinderSyncHost& host_;
    UserAccountSource account_;
    std::optional<std::filesystem::path> configurationHome_;
    std::vector<std::filesystem::path> roots_;
    UserTemplates templates_;
    mutable std::unique_ptr<DefaultsSuite> settings_;
    // Device and inode of the database file settings_ has open.
    mutable std::optional<std::pair<unsigned long long, unsigned long long>> settingsFile_;
    // Why the suite could not be read, as last logged; empty while it reads.
    mutable std::string reportedSettingsFailure_;
    // The last submenu made and what it was made from.
    mutable MenuInputs lastInputs_;
    mutable std::shared_ptr<const FinderSyncMenu> lastSubmenu_;
};

}  // namespace quillet
