#include "platform/posix/NewFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "shared/errors/PlatformError.h"

namespace quillet {

namespace {

// A write beyond the file size limit (RLIMIT_FSIZE) raises SIGXFSZ, whose default action ends
// the process. When the content is larger than the limit, the signal is blocked on this thread
// while the new file is written, so the write fails with EFBIG instead and the failure is
// reported like any other; the signal that came with the EFBIG is taken back before the
// previous mask returns. The process-wide disposition stays the host's business (this code also
// runs inside the file manager's process).
class FileSizeSignalGuard {
public:
    // `bytes`: how much the new file will hold.
    explicit FileSizeSignalGuard(size_t bytes) {
        struct rlimit limit {};
        active_ = ::getrlimit(RLIMIT_FSIZE, &limit) != 0 ||
                  (limit.rlim_cur != RLIM_INFINITY && bytes > limit.rlim_cur);
        if (!active_) return;
        sigemptyset(&signal_);
        sigaddset(&signal_, SIGXFSZ);
        ::pthread_sigmask(SIG_BLOCK, &signal_, &previous_);
    }
    ~FileSizeSignalGuard() {
        if (active_) ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

    // After an EFBIG. A caller that blocked the signal itself keeps it pending.
    void takeBackRaisedSignal() {
        if (!active_ || sigismember(&previous_, SIGXFSZ)) return;
        const struct timespec now {};
        while (::sigtimedwait(&signal_, nullptr, &now) == SIGXFSZ) {
        }
    }

private:
    bool active_ = false;
    sigset_t signal_;
    sigset_t previous_;
};

// Writes all of `size` bytes: 0, or the errno of the failure.
int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        // A regular file that takes nothing is out of room, whatever the reason.
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// What says that a folder's file system has no unnamed files: EOPNOTSUPP from most, EISDIR
// from a kernel that does not know O_TMPFILE (it opens the folder itself), EINVAL from some
// FUSE file systems.
bool lacksUnnamedFiles(int e) { return e == EOPNOTSUPP || e == EISDIR || e == EINVAL; }

// Set once linking a descriptor itself was refused and linking it through /proc worked: the
// process's kernel and privileges decide that, for every later file alike, so the refused call
// is not made again. A fact about the process, hence process-wide.
std::atomic<bool> descriptorLinkRefused{false};

// Gives the unnamed file open at `fd` the name `path`: 0, or the errno. linkat never replaces
// an existing entry and never follows a link at the new name.
int linkUnnamed(int fd, const std::filesystem::path& path) {
    const bool refusedBefore = descriptorLinkRefused.load(std::memory_order_relaxed);
    if (!refusedBefore) {
        if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return 0;
        // Before Linux 6.10 only a privileged caller may link the descriptor itself; the others
        // are told ENOENT and link it through /proc.
        if (errno != ENOENT) return errno;
    }
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) return errno;
    if (!refusedBefore) descriptorLinkRefused.store(true, std::memory_order_relaxed);
    return 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// A file created at its name by this call. Unless it is finished, it is closed and removed
// again, but only while the name still leads to the very inode created here: whatever has
// taken its place since belongs to someone else.
class FileAtName {
public:
    FileAtName(const std::filesystem::path& path, int fd) : path_(path), fd_(fd) {
        if (::fstat(fd_, &created_) != 0) {
            // Without its identity the file cannot be told apart from a stranger's, so it stays.
            const int e = errno;
            ::close(fd_);
            throw PlatformError::fileWrite(e, path);
        }
    }
    ~FileAtName() {
        if (fd_ >= 0) fail();
    }
    FileAtName(const FileAtName&) = delete;
    FileAtName& operator=(const FileAtName&) = delete;
    int fd() const { return fd_; }

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

    void fail() {
        removeIfOurs();
        ::close(fd_);
        fd_ = -1;
    }

private:
    void removeIfOurs() const {
        struct stat now {};
        if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == created_.st_dev &&
            now.st_ino == created_.st_ino)
            ::unlink(path_.c_str());
    }

    std::filesystem::path path_;
    int fd_ = -1;
    struct stat created_ {};
};

// The name a file that could not be made or written would have had, for the message: the one
// given, or, when that is taken, the one `next` offers (an unnamed file's name is tried only once
// its content is written).
std::filesystem::path intendedName(const std::filesystem::path& destination, const NewFileWriter::NextName& next) {
    struct stat st {};
    if (!next || ::stat(destination.c_str(), &st) != 0) return destination;
    return next(destination).value_or(destination);
}

std::filesystem::path nextOrFail(const NewFileWriter::NextName& next, const std::filesystem::path& taken) {
    std::optional<std::filesystem::path> following = next ? next(taken) : std::nullopt;
    if (!following) throw PlatformError::fileWrite(EEXIST, taken);
    return *following;
}

// Creates the file at its name (the first free of `destination` and what `next` offers) and
// writes `content` into it there; a failed write removes it again.
std::filesystem::path createAtName(const std::function<int(int)>* content, std::filesystem::path name,
                                   const NewFileWriter::NextName& next, FileSizeSignalGuard* guard) {
    int fd;
    for (;;) {
        do {
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) break;
        if (errno != EEXIST) throw PlatformError::fileWrite(errno, name);
        name = nextOrFail(next, name);
    }
    if (!content) {
        ::close(fd);
        return name;
    }
    FileAtName file(name, fd);
    if (const int e = (*content)(file.fd())) {
        if (e == EFBIG && guard) guard->takeBackRaisedSignal();
        file.fail();
        throw PlatformError::fileWrite(e, name);
    }
    file.finish();
    return name;
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path) {
        do {
            fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) throw unreadable(errno, path);
        examine(path);
    }
    // Takes the descriptor over.
    ReadOnlyFile(int fd, const std::filesystem::path& path) : fd_(fd) { examine(path); }
    ~ReadOnlyFile() { ::close(fd_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int fd() const { return fd_; }
    // The size when opened; the copy takes that many bytes (fewer if the file shrinks).
    size_t size() const { return size_; }
    mode_t mode() const { return mode_; }

private:
    void examine(const std::filesystem::path& path) {
        // Anything but a regular file (a FIFO could block forever) is no template.
        struct stat st {};
        const int e = ::fstat(fd_, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
        if (e != 0) {
            ::close(fd_);
            throw unreadable(e, path);
        }
        size_ = static_cast<size_t>(st.st_size);
        mode_ = st.st_mode;
    }
    static PlatformError unreadable(int e, const std::filesystem::path& path) {
        return PlatformError::posix(e, "Could not read \u201C" + path.string() + "\u201D");
    }
    int fd_ = -1;
    size_t size_ = 0;
    mode_t mode_ = 0;
};

// Copies `size` bytes of `input` from its start to `fd`: 0, or the errno of the failure. The
// kernel copies without the bytes passing through this process where the two files allow it
// (and shares the blocks where the file system can); otherwise a loop through a 64 KiB buffer,
// so a large file never sits in memory whole.
int copyContent(const ReadOnlyFile& input, int fd) {
    off_t offset = 0;
    size_t left = input.size();
    while (left > 0) {
        const ssize_t n = ::copy_file_range(input.fd(), &offset, fd, nullptr, left, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            // Another file system, an old kernel, or files it cannot copy between: the buffer
            // takes over where the kernel stopped.
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF) break;
            return errno;
        }
        if (n == 0) return 0;  // the source shrank
        left -= static_cast<size_t>(n);
    }
    char buffer[64 * 1024];
    while (left > 0) {
        const ssize_t n = ::pread(input.fd(), buffer, std::min(left, sizeof buffer), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;
        if (const int e = writeAll(fd, buffer, static_cast<size_t>(n))) return e;
        left -= static_cast<size_t>(n);
        offset += n;
    }
    return 0;
}

// Gives the new file at `fd` the executable bits of `sourceMode` for whoever may read it; the
// rest of its mode (the usual one for new files, after the umask) stays.
int copyExecutableBits(int fd, mode_t sourceMode) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    const mode_t readable = (st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2;
    const mode_t executable = sourceMode & readable & (S_IXUSR | S_IXGRP | S_IXOTH);
    if (executable == 0) return 0;
    return ::fchmod(fd, (st.st_mode & 07777) | executable) == 0 ? 0 : errno;
}

}  // namespace

int NewFileWriter::openUnnamedFile(const std::filesystem::path& folder) {
    int fd;
    do {
        fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

NewFileWriter::NewFileWriter(ResourceBundle mainBundle, std::shared_ptr<SecurityScopedAccess> scopedAccess,
                         UnnamedFileOpener openUnnamed)
    : mainBundle_(std::move(mainBundle)), scopedAccess_(std::move(scopedAccess)), openUnnamed_(openUnnamed) {}

bool NewFileWriter::fileExists(const std::filesystem::path& path) const {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::vector<std::string>> NewFileWriter::existingNames(
    const std::filesystem::path& folder, const std::function<bool(std::string_view)>& wanted) const {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (!wanted(name)) continue;
        // Only a link (or an entry whose type the file system does not tell) can lead nowhere.
        bool exists = true;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            exists = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0;
        }
        if (exists) names.emplace_back(name);
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    if (!complete) return std::nullopt;
    return names;
}

std::filesystem::path NewFileWriter::createNewFile(const ContentWriter* content, size_t size,
                                                 const std::filesystem::path& destination,
                                                 const NextName& next) const {
    // Complete the moment it exists: there is no content to lose.
    if (!content || size == 0) return createAtName(nullptr, destination, next, nullptr);

    FileSizeSignalGuard guard(size);
    const std::filesystem::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
    Descriptor unnamed(openUnnamed_(folder));
    if (unnamed.get() < 0) {
        const int e = errno;
        if (!lacksUnnamedFiles(e)) throw PlatformError::fileWrite(e, intendedName(destination, next));
        return createAtName(content, destination, next, &guard);
    }
    if (const int e = (*content)(unnamed.get())) {
        if (e == EFBIG) guard.takeBackRaisedSignal();
        throw PlatformError::fileWrite(e, intendedName(destination, next));
    }
    for (std::filesystem::path name = destination;;) {
        const int e = linkUnnamed(unnamed.get(), name);
        if (e == 0) return name;
        if (e == EEXIST) {
            // The content stays in the unnamed file for the next name.
            name = nextOrFail(next, name);
            continue;
        }
        // ENOENT: no /proc to link through (or the folder went away, which creating the file
        // at its name reports as such); EOPNOTSUPP: a file system that cannot link.
        if (e == ENOENT || e == EOPNOTSUPP) {
            unnamed.close();
            return createAtName(content, name, next, &guard);
        }
        throw PlatformError::fileWrite(e, name);
    }
}

std::filesystem::path NewFileWriter::writeNewFile(std::string_view bytes, const std::filesystem::path& destination,
                                                const NextName& next) const {
    const ContentWriter content = [bytes](int fd) { return writeAll(fd, bytes.data(), bytes.size()); };
    return createNewFile(&content, bytes.size(), destination, next);
}

std::filesystem::path NewFileWriter::copyToNewFile(const std::filesystem::path& source,
                                                 const std::filesystem::path& destination,
                                                 const NextName& next) const {
    // The source is opened first so that an unreadable template creates nothing.
    ReadOnlyFile input(source);
    // Read from the start each time, so the content can be written again where the file has
    // to be created at its name after all.
    const ContentWriter content = [&input](int fd) { return copyContent(input, fd); };
    return createNewFile(&content, input.size(), destination, next);
}

std::filesystem::path NewFileWriter::copyOpenFileToNewFile(int sourceFd, const std::filesystem::path& sourceName,
                                                         const std::filesystem::path& destination,
                                                         const NextName& next) const {
    ReadOnlyFile input(sourceFd, sourceName);
    const ContentWriter content = [&input](int fd) {
        if (const int e = copyContent(input, fd)) return e;
        return copyExecutableBits(fd, input.mode());
    };
    // An empty template still carries its executable bits, so it takes the content road.
    const size_t size = std::max<size_t>(input.size(), 1);
    if (!longWork_ || size < kLongCopyBytes) return createNewFile(&content, size, destination, next);
    std::filesystem::path created;
    longWork_->run([&] { created = createNewFile(&content, size, destination, next); });
    return created;
}

const std::string* NewFileWriter::bundledBytes(const std::string& name, const std::string& extension) const {
    const std::string key = name + "." + extension;
    if (auto kept = bundled_.find(key); kept != bundled_.end()) return &kept->second;
    const std::optional<std::filesystem::path> resource = mainBundle_.url(name, extension);
    if (!resource) return nullptr;
    ReadOnlyFile input(*resource);
    std::string bytes(input.size(), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(input.fd(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw PlatformError::posix(errno, "Could not read \u201C" + resource->string() + "\u201D");
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return &bundled_.emplace(key, std::move(bytes)).first->second;
}

void NewFileWriter::writeWithoutOverwriting(std::string_view bytes, const std::filesystem::path& destination) const {
    writeNewFile(bytes, destination);
}

void NewFileWriter::copyItem(const std::filesystem::path& source, const std::filesystem::path& destination) const {
    copyToNewFile(source, destination);
}

}  // namespace quillet
