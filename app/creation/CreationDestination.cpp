#include "app/creation/CreationDestination.h"

#include "shared/paths/FilePaths.h"
#include "shared/paths/UserDirectories.h"

namespace quillet {

std::string_view rawValue(CreationDestinationMode mode) {
    switch (mode) {
        case CreationDestinationMode::desktop: return "desktop";
        case CreationDestinationMode::frontFinderFolder: return "frontFinderFolder";
    }
    return {};
}

std::optional<CreationDestinationMode> creationDestinationModeFromRawValue(std::string_view raw) {
    for (auto mode : kAllCreationDestinationModes)
        if (rawValue(mode) == raw) return mode;
    return std::nullopt;
}

std::string ResolvedCreationDestination::destinationDisplayName() const {
    if (mode == CreationDestinationMode::frontFinderFolder && !usedFallback) {
        std::string name = lastPathComponent(url);
        return name.empty() ? url.string() : name;
    }
    return "Desktop";
}

std::filesystem::path desktopFolderURL(const UserEnvironment& environment) {
    return userDesktopFolder(environment.homeFolder(), environment.configurationHome);
}

std::optional<std::filesystem::path> frontFinderFolderURL(FrontFileManagerFolder& fileManager) {
    auto folder = fileManager.frontFolder();
    if (!folder || folder->empty() || !folder->is_absolute()) return std::nullopt;
    return standardizedPath(*folder);
}

ResolvedCreationDestination resolveDestination(CreationDestinationMode mode,
                                               FrontFileManagerFolder& fileManager,
                                               const std::filesystem::path& desktop) {
    if (mode == CreationDestinationMode::frontFinderFolder) {
        if (auto folder = frontFinderFolderURL(fileManager)) return {mode, *folder, false};
        return {mode, standardizedPath(desktop), true};
    }
    return {mode, standardizedPath(desktop), false};
}

std::string creationStatusMessage(const std::filesystem::path& createdFile,
                                  const ResolvedCreationDestination& destination) {
    std::string status = "Created " + lastPathComponent(createdFile);
    status += destination.usedFallback ? " on Desktop" : " in " + destination.destinationDisplayName();
    return status;
}

const std::array<DestinationChoice, 2>& destinationChoices() {
    static const std::array<DestinationChoice, 2> choices{{
        {CreationDestinationMode::desktop, "Desktop", "desktopcomputer"},
        {CreationDestinationMode::frontFinderFolder, "Finder Folder", "folder"},
    }};
    return choices;
}

const DestinationChoice& destinationChoice(CreationDestinationMode mode) {
    for (const auto& choice : destinationChoices())
        if (choice.mode == mode) return choice;
    return destinationChoices().front();
}

}  // namespace quillet
