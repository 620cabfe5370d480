#include "app/desktop/DolphinServiceMenu.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/desktop/BundleRegistration.h"
#include "app/desktop/FileContentUpdate.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

// KIO's mark for a separator in a service menu's action list.
constexpr const char* kSeparator = "_SEPARATOR_";

Logger serviceMenuLog() {
    return Logger(kAppSubsystem, "ServiceMenu");
}

}  // namespace

std::string dolphinServiceMenuActionName(size_t position, const std::string& typeID) {
    std::string number = std::to_string(position);
    if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
    return "q" + number + "-" + menuActionWord(typeID);
}

std::optional<std::string> dolphinServiceMenuText(const std::vector<FileTypeDefinition>& types,
                                                  const fs::path& launcher) {
    if (types.empty()) return std::nullopt;
    const auto program = desktopEntryExecArgument(launcher);
    if (!program) return std::nullopt;

    std::string actions;
    std::string groups;
    std::optional<FileTypeCategory> previous;
    size_t position = 0;
    for (const auto& type : types) {
        // A template whose name no command line can carry is left out, not the whole menu.
        const auto typeArgument = execTypeArgument(type.id);
        if (!typeArgument) continue;
        if (previous && type.category != *previous) actions.append(kSeparator).append(";");
        previous = type.category;
        const std::string action = dolphinServiceMenuActionName(++position, type.id);
        actions.append(action).append(";");
        groups.append("\n[Desktop Action ").append(action).append("]\n");
        // The names in the session's language: the application writes the menu again when it differs.
        groups.append("Name=").append(menuNameValue(localizedName(type))).append("\n");
        // %F: the whole selection goes to one run, whose first item decides the folder.
        groups.append("Exec=")
            .append(*program)
            .append(" create ")
            .append(*typeArgument)
            .append(" ")
            .append(FileManagerMenu::kItemOption)
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
    text += std::string("X-KDE-Submenu=") + translate(FileManagerMenu::kSubmenuTitle) + "\n";
    text += "Icon=document-new\n";
    text += "Actions=" + actions + "\n";
    return text + groups;
}

void DolphinServiceMenu::makeExecutable(const fs::path& target) {
    // Opened without following a link: only our own regular file is changed.
    const int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const mode_t mode = info.st_mode & 07777;
        // Runnable by whoever may read it, as the new file's mode has it.
        const mode_t wanted = mode | S_IXUSR | ((mode & (S_IRGRP | S_IROTH)) >> 2);
        if (wanted != mode) {
            if (::fchmod(fd, wanted) == 0)
                serviceMenuLog().log("Made the Dolphin service menu executable again at %{public}s",
                                     target.string());
            else
                serviceMenuLog().error("Could not make the Dolphin service menu executable: %{public}s",
                                       std::strerror(errno));
        }
    }
    ::close(fd);
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
        case FileContentUpdate::Outcome::unchanged:
        case FileContentUpdate::Outcome::written:
            if (update.outcome == FileContentUpdate::Outcome::written)
                log.log("Wrote the Dolphin service menu at %{public}s", target->string());
            makeExecutable(*target);
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
    std::string error;
    if (removeRegularFile(*target, &error)) {
        serviceMenuLog().log("Removed the Dolphin service menu at %{public}s", target->string());
        return true;
    }
    if (!error.empty()) serviceMenuLog().error("Could not remove the Dolphin service menu: %{public}s", error);
    return false;
}

}  // namespace quillet
