#include "app/presence/AppPresenceController.h"

#include <map>

#include <utility>

#include "app/quickcreate/DesktopCreationController.h"
#include "app/settings/AppSettings.h"
#include "app/presence/FileCreationMenuAction.h"
#include "app/update/QuilletCheckForUpdatesCommand.h"
#include "app/update/QuilletSelfUpdater.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/MainQueue.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/logging/Logger.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

StatusMenuItem actionItem(std::string title, std::string symbolName, std::function<void()> action) {
    StatusMenuItem item;
    item.title = std::move(title);
    item.symbolName = std::move(symbolName);
    item.accessibilityDescription = item.title;
    item.action = std::move(action);
    return item;
}

}  // namespace

AppPresenceController::AppPresenceController(AppPresenceEnvironment environment)
    : environment_(std::move(environment)) {}

AppPresenceController::~AppPresenceController() = default;

void AppPresenceController::start(AppSettings& settings, QuilletSelfUpdater& updater) {
    if (environment_.uiTesting) {
        // Tests drive the windows, so the application stays listed and leaves the tray alone.
        statusItem_.reset();
        environment_.windows.setActivationPolicy(ActivationPolicyKind::regular);
        return;
    }
    settings_ = &settings;
    updater_ = &updater;
    applyPresence(settings.appPresence.get());

    cancellables_.push_back(settings.appPresence.subscribe([this](const AppPresence& presence) {
        environment_.mainQueue.async(later([this, presence] { applyPresence(presence); }));
    }));
    cancellables_.push_back(settings.enabledFileTypeIDs.subscribe(
        [this](const auto&) { environment_.mainQueue.async(later([this] { rebuildMenu(); })); }));
    cancellables_.push_back(settings.fileTypeOrder.subscribe(
        [this](const auto&) { environment_.mainQueue.async(later([this] { rebuildMenu(); })); }));
    cancellables_.push_back(updater.canCheckForUpdates.subscribe(
        [this](const bool&) { environment_.mainQueue.async(later([this] { rebuildMenu(); })); }));
}

std::function<void()> AppPresenceController::later(std::function<void()> reaction) {
    return [alive = std::weak_ptr<int>(lifetime_), reaction = std::move(reaction)] {
        if (alive.lock()) reaction();
    };
}

void AppPresenceController::applyPresence(AppPresence presence) {
    const bool wanted = presence != AppPresence::dockOnly;
    if (wanted) {
        if (!statusItem_) statusItem_ = environment_.statusBar.makeStatusItem();
        rebuildMenu();
    } else {
        statusItem_.reset();
    }
    // Without a tray to hold the icon, the windows stay in the taskbar: the one place left where
    // the user sees Quillet+ and gets back to it.
    const bool trayOnly = presence == AppPresence::menuBarOnly && environment_.statusBar.isTrayAvailable();
    environment_.windows.setActivationPolicy(trayOnly ? ActivationPolicyKind::accessory
                                                      : ActivationPolicyKind::regular);
}

bool AppPresenceController::showsTrayIcon() const {
    return statusItem_ != nullptr && environment_.statusBar.isTrayAvailable();
}

void AppPresenceController::lastWindowClosed() {
    // Tests drive the windows and close them at will; the application stays for the next step.
    if (environment_.uiTesting || showsTrayIcon()) return;
    Logger(kAppSubsystem, "Presence").log("The last window closed and no tray icon shows Quillet+; quitting");
    environment_.lifecycle.terminate();
}

std::string AppPresenceController::desktopOfferNote(AppPresence presence, bool trayAvailable) {
    if (!trayAvailable) return translate(kNoTrayNote);
    if (presence == AppPresence::dockOnly) return translate(kQuitsOnCloseNote);
    return {};
}

void AppPresenceController::stop() {
    cancellables_.clear();
    lifetime_ = std::make_shared<int>(0);
    updater_ = nullptr;
    settings_ = nullptr;
    statusItem_.reset();
}

void AppPresenceController::rebuildMenu() {
    if (statusItem_) statusItem_->setMenu(buildStatusMenu());
}

StatusMenu AppPresenceController::buildStatusMenu() {
    StatusMenu menu;
    menu.push_back(actionItem(translate(kQuickCreateTitle), "plus.square.on.square", [this] { showQuickCreate(); }));
    menu.push_back(destinationItem(CreationDestinationMode::desktop));
    menu.push_back(destinationItem(CreationDestinationMode::frontFinderFolder));
    menu.push_back(StatusMenuItem::separator());
    menu.push_back(actionItem(translate(kOpenTitle), "macwindow", [this] { openMainWindow(); }));
    if (updater_) {
        for (const auto& command : QuilletCheckForUpdatesCommand(*updater_).items()) {
            auto item = actionItem(command.title, "arrow.triangle.2.circlepath", [this] { checkForUpdates(); });
            item.isEnabled = command.isEnabled;
            menu.push_back(std::move(item));
        }
    }
    menu.push_back(StatusMenuItem::separator());
    menu.push_back(actionItem(translate(kUninstallTitle), "trash", [this] { uninstall(); }));
    menu.push_back(actionItem(translate(kQuitTitle), "power", [this] { quit(); }));
    return menu;
}

namespace {

// The items of the submenu a template of `group` ("Work/2024") goes into, made inside its parent
// folder's on first use; the top list for a template of the folder itself.
std::vector<StatusMenuItem>& templateFolderItems(std::vector<StatusMenuItem>& top,
                                                 std::map<std::string, std::vector<size_t>>& folders,
                                                 const std::string& group) {
    if (group.empty()) return top;
    auto at = [&top](const std::vector<size_t>& path) -> std::vector<StatusMenuItem>& {
        std::vector<StatusMenuItem>* items = &top;
        for (size_t index : path) items = &(*items)[index].submenu;
        return *items;
    };
    if (auto found = folders.find(group); found != folders.end()) return at(found->second);
    const size_t slash = group.rfind('/');
    const std::string parentGroup = slash == std::string::npos ? "" : group.substr(0, slash);
    std::vector<StatusMenuItem>& parent = templateFolderItems(top, folders, parentGroup);
    StatusMenuItem folder;
    folder.kind = StatusMenuItem::Kind::submenu;
    folder.title = slash == std::string::npos ? group : group.substr(slash + 1);
    folder.symbolName = "folder";
    parent.push_back(std::move(folder));
    std::vector<size_t> path = parentGroup.empty() ? std::vector<size_t>{} : folders[parentGroup];
    path.push_back(parent.size() - 1);
    folders[group] = path;
    return parent.back().submenu;
}

}  // namespace

StatusMenuItem AppPresenceController::destinationItem(CreationDestinationMode destination) {
    const bool desktop = destination == CreationDestinationMode::desktop;
    StatusMenuItem item;
    item.kind = StatusMenuItem::Kind::submenu;
    const DesktopWords& words = environment_.quickCreate.words();
    item.title = desktop ? translate(kCreateOnDesktopTitle) : words.fill(kCreateInFolderTitle);
    item.symbolName = desktop ? "desktopcomputer" : "folder";
    item.accessibilityDescription =
        desktop ? translate("Desktop") : words.fill(linuxtexts::kFrontFolderDestinationTitle);
    if (!settings_) return item;

    const auto types = settings_->enabledFileTypesInOrder();
    for (const auto category : kAllFileTypeCategories) {
        bool headed = false;
        // Where each subfolder of the Templates folder got its submenu: as a path of indexes,
        // since a submenu's items move as the vector holding them grows.
        std::map<std::string, std::vector<size_t>> folders;
        for (const auto& type : types) {
            if (type.category != category) continue;
            if (!headed) {
                if (!item.submenu.empty()) item.submenu.push_back(StatusMenuItem::separator());
                StatusMenuItem header;
                header.kind = StatusMenuItem::Kind::header;
                header.title = localizedTitle(category);
                header.isEnabled = false;
                item.submenu.push_back(std::move(header));
                headed = true;
            }
            std::any payload = FileCreationMenuAction{type, destination};
            auto typeItem = actionItem(localizedName(type), type.sfSymbolName, {});
            typeItem.representedObject = payload;
            typeItem.action = [this, payload] { createFileFromMenu(payload); };
            templateFolderItems(item.submenu, folders, templateGroup(type)).push_back(std::move(typeItem));
        }
    }
    return item;
}

void AppPresenceController::showQuickCreate() {
    environment_.quickCreate.showQuickCreatePanel(CreationDestinationMode::desktop);
}

void AppPresenceController::openMainWindow() { environment_.quickCreate.openMainWindow(); }

void AppPresenceController::checkForUpdates() {
    if (updater_ && updater_->updaterController) updater_->checkForUpdates();
}

void AppPresenceController::uninstall() {
    if (environment_.requestUninstall) environment_.requestUninstall();
}

void AppPresenceController::quit() { environment_.lifecycle.terminate(); }

void AppPresenceController::createFileFromMenu(const std::any& representedObject) {
    const auto* action = std::any_cast<FileCreationMenuAction>(&representedObject);
    if (!action) return;
    environment_.quickCreate.createFile(action->type, action->destination);
}

}  // namespace quillet
