#include "app/uninstall/AppUninstaller.h"

#include <system_error>

#include "app/quickcreate/DesktopCreationController.h"
#include "app/desktop/FileContentUpdate.h"
#include "shared/text/LinuxTexts.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/ApplicationWindows.h"
#include "platform/MainQueue.h"
#include "platform/MainQueueTimer.h"
#include "shared/Identifiers.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

struct TrashWay {
    const char* name;       // as it appears in the log
    const char* shownName;  // as the failure text names it
    TrashAttempt& (*port)(AppUninstallerEnvironment&);
};

const TrashWay kTrashWays[] = {
    {"FileManager", linuxtexts::kTrashWayQtName,
     [](AppUninstallerEnvironment& e) -> TrashAttempt& { return e.fileManagerTrash; }},
    {"NSWorkspace", linuxtexts::kTrashWayGioName,
     [](AppUninstallerEnvironment& e) -> TrashAttempt& { return e.workspaceTrash; }},
    {"Finder", linuxtexts::kTrashWayFileManagerName,
     [](AppUninstallerEnvironment& e) -> TrashAttempt& { return e.finderTrash; }},
};

// Anything at the path, a dangling link included: a trash request that left it there did not move it.
bool somethingAt(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found && !error;
}

std::filesystem::path withoutTrailingSeparator(std::filesystem::path path) {
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    return path;
}

}  // namespace

AppUninstaller::AppUninstaller(AppUninstallerEnvironment environment) : environment_(std::move(environment)) {}

Alert AppUninstaller::failureAlert(const AppUninstallError& error) {
    return Alert{kFailureMessage, error.description() + "\n\n" + translate(error.recoverySuggestion().c_str()),
                 AlertStyle::warning};
}

void AppUninstaller::requestUninstall() {
    // What cannot be moved to the Trash is said before anything is asked or stopped, so the
    // question never promises what this install cannot do.
    const std::filesystem::path bundle = withoutTrailingSeparator(environment_.runningBundle);
    if (!environment_.systemInstall && bundle.extension() != kBundleExtension) {
        environment_.windows.activateIgnoringOtherApps();
        showError(AppUninstallError::notRunningFromAppBundle(bundle));
        return;
    }

    Alert confirmation{kConfirmationMessage,
                       environment_.systemInstall ? linuxtexts::kSystemInstallUninstallInformativeText
                                                  : kConfirmationInformativeText,
                       AlertStyle::critical};
    confirmation.cancelIsDefault = true;
    const char* const confirmButton =
        environment_.systemInstall ? linuxtexts::kSystemInstallUninstallButton : kUninstallButton;
    if (environment_.alert.runModal(confirmation, {confirmButton, kCancelButton}) != 0) return;

    // Settings changes must not register the hot keys again while the bundle goes away.
    if (environment_.quickCreate) environment_.quickCreate->stop();

    if (environment_.systemInstall) {
        inProgress.set(true);
        environment_.mainQueue.async([this] { removeUserDataOfSystemInstall(); });
        return;
    }
    inProgress.set(true);
    environment_.mainQueue.async([this, bundle] { run(bundle); });
}

void AppUninstaller::run(const std::filesystem::path& bundle) {
    log_.log("Starting uninstall for %{public}s", bundle.string());
    quitFileManagers([this, bundle] { tryTrash(bundle, 0, {}); });
}

void AppUninstaller::removeUserDataOfSystemInstall() {
    // The program, its extension and its system-wide entries stay until the package manager
    // removes them; the file manager keeps the extension, so it is not restarted.
    log_.log("Removing this user's Quillet+ data; the package manager removes the program");
    removeSavedSettings(environment_.configurationHome);
    if (environment_.removeUserIntegrations) environment_.removeUserIntegrations();
    turnOffSystemAutostart(environment_.configurationHome);
    environment_.lifecycle.terminate();
}

void AppUninstaller::quitFileManagers(Continuation next) {
    std::vector<RunningFileManager> instances = environment_.fileManagers.running();
    if (instances.empty()) return next();
    log_.log("Terminating Finder to unload the Finder extension before uninstall");
    for (const auto& instance : instances)
        if (!environment_.fileManagers.terminate(instance)) environment_.fileManagers.forceTerminate(instance);
    pollFileManagers(std::move(instances), 1, std::move(next));
}

void AppUninstaller::pollFileManagers(std::vector<RunningFileManager> instances, int counter, Continuation next) {
    bool allTerminated = true;
    for (const auto& instance : instances) allTerminated = allTerminated && environment_.fileManagers.isTerminated(instance);
    if (allTerminated) return next();
    // About two seconds in all: the last pause is not followed by a check.
    environment_.timer.asyncAfter(kPollInterval, [this, instances = std::move(instances), counter,
                                                  next = std::move(next)]() mutable {
        if (counter == kPollLimit) {
            log_.error("Finder did not terminate before uninstall continued");
            return next();
        }
        pollFileManagers(std::move(instances), counter + 1, std::move(next));
    });
}

void AppUninstaller::tryTrash(const std::filesystem::path& bundle, std::size_t attempt, std::vector<std::string> failures) {
    if (attempt == std::size(kTrashWays)) return failUninstall(AppUninstallError::allTrashAttemptsFailed(std::move(failures)));
    const TrashWay& way = kTrashWays[attempt];
    const bool isFinder = attempt == 2;
    way.port(environment_).trash(bundle, [this, bundle, attempt, failures = std::move(failures), &way,
                                          isFinder](TrashOutcome outcome) mutable {
        std::string failure;
        switch (outcome.status) {
            case TrashOutcome::Status::trashed:
                // Only an empty bundle path proves the move, whatever the request reported.
                if (!somethingAt(bundle)) return finishUninstall(outcome.resultingLocation.value_or(bundle));
                failure = AppUninstallError::trashMoveReportedNoResult(bundle).description();
                break;
            case TrashOutcome::Status::failed:
                failure = outcome.errorDescription;
                if (isFinder)
                    failure = AppUninstallError::appleScriptFailed(failure.empty() ? kFinderScriptFailedMessage : failure)
                                  .description();
                break;
            case TrashOutcome::Status::notPrepared:
                failure = isFinder ? AppUninstallError::appleScriptCreationFailed().description()
                                   : outcome.errorDescription;
                break;
        }
        failures.push_back(std::string(translate(way.shownName)) + ": " + failure);
        log_.error(std::string(way.name) + " trash attempt failed: %{public}s", failure);
        tryTrash(bundle, attempt + 1, std::move(failures));
    });
}

void AppUninstaller::finishUninstall(const std::filesystem::path& location) {
    log_.log("Moved Quillet+ to Trash at %{public}s", location.string());
    removeSavedSettings(environment_.configurationHome);
    if (environment_.removeRegistration) environment_.removeRegistration();
    if (environment_.removeUserIntegrations) environment_.removeUserIntegrations();
    environment_.fileManagers.relaunch();
    environment_.lifecycle.terminate();
}

void AppUninstaller::failUninstall(const AppUninstallError& error) {
    log_.error("Uninstall failed: %{public}s", error.description());
    environment_.fileManagers.relaunch();
    environment_.windows.activateIgnoringOtherApps();
    showError(error);
    // Running on as before: the hot keys come back and follow the settings again.
    if (environment_.quickCreate) environment_.quickCreate->start();
    inProgress.set(false);
}

void AppUninstaller::showError(const AppUninstallError& error) { environment_.alert.runModal(failureAlert(error)); }

void AppUninstaller::turnOffSystemAutostart(const std::optional<std::filesystem::path>& configurationHome) {
    if (!configurationHome) return;
    const auto entry = *configurationHome / "autostart" / (std::string(kBundleIdentifier) + ".desktop");
    std::error_code error;
    if (std::filesystem::symlink_status(entry, error).type() != std::filesystem::file_type::not_found) return;
    updateFileContent(entry, "[Desktop Entry]\nType=Application\nName=Quillet+\nExec=quillet\nHidden=true\n");
}

void AppUninstaller::removeSavedSettings(const std::optional<std::filesystem::path>& configurationHome) {
    if (auto shared = DefaultsSuite::open(configurationHome, DefaultsSuite::kSharedSuiteName))
        shared->removePersistentDomain();
    // The application's own domain exists only if it was ever needed; opening it would make one.
    if (const auto folder = DefaultsSuite::containerDirectory(configurationHome, DefaultsSuite::kStandardDomainName)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(*folder / DefaultsSuite::kDatabaseFileName, error))
            if (auto standard = DefaultsSuite::open(configurationHome, DefaultsSuite::kStandardDomainName))
                standard->removePersistentDomain();
    }
    if (const auto container = DefaultsSuite::containerDirectory(configurationHome, DefaultsSuite::kSharedSuiteName)) {
        std::error_code error;
        std::filesystem::remove_all(*container, error);
    }
}

}  // namespace quillet
