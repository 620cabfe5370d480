#include "app/update/QuilletCheckForUpdatesCommand.h"

#include "app/update/QuilletSelfUpdater.h"
#include "shared/text/Translation.h"

namespace quillet {

std::vector<MenuCommandItem> QuilletCheckForUpdatesCommand::items() const {
    if (!updater_.configuration.isConfigured()) return {};
    return {MenuCommandItem{translate(kCheckForUpdatesTitle), updater_.canCheckForUpdates.get()}};
}

void QuilletCheckForUpdatesCommand::perform() { updater_.checkForUpdates(); }

}  // namespace quillet
