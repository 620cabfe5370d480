#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Published.h"
#include "app/quickcreate/CreationDestinations.h"
#include "app/quickcreate/QuickCreatePanelHost.h"
#include "app/shortcuts/GlobalHotKeyManager.h"
#include "shared/logging/Logger.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/paths/FolderPath.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"

namespace quillet {

class AppSettings;
class ApplicationWindows;
class FileViewer;
class HotKeyService;
class MainQueue;
class ModalAlert;
class ScreenLayout;

// The one way a file is created: returns the new file's path or throws the access store's or the
// creation service's error.
using CreateFileWithFolderAccess =
    std::function<std::filesystem::path(const FileTypeDefinition& type, const FolderPath& folder)>;

// Everything the controller talks to; each must outlive it.
struct DesktopCreationEnvironment {
    AppSettings& settings;
    HotKeyService& hotKeyService;
    MainQueue& mainQueue;
    CreateFileWithFolderAccess createFileWithFolderAccess;
    CreationDestinations& destinations;
    FileViewer& fileViewer;
    ModalAlert& alert;
    ApplicationWindows& windows;
    QuickCreatePanelFactory& panelFactory;
    ScreenLayout& screens;
    // How the session names its file manager, for the front folder's title in the panel and
    // the tray menu.
    DesktopWords words;
};

// Creates files from the Quick Create panel, the tray menu and the direct per-type shortcuts:
// resolves the destination, creates with folder access, reports in the status line and the log,
// and shows the new file in the file manager. Owns the panel and the hot key registrations, and
// keeps the hot keys in step with the settings.
class DesktopCreationController {
public:
    static constexpr const char* kLogCategory = "DesktopCreation";
    static constexpr const char* kMainWindowTitle = "Quillet+";
    static constexpr const char* kCreateFailedAlertTitle = N_("Could not create file");

    explicit DesktopCreationController(DesktopCreationEnvironment environment);
    ~DesktopCreationController();
    DesktopCreationController(const DesktopCreationController&) = delete;
    DesktopCreationController& operator=(const DesktopCreationController&) = delete;

    Published<CreationDestinationMode> destinationMode{CreationDestinationMode::desktop};
    Published<std::string> searchText;
    Published<std::optional<std::string>> statusMessage;
    // Installed by the application shell; opens the main window.
    std::function<void()> openMainWindowAction;
    std::vector<Subscription> shortcutCancellables;

    // Registers the hot keys, then follows the settings that decide them.
    void start();
    // Ends the settings subscriptions, unregisters every hot key and hides the panel (at exit).
    void stop();
    // Replaces every registration with the Quick Create shortcut and the usable shortcuts of the
    // enabled types.
    void registerHotKeys();
    // Opens the panel near the pointer with an empty search, no status and the given mode.
    void showQuickCreatePanel(CreationDestinationMode mode);
    // Puts the panel's fields where an opening starts them (the mode, an empty search, no
    // status). Done as the panel is dismissed too, so that the next opening has nothing to redraw.
    void startQuickCreateAfresh(CreationDestinationMode mode);
    // What one creation came to, for a caller that reports it (a launch waiting for its result).
    struct CreationReport {
        std::optional<std::filesystem::path> created;
        std::string statusLine;  // the panel's status for it
        std::string failure;     // why nothing was created
    };
    // Creates in the given mode, or the panel's mode when none is given. Failures end in an alert.
    CreationReport createFile(const FileTypeDefinition& type, std::optional<CreationDestinationMode> mode = std::nullopt);
    // A direct shortcut's type, created in the given destination, else the settings'
    // direct-shortcut destination.
    CreationReport createFile(const std::string& forShortcutTypeID,
                              std::optional<CreationDestinationMode> destination = std::nullopt);
    void openMainWindow();
    // What a press of a hot key does; also reached by a key binding of the desktop that runs the
    // launcher, whose request arrives from another launch.
    void perform(const HotKeyAction& action);

    // The enabled types in the user's order that the trimmed search text finds in their name or
    // extension, ignoring case.
    std::vector<FileTypeDefinition> matchingFileTypes() const;
    // Those of one category: the panel's section for it.
    std::vector<FileTypeDefinition> fileTypes(FileTypeCategory category) const;

    std::filesystem::path desktopFolderURL() const { return environment_.destinations.desktopFolderURL(); }
    AppSettings& settings() const { return environment_.settings; }
    const DesktopWords& words() const { return environment_.words; }
    GlobalHotKeyManager& hotKeyManager() { return hotKeyManager_; }
    // Null until the panel was first shown.
    QuickCreatePanelHost* quickCreatePanel() const { return quickCreatePanel_.get(); }

private:
    // Tells the user why a file could not be created: logged, then the alert in front.
    void failCreation(const std::string& description);

    DesktopCreationEnvironment environment_;
    Logger log_{kAppSubsystem, kLogCategory};
    GlobalHotKeyManager hotKeyManager_;
    std::unique_ptr<QuickCreatePanelHost> quickCreatePanel_;
    // The press being performed, so the panel it opens may take the focus; 0 otherwise.
    uint32_t activationTimestamp_ = 0;
};

}  // namespace quillet
