#include "platform/FileManager.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "shared/errors/PlatformError.h"

namespace quillet {

namespace {

// A write beyond the file size limit (RLIMIT_FSIZE) raises SIGXFSZ, whose default action ends
// the process. The signal is blocked on this thread while a new file is written, so the write
// fails with EFBIG instead and the half-written file can be removed; the signal that came with
// the EFBIG is taken back before the previous mask returns. The process-wide disposition stays
// the host's business (this code also runs inside the file manager's process).
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard() {
        sigemptyset(&signal_);
        sigaddset(&signal_, SIGXFSZ);
        ::pthread_sigmask(SIG_BLOCK, &signal_, &previous_);
    }
    ~FileSizeSignalGuard() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

    // After an EFBIG. A caller that blocked the signal itself keeps it pending.
    void takeBackRaisedSignal() {
        if (sigismember(&previous_, SIGXFSZ)) return;
        const struct timespec now {};
        while (::sigtimedwait(&signal_, nullptr, &now) == SIGXFSZ) {
        }
    }

private:
    sigset_t signal_;
    sigset_t previous_;
};

int openNew(const std::filesystem::path& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) throw PlatformError::fileWrite(errno, path);
    return fd;
}

// A file this call created, open for writing its content. Unless it is finished, it is closed
// and removed again, but only while the name still leads to the very inode created here:
// whatever has taken its place since belongs to someone else.
class NewFile {
public:
    explicit NewFile(const std::filesystem::path& path) : path_(path), fd_(openNew(path)) {
        if (::fstat(fd_, &created_) != 0) {
            // Without its identity the file cannot be told apart from a stranger's, so it stays.
            const int e = errno;
            ::close(fd_);
            throw PlatformError::fileWrite(e, path);
        }
    }
    ~NewFile() {
        if (fd_ >= 0) discard();
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Writes everything or throws (after removing the file).
    void write(const char* data, size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            // A regular file that takes nothing is out of room, whatever the reason.
            if (n <= 0) fail(n < 0 ? errno : ENOSPC);
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    // Closes the file; a late write error reported by close also removes it.
    void finish() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) {
            const int e = errno;
            removeIfOurs();
            throw PlatformError::fileWrite(e, path_);
        }
    }

    [[noreturn]] void fail(int e) {
        if (e == EFBIG) signalGuard_.takeBackRaisedSignal();
        discard();
        throw PlatformError::fileWrite(e, path_);
    }

private:
    void discard() {
        removeIfOurs();
        ::close(fd_);
        fd_ = -1;
    }
    void removeIfOurs() const {
        struct stat now {};
        if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == created_.st_dev &&
            now.st_ino == created_.st_ino)
            ::unlink(path_.c_str());
    }

    FileSizeSignalGuard signalGuard_;  // first in, last out: blocked around the whole write
    std::filesystem::path path_;
    int fd_ = -1;
    struct stat created_ {};
};

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path) {
        do {
            fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) throw unreadable(errno, path);
        // Anything but a regular file (a FIFO could block forever) is no template.
        struct stat st {};
        const int e = ::fstat(fd_, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
        if (e != 0) {
            ::close(fd_);
            throw unreadable(e, path);
        }
        size_ = static_cast<size_t>(st.st_size);
    }
    ~ReadOnlyFile() { ::close(fd_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int fd() const { return fd_; }
    // The size when opened; the copy takes that many bytes (fewer if the file shrinks).
    size_t size() const { return size_; }

private:
    static PlatformError unreadable(int e, const std::filesystem::path& path) {
        return PlatformError::posix(e, "Could not read \u201C" + path.string() + "\u201D");
    }
    int fd_ = -1;
    size_t size_ = 0;
};

}  // namespace

FileManager::FileManager(ResourceBundle mainBundle, std::shared_ptr<SecurityScopedAccess> scopedAccess,
                         FileCoordinator& coordinator)
    : mainBundle_(std::move(mainBundle)), scopedAccess_(std::move(scopedAccess)), coordinator_(coordinator) {}

bool FileManager::fileExists(const std::filesystem::path& path) const {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void FileManager::writeWithoutOverwriting(std::string_view bytes,
                                          const std::filesystem::path& destination) const {
    if (bytes.empty()) {
        // Complete the moment it exists: there is no content to lose.
        ::close(openNew(destination));
        return;
    }
    NewFile file(destination);
    file.write(bytes.data(), bytes.size());
    file.finish();
}

void FileManager::copyItem(const std::filesystem::path& source,
                           const std::filesystem::path& destination) const {
    // The source is opened first so that an unreadable template creates nothing.
    ReadOnlyFile input(source);
    if (input.size() == 0) {
        ::close(openNew(destination));
        return;
    }
    NewFile file(destination);
    char buffer[64 * 1024];
    for (size_t left = input.size(); left > 0;) {
        const ssize_t n = ::read(input.fd(), buffer, std::min(left, sizeof buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) file.fail(errno);
        if (n == 0) break;
        file.write(buffer, static_cast<size_t>(n));
        left -= static_cast<size_t>(n);
    }
    file.finish();
}

}  // namespace quillet
