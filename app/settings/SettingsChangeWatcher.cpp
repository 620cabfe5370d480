#include "app/settings/SettingsChangeWatcher.h"

#include "app/settings/AppSettings.h"
#include "platform/MainQueueTimer.h"
#include "shared/settings/DefaultsSuite.h"

namespace quillet {

SettingsChangeWatcher::SettingsChangeWatcher(AppSettings& settings, MainQueueTimer& timer,
                                             ReadableDescriptors* descriptors)
    : settings_(settings),
      timer_(timer),
      descriptors_(descriptors),
      self_(std::make_shared<SettingsChangeWatcher*>(this)) {}

SettingsChangeWatcher::~SettingsChangeWatcher() = default;

void SettingsChangeWatcher::start() {
    if (started_) return;
    started_ = true;
    // No new baseline here: a commit made between loading the settings and now must still be
    // seen, and reloading what is loaded already publishes nothing.
    if (descriptors_ && suiteFolder_.fd() >= 0 &&
        suiteFolder_.watch({settings_.defaults().databasePath().parent_path()}) == 1) {
        readable_ = descriptors_->whenReadable(suiteFolder_.fd(), [this] {
            suiteFolder_.takeChanges();
            checkNow();
        });
        // A commit made before the folder was watched raised no event.
        checkNow();
        return;
    }
    scheduleNext();
}

void SettingsChangeWatcher::checkNow() {
    if (settings_.defaults().changedElsewhere()) settings_.reloadFromSuite();
    restSoon();
}

void SettingsChangeWatcher::restSoon() {
    // Whatever else opened the suite meanwhile (a change saved, a look at it) is done by then.
    if (restBooked_ || settings_.defaults().isResting()) return;
    restBooked_ = true;
    timer_.asyncAfter(kRestAfter, [weak = std::weak_ptr<SettingsChangeWatcher*>(self_)] {
        auto self = weak.lock();
        if (!self) return;
        (**self).restBooked_ = false;
        (**self).settings_.defaults().rest();
    });
}

void SettingsChangeWatcher::scheduleNext() {
    timer_.asyncAfter(kInterval, [weak = std::weak_ptr<SettingsChangeWatcher*>(self_)] {
        auto self = weak.lock();
        if (!self) return;
        SettingsChangeWatcher& watcher = **self;
        // The next look is booked first, so a subscriber that fails while being told does not
        // end the watching.
        watcher.scheduleNext();
        watcher.checkNow();
    });
}

}  // namespace quillet
