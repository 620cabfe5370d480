#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/access/SecurityScopedFolderAccessError.h"
#include "platform/FolderPanel.h"
#include "shared/paths/FolderPath.h"
#include "shared/text/Translation.h"

namespace quillet {

class ApplicationWindows;
class DefaultsSuite;
struct FolderAccessLocations;
class DisplayNames;
class FolderBookmarks;

// The saved folder grants. A grant of one folder covers everything beneath it, so the user is
// asked once per folder tree. Each grant is a bookmark stored in the settings suite under
// "securityScopedFolderBookmark." followed by the folder's standardized path; that key is the
// grant's identity and the set of such keys is the list of grants. Nothing is cached: every
// lookup reads the suite and resolves the bookmarks it needs.
//
// Folders are absolute paths. A folder on its way to a new file arrives as a FolderPath, already
// standardized, and is used as it is; any other path (a suite key, a panel's answer, the setup
// flows' folders) is standardized before it is compared or used in a key.
class SecurityScopedFolderAccess {
public:
    static constexpr std::string_view kBookmarkKeyPrefix = "securityScopedFolderBookmark.";
    static constexpr const char* kLogCategory = "SecurityScopedBookmarks";
    static constexpr const char* kAllowAccessPrompt = N_("Allow Access");
    static constexpr const char* kHomeFolderTitle = N_("Allow Home Folder Access");
    static constexpr const char* kHomeFolderMessage =
        N_("Choose your home folder so Quillet+ can create files in folders you own.");
    static constexpr const char* kCloudFoldersTitle = N_("Add Cloud Folder Access");
    static constexpr const char* kCloudFoldersMessage =
        N_("Choose Google Drive, OneDrive, or other provider folders that Quillet+ can use.");
    static constexpr const char* kOtherFoldersTitle = N_("Add Other Folders");
    static constexpr const char* kOtherFoldersMessage = N_("Choose any other folders Quillet+ can create files in.");
    static constexpr const char* kExternalVolumesTitle = N_("Add External Volume Access");
    static constexpr const char* kExternalVolumesMessage = N_("Choose external volumes that Quillet+ can use.");

    // The panel and activation are needed only by the two prompts; a caller that never prompts
    // (the command line) passes none.
    SecurityScopedFolderAccess(DefaultsSuite& defaults, FolderBookmarks& bookmarks,
                               const DisplayNames& displayNames, FolderPanel* panel = nullptr,
                               ApplicationWindows* activation = nullptr);

    // The suite key of the grant for a folder.
    static std::string bookmarkKey(const std::filesystem::path& folder);
    static std::string bookmarkKey(const FolderPath& folder);

    // One folder per grant key, sorted the way a file manager sorts names. Nothing is resolved.
    std::vector<std::filesystem::path> savedFolderRoots() const;
    // Records `folder` under the key of `keyURL`. Throws bookmarkCreationFailed when the folder
    // cannot be recorded or the record cannot be stored; nothing is stored then.
    void saveBookmark(const std::filesystem::path& folder, const std::filesystem::path& keyURL);
    // Removes the grant of the folder; a folder without one is not an error. False only when the
    // suite could not store the removal (logged by the suite).
    bool removeSavedAccess(const std::filesystem::path& folder);
    // Resolves one grant, refreshing a stale record and discarding a corrupt one; nothing also
    // when the record names no absolute folder.
    std::optional<FolderPath> resolvedSavedRoot(const FolderPath& root);
    // Whether a grant of `root` covers `folder`: equal paths, or `folder` below `root` at a path
    // boundary (/a/Drop does not cover /a/Dropbox). Byte-exact: Linux treats names that differ
    // in Unicode normalisation as different files. Both paths are standardized first.
    static bool covers(const std::filesystem::path& root, const std::filesystem::path& folder);
    // The same for folders in standard form already.
    static bool covers(const FolderPath& root, const FolderPath& folder);
    // The resolved folder of the deepest grant that covers `folder`. Every covering grant is
    // resolved, so a lookup also refreshes or discards their records.
    std::optional<FolderPath> bestSavedRoot(const FolderPath& folder);
    // The cloud folder to offer instead of `folder` itself (Dropbox, iCloud Drive, or a
    // provider's folder under Library/CloudStorage), or nothing.
    static std::optional<FolderPath> suggestedGrantRoot(const FolderPath& folder,
                                                        const std::optional<FolderPath>& home);
    static FolderPanelConfiguration makeAccessPanel(const std::string& title, const std::string& message,
                                                    const std::optional<std::filesystem::path>& directory,
                                                    bool allowsMultipleSelection);
    std::string defaultAccessMessage(const FolderPath& suggested, const FolderPath& required) const;
    // Asks the user for a folder that covers `requiredFolder` (default: `suggested`) and saves
    // its grant. Throws accessCancelled, wrongFolder or bookmarkCreationFailed.
    FolderPath requestAccess(const FolderPath& suggested, const std::optional<FolderPath>& requiredFolder,
                             const std::string& title, const std::optional<std::string>& message);
    // Asks for one folder and saves whatever folder the user confirms. Throws accessCancelled or
    // bookmarkCreationFailed.
    std::filesystem::path requestAccessToFolder(const std::filesystem::path& folder);

    // Grants made ahead of time, so that creating a file never stops for a prompt. Each returns
    // the standardized folders it saved and throws SecurityScopedFolderAccessError.
    //
    // The home folder, or a folder that contains it; the panel opens in the home's parent.
    std::filesystem::path grantHomeFolder(const FolderAccessLocations& locations);
    // Dropbox, then the provider mounts the user picks, then the cloud clients' folders; each
    // only where its folder exists. A declined single-folder prompt is skipped; a failed save in
    // the provider panel ends the flow. Nothing granted at all is accessCancelled(home).
    std::vector<std::filesystem::path> addCloudFolders(const FolderAccessLocations& locations);
    // Any folders, starting in the home folder; the application is not brought to the front.
    std::vector<std::filesystem::path> addOtherFolders(const FolderAccessLocations& locations);
    // Any folders, starting where volumes are mounted; nothing checks that they are volumes.
    std::vector<std::filesystem::path> addExternalVolumes(const FolderAccessLocations& locations);

private:
    enum class Activation { activate, leaveAsIs };
    FolderPanelResult runPanel(const FolderPanelConfiguration& configuration,
                               Activation activation = Activation::activate);
    // The folders of the grant keys, in the order of savedFolderRoots.
    std::vector<FolderPath> savedRoots() const;
    // Records `folder` under `key`; throws as saveBookmark.
    void storeBookmark(const std::filesystem::path& folder, const std::string& key);
    // The prompt of requestAccess on standardized paths, which the home folder's prompt shares:
    // the home is taken as the locations name it, absolute or not. Saves the grant of the
    // folder chosen and returns it.
    FolderPath askForFolderCovering(const std::filesystem::path& suggestion, const std::filesystem::path& required,
                                    const std::string& title, const std::string& message);
    // Saves each chosen folder under its standardized path; the first failure ends the run,
    // leaving the earlier ones saved.
    std::vector<std::filesystem::path> saveChosenFolders(const std::vector<std::filesystem::path>& urls);
    std::vector<std::filesystem::path> addFolders(const FolderPanelConfiguration& panel,
                                                  const std::filesystem::path& cancelledFolder);

    DefaultsSuite& defaults_;
    FolderBookmarks& bookmarks_;
    const DisplayNames& displayNames_;
    FolderPanel* panel_;
    ApplicationWindows* activation_;
};

}  // namespace quillet
