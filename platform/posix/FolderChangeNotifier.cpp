#include "platform/posix/FolderChangeNotifier.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace quillet {

namespace {

constexpr uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                    IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

FolderChangeNotifier::FolderChangeNotifier(bool contentWrites)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), events_(kWatchedEvents | (contentWrites ? IN_MODIFY : 0)) {}

FolderChangeNotifier::~FolderChangeNotifier() {
    if (fd_ >= 0) ::close(fd_);
}

size_t FolderChangeNotifier::watch(const std::vector<std::filesystem::path>& folders) {
    if (fd_ < 0) return 0;
    for (const auto& [wd, path] : watches_) ::inotify_rm_watch(fd_, wd);
    watches_.clear();
    for (const auto& folder : folders) {
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), events_);
        if (wd >= 0) watches_.emplace(wd, folder);
    }
    // What happened before is part of the state the caller is about to read.
    takeChanges();
    return watches_.size();
}

bool FolderChangeNotifier::takeChanges() {
    if (fd_ < 0) return true;
    bool changed = false;
    alignas(struct inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
            // IN_IGNORED only says a watch ended, which a removed folder already told.
            if (!(event->mask & IN_IGNORED)) changed = true;
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
    }
    return changed;
}

}  // namespace quillet
