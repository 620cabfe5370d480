#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/observation/Published.h"
#include "app/uninstall/AppUninstallError.h"
#include "platform/ModalAlert.h"
#include "platform/RunningFileManagers.h"
#include "platform/TrashAttempt.h"
#include "shared/logging/Logger.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

class ApplicationLifecycle;
class ApplicationWindows;
class DesktopCreationController;
class MainQueue;
class MainQueueTimer;

// Everything the uninstaller talks to; each must outlive it.
struct AppUninstallerEnvironment {
    ModalAlert& alert;
    ApplicationWindows& windows;
    // The Quick Create controller whose hot keys and panel stop first; null where none runs
    // (the command line).
    DesktopCreationController* quickCreate;
    // The application bundle the running executable belongs to: the folder two levels above it.
    std::filesystem::path runningBundle;
    MainQueue& mainQueue;
    MainQueueTimer& timer;
    RunningFileManagers& fileManagers;
    // The three ways of trashing the bundle, in the order they are tried.
    TrashAttempt& fileManagerTrash;
    TrashAttempt& workspaceTrash;
    TrashAttempt& finderTrash;
    // Where the settings suites live (see DefaultsSuite); nothing when there is no home.
    std::optional<std::filesystem::path> configurationHome;
    // Removes what the bundle registered with the desktop (its entries and icon); runs once the
    // bundle is in the Trash and the settings are gone.
    std::function<void()> removeRegistration = [] {};
    ApplicationLifecycle& lifecycle;
    // Removes what the running application keeps for this user wherever it is installed (the
    // Dolphin menu, GNOME key bindings); runs once the settings are gone, in a system install too.
    std::function<void()> removeUserIntegrations = [] {};
    // Installed for all users by the system's package manager (the information dictionary says
    // so): the program is the package manager's to remove, only the user's own data is ours.
    bool systemInstall = false;
};

// Removes Quillet+ on request: stops its hot keys, quits the file manager so it lets go of the
// extension in the bundle, moves the bundle to the Trash (three ways, in order), deletes the
// saved settings and the shared container, starts the file manager again and ends the
// application. Files the user created are never touched. Everything runs on the main thread;
// the waits (for the file manager to quit, for a trash request) are asynchronous on its event
// loop.
class AppUninstaller {
public:
    static constexpr const char* kLogCategory = "Uninstall";
    static constexpr const char* kConfirmationMessage = N_("Uninstall Quillet+?");
    static constexpr const char* kConfirmationInformativeText = linuxtexts::kUninstallInformativeText;
    static constexpr const char* kUninstallButton = N_("Uninstall");
    static constexpr const char* kCancelButton = N_("Cancel");
    static constexpr const char* kFailureMessage = N_("Could not uninstall Quillet+");
    static constexpr const char* kBundleExtension = ".app";
    static constexpr std::chrono::nanoseconds kPollInterval{100'000'000};
    static constexpr int kPollLimit = 20;
    static constexpr const char* kFinderScriptFailedMessage = linuxtexts::kFileManagerTrashFailed;

    explicit AppUninstaller(AppUninstallerEnvironment environment);
    AppUninstaller(const AppUninstaller&) = delete;
    AppUninstaller& operator=(const AppUninstaller&) = delete;

    // The one entry of the menus and the uninstall view. Asks first; everything it reports
    // goes to alerts and the log.
    void requestUninstall();

    // True from the moment the bundle check passed until the flow either ended the application
    // or, after a failure, returned to running.
    Published<bool> inProgress{false};

    // The alert that reports an error: the fixed message, the error's description and its
    // recovery suggestion.
    static Alert failureAlert(const AppUninstallError& error);
    // The settings the application saved: the shared suite, its own domain and the shared
    // container. Errors are ignored: what can be removed is.
    static void removeSavedSettings(const std::optional<std::filesystem::path>& configurationHome);
    // Keeps the system's autostart entry from starting Quillet+ at this user's next login: a
    // turned-off entry of the same name in <configuration home>/autostart, written only where
    // the user has no file of that name.
    static void turnOffSystemAutostart(const std::optional<std::filesystem::path>& configurationHome);

private:
    using Continuation = std::function<void()>;
    void run(const std::filesystem::path& bundle);
    void removeUserDataOfSystemInstall();
    void quitFileManagers(Continuation next);
    void pollFileManagers(std::vector<RunningFileManager> instances, int counter, Continuation next);
    void tryTrash(const std::filesystem::path& bundle, std::size_t attempt, std::vector<std::string> failures);
    void finishUninstall(const std::filesystem::path& location);
    void failUninstall(const AppUninstallError& error);
    void showError(const AppUninstallError& error);

    AppUninstallerEnvironment environment_;
    Logger log_{kAppSubsystem, kLogCategory};
};

}  // namespace quillet
