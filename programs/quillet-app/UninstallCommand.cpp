#include <QCoreApplication>

#include <string>

#include <nlohmann/json.hpp>

#include "app/instance/ApplicationBundle.h"
#include "app/uninstall/AppUninstaller.h"
#include "platform/linux/QtApplicationLifecycle.h"
#include "platform/linux/QtApplicationWindows.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtMainQueueTimer.h"
#include "platform/linux/QtModalAlert.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/ResourceBundle.h"
#include "platform/posix/StderrModalAlert.h"
#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/QtProgram.h"
#include "programs/quillet-app/UninstallerParts.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

// The uninstaller on its own, as the application's menus run it: with a display the questions
// are message boxes, without one they are asked on the terminal. The bundle is the one this
// executable belongs to. Exits 0 once the bundle is in the Trash and the settings are gone, 1
// when the user cancelled or the uninstall failed (the alert said why).
int uninstallCommand(Invocation& inv) {
    if (!inv.args.empty()) return usageError(inv, N_("uninstall takes no arguments"));

    // Timers, bus replies and queued work all need an event loop, with or without windows.
    const QtProgram qt({"quillet"}, inv.environment, inv.resources, QtProgram::Start::windowsElseEventLoop);

    QtApplicationWindows windowedWindows;
    NoDisplayApplication noDisplay;
    QtModalAlert windowedAlert;
    StderrModalAlert terminalAlert;
    QtMainQueue mainQueue;
    QtMainQueueTimer timer;
    QtApplicationLifecycle lifecycle;

    const ApplicationBundle bundle = ApplicationBundle::containing(executablePath());
    UninstallerParts parts(bundle, inv.environment);
    AppUninstaller uninstaller{parts.uninstallerEnvironment(
        qt.hasDisplay() ? static_cast<ModalAlert&>(windowedAlert) : terminalAlert,
        qt.hasDisplay() ? static_cast<ApplicationWindows&>(windowedWindows) : noDisplay, nullptr, mainQueue,
        timer, lifecycle, isSystemInstall(inv.resources.infoDictionary()))};
    uninstaller.requestUninstall();
    if (!uninstaller.inProgress.get()) return kExitFailure;
    // Back to running after a failure: the command has nothing more to do.
    const Subscription returned = uninstaller.inProgress.subscribe([](bool inProgress) {
        if (!inProgress) QCoreApplication::exit(kExitFailure);
    });
    return QCoreApplication::exec();
}

}  // namespace quillet::cli
