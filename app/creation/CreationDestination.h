#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FrontFileManagerFolder.h"
#include "shared/paths/FolderPath.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// Where files from the tray menu, the Quick Create panel and the direct shortcuts go. The raw
// value is the persisted form.
enum class CreationDestinationMode { desktop, frontFinderFolder };

std::string_view rawValue(CreationDestinationMode mode);
// Only the exact raw values "desktop" and "frontFinderFolder" are accepted.
std::optional<CreationDestinationMode> creationDestinationModeFromRawValue(std::string_view raw);

inline constexpr std::array<CreationDestinationMode, 2> kAllCreationDestinationModes{
    CreationDestinationMode::desktop, CreationDestinationMode::frontFinderFolder};

// How a destination is offered to the user wherever one is picked: its title and symbol. The
// front folder's title names the file manager: it is filled in with DesktopWords where shown.
struct DestinationChoice {
    CreationDestinationMode mode;
    const char* title;
    const char* symbolName;
};
// One choice per mode, in the order of the modes.
const std::array<DestinationChoice, 2>& destinationChoices();
const DestinationChoice& destinationChoice(CreationDestinationMode mode);

// A mode turned into a folder at the moment of creation.
struct ResolvedCreationDestination {
    CreationDestinationMode mode;   // as asked for, even when the fallback was used
    FolderPath url;                 // the folder to create in
    bool usedFallback = false;      // the file manager named no folder, so url is the Desktop

    bool operator==(const ResolvedCreationDestination&) const = default;

    // The short name for status lines: the folder's name for a file manager folder (the full
    // path when it has no name of its own), else "Desktop".
    std::string destinationDisplayName() const;
};

// The user's Desktop, standardized: the desktop's own record of it (user-dirs.dirs in the
// configuration home), else <real home>/Desktop. The home comes from the account database;
// without an entry for the user, from $HOME, and "/" as a last resort. Never fails; read anew
// at every call, so a Desktop moved while Quillet+ runs is followed.
std::filesystem::path desktopFolderURL(const UserEnvironment& environment);

// The front file manager window's folder, asked once; nothing when it names no absolute folder.
// The folder is not checked for existence: creation reports that later.
std::optional<FolderPath> frontFinderFolderURL(FrontFileManagerFolder& fileManager);

// Called right before a file is written, so the window in front at that moment decides;
// `desktop` is where the Desktop mode, and the fallback, create. The folder is standardized
// here, once, and travels in that form to the grants and the writer. A Desktop that is not
// absolute (found from an account entry whose home is relative) is taken from the working
// folder, where the file system puts what is written to a relative path.
ResolvedCreationDestination resolveDestination(CreationDestinationMode mode,
                                               FrontFileManagerFolder& fileManager,
                                               const std::filesystem::path& desktop);

// The line that reports a creation: "Created Untitled.txt in Reports", or "... on Desktop" when
// the file manager named no folder and the Desktop stood in.
std::string creationStatusMessage(const std::filesystem::path& createdFile,
                                  const ResolvedCreationDestination& destination);

}  // namespace quillet
