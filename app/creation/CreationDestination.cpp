#include "app/creation/CreationDestination.h"

#include <system_error>

#include "shared/paths/FilePaths.h"
#include "shared/paths/UserDirectories.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

// The Desktop as the folder to create in. It is absolute whenever the home it was found in is;
// one found from a relative home is taken from the working folder, where the file system puts
// what is written to a relative path, or from the root when the working folder is gone.
FolderPath desktopFolder(const std::filesystem::path& desktop) {
    if (auto folder = FolderPath::fromAbsolute(desktop)) return *folder;
    std::error_code error;
    const std::filesystem::path workingFolder = std::filesystem::current_path(error);
    const auto base = error ? std::nullopt : FolderPath::fromAbsolute(workingFolder);
    return base.value_or(FolderPath::root()).appending(desktop);
}

}  // namespace

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
        std::string name = url.name();
        return name.empty() ? url.string() : name;
    }
    return translate("Desktop");
}

std::filesystem::path desktopFolderURL(const UserEnvironment& environment) {
    return userDesktopFolder(environment.homeFolder(), environment.configurationHome);
}

std::optional<FolderPath> frontFinderFolderURL(FrontFileManagerFolder& fileManager) {
    auto folder = fileManager.frontFolder();
    if (!folder) return std::nullopt;
    return FolderPath::fromAbsolute(*folder);
}

ResolvedCreationDestination resolveDestination(CreationDestinationMode mode,
                                               FrontFileManagerFolder& fileManager,
                                               const std::filesystem::path& desktop) {
    if (mode == CreationDestinationMode::frontFinderFolder) {
        if (auto folder = frontFinderFolderURL(fileManager)) return {mode, *folder, false};
        return {mode, desktopFolder(desktop), true};
    }
    return {mode, desktopFolder(desktop), false};
}

std::string creationStatusMessage(const std::filesystem::path& createdFile,
                                  const ResolvedCreationDestination& destination) {
    if (destination.usedFallback)
        // TRANSLATORS: %1 is the new file's name.
        return formatText(translate("Created %1 on Desktop"), {lastPathComponent(createdFile)});
    // TRANSLATORS: %1 is the new file's name, %2 the folder it was created in.
    return formatText(translate("Created %1 in %2"),
                      {lastPathComponent(createdFile), destination.destinationDisplayName()});
}

const std::array<DestinationChoice, 2>& destinationChoices() {
    static const std::array<DestinationChoice, 2> choices{{
        {CreationDestinationMode::desktop, N_("Desktop"), "desktopcomputer"},
        {CreationDestinationMode::frontFinderFolder, linuxtexts::kFrontFolderDestinationTitle, "folder"},
    }};
    return choices;
}

const DestinationChoice& destinationChoice(CreationDestinationMode mode) {
    for (const auto& choice : destinationChoices())
        if (choice.mode == mode) return choice;
    return destinationChoices().front();
}

}  // namespace quillet
