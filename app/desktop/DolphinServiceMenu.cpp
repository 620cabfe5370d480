#include "app/desktop/DolphinServiceMenu.h"

#include <map>
#include <system_error>
#include <utility>

#include "app/desktop/BundleRegistration.h"
#include "app/desktop/FileContentUpdate.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"
#include "shared/paths/FilePaths.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

// KIO's mark for a separator in a service menu's action list.
constexpr const char* kSeparator = "_SEPARATOR_";

Logger serviceMenuLog() {
    return Logger(kAppSubsystem, "ServiceMenu");
}

}  // namespace

std::optional<std::string> dolphinServiceMenuText(const std::vector<FileTypeDefinition>& types,
                                                  const fs::path& launcher) {
    if (types.empty()) return std::nullopt;
    const auto program = desktopEntryExecArgument(launcher);
    if (!program) return std::nullopt;

    std::string actions;
    std::string groups;
    std::map<std::string, int> occurrences;
    std::optional<FileTypeCategory> previous;
    for (const auto& type : types) {
        if (previous && type.category != *previous) actions.append(kSeparator).append(";");
        previous = type.category;
        // A type the order names twice is offered twice, each under an action name of its own.
        const int occurrence = ++occurrences[type.id];
        const std::string action = occurrence == 1 ? type.id : type.id + "-" + std::to_string(occurrence);
        actions.append(action).append(";");
        groups.append("\n[Desktop Action ").append(action).append("]\n");
        groups.append("Name=").append(type.displayName).append("\n");
        // %F: the whole selection goes to one run, whose first item decides the folder.
        groups.append("Exec=")
            .append(*program)
            .append(" create ")
            .append(type.id)
            .append(" ")
            .append(DolphinServiceMenu::kItemOption)
            .append(" %F\n");
    }

    std::string text = "[Desktop Entry]\n";
    text += "Type=Service\n";
    text += "Name=Quillet+\n";
    text += "ServiceTypes=KonqPopupMenu/Plugin\n";
    // Folders, their background, and every file (all of which derive from octet-stream).
    text += "MimeType=inode/directory;application/octet-stream;\n";
    // A new file needs a folder on this machine: remote and virtual locations have none.
    text += "X-KDE-Protocols=file\n";
    text += "X-KDE-Priority=TopLevel\n";
    text += std::string("X-KDE-Submenu=") + DolphinServiceMenu::kSubmenuTitle + "\n";
    text += "Icon=document-new\n";
    text += "Actions=" + actions + "\n";
    return text + groups;
}

fs::path folderForClickedItem(const fs::path& item) {
    std::error_code error;
    if (fs::is_directory(item, error)) return standardizedPath(item);
    return containingFolder(item);
}

DolphinServiceMenu::DolphinServiceMenu(fs::path launcher, std::optional<fs::path> dataHome)
    : launcher_(std::move(launcher)), dataHome_(std::move(dataHome)) {}

std::optional<fs::path> DolphinServiceMenu::path() const {
    if (!dataHome_) return std::nullopt;
    return *dataHome_ / "kio" / "servicemenus" / kFileName;
}

void DolphinServiceMenu::update(const std::vector<FileTypeDefinition>& types) const {
    const auto target = path();
    if (!target) return;
    if (types.empty()) {
        remove();
        return;
    }
    const Logger log = serviceMenuLog();
    const auto text = dolphinServiceMenuText(types, launcher_);
    if (!text) {
        log.error("Not writing the Dolphin service menu: %{public}s cannot be named in one", launcher_.string());
        return;
    }
    const FileContentUpdate update = updateFileContent(*target, *text, kFileMode);
    switch (update.outcome) {
        case FileContentUpdate::Outcome::unchanged: break;
        case FileContentUpdate::Outcome::written:
            log.log("Wrote the Dolphin service menu at %{public}s", target->string());
            break;
        case FileContentUpdate::Outcome::notARegularFile:
            log.error("Left the Dolphin service menu alone: %{public}s", update.error);
            break;
        case FileContentUpdate::Outcome::failed:
            log.error("Could not write the Dolphin service menu: %{public}s", update.error);
            break;
    }
}

bool DolphinServiceMenu::remove() const {
    const auto target = path();
    if (!target) return false;
    std::error_code error;
    if (fs::symlink_status(*target, error).type() != fs::file_type::regular) return false;
    const Logger log = serviceMenuLog();
    if (fs::remove(*target, error)) {
        log.log("Removed the Dolphin service menu at %{public}s", target->string());
        return true;
    }
    if (error)
        log.error("Could not remove the Dolphin service menu at %{public}s: %{public}s", target->string(),
                  error.message());
    return false;
}

}  // namespace quillet
