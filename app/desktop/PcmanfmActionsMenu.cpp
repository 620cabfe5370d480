#include "app/desktop/PcmanfmActionsMenu.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "app/desktop/BundleRegistration.h"
#include "app/desktop/FileContentUpdate.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDesktopSuffix = ".desktop";

Logger actionsMenuLog() {
    return Logger(kAppSubsystem, "ActionsMenu");
}

bool isOurActionFile(const std::string& name) {
    return name.starts_with(PcmanfmActionsMenu::kActionPrefix) && name.ends_with(kDesktopSuffix);
}

}  // namespace

std::string pcmanfmActionID(const std::string& typeID) {
    return PcmanfmActionsMenu::kActionPrefix + menuActionWord(typeID);
}

std::optional<PcmanfmActionsFiles> pcmanfmActionsFiles(const std::vector<FileTypeDefinition>& types,
                                                       const fs::path& launcher) {
    if (types.empty()) return std::nullopt;
    const auto program = desktopEntryExecArgument(launcher);
    if (!program) return std::nullopt;

    PcmanfmActionsFiles files;
    std::string items;
    for (const auto& type : types) {
        // A template whose name no command line can carry is left out, not the whole menu.
        const auto typeWord = execTypeArgument(type.id);
        if (!typeWord) continue;
        const std::string id = pcmanfmActionID(type.id);
        items.append(id).append(";");
        const std::string name = id + kDesktopSuffix;
        if (std::any_of(files.actions.begin(), files.actions.end(), [&](const auto& a) { return a.first == name; }))
            continue;
        files.actions.emplace_back(name, "[Desktop Entry]\n"
                                         "Type=Action\n"
                                         "Name=" + menuNameValue(localizedName(type)) + "\n"
                                         "Profiles=local;\n"
                                         "\n"
                                         "[X-Action-Profile local]\n"
                                         "MimeTypes=all/all;\n"
                                         "Schemes=file;\n"
                                         "Exec=" + *program + " create " + *typeWord + " " +
                                             FileManagerMenu::kItemOption + " %F\n");
    }
    files.menu = std::string("[Desktop Entry]\n"
                             "Type=Menu\n"
                             "Name=") +
                 translate(FileManagerMenu::kSubmenuTitle) +
                 "\n"
                 "Icon=document-new\n"
                 // Not offered where there is no folder on this machine to create in.
                 "Schemes=file;\n"
                 "ItemsList=" + items + "\n";
    return files;
}

PcmanfmActionsMenu::PcmanfmActionsMenu(fs::path launcher, std::optional<fs::path> dataHome)
    : launcher_(std::move(launcher)), dataHome_(std::move(dataHome)) {}

std::optional<fs::path> PcmanfmActionsMenu::folder() const {
    if (!dataHome_) return std::nullopt;
    return *dataHome_ / "file-manager" / "actions";
}

std::vector<fs::path> PcmanfmActionsMenu::actionFiles(const std::vector<std::string>& keep) const {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(*folder(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isOurActionFile(name) && std::find(keep.begin(), keep.end(), name) == keep.end())
            found.push_back(it->path());
    }
    return found;
}

bool PcmanfmActionsMenu::removeFiles(const std::vector<fs::path>& files) const {
    bool removed = false;
    for (const auto& file : files) {
        std::string error;
        if (removeRegularFile(file, &error)) removed = true;
        else if (!error.empty()) actionsMenuLog().error("Could not remove a PCManFM-Qt action: %{public}s", error);
    }
    return removed;
}

void PcmanfmActionsMenu::update(const std::vector<FileTypeDefinition>& types) const {
    const auto target = folder();
    if (!target) return;
    if (types.empty()) {
        remove();
        return;
    }
    const Logger log = actionsMenuLog();
    const auto files = pcmanfmActionsFiles(types, launcher_);
    if (!files) {
        log.error("Not writing the PCManFM-Qt actions menu: %{public}s or a type cannot be named in one",
                  launcher_.string());
        return;
    }
    std::vector<std::string> names;
    for (const auto& action : files->actions) names.push_back(action.first);
    removeFiles(actionFiles(names));

    bool wrote = false;
    const auto write = [&](const std::string& name, const std::string& text) {
        const FileContentUpdate update = updateFileContent(*target / name, text);
        switch (update.outcome) {
            case FileContentUpdate::Outcome::written: wrote = true; return true;
            case FileContentUpdate::Outcome::unchanged: return true;
            case FileContentUpdate::Outcome::notARegularFile:
                log.error("Left the PCManFM-Qt actions menu alone: %{public}s", update.error);
                return false;
            case FileContentUpdate::Outcome::failed:
                log.error("Could not write the PCManFM-Qt actions menu: %{public}s", update.error);
                return false;
        }
        return false;
    };
    // Without our menu, our actions would stand at the top level of PCManFM-Qt's menu.
    if (write(kMenuFileName, files->menu))
        for (const auto& [name, text] : files->actions) write(name, text);
    if (wrote) log.log("Wrote the PCManFM-Qt actions menu in %{public}s", target->string());
}

bool PcmanfmActionsMenu::remove() const {
    const auto target = folder();
    if (!target) return false;
    bool removed = removeFiles(actionFiles());
    if (removeFiles({*target / kMenuFileName})) removed = true;
    if (removed) actionsMenuLog().log("Removed the PCManFM-Qt actions menu from %{public}s", target->string());
    return removed;
}

}  // namespace quillet
