#include "programs/quillet-app/UninstallerParts.h"

#include <QDBusConnection>

#include "platform/linux/GnomeKeybindingHotKeyService.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

UninstallerParts::UninstallerParts(const ApplicationBundle& bundle, const UserEnvironment& environment)
    : bundle_(bundle),
      environment_(environment),
      fileManagers_(QDBusConnection::sessionBus()),
      nautilusTrash_(QDBusConnection::sessionBus()),
      registration_(bundle, environment),
      // Their items start this program's launcher.
      serviceMenu_(bundle.executable(), environment.dataHome),
      actionsMenu_(bundle.executable(), environment.dataHome) {}

AppUninstallerEnvironment UninstallerParts::uninstallerEnvironment(ModalAlert& alert, ApplicationWindows& windows,
                                                                   DesktopCreationController* quickCreate,
                                                                   MainQueue& mainQueue, MainQueueTimer& timer,
                                                                   ApplicationLifecycle& lifecycle,
                                                                   bool systemInstall) {
    return AppUninstallerEnvironment{
        alert,
        windows,
        quickCreate,
        bundle_.path(),
        mainQueue,
        timer,
        fileManagers_,
        fileTrash_,
        gioTrash_,
        nautilusTrash_,
        environment_.configurationHome,
        [this] { registration_.unregisterBundle(); },
        lifecycle,
        [this] {
            for (const FileManagerMenu* menu : fileManagerMenus()) menu->remove();
            // Key bindings a Wayland session on GNOME was given, whichever session this is.
            GnomeKeybindingHotKeyService::removeAll();
        },
        systemInstall,
    };
}

}  // namespace quillet
