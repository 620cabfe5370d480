#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace quillet {

// Tells whether anything changed in a few folders since it was last asked: an entry made,
// removed, renamed or rewritten in one of them, or the folder itself removed or moved. Asking
// costs one non-blocking read and never waits (inotify, without a thread of its own).
class FolderChangeNotifier {
public:
    // With `contentWrites`, a write to a file that stays open (as a database's log is written)
    // also counts.
    explicit FolderChangeNotifier(bool contentWrites = false);
    ~FolderChangeNotifier();
    FolderChangeNotifier(const FolderChangeNotifier&) = delete;
    FolderChangeNotifier& operator=(const FolderChangeNotifier&) = delete;

    // Watches exactly these folders from now on (those that exist); changes seen so far are
    // dropped. Returns how many are watched.
    size_t watch(const std::vector<std::filesystem::path>& folders);
    // Whether a watched folder changed since the last call (or since watch), or the notifier
    // cannot tell (no inotify, its queue overflowed): a caller then looks for itself.
    bool takeChanges();
    // Readable when a change is waiting (for ReadableDescriptors); -1 without inotify.
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    uint32_t events_;
    std::map<int, std::filesystem::path> watches_;
};

}  // namespace quillet
