#include "programs/quillet-app/Application.h"

#include <QApplication>
#include <QDBusConnection>
#include <QStandardPaths>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <chrono>
#include <optional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/access/SecurityScopedFolderAccess.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "programs/quillet-app/QtProgram.h"
#include "programs/quillet-app/UninstallerParts.h"
#include "app/creation/FolderAccessCreation.h"
#include "app/quickcreate/CreationDestinations.h"
#include "app/quickcreate/DesktopCreationController.h"
#include "app/requests/CreateRequestHandler.h"
#include "app/access/FolderAccessSetupModel.h"
#include "app/settings/FileTypesListModel.h"
#include "app/shortcuts/ShortcutSettingsModel.h"
#include "app/windows/CreationGuideModel.h"
#include "app/windows/DisplayVersion.h"
#include "app/windows/OnboardingModel.h"
#include "gui/access/FolderAccessSetupView.h"
#include "gui/quickcreate/QuickCreatePanelWindow.h"
#include "gui/settings/FileTypesListView.h"
#include "gui/shortcuts/ShortcutSettingsView.h"
#include "app/desktop/ExtensionSettingsOpener.h"
#include "gui/windows/AppWindows.h"
#include "gui/windows/CreationGuideView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/HelpView.h"
#include "gui/windows/OnboardingView.h"
#include "gui/windows/UninstallView.h"
#include "gui/windows/ViewWithModel.h"
#include "gui/shell/QtStatusBar.h"
#include "app/settings/AppSettings.h"
#include "app/settings/SettingNotSavedError.h"
#include "app/settings/SettingsChangeWatcher.h"
#include "app/settings/UserTemplatesWatcher.h"
#include "app/presence/AppPresenceController.h"
#include "shared/settings/DefaultsSuite.h"
#include "app/uninstall/AppUninstaller.h"
#include "app/instance/ApplicationBundle.h"
#include "app/desktop/BundleRegistration.h"
#include "app/desktop/FileManagerMenuPresence.h"
#include "app/desktop/FileManagerMenusUpdater.h"
#include "app/shortcuts/FallbackHotKeyService.h"
#include "app/shortcuts/HotKeyWay.h"
#include "app/instance/InstanceRequest.h"
#include "app/update/QuilletSelfUpdater.h"
#include "app/instance/SingleInstanceLock.h"
#include "app/update/SoftwareUpdateController.h"
#include "platform/posix/NewFileWriter.h"
#include "platform/posix/ResourceBundle.h"
#include "shared/logging/Logger.h"
#include "platform/linux/DBusFileViewer.h"
#include "platform/linux/DesktopTray.h"
#include "platform/linux/FileManagerFrontFolder.h"
#include "platform/linux/OnDemandUpdateAdapters.h"
#include "platform/linux/QtApplicationLifecycle.h"
#include "platform/linux/QtApplicationWindows.h"
#include "platform/linux/QtFolderPanel.h"
#include "platform/linux/QtInstanceListener.h"
#include "platform/linux/QtLongWork.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtMainQueueTimer.h"
#include "platform/linux/QtModalAlert.h"
#include "platform/linux/QtReadableDescriptors.h"
#include "platform/linux/QtScreenLayout.h"
#include "platform/linux/QtURLOpener.h"
#include "platform/linux/QtUpdateUserDriver.h"
#include "platform/linux/GnomeKeybindingHotKeyService.h"
#include "platform/linux/PortalHotKeyService.h"
#include "platform/linux/X11HotKeyService.h"
#include "platform/posix/UnavailableHotKeyService.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "platform/posix/FolderChangeNotifier.h"
#include "platform/posix/InstanceSocket.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

// SIGTERM and SIGINT end the event loop through this pipe, so the exit path (hot keys released,
// panel hidden) runs as after any other quit.
int quitPipe[2] = {-1, -1};

void requestQuit(int) {
    const char byte = 'q';
    [[maybe_unused]] auto written = ::write(quitPipe[1], &byte, 1);
}

void installQuitSignals(QCoreApplication& application) {
    if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [] {
        char buffer[16];
        while (::read(quitPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = requestQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// What the session offers for holding keys system-wide. The bus and the schemas are asked only
// in a Wayland session; an X11 session grabs keys as always.
HotKeySession hotKeySessionOf(const UserEnvironment& environment) {
    HotKeySession session{environment.sessionType, environment.waylandDisplay, environment.currentDesktop};
    if (isWaylandSession(session)) {
        session.portalOffered = PortalHotKeyService::isOffered(QDBusConnection::sessionBus());
        session.gnomeKeybindingsInstalled = GnomeKeybindingHotKeyService::isAvailable();
    }
    return session;
}

// The session's words, and whether it shows a tray, asked as the presence asks it. Without a
// display there is none.
DesktopWords desktopWordsOf(const UserEnvironment& environment) {
    DesktopWords words = DesktopWords::forDesktop(environment.currentDesktop);
    words.hasTray = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
                    QGuiApplication::platformName() != QLatin1String("offscreen") &&
                    desktopShowsTray(QDBusConnection::sessionBus());
    return words;
}

std::unique_ptr<HotKeyService> makeHotKeyService(const HotKeySession& session, HotKeyWay way, MainQueue& mainQueue,
                                                 const ApplicationBundle& bundle) {
    Logger(kAppSubsystem, "GlobalHotKey").log("Global shortcuts through %{public}s", hotKeyWayName(way));
    switch (way) {
        case HotKeyWay::x11: return std::make_unique<X11HotKeyService>();
        case HotKeyWay::portal: {
            auto portal = std::make_unique<PortalHotKeyService>(QDBusConnection::sessionBus());
            if (!hasKeybindingFallback(session)) return portal;
            // On GNOME the portal may be another desktop's backend whose session fails there:
            // the custom key bindings then hold the shortcuts.
            return std::make_unique<FallbackHotKeyService>(
                std::move(portal), std::string(hotKeyWayName(HotKeyWay::portal)), [](int status) { return status == PortalHotKeyService::kPortalFailedErr; },
                [&mainQueue, executable = bundle.executable()] {
                    return std::make_unique<GnomeKeybindingHotKeyService>(executable, mainQueue);
                },
                std::string(hotKeyWayName(HotKeyWay::gnomeKeybindings)));
        }
        case HotKeyWay::gnomeKeybindings:
            return std::make_unique<GnomeKeybindingHotKeyService>(bundle.executable(), mainQueue);
        case HotKeyWay::unavailable: break;
    }
    return std::make_unique<UnavailableHotKeyService>(unavailableReason(session));
}

// The long-lived parts, declared in launch order and so released in the reverse order.
struct Parts {
    Parts(const UserEnvironment& environment, const ResourceBundle& resources, const ApplicationBundle& bundle)
        : environment(environment), resources(resources), bundle(bundle) {
        // A setting the suite refuses is told in one alert, from whichever window or menu changed
        // it; a lock another program holds is waited out on the event loop, windows responsive.
        settings.saver().waitForLocksOn(timer);
        settings.saver().reportFailuresTo([this](const SettingNotSavedError& error) {
            mainQueue.async([this, shown = settingNotSavedAlert(error)] { alert.runModal(shown); });
        });
    }

    const UserEnvironment& environment;
    const ResourceBundle& resources;
    const ApplicationBundle& bundle;
    // The information dictionary, read once: the updater and the windows' version line use it.
    const nlohmann::json info = resources.infoDictionary();
    const std::string shownVersion = versionLine(shortVersion(info));
    // This application's windows on the desktop, and how it ends.
    QtApplicationWindows applicationWindows;
    QtApplicationLifecycle lifecycle;
    QtFolderPanel folderPanel;
    QtModalAlert alert;
    QtURLOpener urlOpener;
    DBusFileViewer fileViewer{QDBusConnection::sessionBus(), urlOpener};
    QtMainQueue mainQueue;
    FileManagerFrontFolder frontFolder{desktopSessionAddresses(environment)};
    QtScreenLayout screens;
    QuickCreatePanelWindowFactory panelFactory{applicationWindows, screens};
    // How this session names its file manager, and whether it shows a tray, for every text that
    // mentions them.
    const DesktopWords words = desktopWordsOf(environment);
    const HotKeySession hotKeySession = hotKeySessionOf(environment);
    const HotKeyWay hotKeyWay = chooseHotKeyWay(hotKeySession);
    std::unique_ptr<HotKeyService> hotKeyService = makeHotKeyService(hotKeySession, hotKeyWay, mainQueue, bundle);

    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openShared(environment.configurationHome);
    // The first launch puts the icon in the tray where the desktop has one; elsewhere the
    // taskbar is the one place Quillet+ can show.
    AppSettings settings{*suite, desktopShowsTray(QDBusConnection::sessionBus()) ? AppPresence::menuBarOnly
                                                                                : AppPresence::dockOnly};
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    SecurityScopedFolderAccess access{*suite, bookmarks, displayNames, &folderPanel, &applicationWindows};
    // The user's Templates folder, found once; what it holds is read as it changes.
    const UserTemplates templates{environment.templatesFolder()};
    // A large template is copied off the main thread, so the panel and the tray stay alive.
    QtLongWork longWork;
    NewFileWriter fileWriter = [&] {
        NewFileWriter writer{resources, std::make_shared<AmbientScopedAccess>()};
        writer.setTemplates(templates);
        writer.setLongWork(&longWork);
        return writer;
    }();
    FolderAccessCreation creation{access, fileWriter, environment};
    SystemCreationDestinations destinations{frontFolder, environment};
    DesktopCreationController controller{DesktopCreationEnvironment{
        settings,
        *hotKeyService,
        mainQueue,
        [this](const FileTypeDefinition& type, const FolderPath& folder) {
            return creation.createFileWithFolderAccess(type, folder);
        },
        destinations,
        fileViewer,
        alert,
        applicationWindows,
        panelFactory,
        screens,
        words,
    }};

    // The links the desktop hands over: to a later launch of "quillet URL" while this instance
    // runs, as the command line handles them when none does.
    CreateRequestHandler requests{creation, alert, fileViewer, applicationWindows, mainQueue};

    // Updating exists only when the information dictionary names a secure feed and a key; the
    // engine is then built once, for the life of the process. Its download, signature and
    // archive adapters are loaded with their libraries only when a check first needs them.
    OnDemandUpdateAdapters updateAdapters{OnDemandUpdateAdapters::installedBeside(executablePath())};
    QtUpdateUserDriver updateDriver;
    QuilletSelfUpdater updater{
        QuilletSelfUpdateConfiguration::fromInfoDictionary(info),
        [this](const QuilletSelfUpdateConfiguration& configuration) {
            return std::make_unique<SoftwareUpdateController>(SoftwareUpdateEnvironment{
                updateAdapters, updateAdapters, updateAdapters, updateDriver, lifecycle, mainQueue,
                configuration.feedURL.value_or(""), configuration.publicEDKey.value_or(""),
                info.value("CFBundleShortVersionString", ""),
                bundle.installedBundle()});
        }};

    // The uninstaller: the status menu, the application menu and the main window all reach
    // this one.
    QtMainQueueTimer timer;
    UninstallerParts uninstallerParts{bundle, environment};
    // The "Create File" menus of Dolphin and PCManFM-Qt, following the offered types.
    FileManagerMenusUpdater fileManagerMenusUpdater{uninstallerParts.fileManagerMenus(), settings, mainQueue};
    AppUninstaller uninstaller{uninstallerParts.uninstallerEnvironment(alert, applicationWindows, &controller, mainQueue,
                                                                        timer, lifecycle, isSystemInstall(info))};

    // The tray icon and its menu, and whether the windows are listed in the taskbar.
    QtStatusBar statusBar{[] { return desktopShowsTray(QDBusConnection::sessionBus()); },
                          [this] {
                              return trayRecoloursSymbolicIcons(environment.currentDesktop,
                                                                QDBusConnection::sessionBus());
                          }};
    AppPresenceController presence{AppPresenceEnvironment{statusBar, applicationWindows, mainQueue, controller,
                                                          [this] { uninstaller.requestUninstall(); }, lifecycle,
                                                          environment.uiTesting}};

    // Settings the command line writes while the application runs reach every part above. The
    // suite's folder and the Templates folder wake the application only when they change.
    QtReadableDescriptors readableDescriptors;
    SettingsChangeWatcher settingsWatcher{settings, timer, &readableDescriptors};
    UserTemplatesWatcher templatesWatcher{settings, templates, timer, &readableDescriptors};

    // The main window (its cards built afresh for each window) and the help window.
    AppWindows windows{settings, shownVersion, [this] { return contentParts(); },
                       AppWindows::Help{[this](QWidget* parent) -> QWidget* {
                                            return new HelpView(shownVersion, words, whereTheMenuIs(), parent);
                                        },
                                        [](QWidget* page) { static_cast<HelpView*>(page)->scrollToExtensionSection(); }},
                       AppMenuActions{updater.configuration.isConfigured() ? &updater : nullptr,
                                      [this] { uninstaller.requestUninstall(); }, [this] { lifecycle.terminate(); },
                                      [this] { applicationWindows.activateIgnoringOtherApps(); },
                                      [this] { presence.lastWindowClosed(); }}};

    static std::optional<std::string> shortVersion(const nlohmann::json& info) {
        const auto found = info.find("CFBundleShortVersionString");
        if (found == info.end() || !found->is_string()) return std::nullopt;
        return found->get<std::string>();
    }

    // No desktop has a settings page for file manager extensions; the help window's section on
    // the extension takes its place.
    ExtensionSettingsOpener extensionSettings{
        urlOpener, ExtensionSettingsOpener::settingsURLForDesktop(environment.currentDesktop),
        [this] { windows.openExtensionHelp(); }};

    // Where the file managers' menu is on this machine, looked at whenever a window shows it.
    std::string whereTheMenuIs() const {
        const auto installed = [](std::string_view program) {
            return !QStandardPaths::findExecutable(QString::fromUtf8(program.data(), qsizetype(program.size()))).isEmpty();
        };
        return fileManagerMenuSummary(
            fileManagerMenuPresence({systemLibraryFolders(), uninstallerParts.fileManagerMenus(), installed}));
    }

    // Each view built here gets a model of its own, which goes when the view goes: a main window
    // opened again starts afresh (no status line left over from the last one, the walkthrough on
    // its first page).
    ContentViewParts contentParts() {
        ContentViewParts parts;
        parts.cards.push_back([this](QWidget* parent) -> QWidget* {
            return new ExtensionStatusView([this] { extensionSettings.open(); }, whereTheMenuIs(), parent);
        });
        parts.cards.push_back([this](QWidget* parent) -> QWidget* {
            return makeViewWithModel<CreationGuideView>(std::make_unique<CreationGuideModel>(settings, words), parent);
        });
        parts.cards.push_back([this](QWidget* parent) -> QWidget* {
            return makeViewWithModel<FolderAccessSetupView>(
                std::make_unique<FolderAccessSetupModel>(
                    access, displayNames, FolderAccessLocations::fromEnvironment(environment), environment.sandboxed),
                parent);
        });
        parts.cards.push_back([this](QWidget* parent) -> QWidget* {
            // While a recorder records, Quillet+'s own hot keys are released, so the
            // combination they hold can be recorded.
            return makeViewWithModel<ShortcutSettingsView>(
                std::make_unique<ShortcutSettingsModel>(settings, hotKeyWay != HotKeyWay::unavailable, words,
                                                        &controller.hotKeyManager().wayFailure),
                [this] { return controller.hotKeyManager().suspend(); }, parent);
        });
        parts.cards.push_back([this](QWidget* parent) -> QWidget* {
            return new UninstallView([this] { uninstaller.requestUninstall(); }, words, parent);
        });
        parts.fileTypes = [this](QWidget* parent) -> QWidget* {
            return makeViewWithModel<FileTypesListView>(std::make_unique<FileTypesListModel>(settings), parent);
        };
        parts.presenceNote = [this](AppPresence presence) {
            return AppPresenceController::desktopOfferNote(presence, statusBar.isTrayAvailable());
        };
        parts.onboarding = [this](std::function<void()> onFinish, QWidget* parent) -> QWidget* {
            return makeViewWithModel<OnboardingView>(
                std::make_unique<OnboardingModel>(settings, std::move(onFinish), words),
                                                     parent);
        };
        return parts;
    }
};

}  // namespace

namespace {

// What a launch asked for, carried out in this instance.
InstanceResult perform(Parts& parts, const InstanceRequest& request) {
    switch (request.kind) {
        case InstanceRequest::Kind::activate: parts.controller.openMainWindow(); break;
        case InstanceRequest::Kind::quickCreate:
            parts.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
            break;
        case InstanceRequest::Kind::checkForUpdates:
            if (!parts.updater.configuration.isConfigured()) {
                Logger(kAppSubsystem, "Lifecycle").log("Updating is not configured in this build");
            }
            parts.updater.checkForUpdates();
            break;
        case InstanceRequest::Kind::openURL: {
            // What "quillet URL" prints in its own process.
            const OpenURLOutcome outcome = parts.requests.handleOpenURL(request.url, request.requester);
            if (outcome.kind == OpenURLOutcome::Kind::created)
                return {InstanceResult::Kind::created, outcome.createdFile.string() + "\n"};
            if (outcome.kind == OpenURLOutcome::Kind::failed)
                return {InstanceResult::Kind::failed, CreateRequestHandler::kFailureMessage};
            break;
        }
        case InstanceRequest::Kind::createFile: {
            // A key binding of the desktop: the same road as a press of the direct shortcut, and
            // what "quillet create TYPE --destination D" prints in its own process.
            const auto report = parts.controller.createFile(request.typeID, request.destination);
            if (!report.created) return {InstanceResult::Kind::failed, report.failure};
            return {InstanceResult::Kind::created, report.created->string() + "\n" + report.statusLine + "\n"};
        }
    }
    return {InstanceResult::Kind::done, {}};
}

// A message from a later launch. It is answered at once and carried out from the main queue, so
// the launch never waits on an alert or an access prompt; a launch that waits for the result gets
// it when the request is done, or "pending" once kInstanceResultWait has passed.
QtInstanceListener::Answer receiveLaunchRequest(Parts& parts, std::string_view message,
                                                const QtInstanceListener::Reply& reply) {
    const Logger log(kAppSubsystem, "Instance");
    const auto request = decodeInstanceRequest(message);
    if (!request) {
        log.error("Dropped a message from another launch that is not a request");
        return QtInstanceListener::Answer::refused;
    }
    log.log("Request from another launch: %{public}s", instanceRequestVerb(request->kind));
    if (!request->wantsResult) {
        parts.mainQueue.async([&parts, request = *request] { perform(parts, request); });
        return QtInstanceListener::Answer::accepted;
    }
    QTimer::singleShot(kInstanceResultWait, QCoreApplication::instance(),
                       [reply] { reply(encodeInstanceResult({InstanceResult::Kind::pending, {}})); });
    parts.mainQueue.async([&parts, request = *request, reply] { reply(encodeInstanceResult(perform(parts, request))); });
    return QtInstanceListener::Answer::later;
}

// Hands this launch's request to the instance that holds the lock. Right after that instance
// started, its socket may not be listening yet; it is tried again for a few seconds.
int forwardToHolder(const std::filesystem::path& socket, InstanceRequest request) {
    using Status = instance_socket::SendResult::Status;
    request.wantsResult = canWaitForResult(request.kind);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const auto result = forwardToRunningInstance(socket, request);
        if (result.status == Status::accepted) return reportForwardedAnswer(result, std::cout, std::cerr);
        if (result.status != Status::noInstance || std::chrono::steady_clock::now() > deadline) {
            std::cerr << translate(kAlreadyRunningMessage) << "\n";
            if (!result.error.empty()) std::cerr << "quillet: " << result.error << "\n";
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// How often the instance checks that its socket and lock are still where launches look.
constexpr int kInstanceFilesCheckMilliseconds = 2000;

// One run of the application while it holds the single-instance lock. Returns the exit status,
// and what to start in this instance's place when an update asked for a relaunch.
int runInstance(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources,
                const ApplicationLaunchOptions& options, std::optional<std::filesystem::path>& relaunch) {
    const Logger log(kAppSubsystem, "Lifecycle");
    const auto socketPath = instance_socket::pathFor(environment.runtimeDirectory, environment.temporaryDirectory);
    SingleInstanceLock lock(SingleInstanceLock::pathFor(environment));
    switch (lock.acquire()) {
        case SingleInstanceLock::Outcome::acquired: break;
        case SingleInstanceLock::Outcome::heldElsewhere: return forwardToHolder(socketPath, options.request);
        case SingleInstanceLock::Outcome::failed:
            std::cerr << "quillet: " << lock.error() << "\n";
            return 1;
    }
    // Listening before the toolkit starts: a launch made meanwhile waits in the socket's queue
    // and is answered once the event loop runs.
    instance_socket::Listener socket(socketPath);
    if (!socket.listen()) log.error("Later launches cannot reach this instance: %{public}s", socket.error());

    // Run from a per-user bundle, it makes itself the desktop's Quillet+ (entry, icon,
    // quillaxe: handler and start at login), re-pointed at wherever the bundle now is.
    const ApplicationBundle bundle = ApplicationBundle::containing(executablePath());
    BundleRegistration(bundle, environment).registerBundle();

    // A display Qt can use, else Qt's window-less platform: the application still runs (and
    // says so), only without windows or hot keys.
    QtProgram qt(std::vector<std::string>(argv, argv + argc), environment, resources,
                 QtProgram::Start::windows);
    if (!qt.hasDisplay()) log.error("No display available; running without windows or hot keys");
    QCoreApplication& application = *QCoreApplication::instance();
    installQuitSignals(application);

    auto parts = std::make_unique<Parts>(environment, resources, bundle);
    parts->presence.start(parts->settings, parts->updater);
    // Everything that asks for the main window (the tray, a later launch, the panel) opens it.
    parts->controller.openMainWindowAction = [&parts] { parts->windows.openMainWindow(); };
    parts->controller.start();
    parts->settingsWatcher.start();
    parts->templatesWatcher.start();
    // An installed program keeps the file managers' menus; a build tree's leaves the installed ones
    // alone.
    if (bundle.isAppBundle() || isSystemInstall(parts->info)) parts->fileManagerMenusUpdater.start();
    std::unique_ptr<QtInstanceListener> launches;
    const auto serveLaunches = [&] {
        launches.reset();
        if (socket.fd() >= 0)
            launches = std::make_unique<QtInstanceListener>(
                socket, [&parts](std::string_view message, const QtInstanceListener::Reply& reply) {
                    return receiveLaunchRequest(*parts, message, reply);
                });
    };
    serveLaunches();
    // Some session managers empty the runtime folder under running programs: the socket and the
    // lock are put back at once, so later launches reach this instance rather than start another.
    // The folder is watched, so the check runs when something in it changes; it runs every two
    // seconds only while something could not be put back, or where the folder cannot be watched.
    QTimer keepInstanceFiles;
    keepInstanceFiles.setInterval(kInstanceFilesCheckMilliseconds);
    FolderChangeNotifier instanceFolder;
    bool instanceFilesMissing = false;  // said once, tried again at every check
    const auto checkInstanceFiles = [&] {
        // Watched again each time, as the folder itself may have been made anew, and before the
        // look, so a removal just after it still raises an event (putting the files back raises
        // one too, whose look then finds them in place).
        const bool watched = instanceFolder.watch({socketPath.parent_path()}) == 1;
        const bool socketGone = !socket.isInPlace();
        const bool lockGone = !lock.isInPlace();
        if (!socketGone && !lockGone) {
            instanceFilesMissing = false;
        } else {
            if (!instanceFilesMissing) log.error("The instance's socket or lock was removed; putting them back");
            if (lockGone && lock.acquireAgain() != SingleInstanceLock::Outcome::acquired && !instanceFilesMissing)
                log.error("Could not take the single-instance lock again: %{public}s", lock.error());
            if (socketGone) {
                launches.reset();
                if (!socket.listenAgain() && !instanceFilesMissing)
                    log.error("Later launches cannot reach this instance: %{public}s", socket.error());
                serveLaunches();
            }
            instanceFilesMissing = true;
        }
        if (watched && !instanceFilesMissing) keepInstanceFiles.stop();
        else if (!keepInstanceFiles.isActive()) keepInstanceFiles.start();
    };
    QObject::connect(&keepInstanceFiles, &QTimer::timeout, checkInstanceFiles);
    std::unique_ptr<ReadableDescriptors::Watch> instanceFolderEvents;
    if (instanceFolder.fd() >= 0)
        instanceFolderEvents = parts->readableDescriptors.whenReadable(instanceFolder.fd(), [&] {
            if (instanceFolder.takeChanges()) checkInstanceFiles();
        });
    checkInstanceFiles();
    log.log("Quillet+ started (platform %{public}s)", QGuiApplication::platformName().toStdString());
    // A plain launch opens the main window, unless Quillet+ lives in the tray and the welcome
    // walkthrough was done (as when it starts at login); what else it asked for is done now.
    const bool trayOnly = parts->presence.showsTrayIcon();
    if (options.request.kind != InstanceRequest::Kind::activate ||
        !(trayOnly && parts->settings.hasCompletedOnboarding.get())) {
        parts->mainQueue.async([&parts, request = options.request] { perform(*parts, request); });
    }

    // Start-up leaves freed memory in the heap; a resident utility hands it back once settled.
    QTimer::singleShot(2000, &application, [] { ::malloc_trim(0); });

    const int status = application.exec();

    // No launch is taken any more; one made from here on starts the next instance.
    instanceFolderEvents.reset();
    launches.reset();
    parts->controller.stop();
    parts->presence.stop();
    relaunch = parts->lifecycle.pendingRelaunch();
    parts.reset();
    log.log("Quillet+ stopped");
    return status;
}

}  // namespace

int runApplication(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources,
                   const ApplicationLaunchOptions& options) {
    std::optional<std::filesystem::path> relaunch;
    const int status = runInstance(argc, argv, environment, resources, options, relaunch);
    if (!relaunch) return status;
    // The lock is free now, so the new version starts as the one instance. It runs in this
    // process, which keeps the place the desktop started it in (session, parent, environment).
    const Logger log(kAppSubsystem, "Lifecycle");
    log.log("Relaunching %{public}s", relaunch->string());
    std::string program = relaunch->string();
    char* const newArgv[] = {program.data(), nullptr};
    ::execv(program.c_str(), newArgv);
    log.error("Could not relaunch %{public}s: %{public}s", program, std::string(std::strerror(errno)));
    return 1;
}

}  // namespace quillet
