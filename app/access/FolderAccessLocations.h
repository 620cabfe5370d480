#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace quillet {

struct UserEnvironment;

// Where the folder access flows look for the user's home, cloud folders and volumes on Linux.
// The one place that says which Linux folder stands for which kind of place:
//   the home                   the account database's home, never $HOME
//   Dropbox                    <home>/Dropbox (where the Dropbox client syncs)
//   cloud provider folders     <runtime dir>/gvfs: GIO's mounts of online accounts (Google
//                              Drive, OneDrive, Nextcloud) and network places
//   further cloud folders      <home>/OneDrive, <home>/Google Drive (the clients' default folders)
//   external volumes           /run/media/<user> or /media/<user> (where udisks mounts removable
//                              media), else /media; /media and /mnt also hold volumes
// A plain value: the composition root fills it from the environment and tests from folders they
// make.
struct FolderAccessLocations {
    static constexpr const char* kDefaultVolumesFolder = "/media";

    // The account's home; nothing when the account database has no entry for the user.
    std::optional<std::filesystem::path> realHome;
    // $HOME: the folder a cancelled panel names when the account has no entry.
    std::optional<std::filesystem::path> processHome;
    // The folders volumes are mounted in, the user's own first.
    std::vector<std::filesystem::path> volumeMountFolders{"/media", "/mnt"};
    // The folder GIO mounts online accounts in; nothing without a runtime folder.
    std::optional<std::filesystem::path> providerMountsFolder;

    static FolderAccessLocations fromEnvironment(const UserEnvironment& environment);

    // <home>/Dropbox.
    static std::filesystem::path dropboxFolder(const std::filesystem::path& home);
    // The cloud clients' own folders, asked for one by one after the provider mounts.
    static std::vector<std::filesystem::path> cloudClientFolders(const std::filesystem::path& home);
    // Where the external volumes panel starts: the first mount folder that exists, else /media.
    std::filesystem::path externalVolumesFolder() const;
    // Whether a saved root lies on a mounted volume: below a mount folder, and not itself one
    // (/media/alice holds volumes; /media/alice/USB is one).
    bool isOnExternalVolume(const std::filesystem::path& root) const;
};

}  // namespace quillet
