#include "app/desktop/FileManagerMenusUpdater.h"

#include <utility>

#include "app/settings/AppSettings.h"
#include "app/desktop/FileManagerMenu.h"
#include "platform/MainQueue.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/SettingsKeys.h"

namespace quillet {

FileManagerMenusUpdater::FileManagerMenusUpdater(std::vector<const FileManagerMenu*> menus, AppSettings& settings,
                                                 MainQueue& mainQueue)
    : menus_(std::move(menus)), settings_(settings), mainQueue_(mainQueue), self_(std::make_shared<FileManagerMenusUpdater*>(this)) {}

FileManagerMenusUpdater::~FileManagerMenusUpdater() = default;

void FileManagerMenusUpdater::start() {
    if (started_) return;
    started_ = true;
    enabledSubscription_ = settings_.enabledFileTypeIDs.subscribe([this](const auto&) { scheduleUpdate(); });
    orderSubscription_ = settings_.fileTypeOrder.subscribe([this](const auto&) { scheduleUpdate(); });
    updateNow();
}

void FileManagerMenusUpdater::updateNow() {
    // Read back from the suite by the rules the file-manager extension reads it by, the templates
    // last found in the Templates folder included, so every menu offers the same.
    const DefaultsSuite& suite = settings_.defaults();
    const auto& templates = settings_.templateTypeIDs();
    const auto types =
        enabledFileTypesInOrder(loadFileTypeOrder(suite, templates), loadEnabledFileTypeIDs(suite, templates));
    for (const FileManagerMenu* menu : menus_) menu->update(types);
}

void FileManagerMenusUpdater::scheduleUpdate() {
    // A reload (another process's change, the Templates folder's) publishes both keys one after
    // the other: the files are written once, from the queue, when both are in.
    if (updatePending_) return;
    updatePending_ = true;
    mainQueue_.async([weak = std::weak_ptr<FileManagerMenusUpdater*>(self_)] {
        auto self = weak.lock();
        if (!self) return;
        (*self)->updatePending_ = false;
        (*self)->updateNow();
    });
}

}  // namespace quillet
