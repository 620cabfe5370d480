#include "app/settings/UserTemplatesWatcher.h"

#include <optional>
#include <system_error>

#include "app/settings/AppSettings.h"
#include "platform/MainQueueTimer.h"

namespace quillet {

namespace {

// The folder the missing one would be made in, or the one above that, ...
std::optional<std::filesystem::path> nearestExistingParent(const std::filesystem::path& folder) {
    std::error_code ec;
    for (auto parent = folder.parent_path(); !parent.empty(); parent = parent.parent_path()) {
        if (std::filesystem::is_directory(parent, ec)) return parent;
        if (parent == parent.root_path()) break;
    }
    return std::nullopt;
}

}  // namespace

UserTemplatesWatcher::UserTemplatesWatcher(AppSettings& settings, UserTemplates templates, MainQueueTimer& timer,
                                           ReadableDescriptors* descriptors)
    : settings_(settings),
      templates_(std::move(templates)),
      timer_(timer),
      descriptors_(descriptors),
      self_(std::make_shared<UserTemplatesWatcher*>(this)) {
    rescan();
}

UserTemplatesWatcher::~UserTemplatesWatcher() = default;

void UserTemplatesWatcher::start() {
    if (started_) return;
    started_ = true;
    if (descriptors_ && notifier_.fd() >= 0) {
        readable_ = descriptors_->whenReadable(notifier_.fd(), [this] { checkNow(); });
        return;
    }
    scheduleNext();
}

void UserTemplatesWatcher::checkNow() {
    bool changed = notifier_.takeChanges();
    if (!changed && folderMissing_ && templates_.folder()) {
        std::error_code ec;
        changed = std::filesystem::is_directory(*templates_.folder(), ec);
    }
    if (changed) rescan();
}

void UserTemplatesWatcher::rescan() {
    std::vector<FileTypeDefinition> types;
    // A folder is watched before the scan that counts for it: a template written into a folder
    // just made (or just found) between its scan and its watch would otherwise go unseen until
    // the next change. So a scan that finds other folders than those watched watches them and
    // scans again; the folders rarely change twice in a row, and a third scan is the last.
    for (int round = 1;; ++round) {
        std::vector<std::filesystem::path> folders;
        types = templates_.discover(&folders);
        folderMissing_ = folders.empty();
        if (folderMissing_ && templates_.folder()) {
            if (auto parent = nearestExistingParent(*templates_.folder())) folders.push_back(*parent);
        }
        if (folders == watched_) break;
        notifier_.watch(folders);
        watched_ = std::move(folders);
        if (round == 3) break;
    }
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
