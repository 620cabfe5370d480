#pragma once

#include <string>
#include <vector>

#include "shared/text/Translation.h"

namespace quillet {

class QuilletSelfUpdater;

inline constexpr const char* kCheckForUpdatesTitle = N_("Check for Updates...");

// One item of a menu as its model gives it.
struct MenuCommandItem {
    std::string title;
    bool isEnabled = false;

    bool operator==(const MenuCommandItem&) const = default;
};

// The application menu's update command. A menu observes the updater's canCheckForUpdates and
// asks again for the items when it changes.
class QuilletCheckForUpdatesCommand {
public:
    explicit QuilletCheckForUpdatesCommand(QuilletSelfUpdater& updater) : updater_(updater) {}

    // One "Check for Updates..." item, enabled while a check can start, when updating is
    // configured; nothing at all (not even a disabled item) when it is not.
    std::vector<MenuCommandItem> items() const;
    // The item was chosen.
    void perform();

private:
    QuilletSelfUpdater& updater_;
};

}  // namespace quillet
