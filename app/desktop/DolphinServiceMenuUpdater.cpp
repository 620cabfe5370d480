#include "app/desktop/DolphinServiceMenuUpdater.h"

#include "app/settings/AppSettings.h"
#include "app/desktop/DolphinServiceMenu.h"
#include "platform/MainQueue.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/SettingsKeys.h"

namespace quillet {

DolphinServiceMenuUpdater::DolphinServiceMenuUpdater(const DolphinServiceMenu& menu, AppSettings& settings,
                                                     MainQueue& mainQueue)
    : menu_(menu), settings_(settings), mainQueue_(mainQueue), self_(std::make_shared<DolphinServiceMenuUpdater*>(this)) {}

DolphinServiceMenuUpdater::~DolphinServiceMenuUpdater() = default;

void DolphinServiceMenuUpdater::start() {
    if (started_) return;
    started_ = true;
    enabledSubscription_ = settings_.enabledFileTypeIDs.subscribe([this](const auto&) { scheduleUpdate(); });
    orderSubscription_ = settings_.fileTypeOrder.subscribe([this](const auto&) { scheduleUpdate(); });
    updateNow();
}

void DolphinServiceMenuUpdater::updateNow() {
    const DefaultsSuite& suite = settings_.defaults();
    menu_.update(enabledFileTypesInOrder(loadFileTypeOrder(suite), loadEnabledFileTypeIDs(suite)));
}

void DolphinServiceMenuUpdater::scheduleUpdate() {
    // A setting is published before it is stored, and a reload publishes both keys one after
    // the other: the file is written once, from the queue, when the suite holds them all.
    if (updatePending_) return;
    updatePending_ = true;
    mainQueue_.async([weak = std::weak_ptr<DolphinServiceMenuUpdater*>(self_)] {
        auto self = weak.lock();
        if (!self) return;
        (*self)->updatePending_ = false;
        (*self)->updateNow();
    });
}

}  // namespace quillet
