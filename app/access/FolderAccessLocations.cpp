#include "app/access/FolderAccessLocations.h"

#include <algorithm>
#include <system_error>

#include "app/access/SecurityScopedFolderAccess.h"
#include "shared/paths/FilePaths.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// A user name that cannot climb out of the mount folder it is joined to.
bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

FolderAccessLocations FolderAccessLocations::fromEnvironment(const UserEnvironment& environment) {
    FolderAccessLocations locations;
    if (!environment.accountHome.empty()) locations.realHome = standardizedPath(environment.accountHome);
    locations.processHome = environment.homeVariable;
    locations.volumeMountFolders.clear();
    if (isPlainName(environment.accountUserName)) {
        locations.volumeMountFolders.push_back(fs::path("/run/media") / environment.accountUserName);
        locations.volumeMountFolders.push_back(fs::path("/media") / environment.accountUserName);
    }
    locations.volumeMountFolders.push_back("/media");
    locations.volumeMountFolders.push_back("/mnt");
    if (environment.runtimeDirectory) locations.providerMountsFolder = *environment.runtimeDirectory / "gvfs";
    return locations;
}

fs::path FolderAccessLocations::dropboxFolder(const fs::path& home) { return standardizedPath(home / "Dropbox"); }

std::vector<fs::path> FolderAccessLocations::cloudClientFolders(const fs::path& home) {
    return {standardizedPath(home / "OneDrive"), standardizedPath(home / "Google Drive")};
}

fs::path FolderAccessLocations::externalVolumesFolder() const {
    for (const auto& folder : volumeMountFolders)
        if (isDirectory(folder)) return standardizedPath(folder);
    return kDefaultVolumesFolder;
}

bool FolderAccessLocations::isOnExternalVolume(const fs::path& root) const {
    const fs::path path = standardizedPath(root);
    const auto isMountFolder = [&](const fs::path& folder) { return standardizedPath(folder) == path; };
    if (std::any_of(volumeMountFolders.begin(), volumeMountFolders.end(), isMountFolder)) return false;
    return std::any_of(volumeMountFolders.begin(), volumeMountFolders.end(), [&](const fs::path& folder) {
        return SecurityScopedFolderAccess::covers(folder, path);
    });
}

}  // namespace quillet
