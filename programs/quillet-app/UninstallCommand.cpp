#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "app/uninstall/AppUninstaller.h"
#include "app/instance/ApplicationBundle.h"
#include "app/desktop/BundleRegistration.h"
#include "app/desktop/DolphinServiceMenu.h"
#include "platform/posix/ResourceBundle.h"
#include "platform/linux/DisplayPlatform.h"
#include "platform/linux/GioFileTrash.h"
#include "platform/linux/GnomeKeybindingHotKeyService.h"
#include "platform/linux/NautilusFileManagers.h"
#include "platform/linux/NautilusTrash.h"
#include "platform/linux/QtApplicationIcon.h"
#include "platform/linux/QtApplicationActivation.h"
#include "platform/linux/QtApplicationTermination.h"
#include "platform/linux/QtFileTrash.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtMainQueueTimer.h"
#include "platform/linux/QtModalAlert.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/StderrModalAlert.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet::cli {

// The uninstaller on its own, as the application's menus run it: with a display the questions
// are message boxes, without one they are asked on the terminal. The bundle is the one this
// executable belongs to. Exits 0 once the bundle is in the Trash and the settings are gone, 1
// when the user cancelled or the uninstall failed (the alert said why).
int uninstallCommand(Invocation& inv) {
    if (!inv.args.empty()) return usageError(inv, "uninstall takes no arguments");

    std::vector<std::string> arguments{"quillet"};
    const auto platform = availableDisplayPlatform(desktopSessionAddresses(inv.environment));
    if (platform) arguments.insert(arguments.end(), {"-platform", *platform});
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(arguments.size());
    // Timers, bus replies and queued work all need an event loop, with or without windows.
    std::unique_ptr<QCoreApplication> application;
    if (platform) {
        application = std::make_unique<QApplication>(argc, argv.data());
        QApplication::setApplicationDisplayName(QStringLiteral("Quillet+"));
        QApplication::setWindowIcon(applicationIcon(inv.resources.resourceDirectory()));
        QApplication::setQuitOnLastWindowClosed(false);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv.data());
    }
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));

    QtApplicationActivation windowedActivation;
    NoDisplayApplication noDisplay;
    QtModalAlert windowedAlert;
    StderrModalAlert terminalAlert;
    QtMainQueue mainQueue;
    QtMainQueueTimer timer;
    NautilusFileManagers fileManagers{QDBusConnection::sessionBus()};
    QtFileTrash fileTrash;
    GioFileTrash gioTrash;
    NautilusTrash nautilusTrash{QDBusConnection::sessionBus()};
    QtApplicationTermination termination;

    const ApplicationBundle bundle = ApplicationBundle::containing(executablePath());
    const BundleRegistration registration(bundle, inv.environment);
    const DolphinServiceMenu serviceMenu(bundle.executable(), inv.environment.dataHome);
    AppUninstaller uninstaller{AppUninstallerEnvironment{
        platform ? static_cast<ModalAlert&>(windowedAlert) : terminalAlert,
        platform ? static_cast<ApplicationActivation&>(windowedActivation) : noDisplay,
        nullptr,
        bundle.path(),
        mainQueue,
        timer,
        fileManagers,
        fileTrash,
        gioTrash,
        nautilusTrash,
        inv.environment.configurationHome,
        [&registration] { registration.unregisterBundle(); },
        termination,
        [&serviceMenu] {
            serviceMenu.remove();
            GnomeKeybindingHotKeyService::removeAll();
        },
        isSystemInstall(inv.resources.infoDictionary()),
    }};
    uninstaller.requestUninstall();
    if (!uninstaller.inProgress.get()) return kExitFailure;
    // Back to running after a failure: the command has nothing more to do.
    const Subscription returned = uninstaller.inProgress.subscribe([](bool inProgress) {
        if (!inProgress) QCoreApplication::exit(kExitFailure);
    });
    return QCoreApplication::exec();
}

}  // namespace quillet::cli
