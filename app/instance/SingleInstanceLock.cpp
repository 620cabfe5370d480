#include "app/instance/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "shared/text/Translation.h"

namespace quillet {

std::filesystem::path SingleInstanceLock::pathFor(const UserEnvironment& environment) {
    const auto& runtime = environment.runtimeDirectory;
    if (runtime && runtime->is_absolute()) return *runtime / "org.quillet.Quillet.lock";
    return environment.temporaryDirectory / ("org.quillet.Quillet-" + std::to_string(::getuid()) + ".lock");
}

SingleInstanceLock::SingleInstanceLock(std::filesystem::path path) : path_(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock; the file stays for the next run
}

bool SingleInstanceLock::isInPlace() const {
    struct stat held {};
    struct stat named {};
    return fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

SingleInstanceLock::Outcome SingleInstanceLock::acquireAgain() {
    const int old = fd_;
    fd_ = -1;
    const Outcome outcome = acquire();
    if (outcome == Outcome::acquired) {
        if (old >= 0) ::close(old);
    } else {
        fd_ = old;
    }
    return outcome;
}

SingleInstanceLock::Outcome SingleInstanceLock::acquire() {
    if (fd_ >= 0) return Outcome::acquired;
    // Never follow a link someone planted in a shared temporary folder, and never take a lock
    // file another user owns.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = formatText(translate("Could not open %1: %2"), {path_.string(), std::strerror(errno)});
        return Outcome::failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        error_ = formatText(translate("%1 is not a lock file of this user"), {path_.string()});
        ::close(fd);
        return Outcome::failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int saved = errno;
        ::close(fd);
        if (saved == EWOULDBLOCK) return Outcome::heldElsewhere;
        error_ = formatText(translate("Could not lock %1: %2"), {path_.string(), std::strerror(saved)});
        return Outcome::failed;
    }
    fd_ = fd;
    return Outcome::acquired;
}

}  // namespace quillet
