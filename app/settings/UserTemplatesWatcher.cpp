#include "app/settings/UserTemplatesWatcher.h"

#include <system_error>

#include "app/settings/AppSettings.h"
#include "platform/MainQueueTimer.h"

namespace quillet {

UserTemplatesWatcher::UserTemplatesWatcher(AppSettings& settings, UserTemplates templates, MainQueueTimer& timer)
    : settings_(settings),
      templates_(std::move(templates)),
      timer_(timer),
      self_(std::make_shared<UserTemplatesWatcher*>(this)) {
    rescan();
}

UserTemplatesWatcher::~UserTemplatesWatcher() = default;

void UserTemplatesWatcher::start() {
    if (started_) return;
    started_ = true;
    scheduleNext();
}

void UserTemplatesWatcher::checkNow() {
    bool changed = notifier_.takeChanges();
    if (!changed && watched_ == 0 && templates_.folder()) {
        std::error_code ec;
        changed = std::filesystem::is_directory(*templates_.folder(), ec);
    }
    if (changed) rescan();
}

void UserTemplatesWatcher::rescan() {
    std::vector<std::filesystem::path> folders;
    std::vector<FileTypeDefinition> types = templates_.discover(&folders);
    watched_ = notifier_.watch(folders);
    std::vector<std::string> ids = typeIDs(types);
    if (ids != offered_ || !started_)
        log_.log("Templates folder %{public}s holds %ld templates",
                 templates_.folder() ? templates_.folder()->string() : std::string("(none)"),
                 static_cast<long>(ids.size()));
    offered_ = ids;
    settings_.adoptTemplates(std::move(ids));
}

void UserTemplatesWatcher::scheduleNext() {
    timer_.asyncAfter(kInterval, [weak = std::weak_ptr<UserTemplatesWatcher*>(self_)] {
        auto self = weak.lock();
        if (!self) return;
        UserTemplatesWatcher& watcher = **self;
        watcher.scheduleNext();
        watcher.checkNow();
    });
}

}  // namespace quillet
