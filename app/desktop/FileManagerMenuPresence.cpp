#include "app/desktop/FileManagerMenuPresence.h"

#include <system_error>

#include "app/desktop/FileManagerMenu.h"
#include "shared/FileManagerModules.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        // TRANSLATORS: joins the last two names of a list ("Files and Dolphin").
        if (i > 0) text += i + 1 == names.size() ? translate(" and ") : translate(", ");
        text += names[i];
    }
    return text;
}

}  // namespace

std::vector<FileManagerMenuPresence> fileManagerMenuPresence(const FileManagerMenuPlaces& places) {
    std::vector<FileManagerMenuPresence> found;
    for (const auto& kind : kFileManagerMenuKinds) {
        if (!places.isInstalled || !places.isInstalled(kind.program)) continue;
        const std::string name =
            // TRANSLATORS: the name GNOME gives its file manager (Nautilus) in your language.
            kind.displayName == "Files" ? translateIn("GNOME file manager", "Files") : std::string(kind.displayName);
        FileManagerMenuPresence presence{name, false, !kind.moduleFile.empty()};
        if (presence.fromModule) {
            for (const auto& folder : places.libraryFolders)
                presence.hasMenu = presence.hasMenu || isFile(folder / kind.moduleFolder / kind.moduleFile);
        } else {
            for (const FileManagerMenu* menu : places.keptMenus) {
                if (menu->program() != kind.program) continue;
                const auto file = menu->menuFile();
                presence.hasMenu = presence.hasMenu || (file && isFile(*file));
            }
        }
        found.push_back(std::move(presence));
    }
    return found;
}

std::string fileManagerMenuSummary(const std::vector<FileManagerMenuPresence>& presence) {
    std::vector<std::string> with, withoutModule, withoutKeptMenu;
    for (const auto& manager : presence) {
        if (manager.hasMenu) with.push_back(manager.name);
        else if (manager.fromModule) withoutModule.push_back(manager.name);
        else withoutKeptMenu.push_back(manager.name);
    }
    std::string text;
    if (!with.empty())
        // TRANSLATORS: "it" is the Create File menu; %1 lists file managers ("Files and Dolphin").
        text = formatText(translate("On this computer it is in %1."), {listed(with)});
    else if (!presence.empty())
        text = translate("On this computer no file manager shows it yet.");
    const auto add = [&](const std::string& sentence) { text += (text.empty() ? "" : " ") + sentence; };
    // Modules load only from the file managers' own folders, which the package fills.
    // TRANSLATORS: %1 is one or more file managers' names; "it" is the Create File menu.
    if (!withoutModule.empty())
        add(formatText(translatePlural("%1 gets it when Quillet+ is installed from its package.",
                                       "%1 get it when Quillet+ is installed from its package.", withoutModule.size()),
                       {listed(withoutModule)}));
    if (!withoutKeptMenu.empty())
        add(formatText(
            translatePlural("%1 gets it while an installed Quillet+ runs with at least one file type switched on.",
                            "%1 get it while an installed Quillet+ runs with at least one file type switched on.",
                            withoutKeptMenu.size()),
            {listed(withoutKeptMenu)}));
    return text;
}

std::vector<fs::path> systemLibraryFolders(const fs::path& usrLib) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(usrLib, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.find("-linux-") != std::string::npos && it->is_directory(error)) folders.push_back(it->path());
    }
    folders.push_back(usrLib.parent_path() / "lib64");
    folders.push_back(usrLib);
    return folders;
}

}  // namespace quillet
