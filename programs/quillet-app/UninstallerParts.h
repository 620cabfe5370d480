#pragma once

#include <vector>

#include "app/desktop/BundleRegistration.h"
#include "app/desktop/DolphinServiceMenu.h"
#include "app/desktop/PcmanfmActionsMenu.h"
#include "app/instance/ApplicationBundle.h"
#include "app/uninstall/AppUninstaller.h"
#include "platform/linux/GioFileTrash.h"
#include "platform/linux/ModuleFileManagers.h"
#include "platform/linux/NautilusTrash.h"
#include "platform/linux/QtFileTrash.h"

namespace quillet {

struct UserEnvironment;

// What the uninstaller works with on Linux, built one way for the application's menus and for
// "quillet uninstall": the file managers to quit and restart, the three ways to the Trash, what
// the bundle registered with the desktop and what the user was given (the Dolphin and PCManFM-Qt
// menus, GNOME key bindings). The bundle and the environment must outlive it; so must it the uninstaller.
class UninstallerParts {
public:
    UninstallerParts(const ApplicationBundle& bundle, const UserEnvironment& environment);

    // The "Create File" menus of Dolphin and PCManFM-Qt, which the running application keeps in
    // step with the types.
    std::vector<const FileManagerMenu*> fileManagerMenus() const { return {&serviceMenu_, &actionsMenu_}; }

    // The uninstaller's environment over these parts and the caller's own.
    AppUninstallerEnvironment uninstallerEnvironment(ModalAlert& alert, ApplicationWindows& windows,
                                                     DesktopCreationController* quickCreate, MainQueue& mainQueue,
                                                     MainQueueTimer& timer, ApplicationLifecycle& lifecycle,
                                                     bool systemInstall);

private:
    const ApplicationBundle& bundle_;
    const UserEnvironment& environment_;
    ModuleFileManagers fileManagers_;
    QtFileTrash fileTrash_;
    GioFileTrash gioTrash_;
    NautilusTrash nautilusTrash_;
    BundleRegistration registration_;
    DolphinServiceMenu serviceMenu_;
    PcmanfmActionsMenu actionsMenu_;
};

}  // namespace quillet
