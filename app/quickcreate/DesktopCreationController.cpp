#include "app/quickcreate/DesktopCreationController.h"

#include <algorithm>
#include <stdexcept>

#include "app/settings/AppSettings.h"
#include "platform/ApplicationWindows.h"
#include "shared/text/CaseFolding.h"
#include "shared/paths/FilePaths.h"
#include "platform/FileViewer.h"
#include "platform/ModalAlert.h"
#include "shared/errors/UserFacingError.h"
#include "platform/ScreenLayout.h"
#include "app/quickcreate/QuickCreatePanelPlacement.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/text/Translation.h"

namespace quillet {

DesktopCreationController::DesktopCreationController(DesktopCreationEnvironment environment)
    : environment_(std::move(environment)),
      hotKeyManager_(environment_.hotKeyService, environment_.mainQueue,
                     [this](const HotKeyAction& action) { perform(action); },
                     [this](const HotKeyAction& action) -> std::vector<std::string> {
                         if (action.kind == HotKeyAction::Kind::quickCreate) return {"quick-create"};
                         // The destination as stored, so the command follows the setting.
                         const CreationDestinationMode destination =
                             action.destination.value_or(environment_.settings.directShortcutDestination.get());
                         return {"create", action.typeID, "--destination", std::string(rawValue(destination))};
                     }) {}

DesktopCreationController::~DesktopCreationController() { shortcutCancellables.clear(); }

void DesktopCreationController::start() {
    registerHotKeys();
    // Subscriptions deliver later changes only, and dropping them (as the destructor does) stops
    // delivery, so no change reaches a controller that is gone.
    AppSettings& settings = environment_.settings;
    shortcutCancellables.clear();
    shortcutCancellables.push_back(settings.quickCreateShortcut.subscribe([this](const auto&) { registerHotKeys(); }));
    shortcutCancellables.push_back(settings.fileTypeShortcuts.subscribe([this](const auto&) { registerHotKeys(); }));
    shortcutCancellables.push_back(settings.enabledFileTypeIDs.subscribe([this](const auto&) { registerHotKeys(); }));
    // Desktops that run a command for a key carry the destination in it.
    shortcutCancellables.push_back(
        settings.directShortcutDestination.subscribe([this](const auto&) { registerHotKeys(); }));
}

void DesktopCreationController::stop() {
    shortcutCancellables.clear();
    hotKeyManager_.unregisterAll();
    if (quickCreatePanel_) quickCreatePanel_->orderOut();
}

void DesktopCreationController::registerHotKeys() {
    const AppSettings& settings = environment_.settings;
    const auto& enabled = settings.enabledFileTypeIDs.get();
    FileTypeShortcuts kept;
    for (const auto& [typeID, shortcut] : settings.fileTypeShortcuts.get())
        if (enabled.count(typeID) && shortcut.isUsable()) kept.emplace(typeID, shortcut);
    hotKeyManager_.registerShortcuts(settings.quickCreateShortcut.get(), kept);
}

void DesktopCreationController::perform(const HotKeyAction& action) {
    switch (action.kind) {
        case HotKeyAction::Kind::quickCreate:
            activationTimestamp_ = hotKeyManager_.lastEventTimestamp();
            showQuickCreatePanel(CreationDestinationMode::desktop);
            activationTimestamp_ = 0;
            break;
        case HotKeyAction::Kind::createFile:
            createFile(action.typeID, action.destination);
            break;
    }
}

void DesktopCreationController::startQuickCreateAfresh(CreationDestinationMode mode) {
    // Each assignment redraws the panel: only what differs is assigned.
    if (destinationMode.get() != mode) destinationMode.set(mode);
    if (!searchText.get().empty()) searchText.set(std::string());
    if (statusMessage.get()) statusMessage.set(std::nullopt);
}

void DesktopCreationController::showQuickCreatePanel(CreationDestinationMode mode) {
    startQuickCreateAfresh(mode);
    if (!quickCreatePanel_) quickCreatePanel_ = environment_.panelFactory.makeQuickCreatePanel(*this);
    if (!quickCreatePanel_) return;

    const ScreenLayout& screens = environment_.screens;
    quickCreatePanel_->setFrameOrigin(
        quickCreatePanelOrigin(quickCreatePanel_->frameSize(), screens.pointerLocation(), screens.screens()));
    // Activating first: on X11 activation focuses one of the application's windows, and the
    // panel must be the one that ends up with the keyboard focus.
    environment_.windows.activateIgnoringOtherApps();
    quickCreatePanel_->makeKeyAndOrderFront(activationTimestamp_);
}

DesktopCreationController::CreationReport DesktopCreationController::createFile(
    const FileTypeDefinition& type, std::optional<CreationDestinationMode> mode) {
    const CreationDestinationMode chosen = mode.value_or(destinationMode.get());
    // Resolved now, so the file manager window in front at the moment of the click decides.
    const ResolvedCreationDestination destination = environment_.destinations.resolveDestination(chosen);
    std::filesystem::path created;
    try {
        created = environment_.createFileWithFolderAccess(type, destination.url);
    } catch (const UserFacingError& error) {
        failCreation(error.description());
        return {std::nullopt, {}, error.description()};
    } catch (const std::exception& error) {
        // Nothing else is expected; whatever it is, the user hears of it and Quillet+ goes on.
        failCreation(error.what());
        return {std::nullopt, {}, error.what()};
    }
    std::string status = creationStatusMessage(created, destination);
    statusMessage.set(status);
    log_.log("Created %{public}s", created.string());
    environment_.fileViewer.activateFileViewerSelecting({created});
    return {created, std::move(status), {}};
}

DesktopCreationController::CreationReport DesktopCreationController::createFile(
    const std::string& forShortcutTypeID, std::optional<CreationDestinationMode> destination) {
    // A template counts while it is in the folder as last seen (a shortcut of a removed one is
    // dropped with it); one removed a moment ago fails to read, and the user is told.
    const auto& templates = environment_.settings.templateTypeIDs();
    const bool presentTemplate =
        std::find(templates.begin(), templates.end(), forShortcutTypeID) != templates.end();
    const std::optional<FileTypeDefinition> type =
        fileType(forShortcutTypeID) || presentTemplate ? fileTypeForID(forShortcutTypeID) : std::nullopt;
    if (!type) {
        log_.error("Unknown file type shortcut requested: %{public}s", forShortcutTypeID);
        return {std::nullopt, {}, formatText(translate("Unknown file type: %1"), {forShortcutTypeID})};
    }
    return createFile(*type, destination.value_or(environment_.settings.directShortcutDestination.get()));
}

void DesktopCreationController::openMainWindow() {
    if (openMainWindowAction) {
        openMainWindowAction();
    } else {
        environment_.windows.orderFrontFirstWindow([](const WindowDescription& window) {
            return !window.isPanel && window.title == kMainWindowTitle;
        });
    }
    environment_.windows.activateIgnoringOtherApps();
}

std::vector<FileTypeDefinition> DesktopCreationController::matchingFileTypes() const {
    const std::string query = trimmedWhitespaceAndNewlines(searchText.get());
    std::vector<FileTypeDefinition> types = environment_.settings.enabledFileTypesInOrder();
    if (query.empty()) return types;
    std::erase_if(types, [&](const FileTypeDefinition& type) {
        // The name as shown (in the session's language) and the English one both find a type.
        return !containsIgnoringCase(localizedName(type), query) && !containsIgnoringCase(type.displayName, query) &&
               !containsIgnoringCase(type.fileExtension, query);
    });
    return types;
}

std::vector<FileTypeDefinition> DesktopCreationController::fileTypes(FileTypeCategory category) const {
    std::vector<FileTypeDefinition> types = matchingFileTypes();
    std::erase_if(types, [&](const FileTypeDefinition& type) { return type.category != category; });
    return types;
}

void DesktopCreationController::failCreation(const std::string& description) {
    log_.error("Create failed: %{public}s", description);
    environment_.windows.activateIgnoringOtherApps();
    environment_.alert.runModal(Alert{kCreateFailedAlertTitle, description, AlertStyle::warning});
}

}  // namespace quillet
