#include "platform/posix/LockFileCoordinator.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

// FNV-1a: stable across builds and processes, which std::hash does not promise.
uint64_t stableHash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

unsigned slotOf(const std::filesystem::path& item) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(item, ec);
    return static_cast<unsigned>(stableHash(standardizedPath(ec ? item : absolute).string()) %
                                 LockFileCoordinator::kLockFileCount);
}

int lockCall(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

LockFileCoordinator::LockFileCoordinator(std::filesystem::path lockDirectory)
    : lockDirectory_(std::move(lockDirectory)) {
    openLocks_.fill(-1);
}

LockFileCoordinator::~LockFileCoordinator() {
    for (int fd : openLocks_)
        if (fd >= 0) ::close(fd);
}

std::filesystem::path LockFileCoordinator::lockDirectoryFor(const UserEnvironment& environment) {
    const auto& runtime = environment.runtimeDirectory;
    if (runtime && runtime->is_absolute()) return standardizedPath(*runtime) / "quillet-locks";
    const auto& temporary = environment.temporaryDirectory;
    return standardizedPath(temporary.is_absolute() ? temporary : "/tmp") /
           ("quillet-locks-" + std::to_string(::geteuid()));
}

std::filesystem::path LockFileCoordinator::lockFile(const std::filesystem::path& item) const {
    char name[32];
    std::snprintf(name, sizeof name, "write-%02u.lock", slotOf(item));
    return lockDirectory_ / name;
}

std::optional<PlatformError> LockFileCoordinator::prepareLockDirectory() const {
    auto failure = [this](int e) {
        return PlatformError::posix(e, "Could not take the write lock in \u201C" +
                                           lockDirectory_.string() + "\u201D");
    };
    struct stat st {};
    if (::lstat(lockDirectory_.c_str(), &st) != 0) {
        if (errno != ENOENT) return failure(errno);
        if (::mkdir(lockDirectory_.c_str(), 0700) != 0 && errno != EEXIST) return failure(errno);
        if (::lstat(lockDirectory_.c_str(), &st) != 0) return failure(errno);
    }
    // In a shared temporary folder someone else may have made the folder first: only a
    // private folder of our own is trusted with the locks.
    if (!S_ISDIR(st.st_mode)) return failure(ENOTDIR);
    if (st.st_uid != ::geteuid() || (st.st_mode & 0022) != 0) return failure(EPERM);
    return std::nullopt;
}

std::optional<PlatformError> LockFileCoordinator::coordinateWriting(const std::filesystem::path& item,
                                                                    const Writer& writer) {
    const unsigned slot = slotOf(item);
    int& fd = openLocks_[slot];
    if (fd >= 0) {
        // A lock file removed behind our back (the runtime folder is cleared at logout) no
        // longer excludes anyone who opens the name afresh: open it again.
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    const std::filesystem::path path = lockFile(item);
    auto failure = [&path](int e) {
        return PlatformError::posix(e, "Could not take the write lock \u201C" + path.string() + "\u201D");
    };
    if (fd < 0) {
        if (auto error = prepareLockDirectory()) return error;
        do {
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return failure(errno);
    }
    if (lockCall(fd, LOCK_EX) != 0) return failure(errno);
    writer(item);
    lockCall(fd, LOCK_UN);
    return std::nullopt;
}

}  // namespace quillet
