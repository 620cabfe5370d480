#include "app/access/FolderAccessSetupModel.h"

#include "app/access/SecurityScopedFolderAccess.h"
#include "platform/DisplayNames.h"
#include "shared/errors/UserFacingError.h"
#include "shared/paths/FilePaths.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

FolderAccessSetupModel::FolderAccessSetupModel(SecurityScopedFolderAccess& access, const DisplayNames& displayNames,
                                               FolderAccessLocations locations, bool sandboxed)
    : access_(access), displayNames_(displayNames), locations_(std::move(locations)), sandboxed_(sandboxed) {}

const std::vector<FolderAccessSetupModel::Button>& FolderAccessSetupModel::buttons() const {
    static const std::vector<Button> none;
    return sandboxed_ ? grantButtons() : none;
}

const std::vector<FolderAccessSetupModel::Button>& FolderAccessSetupModel::grantButtons() {
    static const std::vector<Button> list{
        {Action::grantHomeFolder, N_("Grant Home Folder...")},
        {Action::addOtherFolders, N_("Add Other Folders...")},
        {Action::addCloudFolders, N_("Add Cloud Folders...")},
        {Action::addExternalVolumes, N_("Add External Volumes...")},
    };
    return list;
}

void FolderAccessSetupModel::reload() {
    FolderAccessSetupState next = state.get();
    next.authorizedFolders = access_.savedFolderRoots();
    if (next != state.get()) state.set(std::move(next));
}

void FolderAccessSetupModel::setStatus(std::string message, bool reloading) {
    FolderAccessSetupState next = state.get();
    next.statusMessage = std::move(message);
    if (reloading) next.authorizedFolders = access_.savedFolderRoots();
    state.set(std::move(next));
}

void FolderAccessSetupModel::perform(Action action) {
    std::string message;
    try {
        switch (action) {
            case Action::grantHomeFolder:
                message =
                    formatText(translate("Saved access to %1."), {displayName(access_.grantHomeFolder(locations_))});
                break;
            case Action::addOtherFolders:
                message = grantedListMessage(access_.addOtherFolders(locations_));
                break;
            case Action::addCloudFolders:
                message = grantedListMessage(access_.addCloudFolders(locations_));
                break;
            case Action::addExternalVolumes:
                message = grantedListMessage(access_.addExternalVolumes(locations_));
                break;
        }
    } catch (const UserFacingError& error) {
        // Folders saved before a failure mid-flow show at the next reload.
        setStatus(error.description(), false);
        return;
    }
    setStatus(std::move(message), true);
}

void FolderAccessSetupModel::forgetAccess(const fs::path& root) {
    access_.removeSavedAccess(root);
    setStatus(formatText(translate("Removed access to %1."), {displayName(root)}), true);
}

std::string FolderAccessSetupModel::summary() const {
    if (!sandboxed_ && state->authorizedFolders.empty()) return translate(linuxtexts::kFolderAccessUnsandboxedSummary);
    return summaryText(state->authorizedFolders.size());
}

std::vector<FolderAccessSetupModel::Cell> FolderAccessSetupModel::cells() const {
    std::vector<Cell> cells;
    for (const auto& root : state->authorizedFolders) cells.push_back({root, rowSymbol(root), displayName(root)});
    return cells;
}

std::string FolderAccessSetupModel::displayName(const fs::path& root) const {
    const fs::path path = standardizedPath(root);
    if (locations_.realHome && path == standardizedPath(*locations_.realHome)) return translate(kHomeDisplayName);
    return displayNames_.displayName(path);
}

std::string FolderAccessSetupModel::rowSymbol(const fs::path& root) const {
    const fs::path path = standardizedPath(root);
    if (locations_.isOnExternalVolume(path)) return "externaldrive";
    if (locations_.realHome && path == standardizedPath(*locations_.realHome)) return "house";
    return "folder";
}

std::string FolderAccessSetupModel::summaryText(std::size_t count) {
    if (count == 0) return translate("No saved folder roots.");
    return formatText(translatePlural("%1 saved folder root.", "%1 saved folder roots.", count),
                      {std::to_string(count)});
}

std::string FolderAccessSetupModel::grantedListMessage(const std::vector<fs::path>& folders) const {
    if (folders.empty()) return translate("No folder roots selected.");
    if (folders.size() == 1) return formatText(translate("Saved access to %1."), {displayName(folders.front())});
    return formatText(
        translatePlural("Saved access to %1 folder root.", "Saved access to %1 folder roots.", folders.size()),
        {std::to_string(folders.size())});
}

}  // namespace quillet
