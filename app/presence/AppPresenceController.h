#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Subscription.h"
#include "app/settings/AppPresence.h"
#include "platform/ApplicationWindows.h"
#include "platform/StatusBar.h"
#include "platform/StatusMenu.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

class AppSettings;
class ApplicationLifecycle;
class DesktopCreationController;
class MainQueue;
class QuilletSelfUpdater;

// Everything the presence controller talks to; each must outlive it.
struct AppPresenceEnvironment {
    StatusBar& statusBar;
    ApplicationWindows& windows;
    MainQueue& mainQueue;
    DesktopCreationController& quickCreate;
    // Starts the uninstall flow (asks first).
    std::function<void()> requestUninstall;
    ApplicationLifecycle& lifecycle;
    // QUILLET_UI_TESTING=1: the application keeps a taskbar presence and no tray icon.
    bool uiTesting = false;
};

// Carries out where Quillet+ shows itself: the activation policy, the tray icon and the tray
// menu, rebuilt whole whenever the presence, the enabled types, their order or the updater
// change. The file work is the Quick Create controller's; this only offers the choices.
class AppPresenceController {
public:
    static constexpr const char* kQuickCreateTitle = N_("Quick Create...");
    static constexpr const char* kCreateOnDesktopTitle = N_("Create on Desktop");
    // Filled in with the session's file manager: "Create in Files Folder".
    static constexpr const char* kCreateInFolderTitle = linuxtexts::kCreateInFrontFolderTitle;
    static constexpr const char* kOpenTitle = N_("Open Quillet+");
    static constexpr const char* kUninstallTitle = N_("Uninstall Quillet+...");
    static constexpr const char* kQuitTitle = N_("Quit Quillet+");
    static constexpr const char* kToolTip = "Quillet+";

    explicit AppPresenceController(AppPresenceEnvironment environment);
    ~AppPresenceController();
    AppPresenceController(const AppPresenceController&) = delete;
    AppPresenceController& operator=(const AppPresenceController&) = delete;

    // Once, at launch: attaches the updater, applies the stored presence and follows the
    // settings and the updater from then on.
    void start(AppSettings& settings, QuilletSelfUpdater& updater);
    void applyPresence(AppPresence presence);
    // At exit: drops the subscriptions, detaches the updater and removes the tray icon. The
    // activation policy stays as it was.
    void stop();

    // A new menu of the current types and updater; its items call back into this controller.
    StatusMenu buildStatusMenu();

    // The menu's actions.
    void showQuickCreate();
    void openMainWindow();
    void checkForUpdates();
    void uninstall();
    void quit();
    // Creates the file a menu item names; any other payload is ignored.
    void createFileFromMenu(const std::any& representedObject);

    bool hasStatusItem() const { return statusItem_ != nullptr; }
    // Whether the user can see the tray icon: it exists and the desktop has a tray to show it.
    bool showsTrayIcon() const;

    // The application's last window closed. Without a tray icon nothing would show that
    // Quillet+ still runs, so it quits, as a program in the taskbar does when its window goes.
    void lastWindowClosed();

    // What this desktop offers for `presence`, said under the presence choice: nothing when the
    // choice works as its description says.
    static std::string desktopOfferNote(AppPresence presence, bool trayAvailable);
    static constexpr const char* kNoTrayNote =
        N_("This session has no tray (no StatusNotifier host runs on the session bus), so Quillet+ "
           "shows in the taskbar and quits when you close its window.");
    static constexpr const char* kQuitsOnCloseNote =
        N_("Closing the window quits Quillet+; with the tray icon it keeps running for its shortcuts.");

private:
    StatusMenuItem destinationItem(CreationDestinationMode destination);
    void rebuildMenu();
    // Runs `reaction` on the main queue after the change, unless the controller stopped or
    // went meanwhile.
    std::function<void()> later(std::function<void()> reaction);

    AppPresenceEnvironment environment_;
    std::unique_ptr<StatusItem> statusItem_;
    QuilletSelfUpdater* updater_ = nullptr;
    AppSettings* settings_ = nullptr;
    std::vector<Subscription> cancellables_;
    // Queued reactions hold this weakly; it is replaced at stop so earlier ones do nothing.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

}  // namespace quillet
